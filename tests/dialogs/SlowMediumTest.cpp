// Both progress windows on a medium where every write takes half a second: the window's
// events keep running, the split's title keeps moving, and failures are reported as ever.
#include "app/MainWindowDriver.h"
#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"
#include "split/SplitProgressWindow.h"
#include "support/FailingFileSystem.h"
#include "support/TempDir.h"

#include <QElapsedTimer>

#include <chrono>
#include <set>
#include <thread>

namespace kalvex::test {
namespace {

TEST(SlowMedium, BothWindowsKeepRunningAndReportAFailureInTheMiddle) {
    for (int run = 0; run < 4; ++run) {
        const bool join = run >= 2, failing = run % 2;
        TempDir dir;
        writePattern(dir.file("movie.avi"), 5000);
        writeFile(dir.file("clip.splitMain"), " 3 \r\nclip.avi\r\n");
        for (const char* piece : {"clip.split1", "clip.split2", "clip.split3"})
            writeFile(dir.file(piece), "piece");
        FailingFileSystem slow;
        files::FileSystem::Override use{slow};
        slow.beforeWrite = [](const std::string&, std::int64_t, std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        };
        if (failing)
            join ? slow.failReadsAfter("clip.split2", 0, EIO)
                 : slow.failWritesAfter("movie.split2", 0, ENOSPC);
        // The window thread's event loop from the window's showing on: the longest wait
        // between two ticks, and the titles the window showed.
        MessageBox::Recorder messages;
        QTimer ticker;
        QElapsedTimer sinceTick;
        qint64 longestWaitMs = 0;
        std::set<std::string> titles;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestWaitMs = std::max(longestWaitMs, sinceTick.restart());
            if (QWidget* window = QApplication::activeModalWidget())
                titles.insert(window->windowTitle().toStdString());
        });
        whenModal(join ? "FrmJoining" : "frmSplitting",
                  [&](QWidget*) { sinceTick.start(), ticker.start(10); });
        join ? JoinProgressWindow::showJoin({dir.file("clip.splitMain"), dir.folder()})
             : SplitProgressWindow().showSplit(
                   {dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 4096, 2});
        // The longest wait is 10 to 45 ms, also under load (it runs alone); a write on the
        // window's thread makes it 500.
        EXPECT_LE(longestWaitMs, 100);
        EXPECT_TRUE(join || (titles.size() >= 3 && (failing || titles.count("Splitting Files..."))))
            << "the split's title did not animate through its four phases";
        EXPECT_EQ(slow.openFiles(), 0);
        const char* expected[] = {"Complete|The Split", "!Split failed|Cannot write",
                                  "Complete|The Joining", "!Join failed|"};
        EXPECT_TRUE(onlyMessage(messages).starts_with(expected[run])) << onlyMessage(messages);
    }
}

} // namespace
} // namespace kalvex::test
