// The join against a hostile machine: manifests and pieces that are not files, lines and
// names too long, pieces that cannot come from one split, a join that dies part-way, and
// the flush to disk.
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Faulty = FaultyFileSystem;

// A manifest movie.splitMain and pieces of 3000, 3000 and 1000 bytes in one folder, joined
// into another that already holds an older movie.avi.
struct Scene {
    TempDir pieces, target;
    Watch watch;
    std::string manifest = pieces.file("movie.splitMain");
    Scene(const std::vector<std::int64_t>& sizes = {3000, 3000, 1000}) {
        writeFile(manifest, " " + std::to_string(sizes.size()) + " \r\nmovie.avi\r\n");
        std::int64_t offset = 0;
        for (std::size_t k = 0; k < sizes.size(); offset += sizes[k++])
            writeFile(piece(k + 1), patternBytes(sizes[k], offset));
        writeFile(target.file("movie.avi"), "old");
    }
    std::string piece(std::size_t k) const {
        return pieces.file("movie.split" + std::to_string(k));
    }
    std::string run(files::FileSystem& fileSystem = files::FileSystem::native()) {
        return joinAll(manifest, target.folder(), fileSystem, watch);
    }
    std::string output() const { return readFile(target.file("movie.avi")); }
};

// Refused before anything is written, and quickly: a FIFO would have kept the open waiting.
TEST(JoinSafety, RefusesWhatCannotBeJoinedBeforeWriting) {
    const std::pair<std::function<void(Scene&)>, std::string> cases[] = {
        {[](Scene& s) { fs::remove(s.manifest), ::mkfifo(s.manifest.c_str(), 0600); }, "is a FIFO"},
        {[](Scene& s) { fs::remove(s.piece(2)), ::mkfifo(s.piece(2).c_str(), 0600); }, "is a FIFO"},
        {[](Scene& s) { fs::remove(s.piece(3)), fs::create_symlink("/dev/zero", s.piece(3)); },
         "split3\": it is a character device, not a regular file"},
        {[](Scene& s) {
             fs::remove(s.piece(3)), fs::create_symlink("/proc/self/stat", s.piece(3));
         },
         "split3\": it is made up by the kernel"},
        {[](Scene& s) { writeFile(s.manifest, " 3 \r\n" + std::string(300, 'n') + "\r\n"); },
         "\": its name is 300 bytes long; the folder takes names of at most 255 bytes"},
        {[](Scene& s) { writeFile(s.manifest, " 3 \r\n" + std::string(5000, 'n') + "\r\n"); },
         "it is not a split manifest (a line is longer than 4080 bytes)"},
        {[](Scene& s) { writeFile(s.piece(2), std::string(2999, 'x')); },
         "split2\" holds 2999 bytes where piece 1 holds 3000; these pieces cannot come from one"},
        {[](Scene& s) { writeFile(s.piece(3), std::string(3001, 'x')); }, "split3\" holds 3001"},
        {[](Scene& s) {
             auto holder =
                 files::FileSystem::native().openWrite(s.piece(1), files::WriteMode::Keep);
             ASSERT_TRUE(holder->tryLock(files::LockMode::Exclusive));
             s.watch.then = [h = std::shared_ptr<files::File>(std::move(holder))] {
             };
         },
         "is being written by a split that has not finished"},
    };
    for (const auto& [arrange, says] : cases) {
        Scene s;
        arrange(s);
        const std::string message = s.run();
        EXPECT_NE(message.find(says), std::string::npos) << message;
        EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
        EXPECT_EQ(s.output(), "old");
    }
}

// A 2 GiB manifest without a line end is found out after 4081 bytes of each line read.
TEST(JoinSafety, AHugeManifestIsReadInBoundedMemory) {
    Scene s;
    writeFile(s.manifest, "");
    fs::resize_file(s.manifest, std::uintmax_t{2} << 30);
    Faulty faults;
    EXPECT_NE(s.run(faults).find("not a split manifest"), std::string::npos);
    EXPECT_LE(faults.bytesRead("movie.splitMain"), 4081);
}

TEST(JoinSafety, AKilledJoinLeavesNothingBehind) {
    Scene s;
    s.watch.then = [] {
        std::raise(SIGKILL);
    };
    EXPECT_EXIT(s.run(), testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
}

TEST(JoinSafety, TheOutputAndItsFolderAreFlushedBeforeSuccess) {
    Scene s;
    Faulty faults;
    ASSERT_EQ(s.run(faults), "");
    EXPECT_TRUE(s.output() == patternBytes(7000));
    EXPECT_EQ(faults.flushed(),
              (std::vector<std::string>{s.target.file("movie.avi"), s.target.path().string()}));
    // A failed flush fails the join; the old file stays and what was joined is kept.
    Scene again;
    Faulty flaky;
    flaky.failFlush("movie.avi", EIO);
    const std::string message = again.run(flaky);
    EXPECT_NE(message.find("Cannot flush to the device"), std::string::npos) << message;
    EXPECT_NE(message.find("movie.avi.kalvex-join\""), std::string::npos) << message;
    EXPECT_EQ(again.output(), "old");
    EXPECT_TRUE(readFile(again.target.file("movie.avi.kalvex-join")) == patternBytes(7000));
}

// FAT and exFAT sticks lack unnamed files, links, locks and folder flushes: the join works,
// and a failed one still keeps what it joined under a visible name.
TEST(JoinSafety, FileSystemsLackingFeaturesStillJoinAndKeepWhatFailed) {
    const std::function<void(Faulty&, Scene&)> lacks[] = {
        [](Faulty& f, Scene&) { f.lack(Faulty::UnnamedFiles, EOPNOTSUPP); },
        [](Faulty& f, Scene&) { f.lack(Faulty::Links, EPERM); },
        [](Faulty& f, Scene&) { f.lack(Faulty::Locks, ENOLCK); },
        [](Faulty& f, Scene& s) { f.failFlush(s.target.path().filename(), EINVAL); },
    };
    for (const auto& lack : lacks) {
        for (const bool fails : {false, true}) {
            Scene s;
            Faulty faults;
            lack(faults, s);
            if (fails)
                faults.failReadsAfter("movie.split3", 10, EIO), faults.failCopyFileRange(EXDEV);
            const std::string message = s.run(faults);
            EXPECT_EQ(s.output(), fails ? "old" : patternBytes(7000));
            const auto names = namesIn(s.target.path());
            EXPECT_EQ(names.size(), fails ? 2U : 1U) << "no temporary file left on success";
            if (fails) {
                EXPECT_NE(message.find("movie.avi.kalvex-join\""), std::string::npos) << message;
                EXPECT_TRUE(readFile(s.target.file("movie.avi.kalvex-join")) == patternBytes(6000));
            }
        }
    }
}

} // namespace
} // namespace kalvex::test
