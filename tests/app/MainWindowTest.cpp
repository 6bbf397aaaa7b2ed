// The main window as it opens: frame, menus, every control's place, look and state, the
// focus order, and the keys that must do nothing; help and about opened from its menu.
#include "app/MainWindowDriver.h"

#include "app/ProgramIcon.h"
#include "dialogs/MessageBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <set>

namespace kalvex::test {
namespace {

struct Placement {
    const char* name;
    const char* relativeTo; // "h": the tab control's outer corner; else the frame
    QRect rect;
    const char* caption; // nullptr: not checked
    const char* family;
    qreal points;
    bool bold;
};

constexpr const char* Sans = "Liberation Sans";
constexpr const char* Serif = "Liberation Serif";

const char* const NamingNote =
    "Please type what you want the files to be named.They will use the name you type in and "
    "be followed by a 1, 2, 3 etc to show what number of the split file it is. There will also "
    "be a .splitmain file which is the file that you will be asked to locate when you rejoin. "
    "This file will be named the samething that you type in below except will have the "
    "extention .splitmain.";

const Placement SplitPage[] = {
    {"Label1",
     "h",
     {16, 56, 297, 17},
     "Please select the file you would like to split:",
     Sans,
     9.75,
     true},
    {"txtPath1", "h", {8, 80, 425, 33}, "", Sans, 12, true},
    {"Command1", "h", {448, 80, 97, 33}, " Browse", Sans, 8.25, false},
    {"Label2",
     "h",
     {16, 120, 313, 25},
     "Please Select the Destination for the split files:",
     Sans,
     9.75,
     true},
    {"txtPath2", "h", {8, 152, 425, 33}, "", Sans, 12, true},
    {"Command2", "h", {448, 152, 97, 33}, "Browse", Sans, 8.25, false},
    {"Label5", "h", {16, 184, 369, 65}, NamingNote, Sans, 8.25, false},
    {"txtName", "h", {16, 256, 297, 41}, "", Sans, 8.25, false},
    {"Frame1", "h", {16, 304, 329, 193}, "Spliting Options", Sans, 9.75, true},
    {"Frame2", "Frame1", {40, 16, 249, 121}, "Split into files sizes of:", Sans, 8.25, false},
    {"optFloppy", "Frame2", {16, 24, 113, 17}, "1.38MB (floppy)", Sans, 8.25, false},
    {"opt700Mb", "Frame2", {16, 48, 153, 17}, "700MB (standard Cd-R)", Sans, 8.25, false},
    {"optOther", "Frame2", {15, 72, 51, 25}, "Other:", Sans, 8.25, false},
    {"txtSize", "Frame2", {72, 72, 89, 25}, "", Sans, 8.25, false},
    {"CBOType", "Frame2", {168, 72, 73, 21}, "Kb", Sans, 8.25, false},
    {"Label3",
     "Frame1",
     {8, 152, 209, 17},
     "Number of files that will be created:",
     Sans,
     8.25,
     true},
    {"lblHowMany", "Frame1", {216, 152, 89, 33}, "0", Sans, 8.25, true},
    {"Command3", "h", {432, 440, 121, 41}, "Split", Serif, 20.25, true},
};

const Placement JoinPage[] = {
    {"Label4",
     "h",
     {32, 48, 361, 17},
     "Please locate the main split file. (EX. YourFileName.splitmain)",
     Sans,
     8.25,
     true},
    {"txtLocation", "h", {8, 72, 385, 33}, "", Sans, 8.25, false},
    {"cmdBrowse1", "h", {416, 72, 105, 33}, "Browse", Sans, 8.25, false},
    {"Label6",
     "h",
     {8, 120, 481, 33},
     "Note: All of the split files MUST be located in the same folder as the first split file that "
     "you have located above.",
     Sans,
     9.75,
     true},
    {"Line1", "h", {8, 191, 553, 3}, nullptr, Sans, 8.25, false},
    {"Label7",
     "h",
     {24, 232, 361, 17},
     "Please specify where you want the file to go after being joined.",
     Sans,
     8.25,
     true},
    {"txtFolder2", "h", {8, 256, 385, 33}, "", Sans, 8.25, false},
    {"cmdBrowse2", "h", {416, 256, 97, 33}, "Browse", Sans, 8.25, false},
    {"Command4", "h", {440, 448, 113, 49}, "Join", Sans, 13.5, true},
};

// Whether the control's text shows whole in its box.
void expectTextFits(QWidget* control) {
    const QFontMetrics metrics(control->font());
    const QString name = control->objectName();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name.toStdString();
        } else {
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                << name.toStdString();
            EXPECT_LE(metrics.height(), label->height()) << name.toStdString();
        }
    } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
        QStyleOptionButton styleOption;
        styleOption.initFrom(option);
        styleOption.text = option->text();
        const QRect textRoom =
            option->style()->subElementRect(QStyle::SE_RadioButtonContents, &styleOption, option);
        EXPECT_LE(metrics.horizontalAdvance(option->text()), textRoom.width())
            << name.toStdString();
        EXPECT_LE(metrics.height(), option->height()) << name.toStdString();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        const int margin = control->style()->pixelMetric(QStyle::PM_ButtonMargin);
        EXPECT_LE(metrics.horizontalAdvance(button->text()) + 2 * margin, button->width())
            << name.toStdString();
        EXPECT_LE(metrics.height(), button->height()) << name.toStdString();
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        EXPECT_LE(metrics.horizontalAdvance(box->title()), box->width()) << name.toStdString();
    } else if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)) {
        // Room for a line of text inside the frame.
        EXPECT_LE(metrics.height() + 4, control->height()) << name.toStdString();
    }
}

void expectPlaced(MainWindowDriver& app, const Placement& p) {
    SCOPED_TRACE(p.name);
    auto* control = app.get<QWidget>(p.name);
    ASSERT_NE(control, nullptr);
    auto* reference = app.get<QWidget>(p.relativeTo);
    ASSERT_TRUE(reference->isAncestorOf(control));
    EXPECT_EQ(QRect(control->mapTo(reference, QPoint(0, 0)), control->size()), p.rect);
    if (p.caption) {
        const QString caption = QString::fromUtf8(p.caption);
        if (auto* box = qobject_cast<QGroupBox*>(control))
            EXPECT_EQ(box->title(), caption);
        else
            EXPECT_EQ(app.text(p.name), caption);
    }
    EXPECT_EQ(control->font().family(), QLatin1String(p.family));
    EXPECT_DOUBLE_EQ(control->font().pointSizeF(), p.points);
    EXPECT_EQ(control->font().bold(), p.bold);
    expectTextFits(control);
}

TEST(MainWindow, FrameTabsAndMenus) {
    MainWindowDriver app;
    FrmKalvex& window = app.window();
    EXPECT_EQ(window.objectName(), QLatin1String("FrmKalvex"));
    EXPECT_EQ(window.windowTitle(), QLatin1String("Kalvex"));
    EXPECT_EQ(window.centralWidget()->size(), QSize(568, 503));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.height(), 503 + window.menuBar()->height());
    const auto flags = window.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    auto* tabs = app.get<QTabWidget>("h");
    EXPECT_EQ(tabs->geometry(), QRect(0, 0, 569, 505));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QLatin1String("Split"));
    EXPECT_EQ(tabs->tabText(1), QLatin1String("Re-Join"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabBar()->font().family(), QLatin1String(Sans));
    EXPECT_DOUBLE_EQ(tabs->tabBar()->font().pointSizeF(), 13.5);
    EXPECT_TRUE(tabs->tabBar()->font().bold());

    struct Item {
        const char* menu;
        const char* menuTitle;
        const char* name;
        const char* caption;
    };
    for (const Item& item : {Item{"mnuFile", "&File", "mnuExit", "Exit"},
                             Item{"mnuHelp", "&Help", "mnuAbout", "About"},
                             Item{"mnuHelp", "&Help", "MnuHowToUse", "How To Use"}}) {
        SCOPED_TRACE(item.name);
        auto* menu = app.get<QMenu>(item.menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), QLatin1String(item.menuTitle));
        auto* action = window.findChild<QAction*>(QLatin1String(item.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QLatin1String(item.caption));
        EXPECT_TRUE(menu->actions().contains(action));
        EXPECT_TRUE(action->shortcut().isEmpty());
        EXPECT_TRUE(action->isEnabled() && action->isVisible());
    }

    const QImage icon = ProgramIcon::image();
    EXPECT_EQ(icon.size(), QSize(48, 48));
    EXPECT_EQ(icon.depth(), 24);
}

TEST(MainWindow, ControlsOfBothPagesInPlace) {
    MainWindowDriver app;
    for (const auto& placement : SplitPage)
        expectPlaced(app, placement);
    app.get<QTabWidget>("h")->setCurrentIndex(1);
    QTest::qWait(0);
    for (const auto& placement : JoinPage)
        expectPlaced(app, placement);
}

TEST(MainWindow, StartStateAndColours) {
    MainWindowDriver app;
    EXPECT_TRUE(app.get<QRadioButton>("optFloppy")->isChecked());
    EXPECT_FALSE(app.get<QRadioButton>("opt700Mb")->isChecked());
    EXPECT_FALSE(app.get<QRadioButton>("optOther")->isChecked());
    EXPECT_FALSE(app.enabled("txtSize"));
    EXPECT_FALSE(app.enabled("CBOType"));
    EXPECT_EQ(app.count(), QLatin1String("0"));
    EXPECT_EQ(app.window().selectedSize(), 1457152);

    auto* units = app.get<QComboBox>("CBOType");
    EXPECT_TRUE(units->isEditable());
    ASSERT_EQ(units->count(), 2);
    EXPECT_EQ(units->itemText(0), QLatin1String("Kb"));
    EXPECT_EQ(units->itemText(1), QLatin1String("Mb"));

    for (const char* box :
         {"txtPath1", "txtPath2", "txtName", "txtSize", "txtLocation", "txtFolder2"}) {
        SCOPED_TRACE(box);
        auto* edit = app.get<QLineEdit>(box);
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_FALSE(edit->isReadOnly());
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(edit->maxLength(), 32767); // Qt's own default: no limit of ours
    }

    const QColor green(0, 255, 0);
    for (const char* box : {"txtPath1", "txtPath2", "txtName"}) {
        SCOPED_TRACE(box);
        const QPalette palette = app.get<QWidget>(box)->palette();
        EXPECT_EQ(palette.color(QPalette::Text), green);
        EXPECT_EQ(palette.color(QPalette::Base), QColor(Qt::black));
    }
    EXPECT_EQ(app.get<QWidget>("Command1")->palette().color(QPalette::Button), QColor(0, 192, 0));
    EXPECT_EQ(app.get<QWidget>("Command2")->palette().color(QPalette::Button), QColor(0, 192, 0));
    EXPECT_EQ(app.get<QWidget>("Command3")->palette().color(QPalette::Button), QColor(0, 0, 255));
    EXPECT_EQ(app.get<QWidget>("Frame1")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // The red is the caption's alone, not the size options'.
    EXPECT_NE(app.get<QWidget>("optFloppy")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(app.get<QWidget>("Label3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(app.get<QWidget>("lblHowMany")->palette().color(QPalette::WindowText),
              QColor(0, 0, 255));
}

TEST(MainWindow, FocusOrderRunsOverBothPages) {
    MainWindowDriver app;
    const QStringList expected = {"txtPath1",    "Command1",   "txtPath2",   "Command2",
                                  "optFloppy",   "opt700Mb",   "optOther",   "txtSize",
                                  "CBOType",     "Command3",   "txtName",    "cmdBrowse1",
                                  "txtLocation", "txtFolder2", "cmdBrowse2", "Command4"};
    const std::set<QString> named(expected.begin(), expected.end());
    QWidget* start = app.get<QTabWidget>("h")->tabBar();
    QStringList order;
    for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain())
        if (named.count(w->objectName()) && !order.contains(w->objectName()))
            order << w->objectName();
    EXPECT_EQ(order, expected);
    EXPECT_EQ(start->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    for (const char* name : {"Label1", "Label3", "lblHowMany", "Frame1", "Frame2"})
        EXPECT_EQ(app.get<QWidget>(name)->focusPolicy(), Qt::NoFocus) << name;
}

TEST(MainWindow, EnterAndEscapeDoNothingWhileSpacePresses) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    for (const char* name :
         {"Command1", "Command2", "Command3", "Command4", "cmdBrowse1", "cmdBrowse2"}) {
        auto* button = app.get<QPushButton>(name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
    app.key("Command3", Qt::Key_Return);
    app.key("Command3", Qt::Key_Enter);
    app.key("txtPath1", Qt::Key_Return);
    app.key("txtPath1", Qt::Key_Escape);
    QTest::keyClick(&app.window(), Qt::Key_Escape);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(app.window().isVisible());

    // The same button does answer Space: with every field empty it complains.
    app.key("Command3", Qt::Key_Space);
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, QLatin1String("All fields Must Be Filled."));
}

TEST(MainWindow, SwitchingPagesChangesNothing) {
    MainWindowDriver app;
    app.click("optOther");
    app.type("txtSize", QStringLiteral("10"));
    app.pickUnit(QStringLiteral("Mb"));
    app.get<QLineEdit>("txtPath2")->setText(QStringLiteral("/typed"));
    app.type("txtLocation", QStringLiteral("x.splitMain"));

    auto* tabs = app.get<QTabWidget>("h");
    tabs->setCurrentIndex(1);
    QTest::qWait(0);
    EXPECT_FALSE(app.get<QWidget>("txtPath1")->isVisible());
    EXPECT_TRUE(app.get<QWidget>("txtLocation")->isVisible());
    tabs->setCurrentIndex(0);
    QTest::qWait(0);
    EXPECT_TRUE(app.get<QWidget>("txtPath1")->isVisible());
    EXPECT_FALSE(app.get<QWidget>("txtLocation")->isVisible());

    EXPECT_TRUE(app.get<QRadioButton>("optOther")->isChecked());
    EXPECT_TRUE(app.enabled("txtSize"));
    EXPECT_EQ(app.text("txtSize"), QLatin1String("10"));
    EXPECT_EQ(app.text("CBOType"), QLatin1String("Mb"));
    EXPECT_EQ(app.text("txtPath2"), QLatin1String("/typed"));
    EXPECT_EQ(app.text("txtLocation"), QLatin1String("x.splitMain"));
    EXPECT_EQ(app.window().selectedSize(), 10 * 1048576);
}

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

TEST(MainWindow, AboutAndHelpOpenOnceEachBesideAWorkingWindow) {
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
