#include "split/SplitJob.h"
#include "files/FileError.h"
#include "split/SplitManifest.h"
#include "split/SplitRefusal.h"
#include "split/SplitTestSupport.h"
#include "split/SpyFileSystem.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <limits>

namespace kalvex {
namespace {

namespace fs = std::filesystem;
using test::ProgressLog;
using test::readFile;
using test::SplitScene;
using test::SpyFileSystem;
using test::writeFile;

using Bytes = std::vector<std::int64_t>;

// The steps in the order of the 1024-byte routine.
void runSplit(files::FileSystem& fileSystem, const SplitInputs& inputs, SplitObserver& observer) {
    SplitJob job(fileSystem, inputs, observer);
    const auto length = job.measureSource();
    job.openSource(SplitJob::routineFor(length, inputs.pieceSize));
    job.copyPieces();
    job.writeManifest();
    job.closeSource();
    job.closeManifest();
}

void runSplit(const SplitInputs& inputs) {
    ProgressLog ignored;
    runSplit(files::FileSystem::native(), inputs, ignored);
}

TEST(SplitJob, WorkedExampleComesOutByteForByte) {
    SplitScene scene;
    runSplit(scene.source(2 * 1024 + 452, 1024, 3));
    scene.expectPieces({1024, 1024, 452});
    const std::string manifest = readFile(scene.manifest());
    EXPECT_EQ(manifest, std::string("\x20\x33\x20\x0D\x0A"
                                    "movie.avi\x0D\x0A"));
    EXPECT_EQ(manifest.size(), 16U);
    EXPECT_EQ(scene.outFiles(), (std::vector<std::string>{"movie.split1", "movie.split2",
                                                          "movie.split3", "movie.splitMain"}));
}

TEST(SplitJob, PieceBoundaries) {
    struct Case {
        const char* what;
        std::int64_t length;
        double pieceSize;
        double pieceCount;
        Bytes pieces;
        const char* countLine;
    };
    Bytes elevenPieces(10, 1024);
    elevenPieces.push_back(5);
    const Case cases[] = {
        {"exact multiple", 3072, 1024, 3, {1024, 1024, 1024}, " 3 "},
        {"one byte more", 3073, 1024, 4, {1024, 1024, 1024, 1}, " 4 "},
        {"one byte less", 3071, 1024, 3, {1024, 1024, 1023}, " 3 "},
        {"1025 at 1024", 1025, 1024, 2, {1024, 1}, " 2 "},
        {"one byte", 1, 1024, 1, {1}, " 1 "},
        {"empty, count 0", 0, 1024, 0, {}, " 0 "},
        {"empty, size 0", 0, 0, 0, {}, " 0 "},
        {"empty, surplus count", 0, 1024, 5, {}, " 5 "},
        {"surplus count", 2500, 1024, 7, {1024, 1024, 452}, " 7 "},
        {"ten pieces and more", 10 * 1024 + 5, 1024, 11, elevenPieces, " 11 "},
        {"pieces of several blocks", 7000, 3072, 3, {3072, 3072, 856}, " 3 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SplitScene scene;
        runSplit(scene.source(c.length, c.pieceSize, c.pieceCount));
        scene.expectPieces(c.pieces);
        EXPECT_EQ(readFile(scene.manifest()), std::string(c.countLine) + "\r\nmovie.avi\r\n");
        EXPECT_EQ(scene.outFiles().size(), c.pieces.size() + 1);
    }
}

TEST(SplitJob, BlocksPerRoutineAndOneOpenPerPiece) {
    // Over 10 MiB with floppy pieces: 1 MiB blocks, the last block of each piece shorter,
    // and the last piece cut at the end of the source.
    const std::int64_t floppy = 1457152;
    const std::int64_t rest = 1048576 + 1000;
    SplitScene scene;
    const auto inputs = scene.source(7 * floppy + rest, floppy, 8);
    SpyFileSystem spy;
    ProgressLog progress;
    runSplit(spy, inputs, progress);
    scene.expectPieces({floppy, floppy, floppy, floppy, floppy, floppy, floppy, rest});
    EXPECT_EQ(spy.writeSizes(scene.piece(1)), (Bytes{1048576, floppy - 1048576}));
    EXPECT_EQ(spy.writeSizes(scene.piece(8)), (Bytes{1048576, 1000}));
    EXPECT_EQ(progress.blocks.size(), 16U);
    for (int number = 1; number <= 8; ++number)
        EXPECT_EQ(spy.writeOpens(scene.piece(number)), 1) << "piece " << number;

    // Under 10 MiB: 1 KiB blocks at consecutive positions, the piece opened once.
    SplitScene small;
    const auto smallInputs = small.source(7000, 3072, 3);
    SpyFileSystem smallSpy;
    runSplit(smallSpy, smallInputs, progress);
    EXPECT_EQ(smallSpy.writeSizes(small.piece(1)), (Bytes{1024, 1024, 1024}));
    EXPECT_EQ(smallSpy.writeSizes(small.piece(3)), (Bytes{856}));
    std::vector<std::int64_t> positions;
    for (const auto& write : smallSpy.writes())
        if (write.path == small.piece(2))
            positions.push_back(write.position);
    EXPECT_EQ(positions, (Bytes{1, 1025, 2049}));
    EXPECT_EQ(smallSpy.writeOpens(small.piece(1)), 1);
}

TEST(SplitJob, ProgressAfterEveryBlock) {
    struct Case {
        std::int64_t length;
        std::vector<std::pair<float, std::int64_t>> expected;
    };
    const Case cases[] = {
        // Read positions 1025, 2049 and 2501 of 2500 bytes.
        {2500, {{41.0F, 41}, {81.96F, 81}, {100.0F, 100}}},
        // The caption is not capped: position 51 of 50 is 102 percent.
        {50, {{100.0F, 102}}},
        {3, {{100.0F, 133}}},
        {1024, {{100.0F, 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        SplitScene scene;
        ProgressLog progress;
        runSplit(files::FileSystem::native(), scene.source(c.length, 1024, 3), progress);
        ASSERT_EQ(progress.blocks.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_FLOAT_EQ(progress.blocks[i].first, c.expected[i].first);
            EXPECT_EQ(progress.blocks[i].second, c.expected[i].second);
        }
    }
}

TEST(SplitJob, ExistingFilesUnderTheNames) {
    SplitScene scene;
    const auto inputs = scene.source(1500, 1024, 2);
    writeFile(scene.piece(1), std::string(5000, 'x'));
    writeFile(scene.piece(3), "left from an earlier split");
    writeFile(scene.manifest(), std::string(100, 'm'));
    runSplit(inputs);
    scene.expectPieces({1024, 476}, "movie.split", false);
    EXPECT_EQ(readFile(scene.piece(3)), "left from an earlier split");
    EXPECT_EQ(readFile(scene.manifest()), " 2 \r\nmovie.avi\r\n");
}

TEST(SplitJob, NamesKeepTheirSpellingAndFolderRule) {
    SplitScene scene;
    auto inputs = scene.source(1500, 1024, 2, "data.bin");
    inputs.pieceName = "data.SPLIT";
    runSplit(inputs);
    scene.expectPieces({1024, 476}, "data.SPLIT");
    EXPECT_EQ(scene.outFiles(),
              (std::vector<std::string>{"data.SPLIT1", "data.SPLIT2", "data.SPLITMain"}));

    // A typed folder without its separator gets one when it exists...
    SplitScene typed;
    inputs = typed.source(10, 1024, 1);
    inputs.destinationFolder = typed.out().substr(0, typed.out().size() - 1);
    runSplit(inputs);
    EXPECT_EQ(typed.outFiles(), (std::vector<std::string>{"movie.split1", "movie.splitMain"}));

    // ... and is otherwise used exactly as typed, as the start of the names.
    inputs.destinationFolder = typed.out() + "pre-";
    runSplit(inputs);
    EXPECT_EQ(readFile(typed.out() + "pre-movie.split1").size(), 10U);
    EXPECT_TRUE(fs::exists(typed.out() + "pre-movie.splitMain"));
}

TEST(SplitJob, ManifestTitleEncoding) {
    struct Case {
        const char* utf8;
        const char* bytes;
    };
    const Case cases[] = {
        {"movie.avi", "movie.avi"},
        {"caf\xC3\xA9.txt", "caf\xE9.txt"},                               // é fits the code page
        {"\xE2\x82\xAC.txt", "\x80.txt"},                                 // so does the euro sign
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "\xE6\x97\xA5\xE6\x9C\xAC.txt"}, // does not fit
        // Fits, but the code page bytes C3 A9 would read back as UTF-8 "é".
        {"\xC3\x83\xC2\xA9", "\xC3\x83\xC2\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitManifest::titleBytes(c.utf8), c.bytes) << c.utf8;

    SplitScene scene;
    runSplit(scene.source(3, 1024, 1, "caf\xC3\xA9.txt"));
    EXPECT_EQ(readFile(scene.manifest()), " 1 \r\ncaf\xE9.txt\r\n");
}

// Every refusal comes before anything is written, and says why.
TEST(SplitJob, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        std::int64_t length;
        double pieceSize;
        double pieceCount;
        const char* title; // null: the source's own name
        const char* sourceName;
        const char* reason;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"short count", 2500, 1024, 2, nullptr, "movie.avi", "2 pieces of 1024 bytes"},
        {"count 0", 2500, 1024, 0, nullptr, "movie.avi", "0 pieces of 1024 bytes"},
        {"size 0", 2500, 0, 3, nullptr, "movie.avi", "3 pieces of 0 bytes"},
        {"fractional count", 2500, 1024, 2.5, nullptr, "movie.avi", "not a whole number"},
        {"negative count", 2500, 1024, -3, nullptr, "movie.avi", "not a whole number"},
        {"count not a number", 2500, 1024, nan, nullptr, "movie.avi", "not a whole number"},
        {"fractional size", 2500, 1024.5, 3, nullptr, "movie.avi", "not a whole number"},
        {"no file chosen", 2500, 1024, 3, "", "movie.avi", "Browse"},
        {"title of another file", 2500, 1024, 3, "other.avi", "movie.avi", "\"other.avi\""},
        {"title with a path", 2500, 1024, 3, "x/movie.avi", "movie.avi", "Browse"},
        {"control character", 10, 1024, 1, nullptr, "a\tb.avi", "control character"},
        {"C1 control character", 10, 1024, 1, nullptr,
         "a\xC2\x85"
         "b.avi",
         "control character"},
        {"piece 2 is the source", 2500, 1024, 3, nullptr, "movie.split2", "would be written"},
        {"manifest is the source", 2500, 1024, 3, nullptr, "movie.splitMain", "would be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SplitScene scene;
        // The source lies in out/ itself, so that piece or manifest names can meet it.
        test::writePattern(scene.out() + c.sourceName, c.length);
        SplitInputs inputs{scene.out() + c.sourceName,       scene.out(), "movie.split",
                           c.title ? c.title : c.sourceName, c.pieceSize, c.pieceCount};
        try {
            runSplit(inputs);
            ADD_FAILURE() << "not refused";
        } catch (const SplitRefusal& refusal) {
            EXPECT_EQ(refusal.sourcePath(), inputs.sourcePath);
            EXPECT_NE(std::string(refusal.what()).find(c.reason), std::string::npos)
                << refusal.what();
            EXPECT_NE(std::string(refusal.what()).find(inputs.sourcePath), std::string::npos);
        }
        EXPECT_EQ(scene.outFiles(), std::vector<std::string>{c.sourceName});
        EXPECT_EQ(readFile(inputs.sourcePath).size(), static_cast<std::size_t>(c.length));
    }
}

TEST(SplitJob, RefusesLinksToTheSource) {
    SplitScene scene;
    const auto inputs = scene.source(2500, 1024, 3);
    fs::create_symlink(inputs.sourcePath, scene.piece(3));
    fs::create_hard_link(inputs.sourcePath, scene.manifest("other.split"));
    EXPECT_THROW(runSplit(inputs), SplitRefusal);
    auto other = inputs;
    other.pieceName = "other.split";
    EXPECT_THROW(runSplit(other), SplitRefusal);
    EXPECT_EQ(scene.outFiles().size(), 2U);
    EXPECT_EQ(readFile(inputs.sourcePath).size(), 2500U);
}

TEST(SplitJob, InjectedFailuresCloseEverything) {
    using Files = std::vector<std::string>;
    const Files two{"movie.split1", "movie.split2"};
    const Files three{"movie.split1", "movie.split2", "movie.split3"};
    struct Case {
        const char* what;
        void (*inject)(test::FaultyFileSystem&);
        std::string failingSuffix;
        files::FileOperation operation;
        Files left;
        std::int64_t piece2Length;
    };
    const Case cases[] = {
        {"disk fills in piece 2",
         [](test::FaultyFileSystem& f) { f.failWritesAfter("movie.split2", 1500, ENOSPC); },
         "movie.split2", files::FileOperation::Write, two, 1500},
        {"piece 2 does not close",
         [](test::FaultyFileSystem& f) { f.failClose("movie.split2", EIO); }, "movie.split2",
         files::FileOperation::Close, two, 3072},
        {"source read fails in piece 2",
         [](test::FaultyFileSystem& f) { f.failReadsAfter("movie.avi", 4000, EIO); }, "movie.avi",
         files::FileOperation::Read, two, 0},
        {"source cannot be opened",
         [](test::FaultyFileSystem& f) { f.failOpen("movie.avi", EACCES); },
         "movie.avi",
         files::FileOperation::OpenForReading,
         {},
         -1},
        {"manifest cannot be created",
         [](test::FaultyFileSystem& f) { f.failOpen("movie.splitMain", EROFS); }, "movie.splitMain",
         files::FileOperation::OpenForTextOutput, three, 3072},
        {"manifest does not close",
         [](test::FaultyFileSystem& f) { f.failClose("movie.splitMain", EIO); },
         "movie.splitMain",
         files::FileOperation::Close,
         {"movie.split1", "movie.split2", "movie.split3", "movie.splitMain"},
         3072},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SplitScene scene;
        const auto inputs = scene.source(7000, 3072, 3);
        test::FaultyFileSystem faulty;
        c.inject(faulty);
        ProgressLog progress;
        {
            SplitJob job(faulty, inputs, progress);
            try {
                job.openSource(SplitRoutine::Under10Meg);
                job.copyPieces();
                job.writeManifest();
                job.closeSource();
                job.closeManifest();
                ADD_FAILURE() << "did not fail";
            } catch (const files::FileError& error) {
                EXPECT_TRUE(error.path().ends_with(c.failingSuffix)) << error.what();
                EXPECT_EQ(error.operation(), c.operation) << error.what();
            }
            job.closeAll();
            EXPECT_EQ(faulty.openFiles(), 0);
        }
        EXPECT_EQ(scene.outFiles(), c.left);
        if (c.piece2Length >= 0) {
            EXPECT_EQ(readFile(scene.piece(2)).size(), static_cast<std::size_t>(c.piece2Length));
        }
    }
}

} // namespace
} // namespace kalvex
