// Splits and joins driven directly against a hostile POSIX machine: links planted, names too
// long, killed jobs, permissions and hard links, the kernel's copy declining, and the flush to
// disk on sticks that lack a feature. SplitJoinFailureTest.cpp has the cases every system runs.
#include "support/FaultyFileSystem.h"
#include "support/SplitJoinScene.h"

#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace kalvex::test {
namespace {

using Scene = SplitJoinScene;

// Refused before anything is written; a link is neither followed nor replaced.
TEST(SplitJoinSafety, RefusesPlantedLinksAndBadNamesOrPiecesBeforeWriting) {
    enum Job { Split, Join };
    const std::tuple<Job, std::function<void(Scene&)>, std::string> cases[] = {
        {Split, [](Scene& s) { fs::create_symlink(s.dir.file("victim"), s.piece(2)); },
         "movie.split2\" is a symbolic link"},
        {Split, [](Scene& s) { s.in.pieceName = std::string(252, 'p'); },
         std::string(252, 'p') + "Main\" is 256 bytes long; the folder takes names of at most 255"},
        {Join, [](Scene& s) { writeFile(s.manifest, " 3 \r\n" + std::string(300, 'n') + "\r\n"); },
         "\": its name is 300 bytes long; the folder takes names of at most 255 bytes"},
        {Join, [](Scene& s) { writeFile(s.manifest, ""), fs::resize_file(s.manifest, 1UL << 36); },
         "it is not a split manifest (a line is longer than 4080 bytes)"},
        {Join, [](Scene& s) { writeFile(s.piece(2), std::string(3071, 'x')); },
         "split2\" holds 3071 bytes where piece 1 holds 3072; these pieces cannot come from one"},
        {Join, [](Scene& s) { writeFile(s.piece(3), std::string(3073, 'x')); },
         "split3\" holds 3073"},
        {Join,
         [](Scene& s) {
             s.holder = files::FileSystem::native().openWrite(s.piece(1), files::WriteMode::Keep);
             s.holder->tryLock(files::LockMode::Exclusive);
         },
         "is being written by a split that has not finished"},
    };
    for (const auto& [job, arrange, says] : cases) {
        Scene s;
        ASSERT_EQ(job == Join ? s.split() : "", "");
        arrange(s);
        const auto before = namesIn(s.dir.path());
        const std::string message = job == Split ? s.split() : s.join();
        EXPECT_NE(message.find(says), std::string::npos) << message;
        EXPECT_EQ(namesIn(s.dir.path()), before);
        EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
        EXPECT_EQ(s.joined(), "old");
    }
}

// A job killed at its first write leaves no half result: no joined file, and no manifest that a
// join would read with old and new pieces.
TEST(SplitJoinSafety, JobsKilledAtTheirFirstWriteLeaveNoHalfResult) {
    Scene s;
    ASSERT_EQ(s.split(), "");
    s.then = [] {
        std::raise(SIGKILL);
    };
    EXPECT_EXIT(s.join(), testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
    EXPECT_EXIT(s.split(), testing::KilledBySignal(SIGKILL), "");
    EXPECT_FALSE(fs::exists(s.manifest));
}

// Names that other names share are never written into; the set and the rebuilt file are as
// private as what they came from.
TEST(SplitJoinSafety, HardLinkedNamesAreLeftAloneAndPermissionsFollowTheData) {
    Scene s;
    fs::permissions(s.in.sourcePath, fs::perms::owner_read | fs::perms::owner_write);
    for (const int k : {1, 2}) {
        writeFile(s.dir.file("precious" + std::to_string(k)), "precious");
        fs::create_hard_link(s.dir.file("precious" + std::to_string(k)), s.piece(k));
    }
    ASSERT_EQ(s.split(), "");
    EXPECT_EQ(readFile(s.dir.file("precious1")) + readFile(s.dir.file("precious2")),
              "preciousprecious");
    EXPECT_TRUE(readFile(s.piece(1)) + readFile(s.piece(2)) + readFile(s.piece(3)) ==
                patternBytes(7000));
    const auto mode = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 0777;
    };
    for (const std::string& path : {s.piece(1), s.piece(2), s.piece(3), s.manifest})
        EXPECT_EQ(mode(path), 0600U) << path;

    // A new file takes piece 1's bits (here through a link to it); a file replaced keeps its
    // own, and its owner and group where the program may give them.
    fs::rename(s.piece(1), s.dir.file("elsewhere"));
    fs::create_symlink(s.dir.file("elsewhere"), s.piece(1));
    fs::remove(s.target.file("movie.avi"));
    ASSERT_EQ(s.join(), "");
    EXPECT_EQ(mode(s.target.file("movie.avi")), 0600U);
    ::chmod(s.target.file("movie.avi").c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        EXPECT_EQ(::chown(s.target.file("movie.avi").c_str(), 1234, 4321), 0);
    }
    ASSERT_EQ(s.join(), "");
    struct stat joined {};
    ::stat(s.target.file("movie.avi").c_str(), &joined);
    EXPECT_EQ(joined.st_mode & 0777, 0640U);
    EXPECT_TRUE(!root || (joined.st_uid == 1234 && joined.st_gid == 4321));
}

// A job killed at any moment leaves no file that holds room its length does not show, and
// no temporary file: the join's output and the split's manifest are flushed before they are
// named. A temporary file that outlived a kill, where the file system has no unnamed files,
// is cleared by the next job of its name.
TEST(SplitJoinSafety, KilledJobsLeaveNoHiddenRoomNorTemporaryFiles) {
    Scene s;
    writePattern(s.in.sourcePath, 6 << 20);
    s.in.pieceSize = 1 << 20, s.in.pieceCount = 6;
    s.then = [&] {
        for (int wait = 0; wait < 2000 && !fs::exists(s.piece(6)); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the opener's lead
        std::raise(SIGKILL);
    };
    EXPECT_EXIT(s.split(), testing::KilledBySignal(SIGKILL), "");
    for (const auto& entry : fs::directory_iterator(s.dir.path())) {
        struct stat status {};
        ::stat(entry.path().c_str(), &status);
        EXPECT_LE(std::int64_t{status.st_blocks} * 512, status.st_size + 65536) << entry.path();
    }
    s.then = {};
    ASSERT_EQ(s.split(), "");
    for (const char* killedAt : {"movie.avi", "movie.splitMain"}) {
        FailingFileSystem faults;
        faults.beforeFlush = [&](const std::string& path) {
            if (path.ends_with(killedAt))
                std::raise(SIGKILL);
        };
        EXPECT_EXIT(killedAt[6] == 's' ? s.split(faults) : s.join(faults),
                    testing::KilledBySignal(SIGKILL), "");
    }
    EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(namesIn(s.dir.path()).size(), 8U) << "source, 6 pieces, checksums, no manifest";
    writeFile(s.target.file("movie.avi.kalvex-join"), "left by a kill");
    FaultyFileSystem stick;
    stick.lack(FaultyFileSystem::UnnamedFiles, EOPNOTSUPP);
    ASSERT_EQ(s.split(stick), "");
    ASSERT_EQ(s.join(stick), "");
    EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
}

// Every piece, the manifest, the output and their folders are flushed before success, also on
// sticks that lack a feature; there too, a join whose flush fails keeps the old file and what
// it joined.
TEST(SplitJoinSafety, FlushedBeforeSuccessAndKeptOnFailureAlsoOnSticksLackingFeatures) {
    // The features that FAT and exFAT sticks lack, and then none.
    for (const auto& [feature, error] : {std::pair{FaultyFileSystem::UnnamedFiles, EOPNOTSUPP},
                                         {FaultyFileSystem::Links, EPERM},
                                         {FaultyFileSystem::Locks, ENOLCK},
                                         {FaultyFileSystem::FolderFlushes, EINVAL},
                                         {FaultyFileSystem::Links, 0}})
        for (const bool fails : {false, true}) {
            Scene s;
            writeFile(s.manifest, "old manifest");
            FaultyFileSystem stick;
            stick.lack(feature, error);
            EXPECT_EQ(s.split(stick), "");
            EXPECT_EQ(namesIn(s.dir.path()).size(), 6U) << "no temporary file left";
            FailingFileSystem faults(stick);
            if (fails)
                faults.failFlush("movie.avi", EIO), faults.failFlush("kalvex-join", EIO);
            const std::string message = s.join(faults);
            EXPECT_EQ(s.joined() == "old", fails);
            EXPECT_EQ(namesIn(s.target.path()).size(), fails ? 2U : 1U) << "kept, or no leftover";
            EXPECT_TRUE(readFile(s.target.file(fails ? "movie.avi.kalvex-join" : "movie.avi")) ==
                        patternBytes(7000));
            EXPECT_EQ(message.find("Cannot flush to the device") != std::string::npos &&
                          message.find("movie.avi.kalvex-join\"") != std::string::npos,
                      fails)
                << message;
            if (!fails && error == 0) {
                const std::string folder = s.dir.path().string(), into = s.target.path().string();
                EXPECT_EQ(stick.flushed(), (std::vector<std::string>{
                                               folder, s.piece(1), s.piece(2), s.piece(3),
                                               s.dir.file("movie.split.sha256"), folder, s.manifest,
                                               folder, s.target.file("movie.avi"), into}));
            }
        }
}

// The split's blocks go through the kernel's in-place copy while it agrees, and through the
// block buffer from the block it first declines, with the same bytes either way: declined at
// once, after part of a block; and a failure that is no refusal to copy fails the split.
TEST(SplitCopy, KernelThenBufferGiveTheSameBytesAndKernelFailuresFailTheSplit) {
    for (const auto& [copied, error] :
         {std::pair{0L, EXDEV}, {1500L, EOPNOTSUPP}, {3000L, ENOSPC}}) {
        Scene s;
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(error, copied);
        const std::string message = s.split(faulty);
        EXPECT_EQ(message.find("No space left") != std::string::npos, error == ENOSPC) << message;
        EXPECT_TRUE(error == ENOSPC ||
                    readFile(s.piece(1)) + readFile(s.piece(2)) + readFile(s.piece(3)) ==
                        patternBytes(7000));
    }
}

} // namespace
} // namespace kalvex::test
