#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kalvex::bench {

// Where a scenario works and how often it measures.
struct Context {
    std::filesystem::path dir; // an empty folder of its own, removed afterwards
    int runs = 5;
};

// The medians a scenario measured.
struct Result {
    std::int64_t bytes = 0;
    double kalvexSeconds = 0;
    std::string reference; // the reference command as printed, e.g. "split -b 1457152"
    double referenceSeconds = 0;
};

struct Scenario {
    std::string name;
    std::function<Result(const Context&)> run;
};

// Scenarios register themselves from their own source file (any bench/*Scenarios.cpp is
// built in):  const bench::Registration joinFloppy{{"join-floppy", runJoinFloppy}};
std::vector<Scenario>& scenarios();
struct Registration {
    explicit Registration(Scenario scenario);
};

// A file of the given size with varied bytes, written and flushed to disk, left in the
// page cache.
void makeSourceFile(const std::filesystem::path& path, std::int64_t bytes);

// Reads a file once so that timed runs find it in the page cache.
void warmCache(const std::filesystem::path& path);

// Flushes what earlier runs wrote, so that no run pays for another's write-back.
void settle();

// Removes everything inside a folder (creating it when missing).
void emptyFolder(const std::filesystem::path& folder);

// Wall-clock seconds of a piece of work.
double timeIt(const std::function<void()>& work);

// Wall-clock seconds of a command (argv[0] looked up in PATH), its output discarded.
// Throws when it cannot start or exits unsuccessfully.
double timeCommand(const std::vector<std::string>& argv);

double median(std::vector<double> values);

// Runs kalvex and the reference alternately, each after settle() and clean(), and returns
// the medians of both.
struct Timings {
    double kalvexSeconds;
    double referenceSeconds;
};
Timings compare(const Context& context, const std::function<void()>& kalvex,
                const std::vector<std::string>& reference, const std::function<void()>& clean);

// Peak resident memory of this process so far, in MiB.
double peakRssMiB();

// scenario=NAME bytes=N kalvex_s=X reference="CMD" reference_s=Y ratio=X/Y peak_rss_mib=M
void printLine(const std::string& name, const Result& result, double peakMiB);

} // namespace kalvex::bench
