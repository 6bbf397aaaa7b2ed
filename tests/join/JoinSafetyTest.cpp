// The join against a hostile machine: manifests and pieces that are not files, lines and
// names too long, pieces that cannot come from one split, a join that dies part-way, and
// the flush to disk.
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
    std::unique_ptr<files::File> holder; // another job's hold on a piece
    Scene() {
        writeFile(manifest, " 3 \r\nmovie.avi\r\n");
        for (int k = 0; k < 3; ++k)
            writeFile(piece(k + 1), patternBytes(k < 2 ? 3000 : 1000, 3000 * k));
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
             s.holder = files::FileSystem::native().openWrite(s.piece(1), files::WriteMode::Keep);
             s.holder->tryLock(files::LockMode::Exclusive);
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
    s.watch.then = Watch::die;
    EXPECT_EXIT(s.run(), testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(namesIn(s.target.path()), std::set<std::string>{"movie.avi"});
}

// The output and its folder are flushed before success; a failed flush fails the join,
// which keeps the old file and what it joined. The same where a stick lacks a feature.
TEST(JoinSafety, FlushedBeforeSuccessAndKeptOnFailureAlsoOnSticksLackingFeatures) {
    const std::size_t none = std::size(Faulty::stickLacks);
    for (std::size_t run = 0; run < 2 * (none + 1); ++run) {
        const std::size_t lacking = run / 2;
        const bool fails = run % 2;
        Scene s;
        Faulty faults;
        if (lacking < none)
            faults.lack(Faulty::stickLacks[lacking].first, Faulty::stickLacks[lacking].second);
        if (fails)
            faults.failFlush("movie.avi", EIO), faults.failFlush("kalvex-join", EIO);
        const std::string message = s.run(faults);
        EXPECT_EQ(s.output(), fails ? "old" : patternBytes(7000));
        EXPECT_EQ(namesIn(s.target.path()).size(), fails ? 2U : 1U) << "kept, or no leftover";
        EXPECT_EQ(message.find("Cannot flush to the device") != std::string::npos, fails);
        if (fails) {
            EXPECT_NE(message.find("movie.avi.kalvex-join\""), std::string::npos) << message;
            EXPECT_TRUE(readFile(s.target.file("movie.avi.kalvex-join")) == patternBytes(7000));
        } else if (lacking == none) {
            EXPECT_EQ(faults.flushed(), (std::vector<std::string>{s.target.file("movie.avi"),
                                                                  s.target.path().string()}));
        }
    }
}

} // namespace
} // namespace kalvex::test
