// How the program ends: the close box of the main window ends it only when no help or
// about window is left open; Exit ends it at once, closing every window. Each case runs the
// event loop to its end, so these tests have a program of their own.
#include "app/MainWindow.h"
#include "support/GuiTest.h"

#include <QAction>

namespace kalvex::test {
namespace {

// Shows the main window and runs the program's event loop with the steps run one after
// the other inside it, each once the events of the one before have been handled. The last
// step must end the loop; every step must have run by then.
void runProgram(MainWindow& window, std::vector<std::function<void()>> steps) {
    window.load();
    window.show();
    std::size_t ran = 0;
    QObject stepsAlive; // a step still pending when the loop ends dies with it
    std::function<void()> next = [&] {
        if (ran < steps.size())
            QTimer::singleShot(0, &stepsAlive, [&] { steps[ran++](), next(); });
    };
    next();
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(ran, steps.size());
}

TEST(Lifetime, ClosingTheMainWindowLeavesTheProgramRunningWhileHelpIsOpenAndExitEndsAll) {
    MainWindow window;
    const auto choose = [&](const char* item) {
        window.findChild<QAction*>(item)->trigger();
    };
    runProgram(window, {[&] { choose("MnuHowToUse"); }, [&] { window.close(); },
                        [&] {
                            // Still running: the loop outlived the main window.
                            QWidget* help = findWindow("FrmHelp");
                            ASSERT_TRUE(help && !window.isVisible());
                            help->close();
                        }});
    runProgram(window, {[&] { choose("MnuHowToUse"); }, [&] { choose("mnuAbout"); },
                        [&] {
                            EXPECT_TRUE(findWindow("FrmHelp") && findWindow("FrmAbout"));
                            choose("mnuExit");
                        }});
    for (auto* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
}

} // namespace
} // namespace kalvex::test
