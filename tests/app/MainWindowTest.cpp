// The main window as it opens and as a user works it: the Split and Join buttons' checks,
// a whole split and join on disk through both pages, the menus, and a picture of each page.
#include "app/MainWindowDriver.h"

#include "dialogs/LocalPath.h"
#include "dialogs/ProgressBar.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>

namespace kalvex::test {
namespace {

// As it opens: the menus, the icon, the options, the focus order with a screen reader's name
// for each control, and readable pages; then the Split and Join buttons' checks.
TEST(MainWindow, StartStateFieldChecksAndSplitButton) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    MainWindow& window = app.window();
    EXPECT_EQ(window.centralWidget()->size(), QSize(568, 503));
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            menus << menu->text() + "/" + item->text() + item->shortcut().toString();
    EXPECT_EQ(menus.join('|'), "&File/Exit|&Help/About|&Help/How To Use");
    auto* tabs = app.get<QTabWidget>("h");
    EXPECT_EQ(tabs->tabText(0) + "|" + tabs->tabText(1), "Split|Re-Join");
    EXPECT_FALSE(app.get("txtSize")->isEnabled() || app.get("CBOType")->isEnabled());
    EXPECT_EQ(app.text("CBOType") + "|" + app.count(), "Kb|0");
    EXPECT_EQ(window.selectedSize(), 1457152);
    const auto accessible = [](QObject* object, QAccessible::Text kind = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(object)->text(kind);
    };
    QStringList order, names;
    for (QWidget* w = tabs->tabBar()->nextInFocusChain(); order.size() < 16;
         w = w->nextInFocusChain())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
            (w->focusPolicy() & Qt::TabFocus))
            order << w->objectName(), names << accessible(w);
    EXPECT_EQ(order.join(' '), "txtPath1 Command1 txtPath2 Command2 optFloppy opt700Mb optOther "
                               "txtSize CBOType Command3 txtName cmdBrowse1 txtLocation "
                               "txtFolder2 cmdBrowse2 Command4");
    EXPECT_EQ(
        names.join('|'),
        "File to split|Browse for the file to split|Destination folder|Browse for the "
        "destination folder|Pieces of 1.38 MB (floppy)|Pieces of 700 MB (CD-R)|Pieces of "
        "another size|Piece size in Kb or Mb|Kb|Split|Name of the pieces|Browse for the split "
        "manifest|Split manifest|Folder for the joined file|Browse for the folder for the "
        "joined file|Join");
    EXPECT_EQ(accessible(app.get<QComboBox>("CBOType")->lineEdit()), "Size unit");
    EXPECT_EQ(accessible(app.get("lblHowMany")) + "=" +
                  accessible(app.get("lblHowMany"), QAccessible::Value),
              "Number of pieces: 0=0");
    ProgressBar bar;
    bar.setValue(42.5F);
    const auto* value = QAccessible::queryAccessibleInterface(&bar)->valueInterface();
    EXPECT_TRUE(value &&
                value->currentValue().toDouble() / value->maximumValue().toDouble() == 0.425);
    expectReadableAndSave(&window, "FrmKalvex-split");

    const std::string allFields =
        "!All fields Must Be Filled.|Please Make shure that you have filled out all fields!";
    const std::string noSize =
        "!File size not selected.|You must specify a file size to split the files into!";
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        app.key("Command3", key);
    EXPECT_TRUE(messages.shown().empty());
    // When both checks would fail, only the first speaks; a name gets no suffix then.
    const auto split = [&](const char* path, const char* folder, const char* name, bool other) {
        messages.clear();
        app.get<QLineEdit>("txtPath1")->setText(path);
        app.get<QLineEdit>("txtPath2")->setText(folder);
        app.get<QLineEdit>("txtName")->setText(name);
        app.click(other ? "optOther" : "optFloppy");
        app.click("Command3");
        return onlyMessage(messages) + "=" + app.text("txtName").toStdString();
    };
    EXPECT_EQ(split("", "/o/", "n", false), allFields + "=n");
    EXPECT_EQ(split("/s", "", "n", false), allFields + "=n");
    EXPECT_EQ(split("/s", "/o/", "", true), allFields + "=");
    EXPECT_EQ(split("/s", "/o/", "n", true), noSize + "=n");
    // Real splits: Split puts back a suffix the user took off but keeps one in any case, a
    // folder without its separator still receives the pieces, and a source typed over the
    // chosen one is refused, since its manifest could not rebuild it.
    TempDir dir;
    const std::string source = dir.file("movie.avi"), out = dir.folder();
    writePattern(source, 2 * 1457152 + 1000);
    writePattern(dir.file("typed.bin"), 4000);
    app.click("optFloppy");
    app.browseFile("Command1", source);
    EXPECT_EQ(app.count(), "3");
    const std::string complete = "Complete|The Split Process was successfull!";
    EXPECT_EQ(split(source.c_str(), out.c_str(), "movie", false), complete + "=movie.split");
    EXPECT_EQ(readFile(out + "movie.splitMain"), " 3 \r\nmovie.avi\r\n");
    EXPECT_EQ(split(source.c_str(), dir.path().string().c_str(), "Movie.SPLIT", false),
              complete + "=Movie.SPLIT");
    EXPECT_TRUE(readFile(out + "Movie.SPLIT3").size() == 1000);
    EXPECT_EQ(split(dir.file("typed.bin").c_str(), out.c_str(), "x.split", false)
                  .rfind("!Split failed|", 0),
              0U);
    EXPECT_FALSE(fs::exists(out + "x.split1"));
    // The Re-Join page: only an empty field counts as empty.
    app.showPage(1);
    expectReadableAndSave(&window, "FrmKalvex-rejoin");
    const auto join = [&](const char* manifest, const char* folder) {
        messages.clear();
        app.get<QLineEdit>("txtLocation")->setText(manifest);
        app.get<QLineEdit>("txtFolder2")->setText(folder);
        app.click("Command4");
        return onlyMessage(messages);
    };
    const std::string empty =
        "!All feilds must be filled out.|Please make shure that all feilds are filled out.";
    EXPECT_EQ(join("/in/a.splitMain", ""), empty);
    EXPECT_EQ(join("", "/out/"), empty);
    EXPECT_EQ(join(" ", "/out/").rfind("!Join failed|", 0), 0U);
}

// A name is bytes on Linux: one that is not UTF-8 reaches the files as it is on the disk, from
// the command line, the file dialog, the folder picker and a drop alike.
TEST(MainWindow, NamesThatAreNotUtf8SplitAndJoinAsTheyAre) {
    TempDir dir;
    const QString start = q(dir.path().string());
    // Latin-1 é and è.
    const std::string source = dir.file("\xe9t\xe9.bin"), pieces = std::string("pi\xe8") + "ces";
    fs::create_directories(dir.path() / pieces);
    fs::create_directories(dir.path() / "joined");
    writePattern(source, 3000);
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.window().open(LocalPath::fromBytes(source)); // as from the command line, as Browse would
    EXPECT_EQ(LocalPath::toBytes(app.text("txtPath1") + "|" + app.text("txtName") + app.count()),
              source + "|\xe9t\xe9.split1");
    app.get<QLineEdit>("txtPath1")->clear();
    app.browseFile("Command1", source); // answered as Qt reads the name: with U+FFFD
    EXPECT_EQ(LocalPath::toBytes(app.text("txtPath1")), source);
    app.browseFolder("Command2", start, {LocalPath::fromBytes(pieces)},
                     MainWindowDriver::PickerEnd::Ok);
    app.click("optOther");
    app.type("txtSize", "1");
    app.pickUnit("Kb");
    app.click("Command3");
    EXPECT_TRUE(fs::exists(dir.path() / pieces / "\xe9t\xe9.split3"));

    app.showPage(1);
    const std::string manifest = dir.folder() + pieces + "/\xe9t\xe9.splitMain";
    app.browseFile("cmdBrowse1", manifest);
    EXPECT_EQ(LocalPath::toBytes(app.text("txtLocation")), manifest);
    app.get<QLineEdit>("txtLocation")->clear();
    QMimeData dragged;
    dragged.setData("text/uri-list",
                    "file://" + QByteArray::fromStdString(manifest).toPercentEncoding("/"));
    EXPECT_TRUE(drop(app.get<QTabWidget>("h")->widget(1), dragged));
    EXPECT_EQ(LocalPath::toBytes(app.text("txtLocation")), manifest);
    app.browseFolder("cmdBrowse2", start, {"joined"}, MainWindowDriver::PickerEnd::Ok);
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 2U) << onlyMessage(messages);
    EXPECT_EQ(messages.shown()[1].text, "The Joining process was sucessful!");
    const std::vector<fs::path> joined(fs::directory_iterator(dir.path() / "joined"), {});
    ASSERT_EQ(joined.size(), 1U);
    EXPECT_TRUE(readFile(joined[0].string()) == readFile(source));
}

} // namespace
} // namespace kalvex::test
