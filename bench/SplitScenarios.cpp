// The split through frmSplitting, against GNU split(1) making the same pieces of the same
// source.
#include "BenchCommon.h"

#include "files/FileSystem.h"
#include "split/SplitProgressWindow.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace kalvex::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t Floppy = 1457152;
constexpr std::int64_t CdR = 734003200;

void splitThroughWindow(const fs::path& source, const fs::path& out, std::int64_t pieceSize,
                        std::int64_t bytes) {
    SplitProgressWindow window;
    window.showSplit({source.string(), out.string() + "/", "source.split",
                      source.filename().string(), static_cast<double>(pieceSize),
                      std::ceil(static_cast<double>(bytes) / static_cast<double>(pieceSize))});
}

// The pieces hold as many bytes as the source, and the manifest is there.
void checkPieces(const fs::path& out, std::int64_t bytes, std::int64_t pieceSize) {
    const auto count = (bytes + pieceSize - 1) / pieceSize;
    std::int64_t total = 0;
    for (std::int64_t number = 1; number <= count; ++number)
        total += static_cast<std::int64_t>(
            fs::file_size(out / ("source.split" + std::to_string(number))));
    if (total != bytes || !fs::exists(out / "source.splitMain"))
        throw std::runtime_error("the split did not write the whole source");
}

struct SplitFiles {
    fs::path source;
    fs::path out;
    std::int64_t bytes = 0;
    std::int64_t pieceSize = 0;
};

// The program from its command line against split, then sha256sum of the pieces into the
// checksum file, as Kalvex writes one: both sides pay their process starts.
void compareCli(const Context& context, const SplitFiles& files, const Command& split,
                const std::string& shown) {
    const std::string size = std::to_string(files.pieceSize);
    const Command kalvex{{kalvexProgram(), "split", files.source.string(), "--size", size, "--to",
                          files.out.string(), "--name", "source.split"}};
    auto prepare = [&] {
        emptyFolder(files.out);
        warmCache(files.source);
    };
    // Its progress line would only clutter a terminal while timed; the first run still tells
    // why it failed.
    prepare();
    timeCommand(kalvex);
    checkPieces(files.out, files.bytes, files.pieceSize);
    Command timed = kalvex;
    timed.silent = true;
    const Command sums{
        {"sha256sum"}, (files.out / "source.split.sha256").string(), files.out, true};
    context.report(
        compare(context, Mode::Durable, files.bytes,
                {[&] { timeCommand(kalvex); },
                 {split, sums},
                 shown + " SOURCE OUT && sha256sum PIECES > OUT/source.split.sha256",
                 files.out,
                 prepare,
                 Side::Cli,
                 "kalvex split SOURCE --size " + size + " --to OUT --name source.split"}));
}

// referenceOptions go between "split" and the source, e.g. {"-b", "1457152"}.
void runSplit(const Context& context, std::int64_t bytes, std::int64_t pieceSize,
              const std::vector<std::string>& referenceOptions) {
    const fs::path source = context.dir / "source.bin";
    // Both sides write into the same emptied folder: on ext4 the cost of creating a file
    // depends on the folder's block group (its recently removed inodes), not on the program.
    const fs::path out = context.dir / "out";
    const fs::path& reference = out;
    makeSourceFile(source, bytes);
    auto prepare = [&] {
        emptyFolder(out);
        warmCache(source);
    };

    // The split must cut the whole source before its time means anything.
    prepare();
    files::setDurabilityEnabled(false);
    splitThroughWindow(source, out, pieceSize, bytes);
    checkPieces(out, bytes, pieceSize);

    Command command{{"split"}, {}};
    std::string shown = "split";
    for (const auto& option : referenceOptions) {
        command.argv.push_back(option);
        shown += " " + option;
    }
    command.argv.push_back(source.string());
    command.argv.push_back((reference / "source.split").string());
    // Against split alone: what the checksums cost; against split, then sha256sum: the same
    // work on both sides.
    const auto split = [&] {
        splitThroughWindow(source, out, pieceSize, bytes);
    };
    const Command sums{{"sha256sum"}, (out / "source.split.sha256").string(), out, true};
    for (const Mode mode : {Mode::Cached, Mode::Durable}) {
        context.report(compare(context, mode, bytes,
                               {split, {command}, shown + " SOURCE OUT", reference, prepare}));
        context.report(compare(context, mode, bytes,
                               {split,
                                {command, sums},
                                shown + " SOURCE OUT && sha256sum PIECES > OUT/source.split.sha256",
                                reference,
                                prepare}));
    }
    compareCli(context, {source, out, bytes, pieceSize}, command, shown);
    fs::remove(source);
}

// Room for the source and one side's pieces, with some to spare.
constexpr std::int64_t roomFor(std::int64_t bytes) {
    return 2 * bytes + GiB;
}

const Registration over10Meg{{"split-over10meg",
                              [](const Context& context) {
                                  runSplit(context, GiB, Floppy, {"-b", "1457152"});
                              },
                              roomFor(GiB)}};

// 512 KiB pieces take the 1 KiB-block routine; split makes the same pieces in 1 KiB reads
// and writes with its hidden ---io-blksize option.
const Registration under10Meg1k{
    {"split-under10meg-1k",
     [](const Context& context) {
         runSplit(context, 256 * MiB, 512 * 1024, {"-b", "524288", "---io-blksize=1024"});
     },
     roomFor(256 * MiB)}};

// Under 10 MiB the split takes the 1 KiB-block routine whatever the piece size.
const Registration small{
    {"split-small",
     [](const Context& context) {
         runSplit(context, 9 * MiB, Floppy, {"-b", "1457152", "---io-blksize=1024"});
     },
     roomFor(9 * MiB)}};

const Registration large4gFloppy{{"split-4g-floppy",
                                  [](const Context& context) {
                                      runSplit(context, 4 * GiB, Floppy, {"-b", "1457152"});
                                  },
                                  roomFor(4 * GiB), true}};

const Registration large4gCd{{"split-4g-cd",
                              [](const Context& context) {
                                  runSplit(context, 4 * GiB, CdR, {"-b", "734003200"});
                              },
                              roomFor(4 * GiB), true}};

} // namespace
} // namespace kalvex::bench
