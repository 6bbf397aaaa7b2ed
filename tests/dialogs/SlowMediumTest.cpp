// Both progress windows on a medium where every write takes half a second: the window's
// events keep running, the split's title keeps moving, and failures are reported as ever.
#include "app/MainWindowDriver.h"
#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"
#include "split/SplitProgressWindow.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <QElapsedTimer>

#include <chrono>
#include <set>
#include <thread>

namespace kalvex::test {
namespace {

// Watches the window thread's event loop from the first showing of a modal window to the
// first message: the longest wait between two ticks, and the titles the window showed.
struct LoopWatch {
    explicit LoopWatch(const QString& windowName) {
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            longestWaitMs = std::max(longestWaitMs, sinceTick.restart());
            if (QWidget* window = QApplication::activeModalWidget())
                titles.insert(window->windowTitle().toStdString());
        });
        whenModal(windowName, [this](QWidget*) { sinceTick.start(), ticker.start(); });
        current = this;
        messages.onShown = [](const MessageBox::Shown&) {
            current->ticker.stop();
        };
    }
    inline static LoopWatch* current = nullptr;
    QTimer ticker;
    QElapsedTimer sinceTick;
    qint64 longestWaitMs = 0;
    std::set<std::string> titles;
    MessageBox::Recorder messages;
};

struct SlowMedium : FaultyFileSystem {
    SlowMedium() {
        beforeWrite = [](const std::string&, std::int64_t, std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        };
    }
    files::FileSystem::Override use{*this};
};

TEST(SlowMedium, BothWindowsKeepRunningAndReportAFailureInTheMiddle) {
    files::setCopyFallbackForced(true); // so that every joined piece goes through slow writes
    for (const bool join : {false, true})
        for (const bool failing : {false, true}) {
            TempDir dir;
            writePattern(dir.file("movie.avi"), 5000);
            writeFile(dir.file("clip.splitMain"), " 3 \r\nclip.avi\r\n");
            for (int k = 1; k <= 3; ++k)
                writeFile(dir.file("clip.split" + std::to_string(k)), "piece");
            SlowMedium slow;
            LoopWatch watch(join ? "FrmJoining" : "frmSplitting");
            if (failing)
                join ? slow.failReadsAfter("clip.split2", 0, EIO)
                     : slow.failWritesAfter("movie.split2", 0, ENOSPC);
            if (join)
                JoinProgressWindow::showJoin({dir.file("clip.splitMain"), dir.folder()});
            else
                SplitProgressWindow().showSplit(
                    {dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 4096, 2});
            // Unloaded, the longest wait is about 10 ms; a write on the window's thread makes
            // it 500. The margin is for a loaded machine running tests side by side.
            EXPECT_LE(watch.longestWaitMs, 250);
            EXPECT_TRUE(join || watch.titles.size() >= 3) << "the split's title did not animate";
            EXPECT_EQ(slow.openFiles(), 0);
            const std::string shown = onlyMessage(watch.messages);
            const std::string expected =
                !failing ? (join ? "Complete|The Joining process was sucessful!"
                                 : "Complete|The Split Process was successfull!")
                : join   ? "!Join failed|"
                         : "!Split failed|Cannot write \"" + dir.file("movie.split2") +
                             "\": No space left on device";
            EXPECT_EQ(shown.substr(0, expected.size()), expected) << shown;
        }
    files::setCopyFallbackForced(false);
}

} // namespace
} // namespace kalvex::test
