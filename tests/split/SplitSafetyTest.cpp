// The split against a hostile machine: sources that are not files, names planted or too
// long, a second split of the same set, a split that dies part-way, and the flush to disk.
#include "files/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Faulty = FaultyFileSystem;

// A 7000-byte source movie.avi split into three pieces movie.split1..3 in its own folder.
struct Scene {
    TempDir dir;
    Watch watch;
    SplitInputs in{dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 3072, 3};
    Scene() { writePattern(in.sourcePath, 7000); }
    std::string run(files::FileSystem& fileSystem = files::FileSystem::native()) {
        return splitAll(in, fileSystem, watch);
    }
    std::string out(const std::string& name) const { return dir.file(name); }
    void expectSet() const {
        EXPECT_EQ(readFile(out("movie.splitMain")), " 3 \r\nmovie.avi\r\n");
        EXPECT_TRUE(readFile(out("movie.split1")) + readFile(out("movie.split2")) +
                        readFile(out("movie.split3")) ==
                    patternBytes(7000));
    }
};

TEST(SplitSafety, RefusesOddSourcesPlantedLinksAndTooLongNamesBeforeWriting) {
    const auto source = [](Scene& s, const char* target) {
        fs::remove(s.in.sourcePath), fs::create_symlink(target, s.in.sourcePath);
    };
    const std::pair<std::function<void(Scene&)>, std::string> cases[] = {
        {[](Scene& s) { fs::remove(s.in.sourcePath), ::mkfifo(s.in.sourcePath.c_str(), 0600); },
         "movie.avi\": it is a FIFO"},
        {[&](Scene& s) { source(s, "/dev/zero"); }, "movie.avi\": it is a character device"},
        {[&](Scene& s) { source(s, "/proc/self/status"); }, "movie.avi\": it is made up by the"},
        {[](Scene& s) { fs::create_symlink(s.out("victim"), s.out("movie.split2")); },
         "movie.split2\" is a symbolic link"},
        {[](Scene& s) { fs::create_symlink(s.out("victim"), s.out("movie.splitMain")); },
         "movie.splitMain\" is a symbolic link"},
        {[](Scene& s) { s.in.pieceName = std::string(252, 'p'); },
         std::string(252, 'p') + "Main\" is 256 bytes long; the folder takes names of at most 255"},
        {[](Scene& s) {
             s.in.pieceName = std::string(254, 'p'), s.in.pieceCount = 10, s.in.pieceSize = 700;
         },
         std::string(254, 'p') + "10\" is 256 bytes long"},
    };
    for (const auto& [arrange, says] : cases) {
        Scene s;
        writeFile(s.out("victim"), "elsewhere");
        arrange(s);
        const auto before = namesIn(s.dir.path());
        const std::string message = s.run();
        EXPECT_NE(message.find(says), std::string::npos) << message;
        EXPECT_EQ(namesIn(s.dir.path()), before);
        EXPECT_EQ(readFile(s.out("victim")), "elsewhere");
    }
}

TEST(SplitSafety, ASecondSplitOfASetBeingWrittenIsRefused) {
    Scene s;
    std::string second;
    s.watch.then = [&] {
        if (!second.empty())
            return;
        Watch quiet;
        Scene other;
        other.in.destinationFolder = s.in.destinationFolder;
        second = splitAll(other.in, files::FileSystem::native(), quiet);
    };
    EXPECT_EQ(s.run(), "");
    s.expectSet();
    EXPECT_NE(second.find("are in use by another split or join"), std::string::npos) << second;
}

TEST(SplitSafety, AReSplitThatFailsOrIsKilledLeavesNoManifestBesideItsPieces) {
    for (const bool killed : {false, true}) {
        Scene s;
        ASSERT_EQ(s.run(), "");
        writePattern(s.in.sourcePath, 6500); // the new source for the same set
        if (killed) {
            s.watch.then = Watch::die;
            EXPECT_EXIT(s.run(), testing::KilledBySignal(SIGKILL), "");
        } else {
            Faulty faults;
            faults.failWritesAfter("movie.split2", 100, ENOSPC);
            EXPECT_NE(s.run(faults).find("No space left"), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(s.out("movie.splitMain"))) << "a join would mix old and new";
    }
}

// Every piece, the manifest and the folder are flushed before success, also on sticks that
// lack a feature; a failed flush of any fails the split. The benchmark turns flushes off.
TEST(SplitSafety, FlushedBeforeSuccessAlsoOnSticksLackingFeatures) {
    const std::size_t none = std::size(Faulty::stickLacks);
    for (std::size_t lacking = 0; lacking <= none + 3; ++lacking) {
        Scene s;
        writeFile(s.out("movie.splitMain"), "old manifest");
        Faulty faults;
        if (lacking < none)
            faults.lack(Faulty::stickLacks[lacking].first, Faulty::stickLacks[lacking].second);
        const std::string failing[] = {"movie.split2", "movie.splitMain",
                                       s.dir.path().filename().string()};
        if (lacking > none)
            faults.failFlush(failing[lacking - none - 1], EIO);
        const std::string message = s.run(faults);
        if (lacking > none) {
            EXPECT_NE(message.find("Cannot flush to the device"), std::string::npos) << message;
            EXPECT_FALSE(fs::exists(s.out("movie.splitMain")));
            continue;
        }
        EXPECT_EQ(message, "");
        s.expectSet();
        EXPECT_EQ(namesIn(s.dir.path()).size(), 5U) << "no temporary file left";
        const std::vector<std::string> flushed{s.dir.path().string(),    s.out("movie.split1"),
                                               s.out("movie.split2"),    s.out("movie.split3"),
                                               s.out("movie.splitMain"), s.dir.path().string()};
        EXPECT_TRUE(lacking != none || faults.flushed() == flushed);
    }
    Scene off;
    Faulty quiet;
    files::setDurabilityEnabled(false);
    EXPECT_EQ(off.run(quiet), "");
    files::setDurabilityEnabled(true);
    EXPECT_TRUE(quiet.flushed().empty()) << "the benchmark's switch";
}

} // namespace
} // namespace kalvex::test
