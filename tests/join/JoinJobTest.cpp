#include "join/JoinJob.h"

#include "files/FileError.h"
#include "join/JoinFailure.h"
#include "join/JoinTestFiles.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace kalvex {
namespace {

namespace fs = std::filesystem;
using test::listing;
using test::readFile;
using test::TempDir;
using test::writeFile;
using test::writeManifest;
using test::writePieces;

struct RecordingObserver : JoinObserver {
    std::vector<std::pair<float, std::int64_t>> pieces;
    int idles = 0;
    void pieceDone(float bar, std::int64_t percent) override { pieces.emplace_back(bar, percent); }
    void idle() override { ++idles; }
};

// Pieces in one folder, the output in another.
struct JoinSetup {
    TempDir pieces;
    TempDir target;
    std::string manifest = pieces.file("movie.splitMain");
    std::string base = pieces.file("movie.split");
    RecordingObserver observer;

    std::string output(const std::string& title = "movie.avi") const { return target.file(title); }

    // The failure message, or nothing when the join succeeded.
    std::optional<std::string> join(const std::string& folder) {
        try {
            JoinJob(manifest, folder, observer).run();
            return std::nullopt;
        } catch (const JoinFailure& failure) {
            return std::string(failure.what());
        }
    }
    std::optional<std::string> join() { return join(target.folder()); }
};

bool mentions(const std::optional<std::string>& message, const std::string& text) {
    return message && message->find(text) != std::string::npos;
}

TEST(JoinJob, JoinsPiecesInNumberOrderAndReportsEachPiece) {
    JoinSetup s;
    const std::string expected = writePieces(s.base, {1024, 1024, 452});
    writeManifest(s.manifest, " 3 ", "movie.avi");

    EXPECT_EQ(s.join(), std::nullopt);
    EXPECT_EQ(readFile(s.output()), expected);
    ASSERT_EQ(s.observer.pieces.size(), 3U);
    EXPECT_EQ(s.observer.pieces[0].first, static_cast<float>(1.0 / 3.0 * 100));
    EXPECT_EQ(s.observer.pieces[1].first, static_cast<float>(2.0 / 3.0 * 100));
    EXPECT_EQ(s.observer.pieces[2].first, 100.0F);
    EXPECT_EQ(s.observer.pieces[0].second, 33);
    EXPECT_EQ(s.observer.pieces[1].second, 66);
    EXPECT_EQ(s.observer.pieces[2].second, 100);
    // Only the output is left in the target: the temporary file became it.
    EXPECT_EQ(listing(s.target.path()), std::set<std::string>{"movie.avi"});
}

TEST(JoinJob, PieceTenFollowsPieceNineAndEmptyPiecesAddNothing) {
    JoinSetup s;
    std::vector<std::int64_t> sizes{5, 0, 300, 1, 0, 77, 2, 9, 13, 4000, 3, 0};
    const std::string expected = writePieces(s.base, sizes);
    writeManifest(s.manifest, " 12 ", "movie.avi");
    EXPECT_EQ(s.join(), std::nullopt);
    EXPECT_EQ(readFile(s.output()), expected);
    EXPECT_EQ(s.observer.pieces.size(), 12U);
}

TEST(JoinJob, CountsBelowOneCreateNothingAndFractionsStopEarly) {
    for (const char* count : {" 0 ", "-3", "0.99"}) {
        JoinSetup s;
        writePieces(s.base, {10, 10});
        writeManifest(s.manifest, count, "movie.avi");
        EXPECT_EQ(s.join(), std::nullopt) << count;
        EXPECT_TRUE(listing(s.target.path()).empty()) << count;
        EXPECT_TRUE(s.observer.pieces.empty()) << count;
    }
    JoinSetup s;
    const std::string expected = writePieces(s.base, {10, 20, 30});
    writeManifest(s.manifest, "2.5", "movie.avi");
    EXPECT_EQ(s.join(), std::nullopt);
    EXPECT_EQ(readFile(s.output()), expected.substr(0, 30));
    ASSERT_EQ(s.observer.pieces.size(), 2U);
    EXPECT_EQ(s.observer.pieces[0], std::make_pair(40.0F, std::int64_t{40}));
    EXPECT_EQ(s.observer.pieces[1], std::make_pair(80.0F, std::int64_t{80}));
}

TEST(JoinJob, OutputPathIsTheFolderTextAndTheTitleAsGiven) {
    {
        // Blanks around the title are part of the file name; a lower-case "main" cuts the
        // same four characters.
        JoinSetup s;
        s.manifest = s.pieces.file("movie.splitmain");
        const std::string expected = writePieces(s.base, {100, 50});
        writeManifest(s.manifest, " 2 ", "  spaced name.bin  ");
        EXPECT_EQ(s.join(), std::nullopt);
        EXPECT_EQ(readFile(s.output("  spaced name.bin  ")), expected);
    }
    {
        // An existing folder typed without its separator gets one.
        JoinSetup s;
        const std::string expected = writePieces(s.base, {100});
        writeManifest(s.manifest, " 1 ", "movie.avi");
        EXPECT_EQ(s.join(s.target.path().string()), std::nullopt);
        EXPECT_EQ(readFile(s.output()), expected);
    }
    {
        // Text that is not a folder is used as typed: the title is appended to it.
        JoinSetup s;
        const std::string expected = writePieces(s.base, {100});
        writeManifest(s.manifest, " 1 ", "movie.avi");
        EXPECT_EQ(s.join(s.target.file("prefix-")), std::nullopt);
        EXPECT_EQ(readFile(s.output("prefix-movie.avi")), expected);
    }
    {
        // A name at the file system's length limit leaves no room for a temporary suffix.
        JoinSetup s;
        const std::string title = std::string(251, 'n') + ".bin";
        const std::string expected = writePieces(s.base, {100, 7});
        writeManifest(s.manifest, " 2 ", title);
        EXPECT_EQ(s.join(), std::nullopt);
        EXPECT_EQ(readFile(s.output(title)), expected);
        EXPECT_EQ(listing(s.target.path()), std::set<std::string>{title});
    }
}

TEST(JoinJob, AnExistingOutputIsReplacedByExactlyThePieces) {
    JoinSetup s;
    const std::string expected = writePieces(s.base, {10, 10});
    writeManifest(s.manifest, " 2 ", "movie.avi");
    writeFile(s.output(), std::string(5000, 'x'));
    // A stray file holding the first temporary name is left alone.
    writeFile(s.output("movie.avi.kalvex-join"), "stray");
    EXPECT_EQ(s.join(), std::nullopt);
    EXPECT_EQ(readFile(s.output()), expected);
    EXPECT_EQ(readFile(s.output("movie.avi.kalvex-join")), "stray");
    EXPECT_EQ(listing(s.target.path()).size(), 2U);
}

TEST(JoinJob, MissingPieceKeepsTheOldOutputAndNamesTheTemporaryFile) {
    JoinSetup s;
    const std::string expected = writePieces(s.base, {100, 100, 100});
    fs::remove(s.base + "2");
    writeManifest(s.manifest, " 3 ", "movie.avi");
    writeFile(s.output(), "old contents");

    const auto message = s.join();
    const std::string temporary = s.output("movie.avi.kalvex-join");
    EXPECT_TRUE(mentions(message, "\"" + s.base + "2\"")) << message.value_or("(none)");
    EXPECT_TRUE(mentions(message, "\"" + temporary + "\"")) << message.value_or("(none)");
    EXPECT_EQ(readFile(s.output()), "old contents");
    EXPECT_EQ(readFile(temporary), expected.substr(0, 100));
    EXPECT_EQ(s.observer.pieces.size(), 1U);
}

TEST(JoinJob, UnsafeTitlesAreRefusedBeforeAnythingIsCreated) {
    for (const std::string& title :
         {std::string(), std::string("."), std::string(".."), std::string("a/b"),
          std::string("../escape"), std::string("/etc/passwd"), std::string("nul\0x", 5),
          std::string("tab\there"), std::string("bell\x07"), std::string("del\x7F"),
          std::string("c1\xC2\x85"), std::string("c1 code page \x81")}) {
        JoinSetup s;
        writePieces(s.base, {10});
        writeManifest(s.manifest, " 1 ", title);
        const auto before = listing(s.pieces.path());
        const auto message = s.join();
        EXPECT_TRUE(mentions(message, "line 2")) << '"' << title << '"';
        EXPECT_TRUE(mentions(message, s.manifest)) << '"' << title << '"';
        EXPECT_TRUE(listing(s.target.path()).empty()) << '"' << title << '"';
        EXPECT_EQ(listing(s.pieces.path()), before) << '"' << title << '"';
        EXPECT_TRUE(s.observer.pieces.empty());
    }
}

TEST(JoinJob, AnOutputThatIsAPieceOrTheManifestIsRefused) {
    for (const char* title : {"movie.split2", "movie.splitMain"}) {
        JoinSetup s;
        const std::string expected = writePieces(s.base, {10, 10, 10});
        writeManifest(s.manifest, " 3 ", title);
        const std::string manifestBytes = readFile(s.manifest);
        const auto before = listing(s.pieces.path());
        const auto message = s.join(s.pieces.folder());
        EXPECT_TRUE(mentions(message, s.pieces.file(title))) << title;
        EXPECT_EQ(readFile(s.base + "2"), expected.substr(10, 10));
        EXPECT_EQ(readFile(s.manifest), manifestBytes);
        EXPECT_EQ(listing(s.pieces.path()), before);
    }
    // The same file under another name (a link) is caught as well.
    JoinSetup s;
    writePieces(s.base, {10, 10});
    writeManifest(s.manifest, " 2 ", "movie.avi");
    fs::create_hard_link(s.base + "1", s.output());
    EXPECT_TRUE(mentions(s.join(), "piece 1"));
    EXPECT_EQ(readFile(s.output()), readFile(s.base + "1"));
}

TEST(JoinJob, FailuresNameTheFileAndCreateNothing) {
    {
        JoinSetup s;
        const auto message = s.join();
        EXPECT_TRUE(mentions(message, "\"" + s.manifest + "\": No such file")) << *message;
    }
    {
        // A target folder that is missing, and one that is a file.
        JoinSetup s;
        writePieces(s.base, {10});
        writeManifest(s.manifest, " 1 ", "movie.avi");
        const std::string missing = s.target.file("gone") + "/";
        const auto message = s.join(missing);
        EXPECT_TRUE(mentions(message, "\"" + missing + "movie.avi\": No such file")) << *message;
        writeFile(s.target.file("plain"), "x");
        EXPECT_TRUE(mentions(s.join(s.target.file("plain") + "/"), "plain/movie.avi"));
        EXPECT_EQ(listing(s.target.path()), std::set<std::string>{"plain"});
    }
    {
        // A folder standing at the output path.
        JoinSetup s;
        writePieces(s.base, {10});
        writeManifest(s.manifest, " 1 ", "movie.avi");
        fs::create_directory(s.output());
        EXPECT_TRUE(mentions(s.join(), "folder"));
        EXPECT_EQ(listing(s.target.path()), std::set<std::string>{"movie.avi"});
    }
}

TEST(JoinJob, FaultsPartWayKeepTheOldOutputAndTheTemporaryFile) {
    struct Fault {
        const char* name;
        void (*arrange)(test::FaultyFileSystem&);
        std::string reasonAndFile; // appended to the folder of the pieces or the output
        std::int64_t keptBytes;    // of the 9000 joined
    };
    const Fault faults[] = {
        {"disk full",
         [](test::FaultyFileSystem& f) { f.failWritesAfter(".kalvex-join", 4000, ENOSPC); },
         "movie.avi.kalvex-join\": No space left", 4000},
        {"unreadable piece",
         [](test::FaultyFileSystem& f) {
             f.failReadsAfter("movie.split2", 4, EIO);
             f.failCopyFileRange(EXDEV);
         },
         "movie.split2\": Input/output error", 3000},
        {"rename", [](test::FaultyFileSystem& f) { f.failRename("movie.avi", EIO); },
         "movie.avi.kalvex-join\": Input/output error", 9000},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        JoinSetup s;
        const std::string expected = writePieces(s.base, {3000, 3000, 3000});
        writeManifest(s.manifest, " 3 ", "movie.avi");
        writeFile(s.output(), "old");
        test::FaultyFileSystem faulty;
        fault.arrange(faulty);
        std::optional<std::string> message;
        {
            files::FileSystem::Override use(faulty);
            message = s.join();
        }
        const std::string temporary = s.output("movie.avi.kalvex-join");
        EXPECT_TRUE(mentions(message, fault.reasonAndFile)) << message.value_or("(none)");
        EXPECT_TRUE(mentions(message, "kept in \"" + temporary + "\"")) << *message;
        EXPECT_EQ(faulty.openFiles(), 0);
        EXPECT_EQ(readFile(s.output()), "old");
        EXPECT_EQ(readFile(temporary), expected.substr(0, fault.keptBytes));
    }
}

TEST(JoinJob, PlainCopyLoopJoinsTheSameBytes) {
    JoinSetup s;
    // Sizes around the copy chunk of one MiB.
    const std::int64_t mib = 1 << 20;
    const std::string expected = writePieces(s.base, {mib - 1, mib + 1, 2 * mib, 0, 3});
    writeManifest(s.manifest, " 5 ", "movie.avi");
    files::setCopyFallbackForced(true);
    const auto message = s.join();
    files::setCopyFallbackForced(false);
    EXPECT_EQ(message, std::nullopt);
    EXPECT_EQ(readFile(s.output()) == expected, true);
    EXPECT_GT(s.observer.idles, 4);
}

} // namespace
} // namespace kalvex
