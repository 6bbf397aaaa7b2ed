// Times the split (and whatever else registers) through the real windows, offscreen, next
// to a reference command on the same file.
//   kalvex_bench [--large] [--scenario NAME] [--runs N] [--dir PATH]
// Without --scenario every normal scenario (with --large: every 4 GiB one) runs in a child
// process of its own, so that each reports its own peak memory.
#include "BenchCommon.h"

#include "dialogs/MessageBox.h"
#include "files/FileSystem.h"

#include <QApplication>

#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace kalvex;

namespace {

struct Options {
    std::string scenario;
    int runs = 5;
    fs::path dir;
    bool large = false;
};

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: kalvex_bench [--large] [--scenario NAME] [--runs N] [--dir PATH]\n"
                         "scenarios:");
    for (const auto& scenario : bench::scenarios())
        std::fprintf(stderr, " %s", scenario.name.c_str());
    std::fprintf(stderr, "\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--large") {
            options.large = true;
            continue;
        }
        if (i + 1 >= argc)
            usage();
        if (arg == "--scenario")
            options.scenario = argv[++i];
        else if (arg == "--runs")
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--dir")
            options.dir = argv[++i];
        else
            usage();
    }
    return options;
}

const bench::Scenario* find(const std::string& name) {
    for (const auto& scenario : bench::scenarios())
        if (scenario.name == name)
            return &scenario;
    return nullptr;
}

// Why the scenario cannot run in the folder, or nothing when it has the room it needs.
std::string lackOfRoom(const bench::Scenario& scenario, const fs::path& folder) {
    struct statvfs stats {};
    if (::statvfs(folder.c_str(), &stats) != 0)
        return "cannot measure the free space in " + folder.string();
    const double freeBytes =
        static_cast<double>(stats.f_bavail) * static_cast<double>(stats.f_frsize);
    if (freeBytes >= static_cast<double>(scenario.freeBytesNeeded))
        return {};
    char text[256];
    std::snprintf(text, sizeof text, "needs %.1f GiB free in %s, has %.1f GiB",
                  static_cast<double>(scenario.freeBytesNeeded) / bench::GiB, folder.c_str(),
                  freeBytes / bench::GiB);
    return text;
}

int runHere(const bench::Scenario& scenario, const Options& options, int argc, char** argv) {
    const fs::path dir = options.dir / ("kalvex-bench-" + scenario.name);
    std::error_code ignored;
    fs::remove_all(dir, ignored); // what an interrupted run left takes no room from this one
    if (const auto reason = lackOfRoom(scenario, options.dir); !reason.empty()) {
        std::fprintf(stderr, "%s: skipped: %s\n", scenario.name.c_str(), reason.c_str());
        bench::printSkipped(scenario.name, reason);
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    try {
        bench::emptyFolder(dir);
        MessageBox::Recorder answersEveryBox;
        const double spawnSeconds = bench::measureSpawn();
        scenario.run({dir, options.runs, spawnSeconds, [&](const bench::Result& result) {
                          bench::printLine(scenario.name, result, spawnSeconds,
                                           bench::peakRssMiB());
                      }});
        fs::remove_all(dir);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", scenario.name.c_str(), error.what());
        fs::remove_all(dir, ignored);
        return 1;
    }
}

int runChild(const std::string& name, const Options& options) {
    const std::string runs = std::to_string(options.runs);
    const std::string dir = options.dir.string();
    std::vector<const char*> args{"kalvex_bench", "--scenario", name.c_str(), "--runs",
                                  runs.c_str(),   "--dir",      dir.c_str(),  nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr,
                    const_cast<char* const*>(args.data()), environ) != 0) {
        std::perror("kalvex_bench");
        return 1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options = parse(argc, argv);
    if (options.dir.empty())
        options.dir = fs::temp_directory_path();
    if (!options.scenario.empty()) {
        const auto* scenario = find(options.scenario);
        if (!scenario)
            usage();
        return runHere(*scenario, options, argc, argv);
    }
    int failures = 0;
    for (const auto& scenario : bench::scenarios())
        if (scenario.large == options.large)
            failures += runChild(scenario.name, options);
    return failures == 0 ? 0 : 1;
}
