#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kalvex::bench {

constexpr std::int64_t MiB = 1048576;
constexpr std::int64_t GiB = 1024 * MiB;

// cached: the engine does not flush (files::setDurabilityEnabled(false)) and the reference
// runs alone. durable: the engine flushes before "Complete" and the reference is followed by
// sync(1) of everything it wrote, timed with it.
enum class Mode { Cached, Durable };
const char* modeName(Mode mode);

// The smallest, middle and largest of a set of timings, in seconds.
struct Stats {
    double min = 0;
    double median = 0;
    double max = 0;
};
Stats summarize(std::vector<double> values);

// What one scenario measured in one mode.
struct Result {
    Mode mode = Mode::Cached;
    std::int64_t bytes = 0;
    Stats kalvex;
    std::string reference; // the reference as printed, e.g. "split -b 1457152 SOURCE OUT"
    Stats referenceSeconds;
};

// Where a scenario works, how often it measures, and where its lines go.
struct Context {
    std::filesystem::path dir; // an empty folder of its own, removed afterwards
    int runs = 5;
    double spawnSeconds = 0; // the start and exit of an empty process, taken off each command
    std::function<void(const Result&)> report;
};

struct Scenario {
    std::string name;
    std::function<void(const Context&)> run;
    std::int64_t freeBytesNeeded = 0; // in --dir; the scenario is skipped with less
    bool large = false;               // runs only with --large (or by name)
};

// Scenarios register themselves from their own source file (any bench/*Scenarios.cpp is
// built in):  const bench::Registration joinFloppy{{"join-floppy", runJoinFloppy}};
std::vector<Scenario>& scenarios();
struct Registration {
    explicit Registration(Scenario scenario);
};

// A file of the given size with varied bytes (no holes), written and flushed to disk, left
// in the page cache.
void makeSourceFile(const std::filesystem::path& path, std::int64_t bytes);

// Reads a file once so that timed runs find it in the page cache.
void warmCache(const std::filesystem::path& path);

// Flushes what earlier runs wrote, so that no run pays for another's write-back.
void settle();

// Removes everything inside a folder (creating it when missing).
void emptyFolder(const std::filesystem::path& folder);

// Wall-clock seconds of a piece of work.
double timeIt(const std::function<void()>& work);

// A command (argv[0] looked up in PATH) and where its standard output goes (a file created
// or emptied; /dev/null when empty).
struct Command {
    std::vector<std::string> argv;
    std::string stdoutPath;
};

// Wall-clock seconds from spawning a command to reaping it. Throws when it cannot start or
// exits unsuccessfully.
double timeCommand(const Command& command);

// Median wall-clock seconds of spawning and reaping `true`, over 20 spawns.
double measureSpawn();

// One scenario in one mode: the two sides alternate which goes first from run to run, and
// before every timed run of either side prepare() removes all outputs and warms the
// sources, then settle() flushes. The reference's time has the spawn time taken off each
// command it started (two in durable mode: the command, then sync of every file in
// referenceFolder and of the folder itself).
struct Comparison {
    std::function<void()> kalvex;
    Command reference;
    std::string shown; // the reference as printed
    std::filesystem::path referenceFolder;
    std::function<void()> prepare;
};
Result compare(const Context& context, Mode mode, std::int64_t bytes, const Comparison& comparison);

// Peak resident memory of this process so far, in MiB.
double peakRssMiB();

// scenario=NAME mode=M bytes=N kalvex_s=X kalvex_min_s kalvex_max_s reference="CMD"
// reference_s=Y reference_min_s reference_max_s reference_spawn_s=S ratio=X/Y peak_rss_mib=M
void printLine(const std::string& name, const Result& result, double spawnSeconds, double peakMiB);

// scenario=NAME skipped=yes reason="WHY"
void printSkipped(const std::string& name, const std::string& reason);

} // namespace kalvex::bench
