// The join through FrmJoining, against cat(1) of the same pieces into one file.
#include "BenchCommon.h"

#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t Floppy = 1457152;
constexpr std::int64_t CdR = 734003200;

// Cuts source into source.split1, source.split2, ... beside a manifest, as a split leaves
// them; returns the piece paths.
std::vector<std::string> makePieces(const fs::path& source, const fs::path& folder,
                                    std::int64_t bytes, std::int64_t pieceSize) {
    auto& fileSystem = files::FileSystem::native();
    auto from = fileSystem.openRead(source.string());
    std::vector<std::string> pieces;
    for (std::int64_t done = 0; done < bytes; done += pieceSize) {
        pieces.push_back((folder / ("source.split" + std::to_string(pieces.size() + 1))).string());
        auto piece = fileSystem.openWrite(pieces.back(), files::WriteMode::Replace);
        fileSystem.copy(*from, *piece, 1, std::min(pieceSize, bytes - done));
        piece->close();
    }
    from->close();
    std::ofstream manifest(folder / "source.splitMain", std::ios::binary | std::ios::trunc);
    manifest << ' ' << pieces.size() << " \r\nsource.bin\r\n";
    if (!manifest.flush())
        throw std::runtime_error("cannot write the manifest");
    return pieces;
}

// Reads a whole file into the sink; false when it cannot be read.
bool readWhole(const std::string& path, const std::function<bool(const char*, std::size_t)>& sink) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    std::vector<char> buffer(std::size_t{1} << 20);
    ssize_t count = 0;
    bool same = true;
    while (same && (count = ::read(fd, buffer.data(), buffer.size())) > 0)
        same = sink(buffer.data(), static_cast<std::size_t>(count));
    ::close(fd);
    return same && count == 0;
}

// The joined file is the pieces one after another, byte for byte (the source itself is
// gone by then, to halve the room the large scenarios need).
void checkJoined(const fs::path& joined, const std::vector<std::string>& pieces) {
    const int fd = ::open(joined.c_str(), O_RDONLY);
    if (fd < 0)
        throw std::runtime_error("the join left no " + joined.string());
    std::vector<char> ours(std::size_t{1} << 20);
    bool same = true;
    for (const auto& piece : pieces) {
        same = same && readWhole(piece, [&](const char* data, std::size_t size) {
                   std::size_t got = 0;
                   while (got < size) {
                       const auto count = ::read(fd, ours.data(), size - got);
                       if (count <= 0 || std::memcmp(ours.data(), data + got,
                                                     static_cast<std::size_t>(count)) != 0)
                           return false;
                       got += static_cast<std::size_t>(count);
                   }
                   return true;
               });
    }
    char extra = 0;
    same = same && ::read(fd, &extra, 1) == 0;
    ::close(fd);
    if (!same)
        throw std::runtime_error("the join did not rebuild the source");
}

void joinThroughWindow(const fs::path& folder, const fs::path& out) {
    JoinProgressWindow::showJoin({(folder / "source.splitMain").string(), out.string() + "/"});
}

struct JoinFiles {
    fs::path pieces; // the folder
    fs::path out;
    std::vector<std::string> piecePaths;
    std::int64_t bytes = 0;
};

// The checksum file a split writes beside the pieces, which every join then checks.
void writeChecksums(const fs::path& folder, const std::vector<std::string>& piecePaths) {
    Command sums{{"sha256sum"}, (folder / "source.split.sha256").string(), folder};
    for (const auto& piece : piecePaths)
        sums.argv.push_back(fs::path(piece).filename().string());
    timeCommand(sums);
}

// The program from its command line against sha256sum -c, then cat: both sides check the
// pieces against the checksum file and pay their process starts.
void compareCli(const Context& context, const JoinFiles& files, const Command& cat,
                const std::string& shown, const std::function<void()>& prepare) {
    const Command kalvex{{kalvexProgram(), "join", (files.pieces / "source.splitMain").string(),
                          "--to", files.out.string()}};
    // Its progress line would only clutter a terminal while timed; the first run still tells
    // why it failed.
    prepare();
    timeCommand(kalvex);
    checkJoined(files.out / "source.bin", files.piecePaths);
    Command timed = kalvex;
    timed.silent = true;
    const Command check{{"sha256sum", "-c", "--quiet", "source.split.sha256"}, {}, files.pieces};
    context.report(compare(context, Mode::Durable, files.bytes,
                           {[&] { timeCommand(timed); },
                            {check, cat},
                            "sha256sum -c source.split.sha256 && " + shown,
                            files.out,
                            prepare,
                            Side::Cli,
                            "kalvex join PIECES/source.splitMain --to OUT"}));
}

void runJoin(const Context& context, std::int64_t bytes, std::int64_t pieceSize) {
    const fs::path source = context.dir / "source.bin";
    const fs::path pieces = context.dir / "pieces";
    // Both sides write into the same emptied folder: on ext4 the cost of creating a file
    // depends on the folder's block group (its recently removed inodes), not on the program.
    const fs::path out = context.dir / "out";
    const fs::path& reference = out;
    makeSourceFile(source, bytes);
    emptyFolder(pieces);
    const auto piecePaths = makePieces(source, pieces, bytes, pieceSize);
    fs::remove(source);
    auto prepare = [&] {
        emptyFolder(out);
        for (const auto& piece : piecePaths)
            warmCache(piece);
    };

    // The join must rebuild the source before its time means anything.
    prepare();
    files::setDurabilityEnabled(false);
    joinThroughWindow(pieces, out);
    checkJoined(out / "source.bin", piecePaths);

    // cat's output is opened by the spawn itself, as a shell's "> FILE" would, without a
    // shell in between.
    Command command{{"cat"}, (reference / "source.bin").string()};
    command.argv.insert(command.argv.end(), piecePaths.begin(), piecePaths.end());
    const std::string shown =
        "cat source.split1..source.split" + std::to_string(piecePaths.size()) + " > OUT/source.bin";
    const auto join = [&] {
        joinThroughWindow(pieces, out);
    };
    for (const Mode mode : {Mode::Cached, Mode::Durable})
        context.report(compare(context, mode, bytes,
                               {join,
                                {command},
                                shown,
                                reference,
                                prepare,
                                Side::Window,
                                "join without a checksum file"}));

    // With the checksum file a split writes, every piece is checked: against cat alone, what
    // checking costs; against sha256sum -c, then cat, the same work on both sides.
    writeChecksums(pieces, piecePaths);
    const Command check{{"sha256sum", "-c", "--quiet", "source.split.sha256"}, {}, pieces};
    const std::string checking = "join checking source.split.sha256";
    for (const Mode mode : {Mode::Cached, Mode::Durable}) {
        context.report(
            compare(context, mode, bytes,
                    {join, {command}, shown, reference, prepare, Side::Window, checking}));
        context.report(compare(context, mode, bytes,
                               {join,
                                {check, command},
                                "sha256sum -c source.split.sha256 && " + shown,
                                reference,
                                prepare,
                                Side::Window,
                                checking}));
    }
    compareCli(context, {pieces, out, piecePaths, bytes}, command, shown, prepare);
}

// Room for the pieces and one side's joined file (the source, while the pieces are cut
// from it, takes the joined file's place), with some to spare.
constexpr std::int64_t roomFor(std::int64_t bytes) {
    return 2 * bytes + GiB;
}

const Registration joinFloppy{
    {"join-floppy", [](const Context& context) { runJoin(context, GiB, Floppy); }, roomFor(GiB)}};

const Registration joinCd{
    {"join-cd", [](const Context& context) { runJoin(context, 2 * GiB, CdR); }, roomFor(2 * GiB)}};

const Registration join4gFloppy{{"join-4g-floppy",
                                 [](const Context& context) { runJoin(context, 4 * GiB, Floppy); },
                                 roomFor(4 * GiB), true}};

} // namespace
} // namespace kalvex::bench
