// The Split page's size, count, source and destination handlers, worked through the real
// main window as a user would.
#include "app/MainWindowDriver.h"

#include "dialogs/MessageBox.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvex::test {
namespace {

constexpr std::int64_t Floppy = 1457152;
using End = MainWindowDriver::PickerEnd;

// A (sparse) source of the given length, chosen through Command1.
void chooseSource(MainWindowDriver& app, const TempDir& dir, std::int64_t length,
                  const char* title = "source.bin") {
    const std::string path = dir.file(title);
    writeFile(path, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(length));
    app.browseSource(path);
}

void eraseSize(MainWindowDriver& app) {
    while (!app.text("txtSize").isEmpty())
        app.key("txtSize", Qt::Key_Backspace);
}

TEST(SplitSettings, CountsForEveryChoiceAroundTheFloppySize) {
    struct Case {
        std::int64_t length;
        const char *floppy, *cd, *kb1423, *kb1422, *mb1;
    };
    for (const Case& c :
         {Case{0, "0", "0", "0", "0", "0"}, Case{Floppy - 1, "1", "1", "1", "2", "2"},
          Case{Floppy, "1", "1", "1", "2", "2"}, Case{Floppy + 1, "2", "1", "2", "2", "2"},
          Case{2 * Floppy, "2", "1", "2", "3", "3"},
          Case{700 * 1048576, "504", "1", "504", "505", "700"}}) {
        SCOPED_TRACE(c.length);
        TempDir dir;
        MainWindowDriver app;
        chooseSource(app, dir, c.length);
        EXPECT_EQ(app.count(), c.floppy);
        app.click("opt700Mb");
        EXPECT_EQ(app.count(), c.cd);
        app.click("optOther");
        app.type("txtSize", "1423");
        EXPECT_EQ(app.count(), c.kb1423);
        app.key("txtSize", Qt::Key_Backspace);
        app.type("txtSize", "2");
        EXPECT_EQ(app.count(), c.kb1422);
        eraseSize(app);
        app.type("txtSize", "1");
        app.pickUnit("Mb");
        EXPECT_EQ(app.count(), c.mb1);
        app.click("optFloppy");
        EXPECT_EQ(app.count(), c.floppy);
        EXPECT_FALSE(app.enabled("txtSize") || app.enabled("CBOType"));
        // The typed size waited in its boxes and counts again.
        app.click("optOther");
        EXPECT_EQ(app.count(), c.mb1);
    }
}

TEST(SplitSettings, EmptyBoxZeroSizeAndUnknownUnit) {
    TempDir dir;
    MainWindowDriver app;
    chooseSource(app, dir, 20 * 1048576);
    app.click("optOther");
    // Emptied by Backspace or by Delete: "0", while the last size stays.
    app.type("txtSize", "3");
    EXPECT_EQ(app.count(), "6827");
    app.key("txtSize", Qt::Key_Backspace);
    EXPECT_EQ(app.count(), "0");
    app.type("txtSize", "3");
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    EXPECT_EQ(app.count(), "0");
    EXPECT_EQ(app.window().selectedSize(), 3 * 1024);

    // "kb" is no unit: nothing is recomputed until the text reads "Mb".
    app.type("txtSize", "10");
    app.key("CBOType", Qt::Key_A, Qt::ControlModifier);
    app.type("CBOType", "kb");
    app.type("txtSize", "0");
    EXPECT_EQ(app.count(), "2048");
    EXPECT_EQ(app.window().selectedSize(), 10 * 1024);
    app.key("CBOType", Qt::Key_A, Qt::ControlModifier);
    app.type("CBOType", "Mb");
    EXPECT_EQ(app.count(), "1");

    // "00", then "0": a size of 0 in either unit, and the caption stays.
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    app.key("txtSize", Qt::Key_Delete);
    EXPECT_EQ(app.text("txtSize"), "0");
    EXPECT_EQ(app.window().selectedSize(), 0);
    app.pickUnit("Kb");
    EXPECT_EQ(app.window().selectedSize(), 0);
    EXPECT_EQ(app.count(), "1");

    app.type("txtSize", QString(40, QLatin1Char('9')));
    EXPECT_EQ(app.window().selectedSize(), std::int64_t{1} << 53);
    EXPECT_EQ(app.count(), "1");
}

TEST(SplitSettings, OnlyDigitsGetIntoTheSizeBox) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.click("optOther");
    app.type("txtSize", "123");
    auto* box = app.get<QLineEdit>("txtSize");
    const auto refused = [&](auto attempt) {
        const int before = messages.beeps();
        attempt();
        EXPECT_EQ(messages.beeps(), before + 1);
        EXPECT_EQ(box->text(), "123");
    };
    QGuiApplication::clipboard()->setText("45");
    for (Qt::Key key :
         {Qt::Key_A, Qt::Key_Period, Qt::Key_Minus, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape})
        refused([&] { app.key("txtSize", key); });
    refused([&] { app.key("txtSize", Qt::Key_V, Qt::ControlModifier); });
    // Pasted through the context menu or with Shift+Insert.
    for (const char* clip : {"7x", "-5", "1.5", " 2", "٣"}) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(clip));
        refused([&] { box->paste(); });
        refused([&] { app.key("txtSize", Qt::Key_Insert, Qt::ShiftModifier); });
    }

    const int refusals = messages.beeps();
    app.key("txtSize", Qt::Key_Backspace);
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    QGuiApplication::clipboard()->setText("0");
    box->paste();
    EXPECT_EQ(box->text(), "02");
    EXPECT_EQ(messages.beeps(), refusals);
}

TEST(SplitSettings, SourceGivesPathNameTitleAndCount) {
    TempDir dir;
    MainWindowDriver app;
    struct Case {
        const char *title, *name;
        std::int64_t length;
        const char* count;
    };
    for (const Case& c :
         {Case{"README", "README.split", 0, "0"}, Case{"movie.avi", "movie.split", 3 * Floppy, "3"},
          Case{"a.b.c", "a.split", 10, "1"}, Case{".profile", ".split", Floppy + 1, "2"}}) {
        SCOPED_TRACE(c.title);
        chooseSource(app, dir, c.length, c.title);
        EXPECT_EQ(app.text("txtPath1").toStdString(), dir.file(c.title));
        EXPECT_EQ(app.text("txtName"), c.name);
        EXPECT_EQ(app.count(), c.count);
    }
    // Cancelled: nothing changes. Gone before it is measured: all but the count follow.
    app.browseSource("");
    EXPECT_EQ(app.text("txtPath1").toStdString(), dir.file(".profile"));
    app.browseSource(dir.file("gone.dat"));
    EXPECT_EQ(app.text("txtName"), "gone.split");
    EXPECT_EQ(app.count(), "2");
    // The refresh runs the selected option's handler.
    app.click("optOther");
    app.type("txtSize", "1");
    app.browseSource(dir.file("movie.avi"));
    EXPECT_EQ(app.count(), "4269");
}

TEST(SplitSettings, DestinationFromThePicker) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "out" / "inner");
    const QString start = QString::fromStdString(dir.path().string());
    MainWindowDriver app;
    app.browseDestination(start, {"out", "inner"}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/inner/");

    // Cancel, and the close box after it, keep the box as it is, even text typed by hand.
    app.get<QLineEdit>("txtPath2")->setText("typed by hand");
    app.browseDestination(start, {"out"}, End::Cancel);
    app.browseDestination(start, {"out"}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), "typed by hand");
    // The close box after an OK applies the earlier folder again.
    app.browseDestination(start, {"out"}, End::Ok);
    app.get<QLineEdit>("txtPath2")->setText("typed again");
    app.browseDestination(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/");

    app.browseDestination("/", {}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), "/");
}

} // namespace
} // namespace kalvex::test
