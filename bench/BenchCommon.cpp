#include "BenchCommon.h"

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

double timeCommand(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = 0;
    const double seconds = timeIt([&] {
        if (posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ) != 0)
            throw std::runtime_error("cannot start " + argv[0]);
        ::waitpid(child, &status, 0);
    });
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed");
    return seconds;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Timings compare(const Context& context, const std::function<void()>& kalvex,
                const std::vector<std::string>& reference, const std::function<void()>& clean) {
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < context.runs; ++run) {
        clean();
        settle();
        ours.push_back(timeIt(kalvex));
        clean();
        settle();
        theirs.push_back(timeCommand(reference));
    }
    clean();
    return {median(ours), median(theirs)};
}

double peakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

void printLine(const std::string& name, const Result& result, double peakMiB) {
    std::printf("scenario=%s bytes=%lld kalvex_s=%.4f reference=\"%s\" reference_s=%.4f "
                "ratio=%.3f peak_rss_mib=%.1f\n",
                name.c_str(), static_cast<long long>(result.bytes), result.kalvexSeconds,
                result.reference.c_str(), result.referenceSeconds,
                result.referenceSeconds > 0 ? result.kalvexSeconds / result.referenceSeconds : 0.0,
                peakMiB);
    std::fflush(stdout);
}

} // namespace kalvex::bench
