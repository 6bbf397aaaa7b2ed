// The main window as it opens and as a user works it: the Split button's checks and whole
// splits on disk, the menus, and a picture of each page.
#include "app/MainWindowDriver.h"

#include "app/ProgramIcon.h"
#include "support/TempDir.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace kalvex::test {
namespace {

void setText(MainWindowDriver& app, const char* box, const QString& text) {
    app.get<QLineEdit>(box)->setText(text);
}

TEST(MainWindow, StartStateAndPictures) {
    MainWindowDriver app;
    MainWindow& window = app.window();
    EXPECT_EQ(window.centralWidget()->size(), QSize(568, 503));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            menus << menu->text() + "/" + item->text() + item->shortcut().toString();
    EXPECT_EQ(menus.join('|'), "&File/Exit|&Help/About|&Help/How To Use");
    EXPECT_EQ(ProgramIcon::image().size(), QSize(48, 48));
    const QColor tile = ProgramIcon::image().pixelColor(24, 45); // blue, not white or black
    EXPECT_GT(tile.blue(), 2 * tile.red());
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_EQ(ProgramIcon::icon().pixmap(size).size(), QSize(size, size)) << size;

    auto* tabs = app.get<QTabWidget>("h");
    EXPECT_EQ(tabs->tabText(0) + "|" + tabs->tabText(1), "Split|Re-Join");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(app.get<QRadioButton>("optFloppy")->isChecked());
    EXPECT_FALSE(app.enabled("txtSize") || app.enabled("CBOType"));
    EXPECT_EQ(app.text("CBOType") + "|" + app.count(), "Kb|0");
    EXPECT_EQ(window.selectedSize(), 1457152);
    for (const char* box :
         {"txtPath1", "txtPath2", "txtName", "txtSize", "txtLocation", "txtFolder2"})
        EXPECT_EQ(app.text(box), "") << box;

    expectReadableAndSave(&window, "FrmKalvex-split");
    app.showPage(1);
    expectReadableAndSave(&window, "FrmKalvex-rejoin");
}

TEST(MainWindow, AboutAndHelpOpenOnceEachBesideAWorkingWindow) {
    MessageBox::Recorder messages;
    MainWindowDriver app;
    for (const char* item : {"mnuAbout", "MnuHowToUse", "mnuAbout", "MnuHowToUse", "mnuAbout"}) {
        app.window().findChild<QAction*>(item)->trigger();
        QTest::qWait(0);
    }
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(), std::mem_fn(&QWidget::isVisible)), 3);
    QWidget* about = findWindow("FrmAbout");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about; }));
    // The main window keeps answering its controls meanwhile.
    app.click("Command3");
    EXPECT_EQ(messages.shown().size(), 1U);
    about->close();
    findWindow("FrmHelp")->close();
}

TEST(SplitRequest, EmptyFieldsAreRefusedFirstThenAMissingSize) {
    const std::string allFields =
        "!All fields Must Be Filled.|Please Make shure that you have filled out all fields!";
    const std::string noSize =
        "!File size not selected.|You must specify a file size to split the files into!";
    using Case = std::tuple<const char*, const char*, const char*, bool, std::string>;
    MessageBox::Recorder messages;
    MainWindowDriver app;
    // Enter and Esc press nothing; a click does.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        app.key("Command3", key);
    EXPECT_TRUE(messages.shown().empty());
    // When both checks would fail, only the first speaks.
    for (const auto& [path, folder, name, other, expected] :
         {Case{"", "", "", false, allFields}, Case{"/s", "", "n", false, allFields},
          Case{"/s", "/o/", "", false, allFields}, Case{"", "/o/", "n", false, allFields},
          Case{"/s", "/o/", "", true, allFields}, Case{"/s", "/o/", "n", true, noSize}}) {
        SCOPED_TRACE(std::string(path) + "|" + folder + "|" + name);
        messages.clear();
        setText(app, "txtPath1", path);
        setText(app, "txtPath2", folder);
        setText(app, "txtName", name);
        app.click(other ? "optOther" : "optFloppy");
        app.click("Command3");
        EXPECT_EQ(onlyMessage(messages), expected);
        EXPECT_EQ(app.text("txtName"), name); // no suffix added
    }
}

TEST(SplitRequest, ThreePieceSplitEndToEndThenASecondPress) {
    constexpr std::int64_t floppy = 1457152;
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "out");
    const std::string source = dir.file("movie.avi");
    writePattern(source, 2 * floppy + 1000);
    const std::string whole = readFile(source);
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.browseSource(source);
    app.browseDestination(q(dir.path().string()), {"out"}, MainWindowDriver::PickerEnd::Ok);
    EXPECT_EQ(app.count(), "3");
    // The user shortens the offered name; Split puts the suffix back.
    app.key("txtName", Qt::Key_A, Qt::ControlModifier);
    app.type("txtName", "movie");
    app.click("Command3");
    EXPECT_EQ(onlyMessage(messages), "Complete|The Split Process was successfull!");
    EXPECT_EQ(app.text("txtName"), "movie.split");
    const std::string out = dir.folder() + "out/";
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(readFile(out + "movie.split" + std::to_string(k + 1)),
                  whole.substr(k * floppy, floppy));
    EXPECT_EQ(readFile(out + "movie.splitMain") + readFile(source), " 3 \r\nmovie.avi\r\n" + whole);

    // A new job with what the page says now: the suffix in any case is kept, and a folder
    // typed without its separator still receives the pieces.
    messages.clear();
    app.click("opt700Mb");
    setText(app, "txtName", "Movie.SPLIT");
    setText(app, "txtPath2", q(out.substr(0, out.size() - 1)));
    app.click("Command3");
    EXPECT_EQ(onlyMessage(messages).rfind("Complete|", 0), 0U);
    EXPECT_EQ(readFile(out + "Movie.SPLIT1"), whole);
    EXPECT_EQ(readFile(out + "Movie.SPLITMain"), " 1 \r\nmovie.avi\r\n");
}

// The split would leave a manifest that cannot rebuild the file: refused, nothing written.
TEST(SplitRequest, UnrebuildableSplitsAreRefusedBeforeWriting) {
    TempDir dir;
    const std::string chosen = dir.file("chosen.bin");
    writePattern(dir.file("typed.bin"), 4000);
    for (bool grown : {false, true}) {
        TempDir out;
        writePattern(chosen, 4000);
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseSource(chosen);
        if (grown) {
            // The count shown is what the split makes, even when the file has grown since.
            app.click("optOther");
            app.type("txtSize", "2");
            writePattern(chosen, 5000);
        } else {
            setText(app, "txtPath1", q(dir.file("typed.bin"))); // typed over the chosen one
        }
        setText(app, "txtPath2", q(out.folder()));
        setText(app, "txtName", "x.split");
        app.click("Command3");
        EXPECT_EQ(onlyMessage(messages).rfind("!Split failed|", 0), 0U);
        EXPECT_TRUE(std::filesystem::is_empty(out.path()));
    }
}

} // namespace
} // namespace kalvex::test
