#include "join/FrmJoining.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinTestFiles.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kalvex {
namespace {

using test::child;
using test::TempDir;

// What the joining window showed at one moment.
struct Seen {
    QString title;
    QString caption;
    float bar = -1;
    bool visible = false;
};

Seen look(QWidget* window) {
    return {window->windowTitle(), test::child<QLabel>(window, "Label1")->text(),
            test::child<ProgressBar>(window, "ProgressBar1")->value(), window->isVisible()};
}

// Hands each joining window to a callback as it is shown, before its job starts.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(FrmJoining*)> onShow) : onShow_(std::move(onShow)) {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "FrmJoining")
            if (auto* window = qobject_cast<FrmJoining*>(watched))
                onShow_(window);
        return false;
    }

private:
    std::function<void(FrmJoining*)> onShow_;
};

// The window as the message box found it (the recorder's hook takes no captures).
std::vector<Seen>* seenAtMessage = nullptr;

void recordWindowAtMessage(const MessageBox::Shown&) {
    if (auto* window = test::findWindow("FrmJoining"))
        seenAtMessage->push_back(look(window));
}

// A join through the real window with its pieces in one folder and the output in another.
struct WindowJoin {
    TempDir pieces;
    TempDir target;
    std::string base = pieces.file("movie.split");
    MessageBox::Recorder messages;
    std::vector<Seen> atShow;
    std::vector<Seen> perPiece;
    std::vector<Seen> atMessage;
    std::function<void(FrmJoining*)> duringPiece;

    WindowJoin() {
        Module1::reset();
        Module1::MainFilePath = QString::fromStdString(pieces.file("movie.splitMain"));
        Module1::JoinFolder = QString::fromStdString(target.folder());
        seenAtMessage = &atMessage;
        messages.onShown = recordWindowAtMessage;
    }
    ~WindowJoin() { seenAtMessage = nullptr; }

    void run() {
        ShowWatcher watcher([this](FrmJoining* window) {
            atShow.push_back(look(window));
            QObject::connect(window, &FrmJoining::pieceShown, window, [this, window] {
                perPiece.push_back(look(window));
                if (duringPiece)
                    duringPiece(window);
            });
        });
        FrmJoining::showJoin();
    }

    std::string output() const { return test::readFile(target.file("movie.avi")); }
};

bool noJoiningWindowLeft() {
    for (auto* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "FrmJoining")
            return false;
    return true;
}

TEST(FrmJoining, LayoutAndInitialStateAndResizing) {
    WindowJoin j;
    test::writePieces(j.base, {10, 10});
    test::writeManifest(Module1::MainFilePath.toStdString(), " 2 ", "movie.avi");
    bool checked = false;
    j.duringPiece = [&](FrmJoining* window) {
        if (checked)
            return;
        checked = true;
        EXPECT_EQ(window->size(), QSize(545, 174));
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);

        auto* bar = child<ProgressBar>(window, "ProgressBar1");
        auto* label = child<QLabel>(window, "Label1");
        auto* button = child<QPushButton>(window, "Command1");
        EXPECT_EQ(window->nextInFocusChain(), bar);
        EXPECT_EQ(label->font().family(), "Liberation Sans");
        EXPECT_EQ(label->font().pointSizeF(), 13.5);
        EXPECT_TRUE(label->font().bold());
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
        EXPECT_EQ(QFontInfo(label->font()).family(), "Liberation Sans");
        // The widest caption fits its box unclipped.
        const QRect needed = label->fontMetrics().boundingRect("100% Complete");
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(label->fontMetrics().height(), label->height());
        EXPECT_EQ(button->text(), "OK");
        EXPECT_TRUE(button->isHidden());
        EXPECT_FALSE(button->autoDefault() || button->isDefault());

        // A resized window keeps its controls where they are.
        window->resize(900, 500);
        QTest::qWait(0);
        EXPECT_EQ(bar->geometry(), QRect(24, 40, 465, 25));
        EXPECT_EQ(label->geometry(), QRect(120, 72, 297, 25));
        EXPECT_EQ(button->geometry(), QRect(440, 128, 81, 33));
    };
    j.run();
    EXPECT_TRUE(checked);
    ASSERT_EQ(j.atShow.size(), 1U);
    EXPECT_EQ(j.atShow[0].title, "The Program is Currently Joining the files...");
    EXPECT_EQ(j.atShow[0].caption, "0% Complete");
    EXPECT_EQ(j.atShow[0].bar, 0.0F);
    EXPECT_TRUE(noJoiningWindowLeft());
}

TEST(FrmJoining, ShowsEachPieceThenTheCompletionAndIgnoresCloseEscAndEnter) {
    WindowJoin j;
    const std::string expected = test::writePieces(j.base, {1024, 1024, 452});
    test::writeManifest(Module1::MainFilePath.toStdString(), " 3 ", "movie.avi");
    bool postedEventRan = false;
    j.duringPiece = [&](FrmJoining* window) {
        if (j.perPiece.size() == 1) {
            QTest::keyClick(window, Qt::Key_Escape);
            QTest::keyClick(window, Qt::Key_Return);
            QTest::keyClick(window, Qt::Key_Enter);
            EXPECT_FALSE(window->close());
        }
        if (j.perPiece.size() == 3)
            QTimer::singleShot(0, window, [&] { postedEventRan = true; });
    };
    j.run();

    EXPECT_EQ(j.output(), expected);
    ASSERT_EQ(j.perPiece.size(), 3U);
    EXPECT_EQ(j.perPiece[0].caption, "33% Complete");
    EXPECT_EQ(j.perPiece[1].caption, "66% Complete");
    EXPECT_EQ(j.perPiece[2].caption, "100% Complete");
    EXPECT_EQ(j.perPiece[0].bar, static_cast<float>(1.0 / 3.0 * 100));
    EXPECT_EQ(j.perPiece[1].bar, static_cast<float>(2.0 / 3.0 * 100));
    EXPECT_EQ(j.perPiece[2].bar, 100.0F);
    for (const Seen& seen : j.perPiece) {
        EXPECT_EQ(seen.title, "The Program is Currently Joining the files...");
        EXPECT_TRUE(seen.visible);
    }
    // Events posted by the last piece ran before the message.
    EXPECT_TRUE(postedEventRan);

    ASSERT_EQ(j.messages.shown().size(), 1U);
    EXPECT_EQ(j.messages.shown()[0].icon, MessageBox::Icon::Information);
    EXPECT_EQ(j.messages.shown()[0].title, "Complete");
    EXPECT_EQ(j.messages.shown()[0].text, "The Joining process was sucessful!");
    ASSERT_EQ(j.atMessage.size(), 1U);
    EXPECT_EQ(j.atMessage[0].title, "Complete");
    EXPECT_EQ(j.atMessage[0].caption, "100% Complete");
    EXPECT_EQ(j.atMessage[0].bar, 100.0F);
    EXPECT_TRUE(noJoiningWindowLeft());

    // A later join starts from a fresh window.
    j.duringPiece = nullptr;
    j.run();
    ASSERT_EQ(j.atShow.size(), 2U);
    EXPECT_EQ(j.atShow[1].title, "The Program is Currently Joining the files...");
    EXPECT_EQ(j.atShow[1].caption, "0% Complete");
    EXPECT_EQ(j.atShow[1].bar, 0.0F);
    EXPECT_EQ(j.perPiece.size(), 6U);
    EXPECT_EQ(j.output(), expected);
}

TEST(FrmJoining, NoPiecesStillEndsWithTheCompletion) {
    for (const char* count : {" 0 ", " -1 "}) {
        WindowJoin j;
        test::writePieces(j.base, {10});
        test::writeManifest(Module1::MainFilePath.toStdString(), count, "movie.avi");
        j.run();
        EXPECT_TRUE(j.perPiece.empty());
        EXPECT_TRUE(std::filesystem::is_empty(j.target.path()));
        ASSERT_EQ(j.messages.shown().size(), 1U);
        EXPECT_EQ(j.messages.shown()[0].text, "The Joining process was sucessful!");
        ASSERT_EQ(j.atMessage.size(), 1U);
        EXPECT_EQ(j.atMessage[0].title, "Complete");
        EXPECT_EQ(j.atMessage[0].caption, "100% Complete");
    }
}

TEST(FrmJoining, FailureShowsOneExclamationAndNoCompletion) {
    WindowJoin j;
    test::writePieces(j.base, {10, 10, 10});
    std::filesystem::remove(j.base + "2");
    test::writeManifest(Module1::MainFilePath.toStdString(), " 3 ", "movie.avi");
    j.run();

    ASSERT_EQ(j.messages.shown().size(), 1U);
    const auto& shown = j.messages.shown()[0];
    EXPECT_EQ(shown.icon, MessageBox::Icon::Exclamation);
    EXPECT_EQ(shown.title, "Join failed");
    EXPECT_TRUE(shown.text.contains(QString::fromStdString(j.base + "2\": No such file")));
    EXPECT_TRUE(
        shown.text.contains(QString::fromStdString(j.target.file("movie.avi.kalvex-join"))));
    ASSERT_EQ(j.atMessage.size(), 1U);
    EXPECT_EQ(j.atMessage[0].title, "The Program is Currently Joining the files...");
    EXPECT_EQ(j.atMessage[0].caption, "33% Complete");
    EXPECT_TRUE(noJoiningWindowLeft());
}

} // namespace
} // namespace kalvex
