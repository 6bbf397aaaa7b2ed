#include "BenchCommon.h"

#include "files/FileSystem.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace kalvex::bench {

namespace fs = std::filesystem;

const char* modeName(Mode mode) {
    return mode == Mode::Cached ? "cached" : "durable";
}

const char* sideName(Side side) {
    return side == Side::Window ? "window" : "cli";
}

std::string kalvexProgram() {
    return KALVEX_EXECUTABLE;
}

Stats summarize(std::vector<double> values) {
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto middle = values.size() / 2;
    const double median =
        values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {values.front(), median, values.back()};
}

std::vector<Scenario>& scenarios() {
    static std::vector<Scenario> all;
    return all;
}

Registration::Registration(Scenario scenario) {
    scenarios().push_back(std::move(scenario));
}

void makeSourceFile(const fs::path& path, std::int64_t bytes) {
    std::vector<std::uint64_t> chunk(std::size_t{1} << 17); // 1 MiB
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::int64_t left = bytes; left > 0;) {
        for (auto& word : chunk) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const auto count =
            std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size() * 8));
        out.write(reinterpret_cast<const char*>(chunk.data()), count);
        left -= count;
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
    out.close();
    settle();
    warmCache(path);
}

void warmCache(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        throw std::runtime_error("cannot read " + path.string());
    std::vector<char> buffer(std::size_t{1} << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

void settle() {
    ::sync();
}

void emptyFolder(const fs::path& folder) {
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
}

double timeIt(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

namespace {

// The names of the files in a folder, in order.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

double timeCommand(const Command& command) {
    std::vector<std::string> argv = command.argv;
    if (command.listFolder)
        for (auto& name : namesIn(command.folder))
            argv.push_back(std::move(name));
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!command.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, command.folder.c_str());
    if (command.silent)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (command.stdoutPath.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, command.stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    int status = 0;
    int spawnError = 0;
    const double seconds = timeIt([&] {
        spawnError = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
        if (spawnError == 0)
            ::waitpid(child, &status, 0);
    });
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        throw std::runtime_error("cannot start " + command.argv[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command.argv[0] + " failed");
    return seconds;
}

double measureSpawn() {
    std::vector<double> times;
    for (int i = 0; i < 20; ++i)
        times.push_back(timeCommand({{"true"}, {}}));
    return summarize(times).median;
}

namespace {

// The reference's own time: on the window side each command's spawn cost taken off, never
// below zero.
double timeReference(const Context& context, Mode mode, const Comparison& comparison) {
    const double spawn = comparison.side == Side::Window ? context.spawnSeconds : 0.0;
    double seconds = 0;
    for (const auto& command : comparison.reference)
        seconds += std::max(0.0, timeCommand(command) - spawn);
    if (mode == Mode::Durable) {
        // Listing the files is no part of the reference's work: done between the two timings.
        Command sync{{"sync"}, {}};
        for (const auto& entry : fs::directory_iterator(comparison.referenceFolder))
            sync.argv.push_back(entry.path().string());
        sync.argv.push_back(comparison.referenceFolder.string());
        seconds += std::max(0.0, timeCommand(sync) - spawn);
    }
    return seconds;
}

} // namespace

Result compare(const Context& context, Mode mode, std::int64_t bytes,
               const Comparison& comparison) {
    files::setDurabilityEnabled(mode == Mode::Durable);
    std::vector<double> ours;
    std::vector<double> theirs;
    auto runKalvex = [&] {
        comparison.prepare();
        settle();
        ours.push_back(timeIt(comparison.kalvex));
    };
    auto runReference = [&] {
        comparison.prepare();
        settle();
        theirs.push_back(timeReference(context, mode, comparison));
    };
    for (int run = 0; run < context.runs; ++run) {
        // Whichever goes second finds the other's freshly freed pages and finished
        // write-back; alternating spreads that over both sides.
        if (run % 2 == 0) {
            runKalvex();
            runReference();
        } else {
            runReference();
            runKalvex();
        }
    }
    comparison.prepare();
    const std::string shown =
        mode == Mode::Durable ? comparison.shown + " && sync OUTPUTS OUTDIR" : comparison.shown;
    return {comparison.side,   mode, bytes, summarize(ours), shown, summarize(theirs),
            comparison.command};
}

double peakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

void printLine(const std::string& name, const Result& result, double spawnSeconds, double peakMiB) {
    const auto& ours = result.kalvex;
    const auto& theirs = result.referenceSeconds;
    std::printf("scenario=%s mode=%s bytes=%lld kalvex_s=%.4f kalvex_min_s=%.4f "
                "kalvex_max_s=%.4f reference=\"%s\" reference_s=%.4f reference_min_s=%.4f "
                "reference_max_s=%.4f reference_spawn_s=%.4f ratio=%.3f peak_rss_mib=%.1f "
                "side=%s",
                name.c_str(), modeName(result.mode), static_cast<long long>(result.bytes),
                ours.median, ours.min, ours.max, result.reference.c_str(), theirs.median,
                theirs.min, theirs.max, spawnSeconds,
                theirs.median > 0 ? ours.median / theirs.median : 0.0, peakMiB,
                sideName(result.side));
    if (!result.command.empty())
        std::printf(" kalvex=\"%s\"", result.command.c_str());
    std::printf("\n");
    std::fflush(stdout);
}

void printSkipped(const std::string& name, const std::string& reason) {
    std::printf("scenario=%s skipped=yes reason=\"%s\"\n", name.c_str(), reason.c_str());
    std::fflush(stdout);
}

} // namespace kalvex::bench
