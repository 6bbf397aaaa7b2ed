#include "app/MainWindowDriver.h"
#include "dialogs/ProgressBar.h"
#include "split/SplitProgressWindow.h"
#include "support/FailingFileSystem.h"
#include "support/Jobs.h"

namespace kalvex::test {
namespace {

// A patterned source in a test folder, split into the same folder under the name movie.split.
struct SplitScene {
    TempDir dir;
    const std::string out = dir.folder(), manifest = out + "movie.splitMain";

    // Writes the source and returns the inputs that split it, titled with its file name.
    SplitInputs source(std::int64_t length, double size, double count,
                       const std::string& name = "movie.avi") const {
        writePattern(dir.file(name), length);
        return {dir.file(name), out, "movie.split", name, size, count};
    }
    std::string piece(std::size_t k) const { return out + "movie.split" + std::to_string(k); }
    // Each piece holds its slice of the first length bytes of the source; returns how many.
    std::size_t expectPieces(std::int64_t length, std::int64_t size) const {
        std::size_t k = 0;
        for (std::int64_t at = 0; at < length; at += size)
            EXPECT_TRUE(readFile(piece(++k)) == patternBytes(std::min(size, length - at), at)) << k;
        return k;
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

// Starts the split as the Split button does, in a window that lives on between splits:
// the one message it shows, then a line break and the window as it showed.
std::string split(const SplitInputs& inputs) {
    static SplitProgressWindow* window = [] {
        qAddPostRoutine([] { delete window; });
        return new SplitProgressWindow;
    }();
    static std::string look;
    MessageBox::Recorder recorder;
    recorder.onShown = [](const auto&) {
        look = lookNow();
    };
    window->showSplit(inputs);
    EXPECT_FALSE(window->isVisible()) << "the window did not unload";
    return onlyMessage(recorder) + "\n" + look;
}

// Each split replaces older, longer files under the same names as its pieces and manifest. At the
// first write the window is checked; by the manifest's first write it shows the last block's
// values.
TEST(Split, PiecesManifestAndWindowFromStartToEnd) {
    constexpr std::int64_t MiB = 1048576, floppy = 1457152;
    struct Case {
        std::int64_t length;
        double size, count;
        std::string name = "movie.avi", line2 = ""; // line2 blank: the name
        bool over = false, sourceCloseFails = false;
    };
    const Case cases[] = {
        {10 * 1024 + 1, 1024, 11}, // the last piece one byte
        {6, 1024, 1},              // ends at 116.7 %, shown cut: "116% Complete"
        // Line 2 in the code page where every character fits and cannot read as UTF-8.
        {.length = 3, .size = 1024, .count = 1, .name = "caf\xC3\xA9.txt", .line2 = "caf\xE9.txt"},
        {.length = 3, .size = 1024, .count = 1, .name = "\xE6\x97\xA5.txt"},
        {.length = 3, .size = 1024, .count = 1, .name = "\xC3\x83\xC2\xA9"},
        // The routine by length and piece size, both bounds inclusive; the 1 MiB routine's
        // blocks do not divide a floppy, and it closes the source after the success.
        {.length = 10 * MiB, .size = floppy, .count = 8, .over = true},
        {.length = 10 * MiB, .size = MiB, .count = 10, .over = true, .sourceCloseFails = true},
        {10 * MiB - 1, MiB, 10},
        {10 * MiB, MiB - 1024, 11},
    };
    std::string atManifest, atEnding;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes in " << c.count << " x " << c.size);
        SplitScene scene;
        FailingFileSystem spy;
        QObject watching; // the window's signals, for this case only
        spy.beforeWrite = onWindowThread([&](const std::string& path, std::int64_t at,
                                             std::size_t) {
            if (path.ends_with("Main") && at == 1) {
                // The window shows the last block within 20 ms of it.
                (void)QTest::qWaitFor([] { return lookNow().find("|100|") != std::string::npos; });
                atManifest = lookNow();
            }
            if (path != scene.piece(1) || at != 1)
                return;
            EXPECT_EQ(lookNow(), Initial) << "each showing starts afresh";
            QWidget* window = QApplication::activeModalWidget(); // the split window
            // Whoever reads "Complete" may take the disk out: the manifest is in place.
            QObject::connect(window, &QWidget::windowTitleChanged, &watching,
                             [&](const QString& title) {
                                 if (title == "Splitting Complete")
                                     atEnding = readFile(scene.manifest);
                             });
            EXPECT_FALSE(window->close());
            for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
                QTest::keyClick(window, key);
        });
        if (c.sourceCloseFails)
            spy.failClose("movie.avi", EIO);
        for (std::int64_t at = 0, k = 1; at < c.length; at += std::int64_t(c.size))
            writeFile(scene.piece(k++), std::string(5000, 'x'));
        writeFile(scene.manifest, std::string(100, 'm'));
        files::FileSystem::Override use(spy);
        EXPECT_EQ(split(scene.source(c.length, c.size, c.count, c.name)),
                  std::string("Complete|The ") + (c.over ? "Splitting process" : "Split Process") +
                      " was successfull!\nSplitting Complete|Complete.|100% Complete|100");
        // Read position over length, times 100, cut: 9 of 8 shows 112 while the bar stops at 100.
        const int percent = int(100.0 * double(c.length + 1) / double(c.length));
        EXPECT_EQ(atManifest.substr(atManifest.find('|')),
                  Initial.substr(15, 47) + std::to_string(percent) + "% Complete|100|ticking");
        const std::size_t pieces = scene.expectPieces(c.length, std::int64_t(c.size));
        EXPECT_EQ(readFile(scene.manifest), " " + std::to_string(int(c.count)) + " \r\n" +
                                                (c.line2.empty() ? c.name : c.line2) + "\r\n");
        EXPECT_EQ(atEnding, readFile(scene.manifest));
        EXPECT_EQ(namesIn(scene.out).size(), pieces + 3) << "source, pieces, checksums, manifest";
    }
}

// Refusals write nothing; failures keep what was written. Either way one message names the
// file and the reason, without the look of success, and every file is closed. "%" stands for
// the test folder.
TEST(Split, RefusalsAndFailuresSayWhyAndKeepTheFilesAsTheyAre) {
    struct Case {
        // Given the scene, the inputs (7000 bytes of movie.avi in 3 pieces of 3072), the faults.
        void (*arrange)(SplitScene&, SplitInputs&, FailingFileSystem&);
        std::string message;             // or how it starts
        std::set<std::string> left = {}; // in the folder afterwards; none: as before the split
        std::int64_t piece2 = -1;        // its length, when it is a file
    };
    const std::string refused = "Cannot split \"%movie.avi\": ";
    const std::set<std::string> two{"movie.avi", "movie.split1", "movie.split2"},
        all{"movie.avi", "movie.split.sha256", "movie.split1", "movie.split2", "movie.split3"},
        all3{"movie.avi", "movie.split1", "movie.split2", "movie.split3"};
    const Case cases[] = {
        {[](auto&, auto& in, auto&) { in.pieceCount = 2; },
         refused + "2 pieces of 3072 bytes cannot hold its 7000 bytes."},
        // The count was worked out for a longer file of that name.
        {[](auto&, auto& in, auto&) { in.pieceCount = 4; },
         refused + "it has changed since it was chosen: its 7000 bytes now make 3 pieces, not 4. "
                   "Choose the file again."},
        // One name to a file system that ignores case.
        {[](auto& scene, auto& in, auto&) { in = scene.source(7000, 3072, 3, "MOVIE.SPLIT2"); },
         "Cannot split \"%MOVIE.SPLIT2\": the piece \"%movie.split2\" would be written over it."},
        {[](auto&, auto& in, auto&) { in.sourceTitle = "x.avi"; }, refused + "the name to rebuild"},
        {[](auto& scene, auto& in, auto&) { in = scene.source(7000, 3072, 3, "a\u0085b.avi"); },
         "Cannot split \"%a\u0085b.avi\": its file name holds a control character"},
        {[](auto& scene, auto& in, auto&) { fs::create_symlink(in.sourcePath, scene.piece(3)); },
         refused + "the piece \"%movie.split3\" would be written over it."},
        {[](auto& s, auto& in, auto&) { fs::create_hard_link(in.sourcePath, s.manifest); },
         refused + "the manifest \"%movie.splitMain\" would be"},
        {[](auto&, auto& in, auto&) { fs::remove(in.sourcePath); },
         "Cannot measure the length of \"%movie.avi\": No such file or directory"},
        // A piece opened ahead of the copy that cannot be opened.
        {[](auto& scene, auto&, auto&) { fs::create_directory(scene.piece(2)); },
         "Cannot open for writing \"%movie.split2\": Is a directory", two},
        {[](auto&, auto&, auto& faults) { faults.failClose("movie.split2", EIO); },
         "Cannot close \"%movie.split2\": Input/output error", two, 3072},
        {[](auto&, auto&, auto& faults) { faults.failReadsAfter("movie.avi", 4000, EIO); },
         "Cannot read \"%movie.avi\": Input/output error", two, 0},
        // A piece read back for its digest.
        {[](auto&, auto&, auto& faults) { faults.failReadsAfter("movie.split2", 0, EIO); },
         "Cannot read \"%movie.split2\": Input/output error", all3},
        // The checksum file is whole or not there; the manifest follows it.
        {[](auto&, auto&, auto& faults) {
             faults.unnamedFiles = false;
             faults.failWritesAfter("movie.split.sha256.kalvex-split", 10, ENOSPC);
         },
         "Cannot write \"%movie.split.sha256\": No space left on device", all3},
        {[](auto&, auto&, auto& faults) { faults.failOpen("movie.splitMain", EROFS); },
         "Cannot open for text output \"%movie.splitMain\": Read-only file system", all},
        // Piece 1 closes last, once the manifest is in place.
        {[](auto&, auto&, auto& faults) { faults.failClose("movie.split1", EIO); },
         "Cannot close \"%movie.split1\": Input/output error",
         {"movie.avi", "movie.split.sha256", "movie.split1", "movie.split2", "movie.split3",
          "movie.splitMain"}},
        // The ending has begun when the manifest's close fails: its look is taken back, and
        // no manifest takes its name.
        {[](auto&, auto&, auto& faults) { faults.failClose("movie.splitMain", EIO); },
         "Cannot close \"%movie.splitMain\": Input/output error", all},
    };
    for (const auto& c : cases) {
        SplitScene scene;
        auto inputs = scene.source(7000, 3072, 3);
        FailingFileSystem faults;
        faults.beforeWrite = [](const std::string&, std::int64_t, std::size_t) {
            EXPECT_NE(QThread::currentThread(), qApp->thread()) << "file work on the window's";
        };
        c.arrange(scene, inputs, faults);
        const auto before = namesIn(scene.out);
        files::FileSystem::Override use(faults);
        const std::string outcome = split(inputs);
        const QString message = QString::fromStdString(c.message).replace('%', scene.out.c_str());
        EXPECT_EQ(outcome.rfind("!Split failed|" + message.toStdString(), 0), 0U) << outcome;
        EXPECT_NE(outcome.find("|The Program is currently"), std::string::npos) << outcome;
        EXPECT_EQ(faults.openFiles(), 0);
        EXPECT_EQ(namesIn(scene.out), c.left.empty() ? before : c.left);
        if (c.left.contains("movie.split1"))
            scene.expectPieces(3072, 3072);
        EXPECT_TRUE(c.piece2 < 0 || fs::file_size(scene.piece(2)) == std::uintmax_t(c.piece2));
    }
}

} // namespace
} // namespace kalvex::test
