// Exit ends the program at once, whatever other window is open. It stops the event loop
// for good, so it runs in a program of its own.
#include "app/FrmKalvex.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {
namespace {

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

TEST(Exit, EndsTheEventLoopAndHidesEveryWindowWithoutClosing) {
    FrmKalvex window;
    window.load();
    window.show();
    Watched other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* exit = window.findChild<QAction*>(QStringLiteral("mnuExit"));
    ASSERT_NE(exit, nullptr);
    QTimer::singleShot(0, exit, &QAction::trigger);
    EXPECT_EQ(QApplication::exec(), 0);

    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(other.closes, 0);
}

} // namespace
} // namespace kalvex::test
