// The split against a hostile machine: sources that are not files, names planted or too
// long, a second split of the same set, a split that dies part-way, and the flush to disk.
#include "files/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

TEST(SplitSafety, RefusesSourcesThatAreNotRegularFilesBeforeWriting) {
    const std::pair<std::function<bool(const std::string&)>, const char*> sources[] = {
        {[](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, "is a FIFO"},
        {[](const std::string& p) {
             return ::mknod(p.c_str(), S_IFBLK | 0600, makedev(7, 99)) == 0;
         },
         "is a block device"},
        {[](const std::string& p) { return fs::create_symlink("/dev/zero", p), true; },
         "is a character device"},
        {[](const std::string& p) { return fs::create_symlink("/proc/self/status", p), true; },
         "is made up by the kernel"},
    };
    for (const auto& [make, says] : sources) {
        Scene s;
        fs::remove(s.in.sourcePath);
        if (!make(s.in.sourcePath))
            continue; // no device nodes in this sandbox
        const std::string message = s.run();
        EXPECT_NE(message.find(s.in.sourcePath + "\": it " + says), std::string::npos) << message;
        EXPECT_EQ(namesIn(s.dir.path()), std::set<std::string>{"movie.avi"});
    }
}

TEST(SplitSafety, RefusesPlantedLinksTooLongNamesAndASetInUseBeforeWriting) {
    const std::pair<void (*)(Scene&), std::string> cases[] = {
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
        {[](Scene& s) { s.in.pieceCount = 4; }, "are in use by another"},
    };
    for (const auto& [arrange, says] : cases) {
        Scene s;
        writeFile(s.out("victim"), "elsewhere");
        writeFile(s.out("movie.split1"), "old");
        arrange(s);
        const auto before = namesIn(s.dir.path());
        // The last case: another job holds piece 1 of the set.
        auto holder =
            files::FileSystem::native().openWrite(s.out("movie.split1"), files::WriteMode::Keep);
        if (s.in.pieceCount == 4)
            ASSERT_TRUE(holder->tryLock(files::LockMode::Exclusive));
        const std::string message = s.run();
        EXPECT_NE(message.find(says), std::string::npos) << message;
        EXPECT_EQ(namesIn(s.dir.path()), before);
        EXPECT_EQ(readFile(s.out("victim")) + readFile(s.out("movie.split1")), "elsewhereold");
    }
}

TEST(SplitSafety, ASecondSplitOrAJoinOfASetBeingWrittenIsRefused) {
    Scene s;
    writeFile(s.out("movie.splitmain"), " 3 \r\nmovie.avi\r\n"); // reaches the same pieces
    std::vector<std::string> others;
    s.watch.then = [&] {
        if (!others.empty())
            return;
        Watch quiet;
        Scene second;
        second.in.destinationFolder = s.in.destinationFolder;
        others.push_back(splitAll(second.in, files::FileSystem::native(), quiet));
        others.push_back(joinAll(s.out("movie.splitmain"), second.dir.folder(),
                                 files::FileSystem::native(), quiet));
    };
    EXPECT_EQ(s.run(), "");
    s.expectSet();
    ASSERT_EQ(others.size(), 2U);
    EXPECT_NE(others[0].find("are in use by another split or join"), std::string::npos);
    EXPECT_NE(others[1].find("is being written by a split"), std::string::npos) << others[1];
}

TEST(SplitSafety, AReSplitThatFailsOrIsKilledLeavesNoManifestBesideItsPieces) {
    for (const bool killed : {false, true}) {
        Scene s;
        ASSERT_EQ(s.run(), "");
        writePattern(s.in.sourcePath, 6500); // the new source for the same set
        if (killed) {
            s.watch.then = [] {
                std::raise(SIGKILL);
            };
            EXPECT_EXIT(s.run(), testing::KilledBySignal(SIGKILL), "");
        } else {
            Faulty faults;
            faults.failWritesAfter("movie.split2", 100, ENOSPC);
            EXPECT_NE(s.run(faults).find("No space left"), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(s.out("movie.splitMain"))) << "a join would mix old and new";
    }
}

TEST(SplitSafety, EveryPieceTheManifestAndTheFolderAreFlushedBeforeSuccess) {
    Scene s;
    Faulty faults;
    ASSERT_EQ(s.run(faults), "");
    const std::vector<std::string> flushed{s.out("movie.split1"), s.out("movie.split2"),
                                           s.out("movie.split3"), s.out("movie.splitMain"),
                                           s.dir.path().string()};
    EXPECT_EQ(faults.flushed(), flushed);
    // A failed flush of a piece, the manifest or the folder fails the split; no manifest.
    for (const std::string failing : {"movie.split2", "movie.splitMain", ""}) {
        Scene again;
        Faulty flaky;
        flaky.failFlush(failing.empty() ? again.dir.path().filename().string() : failing, EIO);
        EXPECT_NE(again.run(flaky).find("Cannot flush to the device"), std::string::npos);
        EXPECT_EQ(fs::exists(again.out("movie.splitMain")), failing.empty());
    }
    Scene off;
    Faulty quiet;
    files::setDurabilityEnabled(false);
    EXPECT_EQ(off.run(quiet), "");
    files::setDurabilityEnabled(true);
    EXPECT_TRUE(quiet.flushed().empty()) << "the benchmark's switch";
}

// FAT and exFAT sticks lack unnamed files, links, locks and folder flushes: the split works.
TEST(SplitSafety, FileSystemsLackingFeaturesStillSplit) {
    const std::function<void(Faulty&, Scene&)> lacks[] = {
        [](Faulty& f, Scene&) { f.lack(Faulty::UnnamedFiles, EOPNOTSUPP); },
        [](Faulty& f, Scene&) { f.lack(Faulty::UnnamedFiles, EISDIR); },
        [](Faulty& f, Scene&) { f.lack(Faulty::Links, EPERM); },
        [](Faulty& f, Scene&) { f.lack(Faulty::Locks, ENOLCK); },
        [](Faulty& f, Scene& s) { f.failFlush(s.dir.path().filename(), EINVAL); },
    };
    for (const auto& lack : lacks) {
        Scene s;
        writeFile(s.out("movie.splitMain"), "old manifest");
        Faulty faults;
        lack(faults, s);
        EXPECT_EQ(s.run(faults), "");
        s.expectSet();
        EXPECT_EQ(namesIn(s.dir.path()).size(), 5U) << "no temporary file left";
    }
}

} // namespace
} // namespace kalvex::test
