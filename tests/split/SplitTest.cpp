#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "split/SplitJob.h"
#include "split/SplitProgressWindow.h"
#include "support/FaultyFileSystem.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <set>
#include <tuple>

namespace kalvex {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Icon = MessageBox::Icon;
using Sizes = std::vector<std::int64_t>;

// A patterned source in a test folder, to be split into the same folder under the piece name
// movie.split.
struct SplitScene {
    TempDir dir;
    const std::string out = dir.folder();

    // Writes the source (name is relative to the test folder) and returns the inputs that
    // split it, with the source's file name as its title.
    SplitInputs source(std::int64_t length, double size, double count,
                       const std::string& name = "movie.avi") const {
        writePattern(dir.file(name), length);
        return {dir.file(name), out,  "movie.split", fs::path(name).filename().string(),
                size,           count};
    }
    std::string piece(std::size_t number, const std::string& base = "movie.split") const {
        return out + base + std::to_string(number);
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.insert(entry.path().filename().string());
        return names;
    }
    // Each piece holds its slice of the source.
    void expectPieces(const Sizes& sizes, const std::string& base = "movie.split") const {
        std::int64_t offset = 0;
        for (std::size_t k = 1; k <= sizes.size(); offset += sizes[k - 1], ++k)
            EXPECT_TRUE(readFile(piece(k, base)) == patternBytes(sizes[k - 1], offset)) << k;
    }
};

// What the user sees of the window: its title, Label1, Label2, the bar's value, and whether
// the title animation's timer runs.
using Look = std::tuple<std::string, std::string, std::string, float, bool>;
const Look Initial{"Splitting Files", "The Program is currently splitting the files.",
                   "0 % Complete", 0.0F, true};

Look lookNow() {
    QWidget* window = findWindow("frmSplitting");
    if (!window) {
        ADD_FAILURE() << "the splitting window is not showing";
        return {};
    }
    return {window->windowTitle().toStdString(),
            child<QLabel>(window, "Label1")->text().toStdString(),
            child<QLabel>(window, "Label2")->text().toStdString(),
            child<ProgressBar>(window, "ProgressBar1")->value(),
            child<QTimer>(window, "Timer1")->isActive()};
}

// The one message a split shows, and the window as it showed.
struct Outcome {
    MessageBox::Shown message{Icon::Information, "", "(none)"};
    Look look;
};
Outcome* current = nullptr;

// The window lives on between splits, as the Split button keeps it.
SplitProgressWindow& splitWindow() {
    static SplitProgressWindow* window = nullptr;
    if (!window) {
        window = new SplitProgressWindow;
        qAddPostRoutine([] { delete window; });
    }
    return *window;
}

// Starts the split as the Split button does.
Outcome splitThroughWindow(const SplitInputs& inputs) {
    Outcome outcome;
    current = &outcome;
    MessageBox::Recorder recorder;
    recorder.onShown = [](const auto& shown) {
        *current = {shown, lookNow()};
    };
    splitWindow().showSplit(inputs);
    EXPECT_EQ(recorder.shown().size(), 1U);
    EXPECT_FALSE(splitWindow().isVisible()) << "the window did not unload";
    return outcome;
}

const QString Under = "The Split Process was successfull!";
const QString Over = "The Splitting process was successfull!";

// The ending leaves the bar where the last block put it: 0 when there was none.
void expectSuccess(const Outcome& outcome, const QString& text, float bar = 100.0F) {
    EXPECT_EQ(std::tie(outcome.message.icon, outcome.message.title, outcome.message.text),
              std::tuple(Icon::Information, "Complete", text));
    EXPECT_EQ(outcome.look, (Look{"Splitting Complete", "Complete.", "100% Complete", bar, false}));
}

TEST(Split, PiecesAndManifestByteForByte) {
    struct Case {
        std::int64_t length;
        double size, count;
        Sizes pieces;
        std::string manifest;
        std::string name = "movie.avi";
    };
    const Case cases[] = {
        {2 * 1024 + 452, 1024, 3, {1024, 1024, 452}, " 3 \r\nmovie.avi\r\n"}, // the worked example
        {3072, 1024, 3, {1024, 1024, 1024}, " 3 \r\nmovie.avi\r\n"},
        {3073, 1024, 4, {1024, 1024, 1024, 1}, " 4 \r\nmovie.avi\r\n"},
        {3071, 1024, 3, {1024, 1024, 1023}, " 3 \r\nmovie.avi\r\n"},
        {1025, 1024, 2, {1024, 1}, " 2 \r\nmovie.avi\r\n"},
        {1, 1024, 1, {1}, " 1 \r\nmovie.avi\r\n"},
        {0, 1024, 0, {}, " 0 \r\nmovie.avi\r\n"},
        {0, 0, 0, {}, " 0 \r\nmovie.avi\r\n"},
        {0, 1024, 5, {}, " 5 \r\nmovie.avi\r\n"},
        {2500, 1024, 7, {1024, 1024, 452}, " 7 \r\nmovie.avi\r\n"},
        {10 * 1024, 1024, 10, Sizes(10, 1024), " 10 \r\nmovie.avi\r\n"},
        {7000, 3072, 3, {3072, 3072, 856}, " 3 \r\nmovie.avi\r\n"},
        // Line 2 in the code page where every character fits and cannot read as UTF-8.
        {3, 1024, 1, {3}, " 1 \r\ncaf\xE9.txt\r\n", "caf\xC3\xA9.txt"},
        {3, 1024, 1, {3}, " 1 \r\n\x80.txt\r\n", "\xE2\x82\xAC.txt"},
        {3, 1024, 1, {3}, " 1 \r\n\xE6\x97\xA5.txt\r\n", "\xE6\x97\xA5.txt"},
        {3, 1024, 1, {3}, " 1 \r\n\xC3\x83\xC2\xA9\r\n", "\xC3\x83\xC2\xA9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes in " << c.count << " x " << c.size);
        SplitScene scene;
        expectSuccess(splitThroughWindow(scene.source(c.length, c.size, c.count, c.name)), Under,
                      c.length ? 100.0F : 0.0F);
        scene.expectPieces(c.pieces);
        EXPECT_EQ(readFile(scene.out + "movie.splitMain"), c.manifest);
        EXPECT_EQ(scene.files().size(), c.pieces.size() + 2) << "only source, pieces, manifest";
    }
}

TEST(Split, ProgressAfterEveryBlock) {
    struct Progress : SplitObserver {
        std::vector<std::pair<float, std::int64_t>> log;
        void blockDone(float bar, std::int64_t percent) override { log.emplace_back(bar, percent); }
    };
    // Read position over length, times 100: the bar stops at 100, the caption's value does not.
    const std::pair<std::int64_t, std::vector<std::pair<float, std::int64_t>>> cases[] = {
        {2500, {{41.0F, 41}, {81.96F, 81}, {100.0F, 100}}},
        {50, {{100.0F, 102}}},
    };
    for (const auto& [length, expected] : cases) {
        SplitScene scene;
        Progress progress;
        SplitJob job(files::FileSystem::native(), scene.source(length, 1024, 3), progress);
        job.openSource(SplitRoutine::Under10Meg);
        job.copyPieces();
        EXPECT_EQ(progress.log, expected) << length;
    }
}

TEST(Split, NamesKeepTheirSpellingAndExistingFilesGetTheNewPieces) {
    SplitScene scene;
    auto inputs = scene.source(1500, 1024, 2, "data.bin");
    inputs.pieceName = "data.SPLIT";
    writeFile(scene.piece(1, "data.SPLIT"), std::string(5000, 'x'));
    writeFile(scene.piece(3, "data.SPLIT"), "left from an earlier split");
    writeFile(scene.out + "data.SPLITMain", std::string(100, 'm'));
    expectSuccess(splitThroughWindow(inputs), Under);
    scene.expectPieces({1024, 476}, "data.SPLIT");
    EXPECT_EQ(readFile(scene.piece(3, "data.SPLIT")), "left from an earlier split");
    EXPECT_EQ(readFile(scene.out + "data.SPLITMain"), " 2 \r\ndata.bin\r\n");

    // A folder text that names no folder starts the names as typed.
    inputs.pieceName = "movie.split";
    inputs.destinationFolder = scene.out + "pre-";
    expectSuccess(splitThroughWindow(inputs), Under);
    EXPECT_EQ(scene.files(),
              (std::set<std::string>{"data.bin", "data.SPLIT1", "data.SPLIT2", "data.SPLIT3",
                                     "data.SPLITMain", "pre-movie.split1", "pre-movie.split2",
                                     "pre-movie.splitMain"}));
}

// Three splits. At the first write of each the window is checked and left to tick; at the
// manifest's first write it shows the last block's values.
TEST(Split, DuringTheJobTheWindowAnimatesAndIgnoresCloseEscapeAndEnter) {
    FaultyFileSystem spy;
    files::FileSystem::Override use(spy);
    std::vector<std::string> ticks;
    std::vector<Look> atFirstWrite, atManifest;
    std::size_t wanted = 0, writes = 0;
    spy.beforeWrite = onWindowThread([&](const std::string& path, std::int64_t at, std::size_t) {
        if (path.ends_with("Main") && at == 1)
            atManifest.push_back(lookNow());
        if (++writes != 1)
            return;
        atFirstWrite.push_back(lookNow());
        QWidget* window = findWindow("frmSplitting");
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_FALSE(child<QPushButton>(window, "cmdOK")->isVisible());
        // The captions fit their boxes, the widest percentage included.
        const auto fits = [&](const char* name, const char* text) {
            auto* label = child<QLabel>(window, name);
            return QFontMetrics(label->font()).horizontalAdvance(text) <= label->width();
        };
        EXPECT_TRUE(fits("Label1", std::get<1>(Initial).c_str()) &&
                    fits("Label2", "102% Complete"));
        EXPECT_FALSE(window->close());
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(window, key);
        // Connected after the window's own handler, so this sees the title it set.
        const auto connection =
            QObject::connect(child<QTimer>(window, "Timer1"), &QTimer::timeout,
                             [&] { ticks.push_back(window->windowTitle().toStdString()); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= wanted; }, 10000));
        QObject::disconnect(connection);
        EXPECT_TRUE(window->isVisible());
    });
    // Position 2501 of 2500 bytes shows 100, 51 of 50 shows 102 while the bar stops at 100,
    // and without a block the caption keeps its blank.
    const std::tuple<std::int64_t, double, std::size_t, std::string, float> splits[] = {
        {2500, 3, 5, "100% Complete", 100.0F},
        {50, 1, 6, "102% Complete", 100.0F},
        {0, 0, 6, "0 % Complete", 0.0F},
    };
    for (const auto& [length, count, ticksAfter, caption, bar] : splits) {
        SplitScene scene;
        wanted = ticksAfter;
        writes = 0;
        expectSuccess(splitThroughWindow(scene.source(length, 1024, count)), Under, bar);
        ASSERT_FALSE(atManifest.empty());
        const auto& [title, label1, label2, value, ticking] = atManifest.back();
        EXPECT_EQ(std::tie(label1, label2, value), std::tie(std::get<1>(Initial), caption, bar));
    }
    ASSERT_EQ(ticks.size(), 6U);
    // One dot more at each tick, none again after three.
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i], std::get<0>(Initial) + std::string((ticks[i - 1].size() - 14) % 4, '.'))
            << "tick " << i << "; the phase carries over";
    EXPECT_EQ(atFirstWrite, std::vector<Look>(3, Initial)) << "each showing starts afresh";
}

TEST(Split, RoutineByLengthAndPieceSizeBothBoundsInclusive) {
    const std::int64_t floppy = 1457152;
    const std::tuple<std::int64_t, double, bool, QString, Sizes> cases[] = {
        // 1 MiB blocks, the last of a piece shorter.
        {10485760, floppy, false, Over, {1048576, floppy - 1048576}},
        // The 1 MiB routine closes the source last, after the success has been shown.
        {10485760, 1048576, true, Over, {1048576}},
        {10485759, 1048576, false, Under, Sizes(1024, 1024)},
        {10485760, 1047552, false, Under, Sizes(1023, 1024)},
    };
    for (const auto& [length, size, sourceCloseFails, message, blocks] : cases) {
        SCOPED_TRACE(testing::Message() << length << " bytes in pieces of " << size);
        SplitScene scene;
        FaultyFileSystem faulty;
        Sizes piece1;
        faulty.beforeWrite = [&](const std::string& path, std::int64_t, std::size_t size) {
            if (path == scene.piece(1))
                piece1.push_back(std::int64_t(size));
        };
        if (sourceCloseFails)
            faulty.failClose("movie.avi", EIO);
        files::FileSystem::Override use(faulty);
        const auto inputs = scene.source(length, size, std::ceil(double(length) / size));
        expectSuccess(splitThroughWindow(inputs), message);
        EXPECT_EQ(piece1, blocks);
        EXPECT_EQ(faulty.openFiles(), 0);
        EXPECT_EQ(faulty.opens("movie.split1"), 1) << "one open for all blocks of a piece";
    }
}

struct Stage {
    SplitScene& scene;
    SplitInputs& in; // 7000 bytes of movie.avi in 3 pieces of 3072
    FaultyFileSystem& faults;
};

// Refusals write nothing; failures keep what was written. Either way one message names the
// file and the reason, and every file is closed. "%" stands for the test folder.
TEST(Split, RefusalsAndFailuresSayWhyAndKeepTheFilesAsTheyAre) {
    struct Case {
        void (*arrange)(Stage);
        std::string message;             // or how it starts
        std::set<std::string> left = {}; // in the folder afterwards; none: as before the split
        std::int64_t piece2 = -1;        // its length, when it is a file
    };
    const std::string refused = "Cannot split \"%movie.avi\": ";
    const std::string title = refused + "the name to rebuild it under (\"";
    const std::set<std::string> two{"movie.avi", "movie.split1", "movie.split2"};
    const Case cases[] = {
        {[](Stage s) { s.in.pieceCount = 2; },
         refused + "2 pieces of 3072 bytes cannot hold its 7000 bytes."},
        {[](Stage s) { s.in.pieceCount = 0; }, refused + "0 pieces of 3072 bytes"},
        {[](Stage s) { s.in.pieceSize = 0; }, refused + "3 pieces of 0 bytes"},
        {[](Stage s) { s.in.pieceCount = std::nan(""); }, refused + "the piece count is not"},
        {[](Stage s) { s.in.pieceSize = 3072.5; }, refused + "the piece size is not a whole"},
        {[](Stage s) { s.in.sourceTitle = ""; },
         title + "\") is not its file name. Choose the source with Browse."},
        {[](Stage s) { s.in.sourceTitle = "other.avi"; }, title + "other.avi\") is not"},
        {[](Stage s) { s.in = s.scene.source(7000, 3072, 3, "a\tb.avi"); },
         "Cannot split \"%a\tb.avi\": its file name holds a control character"},
        {[](Stage s) { s.in = s.scene.source(7000, 3072, 3, "a\u0085b.avi"); },
         "Cannot split \"%a\u0085b.avi\": its file name holds a control character"},
        {[](Stage s) { s.in = s.scene.source(7000, 3072, 3, "movie.split2"); },
         "Cannot split \"%movie.split2\": the piece \"%movie.split2\" would be written"},
        {[](Stage s) { fs::create_symlink(s.in.sourcePath, s.scene.piece(3)); },
         refused + "the piece \"%movie.split3\" would be written over it."},
        {[](Stage s) { fs::create_hard_link(s.in.sourcePath, s.scene.out + "movie.splitMain"); },
         refused + "the manifest \"%movie.splitMain\" would be"},
        {[](Stage s) { fs::remove(s.in.sourcePath); },
         "Cannot measure the length of \"%movie.avi\": No such file or directory"},
        {[](Stage s) { s.faults.failOpen("movie.avi", EACCES); },
         "Cannot open for reading \"%movie.avi\": Permission denied"},
        {[](Stage s) { s.in.destinationFolder += "gone/"; },
         "Cannot open for writing \"%gone/movie.split1\": No such file or directory"},
        {[](Stage s) { s.in.destinationFolder += "plain/", writeFile(s.scene.out + "plain", ""); },
         "Cannot open for writing \"%plain/movie.split1\": Not a directory"},
        {[](Stage s) { fs::create_directory(s.scene.piece(2)); },
         "Cannot open for writing \"%movie.split2\": Is a directory", two},
        {[](Stage s) { s.faults.failWritesAfter("movie.split2", 1500, ENOSPC); },
         "Cannot write \"%movie.split2\": No space left on device", two, 1500},
        {[](Stage s) { s.faults.failClose("movie.split2", EIO); },
         "Cannot close \"%movie.split2\": Input/output error", two, 3072},
        {[](Stage s) { s.faults.failReadsAfter("movie.avi", 4000, EIO); },
         "Cannot read \"%movie.avi\": Input/output error", two, 0},
        {[](Stage s) { s.faults.failOpen("movie.splitMain", EROFS); },
         "Cannot open for text output \"%movie.splitMain\": Read-only file system",
         {"movie.avi", "movie.split1", "movie.split2", "movie.split3"}},
        // The ending has begun when the manifest's close fails: its look is taken back, and
        // no manifest takes its name.
        {[](Stage s) { s.faults.failClose("movie.splitMain", EIO); },
         "Cannot close \"%movie.splitMain\": Input/output error",
         {"movie.avi", "movie.split1", "movie.split2", "movie.split3"}},
    };
    for (const auto& c : cases) {
        SplitScene scene;
        auto inputs = scene.source(7000, 3072, 3);
        FaultyFileSystem faults;
        c.arrange({scene, inputs, faults});
        const auto before = scene.files();
        files::FileSystem::Override use(faults);
        const Outcome outcome = splitThroughWindow(inputs);
        const QString message =
            QString::fromStdString(c.message).replace('%', scene.dir.folder().c_str());
        SCOPED_TRACE(message.toStdString());
        EXPECT_EQ(std::tie(outcome.message.icon, outcome.message.title),
                  std::tuple(Icon::Exclamation, "Split failed"));
        EXPECT_TRUE(outcome.message.text.startsWith(message)) << outcome.message.text.toStdString();
        const auto& [title, label1, label2, bar, ticking] = outcome.look;
        EXPECT_EQ(label1, std::get<1>(Initial)) << "no look of success";
        EXPECT_TRUE(title.starts_with(std::get<0>(Initial))) << title;
        EXPECT_EQ(faults.openFiles(), 0);
        EXPECT_EQ(scene.files(), c.left.empty() ? before : c.left);
        if (c.left.contains("movie.split1"))
            scene.expectPieces({3072});
        EXPECT_TRUE(c.piece2 < 0 || fs::file_size(scene.piece(2)) == std::uintmax_t(c.piece2));
        EXPECT_TRUE(!fs::exists(inputs.sourcePath) || fs::file_size(inputs.sourcePath) == 7000U)
            << "the source is never written";
    }
}

} // namespace
} // namespace kalvex
