// The join through FrmJoining, against cat(1) of the same pieces into one file.
#include "BenchCommon.h"

#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t MiB = 1048576;
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
        fileSystem.copy(*from, *piece, 1, std::min(pieceSize, bytes - done), {});
        piece->close();
    }
    from->close();
    std::ofstream manifest(folder / "source.splitMain", std::ios::binary | std::ios::trunc);
    manifest << ' ' << pieces.size() << " \r\nsource.bin\r\n";
    if (!manifest.flush())
        throw std::runtime_error("cannot write the manifest");
    return pieces;
}

void joinThroughWindow(const fs::path& folder, const fs::path& out) {
    JoinProgressWindow::showJoin({(folder / "source.splitMain").string(), out.string() + "/"});
}

Result runJoin(const Context& context, std::int64_t bytes, std::int64_t pieceSize) {
    const fs::path source = context.dir / "source.bin";
    const fs::path pieces = context.dir / "pieces";
    const fs::path out = context.dir / "out";
    const fs::path reference = context.dir / "reference";
    makeSourceFile(source, bytes);
    emptyFolder(pieces);
    const auto piecePaths = makePieces(source, pieces, bytes, pieceSize);
    auto clean = [&] {
        emptyFolder(out);
        emptyFolder(reference);
    };

    // The join must rebuild the source before its time means anything.
    clean();
    joinThroughWindow(pieces, out);
    timeCommand({"cmp", "-s", source.string(), (out / "source.bin").string()});
    fs::remove(source);
    for (const auto& piece : piecePaths)
        warmCache(piece);

    std::vector<std::string> command{"sh", "-c", "cat \"$@\" > \"$0\"",
                                     (reference / "source.bin").string()};
    command.insert(command.end(), piecePaths.begin(), piecePaths.end());
    const auto timings = compare(
        context, [&] { joinThroughWindow(pieces, out); }, command, clean);
    const std::string shown =
        "cat source.split1..source.split" + std::to_string(piecePaths.size()) + " > source.bin";
    return {bytes, timings.kalvexSeconds, shown, timings.referenceSeconds};
}

const Registration joinFloppy{{"join-floppy", [](const Context& context) {
                                   return runJoin(context, 1024 * MiB, Floppy);
                               }}};

const Registration joinCd{{"join-cd", [](const Context& context) {
                               return runJoin(context, 2048 * MiB, CdR);
                           }}};

} // namespace
} // namespace kalvex::bench
