#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "files/FileError.h"
#include "split/SplitTestSupport.h"
#include "split/SpyFileSystem.h"
#include "split/frmSplitting.h"
#include "support/FaultyFileSystem.h"
#include "support/GuiTest.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

namespace kalvex {
namespace {

namespace fs = std::filesystem;
using test::child;
using test::findWindow;
using test::readFile;
using test::SplitScene;
using test::SpyFileSystem;

const QString Initial = QStringLiteral("The Program is currently splitting the files.");
const QString Under = QStringLiteral("The Split Process was successfull!");
const QString Over = QStringLiteral("The Splitting process was successfull!");

// What the user sees of the window at one moment.
struct Look {
    QString title;
    QString label1;
    QString label2;
    float bar = -1;
    bool timerRunning = false;
    bool visible = false;
};

Look lookNow() {
    QWidget* window = findWindow(QStringLiteral("frmSplitting"));
    if (!window) {
        ADD_FAILURE() << "the splitting window is not showing";
        return {};
    }
    return {window->windowTitle(),
            child<QLabel>(window, "Label1")->text(),
            child<QLabel>(window, "Label2")->text(),
            child<ProgressBar>(window, "ProgressBar1")->value(),
            child<QTimer>(window, "Timer1")->isActive(),
            window->isVisible()};
}

// Runs as each message box shows, while the window still waits for it.
std::function<void()> whileMessageShows;
void onMessage(const MessageBox::Shown&) {
    if (whileMessageShows)
        whileMessageShows();
}

struct Outcome {
    std::vector<MessageBox::Shown> messages;
    std::vector<Look> atMessages;
};

// Starts the split as the Split button does: Module1 and the three texts, then the window.
Outcome splitThroughWindow(const SplitInputs& inputs) {
    Module1::reset();
    Module1::PieceSize = inputs.pieceSize;
    Module1::PieceCount = inputs.pieceCount;
    Module1::SourceTitle = QString::fromStdString(inputs.sourceTitle);
    Outcome outcome;
    MessageBox::Recorder recorder;
    recorder.onShown = onMessage;
    whileMessageShows = [&] {
        outcome.atMessages.push_back(lookNow());
    };
    frmSplitting::instance().showSplit({QString::fromStdString(inputs.sourcePath),
                                        QString::fromStdString(inputs.destinationFolder),
                                        QString::fromStdString(inputs.pieceName)});
    whileMessageShows = nullptr;
    outcome.messages = recorder.shown();
    EXPECT_FALSE(frmSplitting::instance().isVisible()) << "the window did not unload";
    return outcome;
}

// The ending leaves the bar where the last block put it: 0 when there was none.
void expectSuccess(const Outcome& outcome, const QString& text, float bar = 100.0F) {
    ASSERT_EQ(outcome.messages.size(), 1U);
    EXPECT_EQ(outcome.messages[0].icon, MessageBox::Icon::Information);
    EXPECT_EQ(outcome.messages[0].title, QStringLiteral("Complete"));
    EXPECT_EQ(outcome.messages[0].text, text);
    const Look& look = outcome.atMessages[0];
    EXPECT_EQ(look.title, QStringLiteral("Splitting Complete"));
    EXPECT_EQ(look.label1, QStringLiteral("Complete."));
    EXPECT_EQ(look.label2, QStringLiteral("100% Complete"));
    EXPECT_FLOAT_EQ(look.bar, bar);
    EXPECT_FALSE(look.timerRunning);
    EXPECT_TRUE(look.visible);
}

QString failureText(const std::string& path, files::FileOperation operation, int errorCode) {
    return QString::fromStdString(files::FileError::fromSystem(path, operation, errorCode).what());
}

void expectFailure(const Outcome& outcome, const QString& text) {
    ASSERT_EQ(outcome.messages.size(), 1U);
    EXPECT_EQ(outcome.messages[0].icon, MessageBox::Icon::Exclamation);
    EXPECT_EQ(outcome.messages[0].title, QStringLiteral("Split failed"));
    EXPECT_EQ(outcome.messages[0].text, text);
    EXPECT_NE(outcome.atMessages[0].label1, QStringLiteral("Complete."));
    EXPECT_NE(outcome.atMessages[0].title, QStringLiteral("Splitting Complete"));
}

TEST(SplitWindow, LooksAsDesignedWhileTheJobRuns) {
    SplitScene scene;
    SpyFileSystem spy;
    files::FileSystem::Override use(spy);
    bool checked = false;
    spy.beforeWrite = [&](const std::string&) {
        if (checked)
            return;
        checked = true;
        QWidget* window = findWindow(QStringLiteral("frmSplitting"));
        ASSERT_TRUE(window);
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(window->size(), QSize(548, 145));
        const auto flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Splitting Files"));

        auto* label1 = child<QLabel>(window, "Label1");
        EXPECT_EQ(label1->text(), Initial);
        EXPECT_EQ(label1->font().family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(label1->font().pointSizeF(), 12.0);
        EXPECT_TRUE(label1->font().bold());
        EXPECT_EQ(label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_TRUE(label1->alignment() & Qt::AlignHCenter);
        EXPECT_EQ(label1->geometry(), QRect(88, 8, 361, 25));
        EXPECT_LE(QFontMetrics(label1->font()).horizontalAdvance(Initial), label1->width());

        auto* bar = child<ProgressBar>(window, "ProgressBar1");
        EXPECT_EQ(bar->geometry(), QRect(48, 48, 449, 25));
        EXPECT_EQ(bar->value(), 0.0F);

        auto* label2 = child<QLabel>(window, "Label2");
        EXPECT_EQ(label2->text(), QStringLiteral("0 % Complete"));
        EXPECT_EQ(label2->geometry(), QRect(128, 88, 273, 49));
        EXPECT_EQ(label2->font().family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(label2->font().pointSizeF(), 18.0);
        EXPECT_FALSE(label2->font().bold());
        EXPECT_TRUE(label2->alignment() & Qt::AlignHCenter);
        EXPECT_LE(QFontMetrics(label2->font()).horizontalAdvance(QStringLiteral("102% Complete")),
                  label2->width());

        auto* ok = child<QPushButton>(window, "cmdOK");
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_EQ(ok->geometry(), QRect(448, 104, 81, 33));
        EXPECT_FALSE(ok->isVisible());

        auto* timer = child<QTimer>(window, "Timer1");
        EXPECT_EQ(timer->interval(), 500);
        EXPECT_TRUE(timer->isActive());
    };
    expectSuccess(splitThroughWindow(scene.source(2 * 1024 + 452, 1024, 3)), Under);
    EXPECT_TRUE(checked);
    scene.expectPieces({1024, 1024, 452});
    EXPECT_EQ(readFile(scene.manifest()), " 3 \r\nmovie.avi\r\n");
    EXPECT_EQ(&frmSplitting::instance(), &frmSplitting::instance());
}

TEST(SplitWindow, RoutineFollowsSourceLengthAndPieceSize) {
    struct Case {
        std::int64_t length;
        double pieceSize;
        const QString& message;
    };
    const Case cases[] = {
        {10485760, 1048576, Over},
        {10485759, 1048576, Under},
        {10485760, 1047552, Under},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        SplitScene scene;
        const double count = std::ceil(static_cast<double>(c.length) / c.pieceSize);
        expectSuccess(splitThroughWindow(scene.source(c.length, c.pieceSize, count)), c.message);
        const auto size = static_cast<std::int64_t>(c.pieceSize);
        EXPECT_EQ(
            readFile(scene.piece(static_cast<std::int64_t>(count))).size(),
            static_cast<std::size_t>(c.length - (static_cast<std::int64_t>(count) - 1) * size));
    }
}

TEST(SplitWindow, LastBlockValuesShowBeforeTheEnding) {
    SplitScene scene;
    SpyFileSystem spy;
    files::FileSystem::Override use(spy);
    std::vector<Look> atManifest;
    spy.beforeOpenWrite = [&](const std::string& path) {
        if (path.ends_with("movie.splitMain"))
            atManifest.push_back(lookNow());
    };
    // Position 51 of 50 bytes: 102 percent on the caption, the bar stops at 100.
    expectSuccess(splitThroughWindow(scene.source(50, 1024, 1)), Under);
    // Positions 1025 and 2001 of 2000 bytes: 100 (from 100.05) in the end.
    SplitScene longer;
    expectSuccess(splitThroughWindow(longer.source(2000, 1024, 2)), Under);
    ASSERT_EQ(atManifest.size(), 2U);
    EXPECT_EQ(atManifest[0].label2, QStringLiteral("102% Complete"));
    EXPECT_FLOAT_EQ(atManifest[0].bar, 100.0F);
    EXPECT_EQ(atManifest[0].title, QStringLiteral("Splitting Files"));
    EXPECT_EQ(atManifest[1].label2, QStringLiteral("100% Complete"));
    EXPECT_FLOAT_EQ(atManifest[1].bar, 100.0F);

    // An empty source has no block: the caption keeps its blank until the ending.
    SplitScene empty;
    atManifest.clear();
    expectSuccess(splitThroughWindow(empty.source(0, 1024, 0)), Under, 0.0F);
    ASSERT_EQ(atManifest.size(), 1U);
    EXPECT_EQ(atManifest[0].label2, QStringLiteral("0 % Complete"));
    EXPECT_EQ(readFile(empty.manifest()), " 0 \r\nmovie.avi\r\n");
}

QString nextTitle(const QString& title) {
    const QString base = QStringLiteral("Splitting Files");
    const auto dots = title.size() - base.size();
    return base + QString(static_cast<int>((dots + 1) % 4), QLatin1Char('.'));
}

TEST(SplitWindow, TitleAnimatesDuringTheJobAndKeepsItsPhaseAcrossSplits) {
    SpyFileSystem spy;
    files::FileSystem::Override use(spy);
    std::vector<QString> ticks;
    std::vector<Look> atFirstWrite;
    std::size_t wanted = 0;
    bool waited = false;
    spy.beforeWrite = [&](const std::string&) {
        if (waited)
            return;
        waited = true;
        atFirstWrite.push_back(lookNow());
        QWidget* window = findWindow(QStringLiteral("frmSplitting"));
        auto* timer = child<QTimer>(window, "Timer1");
        // Connected after the window's own handler, so this sees the title it set.
        const auto connection = QObject::connect(timer, &QTimer::timeout,
                                                 [&] { ticks.push_back(window->windowTitle()); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= wanted; }, 10000));
        QObject::disconnect(connection);
    };

    SplitScene first;
    wanted = 5;
    expectSuccess(splitThroughWindow(first.source(2048, 1024, 2)), Under);
    SplitScene second;
    waited = false;
    wanted = 6;
    expectSuccess(splitThroughWindow(second.source(2048, 1024, 2)), Under);

    ASSERT_EQ(ticks.size(), 6U);
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i], nextTitle(ticks[i - 1])) << "tick " << i;
    // Each showing starts afresh, although the first one ended complete.
    ASSERT_EQ(atFirstWrite.size(), 2U);
    for (const auto& look : atFirstWrite) {
        EXPECT_EQ(look.title, QStringLiteral("Splitting Files"));
        EXPECT_EQ(look.label1, Initial);
        EXPECT_EQ(look.label2, QStringLiteral("0 % Complete"));
        EXPECT_EQ(look.bar, 0.0F);
        EXPECT_TRUE(look.timerRunning);
    }
}

TEST(SplitWindow, CloseBoxEscapeAndEnterDoNothingDuringTheJob) {
    SplitScene scene;
    SpyFileSystem spy;
    files::FileSystem::Override use(spy);
    int writes = 0;
    spy.beforeWrite = [&](const std::string&) {
        if (++writes != 2)
            return;
        QWidget* window = findWindow(QStringLiteral("frmSplitting"));
        ASSERT_TRUE(window);
        EXPECT_FALSE(window->close());
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Return);
        QTest::keyClick(window, Qt::Key_Enter);
        QTest::qWait(0);
        EXPECT_TRUE(window->isVisible());
    };
    expectSuccess(splitThroughWindow(scene.source(5000, 2048, 3)), Under);
    EXPECT_EQ(writes, 5 + 2); // blocks, then the manifest's two lines
    scene.expectPieces({2048, 2048, 904});
}

TEST(SplitWindow, RefusalsShowWhyAndWriteNothing) {
    {
        SplitScene scene;
        const auto inputs = scene.source(2500, 1024, 2);
        expectFailure(splitThroughWindow(inputs),
                      QString::fromStdString("Cannot split \"" + inputs.sourcePath +
                                             "\": 2 pieces of 1024 bytes cannot hold its 2500 "
                                             "bytes."));
        EXPECT_TRUE(scene.outFiles().empty());
    }
    {
        SplitScene scene;
        auto inputs = scene.source(2500, 1024, 3);
        fs::create_symlink(inputs.sourcePath, scene.piece(2));
        const auto outcome = splitThroughWindow(inputs);
        ASSERT_EQ(outcome.messages.size(), 1U);
        EXPECT_EQ(outcome.messages[0].icon, MessageBox::Icon::Exclamation);
        EXPECT_TRUE(outcome.messages[0].text.contains(QString::fromStdString(scene.piece(2))));
        EXPECT_EQ(scene.outFiles(), std::vector<std::string>{"movie.split2"});
        EXPECT_EQ(readFile(inputs.sourcePath).size(), 2500U);
    }
}

TEST(SplitWindow, FailuresNameTheFileAndTheReason) {
    using Op = files::FileOperation;
    {
        SCOPED_TRACE("missing source");
        SplitScene scene;
        auto inputs = scene.source(10, 1024, 1);
        fs::remove(inputs.sourcePath);
        expectFailure(splitThroughWindow(inputs),
                      failureText(inputs.sourcePath, Op::MeasureLength, ENOENT));
        EXPECT_TRUE(scene.outFiles().empty());
    }
    {
        SCOPED_TRACE("missing destination folder");
        SplitScene scene;
        auto inputs = scene.source(2500, 1024, 3);
        inputs.destinationFolder = scene.out() + "gone/";
        expectFailure(splitThroughWindow(inputs),
                      failureText(scene.out() + "gone/movie.split1", Op::OpenForWriting, ENOENT));
        EXPECT_TRUE(scene.outFiles().empty());
    }
    {
        SCOPED_TRACE("a folder where piece 2 goes");
        SplitScene scene;
        const auto inputs = scene.source(2500, 1024, 3);
        fs::create_directory(scene.piece(2));
        expectFailure(splitThroughWindow(inputs),
                      failureText(scene.piece(2), Op::OpenForWriting, EISDIR));
        scene.expectPieces({1024}, "movie.split", false);
        EXPECT_FALSE(fs::exists(scene.manifest()));
    }
    {
        SCOPED_TRACE("a path through a file");
        SplitScene scene;
        auto inputs = scene.source(2500, 1024, 3);
        test::writeFile(scene.out() + "plain", "x");
        inputs.destinationFolder = scene.out() + "plain/";
        expectFailure(splitThroughWindow(inputs),
                      failureText(scene.out() + "plain/movie.split1", Op::OpenForWriting, ENOTDIR));
    }
    {
        SCOPED_TRACE("piece 2 on a full device");
        SplitScene scene;
        const auto inputs = scene.source(2500, 1024, 3);
        fs::create_symlink("/dev/full", scene.piece(2));
        expectFailure(splitThroughWindow(inputs), failureText(scene.piece(2), Op::Write, ENOSPC));
        scene.expectPieces({1024}, "movie.split", false);
        EXPECT_EQ(scene.outFiles(), (std::vector<std::string>{"movie.split1", "movie.split2"}));
    }
}

TEST(SplitWindow, InjectedFailuresLeaveNothingOpen) {
    using Op = files::FileOperation;
    {
        SCOPED_TRACE("disk fills part way through piece 2");
        SplitScene scene;
        const auto inputs = scene.source(1024 * 1024 + 100, 512 * 1024, 3);
        test::FaultyFileSystem faulty;
        faulty.failWritesAfter("movie.split2", 300000, ENOSPC);
        files::FileSystem::Override use(faulty);
        expectFailure(splitThroughWindow(inputs), failureText(scene.piece(2), Op::Write, ENOSPC));
        EXPECT_EQ(faulty.openFiles(), 0);
        // Each piece was opened once, for all of its 512 blocks.
        EXPECT_EQ(faulty.opens("movie.split1"), 1);
        EXPECT_EQ(faulty.opens("movie.split2"), 1);
        EXPECT_EQ(readFile(scene.piece(1)).size(), 512U * 1024);
        EXPECT_EQ(readFile(scene.piece(2)).size(), 300000U);
        EXPECT_EQ(scene.outFiles(), (std::vector<std::string>{"movie.split1", "movie.split2"}));
    }
    {
        SCOPED_TRACE("the manifest does not close after the ending began");
        SplitScene scene;
        const auto inputs = scene.source(2500, 1024, 3);
        test::FaultyFileSystem faulty;
        faulty.failClose("movie.splitMain", EIO);
        files::FileSystem::Override use(faulty);
        expectFailure(splitThroughWindow(inputs), failureText(scene.manifest(), Op::Close, EIO));
        EXPECT_EQ(faulty.openFiles(), 0);
    }
    {
        SCOPED_TRACE("the source does not close after the success");
        SplitScene scene;
        const auto inputs = scene.source(10485760, 1048576, 10);
        test::FaultyFileSystem faulty;
        faulty.failClose("movie.avi", EIO);
        files::FileSystem::Override use(faulty);
        expectSuccess(splitThroughWindow(inputs), Over);
        EXPECT_EQ(faulty.openFiles(), 0);
        EXPECT_EQ(readFile(scene.manifest()), " 10 \r\nmovie.avi\r\n");
    }
}

} // namespace
} // namespace kalvex
