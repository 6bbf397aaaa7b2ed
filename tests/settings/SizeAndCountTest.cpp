// The size options, the size box with its key filter, the unit box and the count, worked
// through the real main window.
#include "app/MainWindowDriver.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvex::test {
namespace {

constexpr std::int64_t Floppy = 1457152;

// A source of the given length, chosen through Command1.
void chooseSourceOf(MainWindowDriver& app, const TempDir& dir, std::int64_t length) {
    const std::string path = dir.file("source.bin");
    writeFile(path, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(length));
    app.browseSource(path);
    ASSERT_EQ(app.text("txtPath1").toStdString(), path);
}

void eraseSize(MainWindowDriver& app) {
    while (!app.text("txtSize").isEmpty())
        app.key("txtSize", Qt::Key_Backspace);
}

TEST(SizeAndCount, WithoutASourceEveryChoiceCountsZero) {
    MainWindowDriver app;
    EXPECT_EQ(app.count(), "0");
    app.click("opt700Mb");
    EXPECT_EQ(app.count(), "0");
    EXPECT_EQ(app.window().selectedSize(), 734003200);
    EXPECT_FALSE(app.enabled("txtSize"));
    app.click("optOther");
    EXPECT_TRUE(app.enabled("txtSize"));
    EXPECT_TRUE(app.enabled("CBOType"));
    EXPECT_EQ(app.count(), "0");
    app.type("txtSize", "5");
    EXPECT_EQ(app.count(), "0");
    EXPECT_EQ(app.window().selectedSize(), 5 * 1024);
    app.pickUnit("Mb");
    EXPECT_EQ(app.count(), "0");
    EXPECT_EQ(app.window().selectedSize(), 5 * 1048576);
}

TEST(SizeAndCount, CountsForSourcesAroundTheFloppySize) {
    struct Case {
        std::int64_t length;
        const char *floppy, *cd, *kb1423, *kb1422, *mb1;
    };
    for (const Case& c :
         {Case{Floppy - 1, "1", "1", "1", "2", "2"}, Case{Floppy, "1", "1", "1", "2", "2"},
          Case{Floppy + 1, "2", "1", "2", "2", "2"}, Case{2 * Floppy, "2", "1", "2", "3", "3"},
          Case{0, "0", "0", "0", "0", "0"}}) {
        SCOPED_TRACE(c.length);
        TempDir dir;
        MainWindowDriver app;
        chooseSourceOf(app, dir, c.length);
        EXPECT_EQ(app.count(), c.floppy);
        app.click("opt700Mb");
        EXPECT_EQ(app.count(), c.cd);
        app.click("optOther");
        app.type("txtSize", "1423");
        EXPECT_EQ(app.count(), c.kb1423);
        app.pickUnit("Kb");
        EXPECT_EQ(app.count(), c.kb1423);
        app.key("txtSize", Qt::Key_Backspace);
        app.type("txtSize", "2");
        EXPECT_EQ(app.text("txtSize"), "1422");
        EXPECT_EQ(app.count(), c.kb1422);
        eraseSize(app);
        app.type("txtSize", "1");
        app.pickUnit("Mb");
        EXPECT_EQ(app.count(), c.mb1);
        app.click("optFloppy");
        EXPECT_EQ(app.count(), c.floppy);
    }
}

TEST(SizeAndCount, ZeroAndEmptySizesKeepTheCaption) {
    TempDir dir;
    MainWindowDriver app;
    chooseSourceOf(app, dir, 20 * 1024);
    app.click("optOther");
    app.type("txtSize", "5");
    EXPECT_EQ(app.count(), "4");

    // Leading zeros are read away.
    app.key("txtSize", Qt::Key_Home);
    app.type("txtSize", "0");
    EXPECT_EQ(app.text("txtSize"), "05");
    EXPECT_EQ(app.count(), "4");

    // "0": the size is 0, the caption stays as it was.
    app.key("txtSize", Qt::Key_End);
    app.key("txtSize", Qt::Key_Backspace);
    EXPECT_EQ(app.text("txtSize"), "0");
    EXPECT_EQ(app.window().selectedSize(), 0);
    EXPECT_EQ(app.count(), "4");
    app.pickUnit("Mb");
    EXPECT_EQ(app.window().selectedSize(), 0);
    EXPECT_EQ(app.count(), "4");

    // An empty box shows "0" and keeps the last size, whether emptied by Delete or Backspace.
    app.pickUnit("Kb");
    eraseSize(app);
    app.type("txtSize", "3");
    EXPECT_EQ(app.count(), "7");
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    EXPECT_EQ(app.text("txtSize"), "");
    EXPECT_EQ(app.count(), "0");
    EXPECT_EQ(app.window().selectedSize(), 3 * 1024);
}

TEST(SizeAndCount, OnlyExactUnitTextsRecompute) {
    TempDir dir;
    MainWindowDriver app;
    chooseSourceOf(app, dir, 20 * 1048576);
    app.click("optOther");
    app.type("txtSize", "10");
    EXPECT_EQ(app.count(), "2048");

    app.key("CBOType", Qt::Key_End);
    app.key("CBOType", Qt::Key_Backspace);
    app.key("CBOType", Qt::Key_Backspace);
    app.type("CBOType", "kb");
    EXPECT_EQ(app.text("CBOType"), "kb");
    app.type("txtSize", "0");
    EXPECT_EQ(app.text("txtSize"), "100");
    EXPECT_EQ(app.count(), "2048");
    EXPECT_EQ(app.window().selectedSize(), 10 * 1024);

    // "M" is no unit yet; the keystroke that makes "Mb" recomputes. Enter changes nothing.
    app.key("CBOType", Qt::Key_Backspace);
    app.key("CBOType", Qt::Key_Backspace);
    app.type("CBOType", "M");
    EXPECT_EQ(app.count(), "2048");
    app.type("CBOType", "b");
    EXPECT_EQ(app.count(), "1");
    EXPECT_EQ(app.window().selectedSize(), 100 * 1048576);
    app.type("CBOType", " ");
    app.key("CBOType", Qt::Key_Return);
    EXPECT_EQ(app.text("CBOType"), "Mb ");
    app.key("txtSize", Qt::Key_Backspace);
    EXPECT_EQ(app.window().selectedSize(), 100 * 1048576);
    EXPECT_EQ(app.count(), "1");

    app.key("CBOType", Qt::Key_Backspace);
    EXPECT_EQ(app.count(), "2");

    // The arrow keys pick from the list.
    app.key("CBOType", Qt::Key_Down);
    EXPECT_EQ(app.text("CBOType"), "Mb");
    app.key("CBOType", Qt::Key_Up);
    EXPECT_EQ(app.text("CBOType"), "Kb");
    EXPECT_EQ(app.count(), "2048");
}

TEST(SizeAndCount, TypedSizeOutlivesTheOtherChoices) {
    TempDir dir;
    MainWindowDriver app;
    chooseSourceOf(app, dir, 25 * 1048576);
    app.click("optOther");
    app.type("txtSize", "10");
    app.pickUnit("Mb");
    EXPECT_EQ(app.count(), "3");
    app.click("optFloppy");
    EXPECT_EQ(app.count(), "18");
    EXPECT_FALSE(app.enabled("txtSize"));
    EXPECT_FALSE(app.enabled("CBOType"));
    EXPECT_EQ(app.text("txtSize"), "10");
    app.click("optOther");
    EXPECT_EQ(app.text("txtSize"), "10");
    EXPECT_EQ(app.text("CBOType"), "Mb");
    EXPECT_EQ(app.count(), "3");
    EXPECT_EQ(app.window().selectedSize(), 10 * 1048576);
}

TEST(SizeAndCount, SizesBeyondAnyFileGiveOnePiece) {
    TempDir dir;
    MainWindowDriver app;
    chooseSourceOf(app, dir, 5000);
    app.click("optOther");
    app.type("txtSize", "2048");
    app.pickUnit("Mb");
    EXPECT_EQ(app.window().selectedSize(), std::int64_t{1} << 31);
    EXPECT_EQ(app.count(), "1");
    app.type("txtSize", QString(40, QLatin1Char('9')));
    EXPECT_EQ(app.window().selectedSize(), std::int64_t{1} << 53);
    EXPECT_EQ(app.count(), "1");
}

TEST(SizeAndCount, KeyFilterLetsDigitsBackspaceAndEditingKeysThrough) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.click("optOther");
    app.type("txtSize", "123");
    ASSERT_EQ(messages.beeps(), 0);
    QGuiApplication::clipboard()->setText("45");

    struct Refused {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* what;
    };
    for (const Refused& r :
         {Refused{Qt::Key_A, {}, "a letter"}, Refused{Qt::Key_Period, {}, "."},
          Refused{Qt::Key_Minus, {}, "-"}, Refused{Qt::Key_Comma, {}, ","},
          Refused{Qt::Key_Space, {}, "a blank"}, Refused{Qt::Key_Return, {}, "Enter"},
          Refused{Qt::Key_Enter, {}, "keypad Enter"}, Refused{Qt::Key_Escape, {}, "Esc"},
          Refused{Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
          Refused{Qt::Key_X, Qt::ControlModifier, "Ctrl+X"}}) {
        SCOPED_TRACE(r.what);
        const int before = messages.beeps();
        app.key("txtSize", r.key, r.modifiers);
        EXPECT_EQ(messages.beeps(), before + 1);
        EXPECT_EQ(app.text("txtSize"), "123");
    }
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(app.window().isVisible());

    const int refusals = messages.beeps();
    app.key("txtSize", Qt::Key_Left);
    app.key("txtSize", Qt::Key_Backspace);
    EXPECT_EQ(app.text("txtSize"), "13");
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    EXPECT_EQ(app.text("txtSize"), "3");
    app.key("txtSize", Qt::Key_End);
    app.type("txtSize", "9");
    EXPECT_EQ(app.text("txtSize"), "39");
    EXPECT_EQ(messages.beeps(), refusals);
}

TEST(SizeAndCount, PastesHoldingAnythingButDigitsAreRefused) {
    MessageBox::Recorder messages;
    TempDir dir;
    MainWindowDriver app;
    chooseSourceOf(app, dir, 100 * 1024);
    app.click("optOther");
    app.type("txtSize", "1");
    EXPECT_EQ(app.count(), "100");
    auto* box = app.get<QLineEdit>("txtSize");

    for (const char* clip : {"7x", "-5", "1.5", " 2", "٣", "12\n"}) {
        SCOPED_TRACE(clip);
        const int before = messages.beeps();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(clip));
        box->paste(); // what the context menu's Paste does
        EXPECT_EQ(messages.beeps(), before + 1);
        EXPECT_EQ(box->text(), "1");
    }
    const int before = messages.beeps();
    QGuiApplication::clipboard()->setText("x");
    app.key("txtSize", Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(messages.beeps(), before + 1);
    EXPECT_EQ(box->text(), "1");

    // Digits paste like typing, and the count follows.
    QGuiApplication::clipboard()->setText("0");
    box->end(false);
    box->paste();
    EXPECT_EQ(box->text(), "10");
    EXPECT_EQ(app.count(), "10");
    EXPECT_EQ(messages.beeps(), before + 1);
}

} // namespace
} // namespace kalvex::test
