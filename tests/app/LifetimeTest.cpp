// How the program ends: the close box of the main window ends it only when no help or
// about window is left open; Exit ends it at once, closing every window without running
// its close handler. Each case runs the event loop to its end, so these tests have a
// program of their own.
#include "app/FrmKalvex.h"
#include "support/GuiTest.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kalvex::test {
namespace {

// Runs the program's event loop with steps run one after the other inside it, each once
// the events of the one before have been handled; returns the number of steps that ran
// before the loop ended. The last step must end the loop.
int runProgram(std::vector<std::function<void()>> steps, int* exitCode) {
    int ran = 0;
    QObject stepsAlive; // a step still pending when the loop ends dies with it
    std::function<void(std::size_t)> next = [&](std::size_t i) {
        if (i == steps.size())
            return;
        QTimer::singleShot(0, &stepsAlive, [&, i] {
            ++ran;
            steps[i]();
            next(i + 1);
        });
    };
    next(0);
    *exitCode = QApplication::exec();
    return ran;
}

// A window that counts the close handlers run on it.
class Watched : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        QWidget::closeEvent(event);
    }
};

QAction* menuItem(FrmKalvex& window, const char* name) {
    auto* item = window.findChild<QAction*>(QLatin1String(name));
    EXPECT_NE(item, nullptr) << name;
    return item;
}

TEST(Lifetime, ClosingTheMainWindowLeavesTheProgramRunningWhileHelpIsOpen) {
    ASSERT_TRUE(QApplication::quitOnLastWindowClosed());
    int lastClosed = 0;
    const auto watch =
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { ++lastClosed; });
    FrmKalvex window;
    window.load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QWidget* help = nullptr;
    bool helpOpenAfterMainClosed = false;
    int exitCode = -1;
    const int ran = runProgram({[&] { menuItem(window, "MnuHowToUse")->trigger(); },
                                [&] {
                                    help = findWindow("FrmHelp");
                                    EXPECT_TRUE(window.close());
                                },
                                [&] {
                                    // Still here: the loop has not ended with the main window.
                                    helpOpenAfterMainClosed =
                                        help && help->isVisible() && !window.isVisible();
                                    EXPECT_EQ(lastClosed, 0);
                                    if (help)
                                        help->close();
                                }},
                               &exitCode);

    EXPECT_EQ(ran, 3);
    EXPECT_NE(help, nullptr);
    EXPECT_TRUE(helpOpenAfterMainClosed);
    EXPECT_EQ(lastClosed, 1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(findWindow("FrmHelp"));
    QObject::disconnect(watch);
}

TEST(Lifetime, ExitEndsTheProgramAtOnceWithoutAskingAnyWindow) {
    FrmKalvex window;
    window.load();
    window.show();
    Watched other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    bool bothOpen = false;
    int exitCode = -1;
    const int ran = runProgram({[&] { menuItem(window, "MnuHowToUse")->trigger(); },
                                [&] { menuItem(window, "mnuAbout")->trigger(); },
                                [&] {
                                    bothOpen = findWindow("FrmHelp") && findWindow("FrmAbout");
                                    menuItem(window, "mnuExit")->trigger();
                                }},
                               &exitCode);

    EXPECT_EQ(ran, 3);
    EXPECT_TRUE(bothOpen);
    EXPECT_EQ(exitCode, 0);
    for (auto* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    EXPECT_EQ(other.closes, 0);
}

} // namespace
} // namespace kalvex::test
