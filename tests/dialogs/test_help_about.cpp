// The help and about windows: topics and their texts, selection by mouse and keys, one
// window at a time, and a fresh window after each close.
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmHelp.h"
#include "support/GuiTest.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {
namespace {

struct TopicText {
    const char* name;
    const char* text;
};

const TopicText Expected[] = {
    {"File Sizes",
     "The filesize deterines how large you want each split file to be. If you select "
     "1.38MB(Floppy) it will split the files so that each file will fit onto a formated floppy. "
     "The 700MB split option will split the files so that they will fit onto a normal cd-r. And "
     "the other option will allow you to enter into the box next to it a custom file size (what "
     "ever you want). But keep in mind that you will also need the *.splitmain file to join your "
     "files (this file is usually very small and most of the time can be saved onto the same disk "
     "as the last .split file)."},
    {"Joining Files",
     "To join files you must have all of the split files and the *.splitmain file in the same "
     "folder (if you put them on floppy disks copy the split files onto the computer that you want "
     "to join them onto). When all of the files are in the same folder you open Kalvex and select "
     "the 'Join' tab. Locate the *.splitmain file and select the folder that you want the joined "
     "file to be. Click Join and when the joining process is complete the joined file will be "
     "located in the directory that you specifyed."},
    {"Main Files", "The main file is the file that you will be asked to locate when joining the "
                   "files. To join the files, the *.splitmain file must be located in the same "
                   "folder as all of the other *.split files."},
    {"Splitting Files",
     "To split files you must locate the file you want to split, locate where you want the split "
     "files to be created, and give it a name (it is recomended that you do not change the name "
     "that is automatically put in the name box after selecting the file to split). Then all you "
     "have to do is click split and when it is done the split files and splitmain file will be "
     "located in the folder that you specifyed."},
};

int windowsNamed(const QString& name) {
    int count = 0;
    for (auto* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            ++count;
    return count;
}

// Closes the window the way given and waits until it is really gone.
void closeAndWait(QWidget* window, bool byCloseBox) {
    QPointer<QWidget> watched = window;
    if (byCloseBox)
        window->close();
    else
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); })) << "window not destroyed";
}

QWidget* openHelp() {
    FrmHelp::showHelp();
    return findWindow("FrmHelp");
}

void clickTopic(QListWidget* topics, const QString& name) {
    const auto found = topics->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                      topics->visualItemRect(found.first()).center());
}

TEST(HelpWindow, OpensWithSortedTopicsNothingSelectedAndAnEmptyText) {
    QWidget* help = openHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->parentWidget(), nullptr);
    EXPECT_EQ(help->windowModality(), Qt::NonModal);

    auto* topics = child<QListWidget>(help, "lstTopics");
    QStringList names;
    for (int row = 0; row < topics->count(); ++row)
        names << topics->item(row)->text();
    EXPECT_EQ(names, QStringList({"File Sizes", "Joining Files", "Main Files", "Splitting Files"}));
    EXPECT_EQ(help->focusWidget(), topics);
    // Focusing the list makes an item current; that alone must show nothing.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(topics, &focusIn);
    EXPECT_TRUE(topics->selectedItems().isEmpty());
    EXPECT_TRUE(child<QLabel>(help, "Label2")->text().isEmpty());
    QTest::keyClick(help, Qt::Key_Tab);
    EXPECT_EQ(help->focusWidget(), child<QWidget>(help, "Picture1"));
    QTest::keyClick(help, Qt::Key_Tab);
    EXPECT_EQ(help->focusWidget(), child<QPushButton>(help, "Command1"));

    // Resizing moves nothing.
    help->resize(900, 700);
    EXPECT_EQ(topics->geometry(), QRect(0, 48, 145, 69));
    EXPECT_EQ(child<QWidget>(help, "Picture1")->geometry(), QRect(8, 128, 561, 321));
    closeAndWait(help, false);
}

TEST(HelpWindow, EachTopicShowsItsTextWholeByMouseAndByKeys) {
    QWidget* help = openHelp();
    ASSERT_NE(help, nullptr);
    auto* topics = child<QListWidget>(help, "lstTopics");
    auto* text = child<QLabel>(help, "Label2");

    for (const auto& topic : Expected) {
        clickTopic(topics, topic.name);
        EXPECT_EQ(text->text(), topic.text) << topic.name;
        // No scroll bar: the wrapped text must fit the label.
        EXPECT_LE(text->heightForWidth(text->width()), text->height()) << topic.name;
        EXPECT_TRUE(text->wordWrap());
    }

    clickTopic(topics, "File Sizes");
    for (int step : {1, 2, 3}) {
        QTest::keyClick(topics, Qt::Key_Down);
        EXPECT_EQ(text->text(), Expected[step].text) << "down to " << Expected[step].name;
    }
    QTest::keyClick(topics, Qt::Key_Up);
    EXPECT_EQ(text->text(), Expected[2].text);
    QTest::keyClick(topics, Qt::Key_Home);
    EXPECT_EQ(text->text(), Expected[0].text);
    closeAndWait(help, false);
}

TEST(HelpWindow, OneWindowAtATimeAndFreshAfterEachClose) {
    for (bool byCloseBox : {false, true}) {
        QWidget* help = openHelp();
        ASSERT_NE(help, nullptr);
        clickTopic(child<QListWidget>(help, "lstTopics"), "Main Files");
        FrmHelp::showHelp();
        EXPECT_EQ(findWindow("FrmHelp"), help);
        EXPECT_EQ(windowsNamed("FrmHelp"), 1);
        EXPECT_EQ(child<QLabel>(help, "Label2")->text(), Expected[2].text)
            << "bringing it to the front changes nothing";
        closeAndWait(help, byCloseBox);

        QWidget* again = openHelp();
        ASSERT_NE(again, nullptr);
        EXPECT_TRUE(child<QListWidget>(again, "lstTopics")->selectedItems().isEmpty());
        EXPECT_TRUE(child<QLabel>(again, "Label2")->text().isEmpty());
        closeAndWait(again, byCloseBox);
    }
}

TEST(HelpWindow, ReopeningBeforeTheClosedWindowIsDeletedGivesAFreshOne) {
    QWidget* help = openHelp();
    ASSERT_NE(help, nullptr);
    clickTopic(child<QListWidget>(help, "lstTopics"), "Main Files");
    QPointer<QWidget> old = help;
    help->close();
    FrmHelp::showHelp(); // no event processed in between: the old one is still alive
    QWidget* fresh = findWindow("FrmHelp");
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old.data());
    EXPECT_TRUE(QTest::qWaitFor([&] { return old.isNull(); }));
    EXPECT_EQ(findWindow("FrmHelp"), fresh) << "the new window outlives the old one";
    EXPECT_TRUE(child<QLabel>(fresh, "Label2")->text().isEmpty());
    closeAndWait(fresh, false);
}

TEST(AboutWindow, OneFixedWindowWithNameVersionAndCredit) {
    FrmAbout::showAbout();
    FrmAbout::showAbout();
    QWidget* about = findWindow("FrmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(windowsNamed("FrmAbout"), 1);
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_EQ(about->windowModality(), Qt::NonModal);
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(child<QLabel>(about, "Label1")->text(), "Kalvex V. 1.0");
    const QString credit = child<QLabel>(about, "Label2")->text();
    EXPECT_TRUE(credit.startsWith("Program was created by ")) << credit.toStdString();
    EXPECT_GT(credit.size(), QString("Program was created by ").size());
    auto* close = child<QPushButton>(about, "Command1");
    EXPECT_EQ(about->focusWidget(), close);
    closeAndWait(about, false);
}

TEST(AboutWindow, CloseBoxAndButtonBothDestroyIt) {
    for (bool byCloseBox : {false, true}) {
        FrmAbout::showAbout();
        QWidget* about = findWindow("FrmAbout");
        ASSERT_NE(about, nullptr);
        closeAndWait(about, byCloseBox);
        EXPECT_EQ(findWindow("FrmAbout"), nullptr);
    }
    // Help and about live side by side, independently.
    FrmAbout::showAbout();
    FrmHelp::showHelp();
    ASSERT_NE(findWindow("FrmAbout"), nullptr);
    ASSERT_NE(findWindow("FrmHelp"), nullptr);
    closeAndWait(findWindow("FrmAbout"), true);
    EXPECT_NE(findWindow("FrmHelp"), nullptr);
    closeAndWait(findWindow("FrmHelp"), true);
}

} // namespace
} // namespace kalvex::test
