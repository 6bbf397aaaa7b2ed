#include "app/MainWindowDriver.h"
#include "dialogs/ProgressBar.h"
#include "split/SplitJob.h"
#include "split/SplitProgressWindow.h"
#include "support/FaultyFileSystem.h"

#include <cmath>
#include <set>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Sizes = std::vector<std::int64_t>;

// A patterned source in a test folder, split into the same folder under the name movie.split.
struct SplitScene {
    TempDir dir;
    const std::string out = dir.folder();

    // Writes the source and returns the inputs that split it, titled with its file name.
    SplitInputs source(std::int64_t length, double size, double count,
                       const std::string& name = "movie.avi") const {
        writePattern(dir.file(name), length);
        return {dir.file(name), out, "movie.split", name, size, count};
    }
    std::string piece(std::size_t k) const { return out + "movie.split" + std::to_string(k); }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.insert(entry.path().filename().string());
        return names;
    }
    // Each piece holds its slice of the source.
    void expectPieces(const Sizes& sizes) const {
        std::int64_t offset = 0;
        for (std::size_t k = 1; k <= sizes.size(); offset += sizes[k - 1], ++k)
            EXPECT_TRUE(readFile(piece(k)) == patternBytes(sizes[k - 1], offset)) << k;
    }
};

// What the user sees of the window: title|Label1|Label2|the bar's value, and whether the
// title animation's timer runs.
std::string lookNow() {
    QWidget* window = findWindow("frmSplitting");
    if (!window)
        return "(not showing)";
    return (window->windowTitle() + "|" + child<QLabel>(window, "Label1")->text() + "|" +
            child<QLabel>(window, "Label2")->text() + "|" +
            QString::number(child<ProgressBar>(window, "ProgressBar1")->value()) +
            (child<QTimer>(window, "Timer1")->isActive() ? "|ticking" : ""))
        .toStdString();
}
const std::string Initial =
    "Splitting Files|The Program is currently splitting the files.|0 % Complete|0|ticking";
const std::string Under = "Complete|The Split Process was successfull!";
const std::string Over = "Complete|The Splitting process was successfull!";
// The ending leaves the bar where the last block put it.
const std::string Ended = "Splitting Complete|Complete.|100% Complete|";

// Starts the split as the Split button does, in a window that lives on between splits:
// the one message it shows, then a line break and the window as it showed.
std::string split(const SplitInputs& inputs) {
    static SplitProgressWindow* window = nullptr;
    if (!window) {
        window = new SplitProgressWindow;
        qAddPostRoutine([] { delete window; });
    }
    static std::string look;
    MessageBox::Recorder recorder;
    recorder.onShown = [](const auto&) {
        look = lookNow();
    };
    window->showSplit(inputs);
    EXPECT_FALSE(window->isVisible()) << "the window did not unload";
    return onlyMessage(recorder) + "\n" + look;
}

TEST(Split, PiecesAndManifestByteForByteOverOlderFiles) {
    struct Case {
        std::int64_t length;
        double size, count;
        Sizes pieces;
        std::string manifest;
        std::string name = "movie.avi";
    };
    const Case cases[] = {
        {2 * 1024 + 452, 1024, 3, {1024, 1024, 452}, " 3 \r\nmovie.avi\r\n"}, // the worked example
        {3073, 1024, 4, {1024, 1024, 1024, 1}, " 4 \r\nmovie.avi\r\n"},
        {2500, 1024, 7, {1024, 1024, 452}, " 7 \r\nmovie.avi\r\n"},
        {10 * 1024, 1024, 10, Sizes(10, 1024), " 10 \r\nmovie.avi\r\n"},
        // Line 2 in the code page where every character fits and cannot read as UTF-8.
        {3, 1024, 1, {3}, " 1 \r\ncaf\xE9.txt\r\n", "caf\xC3\xA9.txt"},
        {3, 1024, 1, {3}, " 1 \r\n\xE6\x97\xA5.txt\r\n", "\xE6\x97\xA5.txt"},
        {3, 1024, 1, {3}, " 1 \r\n\xC3\x83\xC2\xA9\r\n", "\xC3\x83\xC2\xA9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes in " << c.count << " x " << c.size);
        SplitScene scene;
        // Older, longer files under the same names are replaced whole.
        writeFile(scene.piece(1), std::string(5000, 'x'));
        writeFile(scene.out + "movie.splitMain", std::string(100, 'm'));
        EXPECT_EQ(split(scene.source(c.length, c.size, c.count, c.name)),
                  Under + "\n" + Ended + "100");
        scene.expectPieces(c.pieces);
        EXPECT_EQ(readFile(scene.out + "movie.splitMain"), c.manifest);
        EXPECT_EQ(scene.files().size(), c.pieces.size() + 2) << "only source, pieces, manifest";
    }
}

// Three splits. At the first write of each the window is checked and left to tick; at the
// manifest's first write it shows the last block's values.
TEST(Split, DuringTheJobTheWindowAnimatesAndIgnoresCloseEscapeAndEnter) {
    FaultyFileSystem spy;
    files::FileSystem::Override use(spy);
    std::vector<std::string> ticks, atFirstWrite, atManifest;
    std::size_t wanted = 0, writes = 0;
    spy.beforeWrite = onWindowThread([&](const std::string& path, std::int64_t at, std::size_t) {
        if (path.ends_with("Main") && at == 1)
            atManifest.push_back(lookNow());
        if (++writes != 1)
            return;
        atFirstWrite.push_back(lookNow());
        QWidget* window = findWindow("frmSplitting");
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_FALSE(child<QWidget>(window, "cmdOK")->isVisible());
        // The widest percentage fits its box.
        auto* label = child<QLabel>(window, "Label2");
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance("112% Complete"), label->width());
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
    // Read position over length, times 100 and cut to a whole number: 2501 of 2500 bytes shows
    // 100, 9 of 8 shows 112 while the bar stops at 100; without a block the caption keeps
    // its blank.
    for (const auto& [length, count, ticksAfter, shown] :
         {std::tuple<std::int64_t, double, std::size_t, std::string>{2500, 3, 5,
                                                                     "100% Complete|100"},
          {8, 1, 6, "112% Complete|100"},
          {0, 0, 6, "0 % Complete|0"}}) {
        SplitScene scene;
        wanted = ticksAfter;
        writes = 0;
        EXPECT_EQ(split(scene.source(length, 1024, count)),
                  Under + "\n" + Ended + shown.substr(shown.find('|') + 1));
        const std::string& seen = atManifest.back(); // the title animates
        EXPECT_EQ(seen.substr(seen.find('|')), Initial.substr(15, 47) + shown + "|ticking");
    }
    ASSERT_EQ(ticks.size(), 6U);
    // One dot more at each tick, none again after three; the phase carries over.
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i], "Splitting Files" + std::string((ticks[i - 1].size() - 14) % 4, '.'));
    EXPECT_EQ(atFirstWrite, std::vector<std::string>(3, Initial)) << "each showing starts afresh";
}

TEST(Split, RoutineByLengthAndPieceSizeBothBoundsInclusive) {
    const std::int64_t floppy = 1457152;
    const std::tuple<std::int64_t, double, bool, std::string, Sizes> cases[] = {
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
        EXPECT_EQ(split(scene.source(length, size, std::ceil(length / size))),
                  message + "\n" + Ended + "100");
        EXPECT_EQ(piece1, blocks);
        EXPECT_EQ(faulty.openFiles(), 0);
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
    const std::set<std::string> all{"movie.avi", "movie.split1", "movie.split2", "movie.split3"};
    const Case cases[] = {
        {[](Stage s) { s.in.pieceCount = 2; },
         refused + "2 pieces of 3072 bytes cannot hold its 7000 bytes."},
        {[](Stage s) { s.in.pieceCount = std::nan(""); }, refused + "the piece count is not"},
        {[](Stage s) { s.in.sourceTitle = "other.avi"; }, title + "other.avi\") is not"},
        {[](Stage s) { s.in = s.scene.source(7000, 3072, 3, "a\u0085b.avi"); },
         "Cannot split \"%a\u0085b.avi\": its file name holds a control character"},
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
        {[](Stage s) { fs::create_directory(s.scene.piece(2)); },
         "Cannot open for writing \"%movie.split2\": Is a directory", two},
        {[](Stage s) { s.faults.failWritesAfter("movie.split2", 1500, ENOSPC); },
         "Cannot write \"%movie.split2\": No space left on device", two, 1500},
        {[](Stage s) { s.faults.failClose("movie.split2", EIO); },
         "Cannot close \"%movie.split2\": Input/output error", two, 3072},
        {[](Stage s) { s.faults.failReadsAfter("movie.avi", 4000, EIO); },
         "Cannot read \"%movie.avi\": Input/output error", two, 0},
        {[](Stage s) { s.faults.failOpen("movie.splitMain", EROFS); },
         "Cannot open for text output \"%movie.splitMain\": Read-only file system", all},
        // The ending has begun when the manifest's close fails: its look is taken back, and
        // no manifest takes its name.
        {[](Stage s) { s.faults.failClose("movie.splitMain", EIO); },
         "Cannot close \"%movie.splitMain\": Input/output error", all},
    };
    for (const auto& c : cases) {
        SplitScene scene;
        auto inputs = scene.source(7000, 3072, 3);
        FaultyFileSystem faults;
        c.arrange({scene, inputs, faults});
        const auto before = scene.files();
        files::FileSystem::Override use(faults);
        const std::string outcome = split(inputs);
        const QString message =
            QString::fromStdString(c.message).replace('%', scene.dir.folder().c_str());
        EXPECT_EQ(outcome.rfind("!Split failed|" + message.toStdString(), 0), 0U) << outcome;
        EXPECT_TRUE(outcome.find("\nSplitting Files") != std::string::npos &&
                    outcome.find("|The Program is currently") != std::string::npos)
            << "no look of success";
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
} // namespace kalvex::test
