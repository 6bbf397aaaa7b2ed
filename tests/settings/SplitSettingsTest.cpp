// The size rules, and the Split page's size, count, source and destination handlers worked
// through the real main window as a user would.
#include "app/MainWindowDriver.h"

#include "settings/SizeRules.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kalvex::test {
namespace {

constexpr std::int64_t Floppy = 1457152, Mb = 1048576;
using End = MainWindowDriver::PickerEnd;

// Where the windows cannot reach: sizes and lengths far past 32 bits.
TEST(SizeRules, TypedSizesAndTheRemainderRuleInSixtyFourBits) {
    constexpr std::int64_t Cap = std::int64_t{1} << 53;
    for (const auto& [digits, unit, length, count] :
         {std::tuple<std::string, const char*, std::int64_t, std::int64_t>{"0012", "Kb",
                                                                           12 * 1024 + 1, 2},
          {"2048", "Mb", (1LL << 32) + 1, 3},
          // Just below the cap the size is still exact.
          {std::to_string(Cap / Mb - 1), "Mb", Cap, 2},
          {std::to_string(Cap / 1024 + 1), "Kb", 1LL << 62, 512},
          {std::string(5000, '9'), "Mb", std::numeric_limits<std::int64_t>::max(), 1024},
          {"5", "kb", 100, 0}})
        EXPECT_EQ(SizeRules::pieceCount(length,
                                        SizeRules::typedBytes(digits, SizeRules::unitBytes(unit))),
                  count)
            << digits.substr(0, 20) << " " << unit << " for " << length << " bytes";
}

// A (sparse) source of the given length, chosen through Command1.
void chooseSource(MainWindowDriver& app, const TempDir& dir, std::int64_t length,
                  const char* title = "source.bin") {
    writeFile(dir.file(title), "");
    std::filesystem::resize_file(dir.file(title), static_cast<std::uintmax_t>(length));
    app.browseFile("Command1", dir.file(title));
}

TEST(SplitSettings, CountsForEveryChoiceAroundTheFloppySize) {
    for (const auto& [length, floppy, cd, kb1422, mb1] :
         {std::tuple<std::int64_t, const char*, const char*, const char*, const char*>{0, "0", "0",
                                                                                       "0", "0"},
          {Floppy, "1", "1", "2", "2"},
          {Floppy + 1, "2", "1", "2", "2"},
          {700 * Mb, "504", "1", "505", "700"}}) {
        SCOPED_TRACE(length);
        TempDir dir;
        MainWindowDriver app;
        chooseSource(app, dir, length);
        EXPECT_EQ(app.count(), floppy);
        app.click("opt700Mb");
        EXPECT_EQ(app.count(), cd);
        app.click("optOther");
        app.type("txtSize", "1422");
        EXPECT_EQ(app.count(), kb1422);
        app.get<QLineEdit>("txtSize")->clear();
        app.type("txtSize", "1");
        app.pickUnit("Mb");
        EXPECT_EQ(app.count(), mb1);
        app.click("optFloppy");
        EXPECT_EQ(app.count(), floppy);
        EXPECT_FALSE(app.get("txtSize")->isEnabled() || app.get("CBOType")->isEnabled());
        // The typed size waited in its boxes and counts again.
        app.click("optOther");
        EXPECT_EQ(app.count(), mb1);
    }
}

TEST(SplitSettings, EmptyBoxZeroSizeAndUnknownUnit) {
    TempDir dir;
    MainWindowDriver app;
    chooseSource(app, dir, 20 * Mb);
    app.click("optOther");
    // Emptied: "0", while the last size stays.
    app.type("txtSize", "3");
    EXPECT_EQ(app.count(), "6827");
    app.key("txtSize", Qt::Key_Backspace);
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

    // "00", then "0": a size of 0, and the caption stays.
    app.key("txtSize", Qt::Key_Home);
    app.key("txtSize", Qt::Key_Delete);
    app.key("txtSize", Qt::Key_Delete);
    EXPECT_EQ(app.text("txtSize"), "0");
    EXPECT_EQ(app.window().selectedSize(), 0);
    EXPECT_EQ(app.count(), "1");
    app.type("txtSize", QString(40, QLatin1Char('9')));
    EXPECT_EQ(app.window().selectedSize(), std::int64_t{1} << 53);
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
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Period, Qt::Key_Return, Qt::Key_Escape})
        refused([&] { app.key("txtSize", key); });
    refused([&] { app.key("txtSize", Qt::Key_V, Qt::ControlModifier); });
    for (const char* clip : {"7x", "-5", "\u0663"}) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(clip));
        refused([&] { box->paste(); });
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

TEST(SplitSettings, SourceGivesPathNameAndCountAndThePickerTheFolder) {
    TempDir dir;
    MainWindowDriver app;
    for (const auto& [title, name, length, count] :
         {std::tuple<const char*, const char*, std::int64_t, const char*>{"README", "README.split",
                                                                          0, "0"},
          {"a.b.c", "a.split", 3 * Floppy, "3"},
          {".profile", ".split", Floppy + 1, "2"}}) {
        chooseSource(app, dir, length, title);
        EXPECT_EQ(app.text("txtPath1").toStdString(), dir.file(title));
        EXPECT_EQ(app.text("txtName"), name);
        EXPECT_EQ(app.count(), count);
    }
    // Cancelled: nothing changes. runs the selected option's handler.
    app.browseFile("Command1", "");
    EXPECT_EQ(app.text("txtPath1").toStdString(), dir.file(".profile"));
    // Gone before it is measured: all but the count follow.
    app.browseFile("Command1", dir.file("gone.dat"));
    EXPECT_EQ(app.text("txtName") + "|" + app.count(), "gone.split|2");
    // The refresh runs the selected option's handler.
    app.click("optOther");
    app.type("txtSize", "1");
    app.browseFile("Command1", dir.file("a.b.c"));
    EXPECT_EQ(app.count(), "4269");

    std::filesystem::create_directories(dir.path() / "out" / "inner");
    const QString start = q(dir.path().string());
    app.browseFolder("Command2", start, {"out", "inner"}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/inner/");
    // Cancel, and the close box after it, keep the box as it is, even text typed by hand.
    app.get<QLineEdit>("txtPath2")->setText("typed by hand");
    app.browseFolder("Command2", start, {"out"}, End::Cancel);
    app.browseFolder("Command2", start, {"out"}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), "typed by hand");
    // The close box after an OK applies the earlier folder again.
    app.browseFolder("Command2", start, {"out"}, End::Ok);
    app.get<QLineEdit>("txtPath2")->setText("typed again");
    app.browseFolder("Command2", start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/");
    app.browseFolder("Command2", "/", {}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), "/");
}

} // namespace
} // namespace kalvex::test
