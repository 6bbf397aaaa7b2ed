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
        whenModal(windowName, [this](QWidget*) {
            sinceTick.start();
            ticker.start();
        });
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

TEST(SlowMedium, SplitWindowKeepsRunningAndReportsAFailureInTheMiddle) {
    for (const bool failing : {false, true}) {
        TempDir dir;
        writePattern(dir.file("movie.avi"), 5000);
        SlowMedium slow;
        if (failing)
            slow.failWritesAfter("movie.split2", 0, ENOSPC);
        LoopWatch watch("frmSplitting");
        SplitProgressWindow window;
        window.showSplit(
            {dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 4096, 2});
        EXPECT_LE(watch.longestWaitMs, 100);
        EXPECT_GE(watch.titles.size(), 3U) << "the title did not animate";
        EXPECT_EQ(slow.openFiles(), 0);
        if (failing)
            EXPECT_EQ(onlyMessage(watch.messages), "!Split failed|Cannot write \"" +
                                                       dir.file("movie.split2") +
                                                       "\": No space left on device");
        else
            EXPECT_EQ(onlyMessage(watch.messages), "Complete|The Split Process was successfull!");
    }
}

TEST(SlowMedium, JoinWindowKeepsRunningAndReportsAFailureInTheMiddle) {
    files::setCopyFallbackForced(true); // so that every piece goes through slow writes
    for (const bool failing : {false, true}) {
        TempDir dir;
        writeFile(dir.file("movie.splitMain"), " 3 \r\nmovie.avi\r\n");
        for (int k = 1; k <= 3; ++k)
            writeFile(dir.file("movie.split" + std::to_string(k)), "piece");
        SlowMedium slow;
        if (failing)
            slow.failReadsAfter("movie.split2", 0, EIO);
        LoopWatch watch("FrmJoining");
        JoinProgressWindow::showJoin({dir.file("movie.splitMain"), dir.folder()});
        EXPECT_LE(watch.longestWaitMs, 100);
        EXPECT_EQ(slow.openFiles(), 0);
        const std::string shown = onlyMessage(watch.messages);
        if (failing)
            EXPECT_NE(shown.find("!Join failed|"), std::string::npos) << shown;
        else
            EXPECT_EQ(shown, "Complete|The Joining process was sucessful!");
    }
    files::setCopyFallbackForced(false);
}

} // namespace
} // namespace kalvex::test
