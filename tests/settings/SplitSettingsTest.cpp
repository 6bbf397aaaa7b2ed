// The size rules, and the Split page's size, count, source and destination handlers worked
// through the real main window as a user would.
#include "app/MainWindowDriver.h"

#include "settings/SizeRules.h"

#include <QClipboard>

namespace kalvex::test {
namespace {

constexpr std::int64_t Floppy = 1457152, Mb = 1048576;
using End = MainWindowDriver::PickerEnd;

// Where the windows cannot reach: sizes and lengths far past 32 bits.
TEST(SizeRules, TypedSizesAndTheRemainderRuleInSixtyFourBits) {
    constexpr std::int64_t Cap = std::int64_t{1} << 53;
    const auto count = [](const std::string& digits, const char* unit, std::int64_t length) {
        return SizeRules::pieceCount(length,
                                     SizeRules::typedBytes(digits, SizeRules::unitBytes(unit)));
    };
    EXPECT_EQ(count("0012", "Kb", 12 * 1024 + 1), 2);
    EXPECT_EQ(count("2048", "Mb", (1LL << 32) + 1), 3);
    EXPECT_EQ(count(std::to_string(Cap / Mb - 1), "Mb", Cap), 2); // still exact below the cap
    EXPECT_EQ(count(std::to_string(Cap / 1024 + 1), "Kb", 1LL << 62), 512);
    EXPECT_EQ(count(std::string(5000, '9'), "Mb", std::numeric_limits<std::int64_t>::max()), 1024);
}

// A (sparse) source of the given length, chosen through Command1.
void chooseSource(MainWindowDriver& app, const TempDir& dir, std::int64_t length,
                  const char* title = "source.bin") {
    writeFile(dir.file(title), "");
    std::filesystem::resize_file(dir.file(title), static_cast<std::uintmax_t>(length));
    app.browseFile("Command1", dir.file(title));
}

TEST(SplitSettings, CountsForEveryChoiceAroundTheFloppySize) {
    // The source's length; the counts for a floppy, a CD, 1422 Kb, 1 Mb, a floppy again and
    // the typed size again, which waited in its boxes.
    for (const auto& [length, counts] : {std::pair<std::int64_t, QString>{0, "0 0 0 0 0 0"},
                                         {Floppy, "1 1 2 2 1 2"},
                                         {Floppy + 1, "2 1 2 2 2 2"},
                                         {700 * Mb, "504 1 505 700 504 700"}}) {
        TempDir dir;
        MainWindowDriver app;
        chooseSource(app, dir, length);
        QStringList seen{app.count()};
        app.click("opt700Mb"), seen << app.count();
        app.click("optOther"), app.type("txtSize", "1422"), seen << app.count();
        app.get<QLineEdit>("txtSize")->clear(), app.type("txtSize", "1");
        app.pickUnit("Mb"), seen << app.count();
        app.click("optFloppy"), seen << app.count();
        EXPECT_FALSE(app.get("txtSize")->isEnabled() || app.get("CBOType")->isEnabled());
        app.click("optOther");
        EXPECT_EQ((seen << app.count()).join(' '), counts) << length;
    }
}

TEST(SplitSettings, SourceFolderAndTheSizeBox) {
    TempDir dir;
    MessageBox::Recorder messages;
    MainWindowDriver app;
    const auto choose = [&](const char* title, std::int64_t length) {
        chooseSource(app, dir, length, title);
        return app.text("txtPath1").remove(q(dir.folder())) + "|" + app.text("txtName") + "|" +
               app.count();
    };
    EXPECT_EQ(choose("README", 0), "README|README.split|0");
    EXPECT_EQ(choose("a.b.c", 3 * Floppy), "a.b.c|a.split|3");
    EXPECT_EQ(choose(".profile", Floppy + 1), ".profile|.split|2");
    // Cancelled: nothing changes.
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
    app.browseFolder("Command2", "/", {}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), "/");

    chooseSource(app, dir, 20 * Mb);
    app.get<QLineEdit>("txtSize")->clear();
    const auto state = [&] {
        return app.text("txtSize") + "|" + app.count() + "|" +
               QString::number(app.window().selectedSize());
    };
    // Emptied: "0", while the last size stays.
    app.type("txtSize", "3");
    EXPECT_EQ(state(), "3|6827|3072");
    app.key("txtSize", Qt::Key_Backspace);
    EXPECT_EQ(state(), "|0|3072");
    // "kb" is no unit: nothing is recomputed until the text reads "Mb".
    app.type("txtSize", "10");
    app.key("CBOType", Qt::Key_A, Qt::ControlModifier);
    app.type("CBOType", "kb");
    app.type("txtSize", "0");
    EXPECT_EQ(state(), "100|2048|10240");
    app.key("CBOType", Qt::Key_A, Qt::ControlModifier);
    app.type("CBOType", "Mb");
    EXPECT_EQ(app.count(), "1");
    // "00", then "0": a size of 0, and the caption stays.
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_Delete})
        app.key("txtSize", key);
    EXPECT_EQ(state(), "0|1|0");

    // Refused keys and pastes each beep and leave the box as it was.
    auto* box = app.get<QLineEdit>("txtSize");
    box->setText("123");
    const int before = messages.beeps();
    const auto seen = [&] {
        return box->text() + "|" + QString::number(messages.beeps() - before);
    };
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Period, Qt::Key_Return, Qt::Key_Escape})
        app.key("txtSize", key);
    for (const char* clip : {"7x", "-5", "\u0663"})
        QGuiApplication::clipboard()->setText(QString::fromUtf8(clip)), box->paste();
    EXPECT_EQ(seen(), "123|7");
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete})
        app.key("txtSize", key);
    QGuiApplication::clipboard()->setText("0");
    box->paste();
    EXPECT_EQ(seen(), "02|7");
}

} // namespace
} // namespace kalvex::test
