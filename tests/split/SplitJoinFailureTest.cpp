// Splits and joins whose files fail, on every system: what a failure leaves behind, and the
// files held open on the way. The failures come from FailingFileSystem, over the native files.
#include "split/PieceOpener.h"
#include "support/SplitJoinScene.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace kalvex::test {
namespace {

using Scene = SplitJoinScene;

bool has(const std::string& message, const std::string& part) {
    return message.find(part) != std::string::npos;
}

// A second split of a set being written is refused. A re-split that fails leaves no manifest
// that a join would read with old and new pieces, nor the old checksum file, leaves a piece it
// never reached as it was, and closes every file it opened.
TEST(SplitJoinFailure, ASetInUseIsRefusedAndAFailedResplitLeavesNoManifest) {
    Scene s;
    std::string second;
    s.then = [&] {
        Scene other;
        other.in.destinationFolder = s.in.destinationFolder;
        second = second.empty() ? other.split(files::FileSystem::native()) : second;
    };
    ASSERT_EQ(s.split(), "");
    EXPECT_TRUE(has(second, "are in use by another split or join")) << second;
    s.then = {};
    writePattern(s.in.sourcePath, 6500); // the new source for the same set
    FailingFileSystem faults;
    faults.failWritesAfter("movie.split2", 100, ENOSPC);
    const std::string message = s.split(faults);
    EXPECT_TRUE(has(message, "movie.split2\": " +
                                 systemError("", files::FileOperation::Write, ENOSPC).reason()))
        << message;
    EXPECT_FALSE(fs::exists(s.manifest) || fs::exists(s.checksums));
    EXPECT_EQ(readFile(s.piece(3)), patternBytes(856, 6144));
    EXPECT_EQ(faults.openFiles(), 0);
}

// A failed flush fails the split, which leaves no manifest, whichever flush failed: a piece's,
// the manifest's (unnamed, or under its temporary name), or the folder's. (A join whose flush
// fails: SplitJoinSafetyTest.cpp.)
TEST(SplitJoinFailure, AFailedFlushFailsTheSplitAndLeavesNoManifest) {
    for (const int failing : {0, 1, 2}) {
        Scene s;
        writeFile(s.manifest, "old manifest");
        FailingFileSystem faults;
        const std::vector<std::string> suffixes[] = {
            {"movie.split2"}, {"movie.splitMain", ".kalvex-split"}, {s.dir.path().string()}};
        for (const std::string& suffix : suffixes[failing])
            faults.failFlush(suffix, EIO);
        const std::string message = s.split(faults);
        EXPECT_TRUE(has(message, "Cannot flush to the device")) << message;
        EXPECT_FALSE(fs::exists(s.manifest));
        EXPECT_EQ(faults.openFiles(), 0);
    }
}

// A source moved to a piece's name once the split has begun is not emptied as that piece.
TEST(SplitJoinFailure, TheSourceAsOpenedIsNeverAPiece) {
    Scene s;
    writePattern(s.in.sourcePath, 1100);
    s.in.pieceSize = 1, s.in.pieceCount = 1100;
    s.then = [&] {
        if (fs::exists(s.in.sourcePath))
            fs::rename(s.in.sourcePath, s.piece(50)); // far past the pieces opened ahead
    };
    EXPECT_TRUE(has(s.split(), "movie.split50\": it is the file being split"));
    EXPECT_TRUE(readFile(s.piece(50)) == patternBytes(1100));
}

// Pieces are opened ahead of the copy and wait for their flush together, within bounds on the
// files held open.
TEST(SplitAhead, HoldsFewFilesOpen) {
    Scene s;
    writePattern(s.in.sourcePath, 1100);
    s.in.pieceSize = 1, s.in.pieceCount = 1100;
    FailingFileSystem faults;
    int first = -1, most = 0;
    faults.beforeWrite = [&](auto&&...) {
        if (first < 0) {
            // A slow first block, so that the opener runs as far ahead as it may.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            first = faults.openFiles();
        }
        most = std::max(most, faults.openFiles());
    };
    ASSERT_EQ(s.split(faults), "");
    // The source, piece 1, the piece being written, those opened ahead, those unflushed,
    // those waiting for their digest and those being hashed.
    const int hashing = int(PieceHasher::MostWaiting + PieceHasher::Threads);
    EXPECT_LE(first, int(3 + PieceOpener::Ahead) + hashing);
    EXPECT_LE(most, int(3 + PieceOpener::Ahead + SplitJob::MostUnflushed) + hashing);
    EXPECT_EQ(faults.openFiles(), 0);
    EXPECT_EQ(namesIn(s.dir.path()).size(), 1103U) << "source, pieces, checksums, manifest";
}

} // namespace
} // namespace kalvex::test
