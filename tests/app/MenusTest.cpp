// The Help menu: about and help open once each, beside the main window, and come to the
// front when chosen again.
#include "app/MainWindowDriver.h"

#include "dialogs/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {
namespace {

void choose(MainWindowDriver& app, const char* item) {
    auto* action = app.window().findChild<QAction*>(QLatin1String(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
    QTest::qWait(0);
}

int openWindowsNamed(const char* name) {
    int count = 0;
    for (auto* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            ++count;
    return count;
}

bool isActive(QWidget* window) {
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

TEST(HelpMenu, AboutAndHelpOpenOnceEachBesideAUsableMainWindow) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    for (const char* item : {"mnuAbout", "MnuHowToUse", "mnuAbout", "MnuHowToUse"})
        choose(app, item);
    EXPECT_EQ(openWindowsNamed("FrmAbout"), 1);
    EXPECT_EQ(openWindowsNamed("FrmHelp"), 1);

    QWidget* about = findWindow("FrmAbout");
    QWidget* help = findWindow("FrmHelp");
    ASSERT_NE(about, nullptr);
    ASSERT_NE(help, nullptr);
    for (QWidget* window : {about, help}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_EQ(window->windowModality(), Qt::NonModal);
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Chosen again, each comes to the front unchanged.
    auto* topics = child<QListWidget>(help, "lstTopics");
    topics->setCurrentRow(2);
    choose(app, "mnuAbout");
    EXPECT_TRUE(isActive(about));
    choose(app, "MnuHowToUse");
    EXPECT_TRUE(isActive(help));
    EXPECT_EQ(findWindow("FrmHelp"), help);
    EXPECT_EQ(topics->currentRow(), 2);

    // The main window keeps answering its controls meanwhile.
    app.showPage(1);
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "All feilds must be filled out.");

    about->close();
    help->close();
    QTest::qWait(0);
    EXPECT_EQ(openWindowsNamed("FrmAbout"), 0);
    EXPECT_EQ(openWindowsNamed("FrmHelp"), 0);
    EXPECT_TRUE(app.window().isVisible());
}

} // namespace
} // namespace kalvex::test
