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

// window: Kalvex runs in this process, through its progress window, and the reference has
// its process start taken off. cli: Kalvex runs as the program from the command line, so both
// sides pay their process starts, and only in durable mode: the program always flushes.
enum class Side { Window, Cli };
const char* sideName(Side side);

// The smallest, middle and largest of a set of timings, in seconds.
struct Stats {
    double min = 0;
    double median = 0;
    double max = 0;
};
Stats summarize(std::vector<double> values);

// What one scenario measured in one mode.
struct Result {
    Side side = Side::Window;
    Mode mode = Mode::Cached;
    std::int64_t bytes = 0;
    Stats kalvex;
    std::string reference; // the reference as printed, e.g. "split -b 1457152 SOURCE OUT"
    Stats referenceSeconds;
    std::string command; // what Kalvex did, as printed: its command line on the cli side
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
// or emptied; /dev/null when empty). It runs in folder when one is given, with the names of
// the files there appended to argv when listFolder is set (listed before its time starts).
// A silent command's standard error goes to /dev/null.
struct Command {
    Command(std::vector<std::string> argv, std::string stdoutPath = {},
            std::filesystem::path folder = {}, bool listFolder = false)
        : argv(std::move(argv)), stdoutPath(std::move(stdoutPath)), folder(std::move(folder)),
          listFolder(listFolder) {}

    std::vector<std::string> argv;
    std::string stdoutPath;
    std::filesystem::path folder;
    bool listFolder = false;
    bool silent = false;
};

// The built kalvex program, for the cli side.
std::string kalvexProgram();

// Wall-clock seconds from spawning a command to reaping it. Throws when it cannot start or
// exits unsuccessfully.
double timeCommand(const Command& command);

// Median wall-clock seconds of spawning and reaping `true`, over 20 spawns.
double measureSpawn();

// One scenario in one mode: the two sides alternate which goes first from run to run, and
// before every timed run of either side prepare() removes all outputs and warms the
// sources, then settle() flushes. The reference runs its commands one after the other, then
// in durable mode sync of every file in referenceFolder and of the folder itself; on the
// window side each has the spawn time taken off.
struct Comparison {
    Comparison(std::function<void()> kalvex, std::vector<Command> reference, std::string shown,
               std::filesystem::path referenceFolder, std::function<void()> prepare,
               Side side = Side::Window, std::string command = {})
        : kalvex(std::move(kalvex)), reference(std::move(reference)), shown(std::move(shown)),
          referenceFolder(std::move(referenceFolder)), prepare(std::move(prepare)), side(side),
          command(std::move(command)) {}

    std::function<void()> kalvex;
    std::vector<Command> reference;
    std::string shown; // the reference as printed
    std::filesystem::path referenceFolder;
    std::function<void()> prepare;
    Side side = Side::Window;
    std::string command; // what Kalvex did, as printed: its command line on the cli side
};
Result compare(const Context& context, Mode mode, std::int64_t bytes, const Comparison& comparison);

// Peak resident memory of this process so far, in MiB.
double peakRssMiB();

// scenario=NAME mode=M bytes=N kalvex_s=X kalvex_min_s kalvex_max_s reference="CMD"
// reference_s=Y reference_min_s reference_max_s reference_spawn_s=S ratio=X/Y peak_rss_mib=M
// side=window|cli, and on the cli side kalvex="CMD"
void printLine(const std::string& name, const Result& result, double spawnSeconds, double peakMiB);

// scenario=NAME skipped=yes reason="WHY"
void printSkipped(const std::string& name, const std::string& reason);

} // namespace kalvex::bench
