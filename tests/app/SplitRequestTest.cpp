// The Split button from the main window: its checks, the name it completes, what it hands
// to the split, and whole splits checked on disk.
#include "app/MainWindowDriver.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using End = MainWindowDriver::PickerEnd;
using Icon = MessageBox::Icon;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void setText(MainWindowDriver& app, const char* box, const QString& text) {
    app.get<QLineEdit>(box)->setText(text);
}

const MessageBox::Shown AllFields{Icon::Exclamation, "All fields Must Be Filled.",
                                  "Please Make shure that you have filled out all fields!"};
const MessageBox::Shown NoSize{Icon::Exclamation, "File size not selected.",
                               "You must specify a file size to split the files into!"};

void expectShown(const MessageBox::Recorder& messages, const MessageBox::Shown& expected) {
    ASSERT_EQ(messages.shown().size(), 1U);
    const auto& shown = messages.shown().front();
    EXPECT_EQ(shown.icon, expected.icon);
    EXPECT_EQ(shown.title, expected.title);
    EXPECT_EQ(shown.text, expected.text);
}

TEST(SplitRequest, EmptyFieldsAreRefusedFirstThenAMissingSize) {
    TempDir dir;
    MessageBox::Recorder messages;
    MainWindowDriver app;
    const QString folder = q(dir.folder());

    struct Case {
        const char *path, *folder, *name;
        bool other;
        const char* size;
        const MessageBox::Shown* expected;
    };
    const Case cases[] = {
        {"", "", "", false, "", &AllFields},
        {"/src", "", "n", false, "", &AllFields},
        {"/src", "/out/", "", false, "", &AllFields},
        {"", "/out/", "n", false, "", &AllFields},
        // Both checks would fail: only the first speaks.
        {"/src", "/out/", "", true, "", &AllFields},
        {"/src", "/out/", "n", true, "", &NoSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + "|" + c.folder + "|" + c.name);
        messages.clear();
        setText(app, "txtPath1", c.path);
        setText(app, "txtPath2", c.folder);
        setText(app, "txtName", c.name);
        app.click(c.other ? "optOther" : "optFloppy");
        setText(app, "txtSize", c.size);
        app.click("Command3");
        expectShown(messages, *c.expected);
        // The fields are left as they were: no suffix added.
        EXPECT_EQ(app.text("txtName"), c.name);
        EXPECT_EQ(app.text("txtPath2"), c.folder);
    }
    EXPECT_EQ(Module1::PieceCount, 0);
    EXPECT_EQ(Module1::PieceSize, 0);
}

TEST(SplitRequest, NameIsCompletedAndSizeAndCountAreHandedOver) {
    TempDir dir;
    const std::string source = dir.file("clip.avi");
    writePattern(source, 5000);
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.browseSource(source);
    setText(app, "txtPath2", q(dir.folder()));

    struct Case {
        const char *typed, *completed;
    };
    for (const Case& c :
         {Case{"movie", "movie.split"}, Case{"movie.split", "movie.split"},
          Case{"movie.SPLIT", "movie.SPLIT"}, Case{"Movie.Split", "Movie.Split"},
          Case{"split", "split.split"}, Case{"movie.split.txt", "movie.split.txt.split"},
          Case{"   ", "   .split"}, Case{"x.spli", "x.spli.split"}}) {
        SCOPED_TRACE(c.typed);
        messages.clear();
        setText(app, "txtName", c.typed);
        app.click("Command3");
        EXPECT_EQ(app.text("txtName"), c.completed);
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].title, "Complete");
        EXPECT_TRUE(fs::exists(dir.file(std::string(c.completed) + "1")));
        EXPECT_TRUE(fs::exists(dir.file(std::string(c.completed) + "Main")));
    }
    EXPECT_EQ(Module1::PieceCount, 1);
    EXPECT_EQ(Module1::PieceSize, 1457152);

    // A size box that does not matter: floppy is chosen, the box's text is ignored.
    messages.clear();
    app.click("optOther");
    app.type("txtSize", "2");
    app.click("optFloppy");
    app.click("Command3");
    EXPECT_EQ(Module1::PieceSize, 1457152);
    app.click("optOther");
    app.click("Command3");
    EXPECT_EQ(Module1::PieceCount, 3);
    EXPECT_EQ(Module1::PieceSize, 2048);
    ASSERT_EQ(messages.shown().size(), 2U);
    EXPECT_EQ(messages.shown()[1].title, "Complete");
}

TEST(SplitRequest, ThreePieceSplitEndToEnd) {
    TempDir dir;
    fs::create_directories(dir.path() / "out");
    const std::string source = dir.file("movie.avi");
    const std::int64_t length = 2 * 1457152 + 1000;
    writePattern(source, length);
    MessageBox::Recorder messages;
    MainWindowDriver app;

    app.browseSource(source);
    app.browseDestination(q(dir.path().string()), {"out"}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), q(dir.folder() + "out/"));
    EXPECT_EQ(app.count(), "3");
    // The user shortens the offered name; Split puts the suffix back.
    auto* name = app.get<QLineEdit>("txtName");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "movie");
    app.click("Command3");

    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].icon, Icon::Information);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    EXPECT_EQ(messages.shown()[0].text, "The Split Process was successfull!");
    EXPECT_EQ(app.text("txtName"), "movie.split");

    const fs::path out = dir.path() / "out";
    EXPECT_EQ(filesIn(out), (std::set<std::string>{"movie.split1", "movie.split2", "movie.split3",
                                                   "movie.splitMain"}));
    const std::string whole = readFile(source);
    EXPECT_EQ(readFile((out / "movie.split1").string()), whole.substr(0, 1457152));
    EXPECT_EQ(readFile((out / "movie.split2").string()), whole.substr(1457152, 1457152));
    EXPECT_EQ(readFile((out / "movie.split3").string()), whole.substr(2 * 1457152));
    EXPECT_EQ(readFile((out / "movie.splitMain").string()), " 3 \r\nmovie.avi\r\n");
    EXPECT_EQ(readFile(source), whole);
    EXPECT_FALSE(findWindow("frmSplitting"));

    // A second press runs a new job with what the page says now.
    messages.clear();
    app.click("opt700Mb");
    EXPECT_EQ(app.count(), "1");
    app.click("Command3");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    EXPECT_EQ(readFile((out / "movie.split1").string()), whole);
    EXPECT_EQ(readFile((out / "movie.splitMain").string()), " 1 \r\nmovie.avi\r\n");
}

TEST(SplitRequest, FolderTypedWithoutSeparatorStillReceivesThePieces) {
    TempDir dir;
    fs::create_directories(dir.path() / "typed");
    const std::string source = dir.file("notes.txt");
    writePattern(source, 3000);
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.browseSource(source);
    app.type("txtPath2", q((dir.path() / "typed").string()));
    app.click("Command3");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    EXPECT_EQ(app.text("txtPath2"), q((dir.path() / "typed").string()));
    EXPECT_EQ(readFile(dir.file("typed/notes.split1")), readFile(source));
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"notes.txt", "typed"}));
}

// The split would leave a manifest that cannot rebuild the file: refused, nothing written.
TEST(SplitRequest, UnrebuildableSplitsAreRefusedBeforeWriting) {
    TempDir dir;
    fs::create_directories(dir.path() / "out");
    const std::string chosen = dir.file("chosen.bin");
    const std::string typed = dir.file("typed.bin");
    writePattern(chosen, 4000);
    writePattern(typed, 4000);
    const QString out = q(dir.folder() + "out/");

    {
        SCOPED_TRACE("no source ever chosen");
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.type("txtPath1", q(typed));
        setText(app, "txtPath2", out);
        setText(app, "txtName", "typed.split");
        app.click("Command3");
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].icon, Icon::Exclamation);
        EXPECT_EQ(messages.shown()[0].title, "Split failed");
        EXPECT_TRUE(filesIn(dir.path() / "out").empty());
    }
    {
        SCOPED_TRACE("path typed over a chosen one");
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseSource(chosen);
        setText(app, "txtPath1", "");
        app.type("txtPath1", q(typed));
        setText(app, "txtPath2", out);
        app.click("Command3");
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].title, "Split failed");
        EXPECT_TRUE(messages.shown()[0].text.contains(q(typed)));
        EXPECT_TRUE(filesIn(dir.path() / "out").empty());
    }
    {
        SCOPED_TRACE("source grown since the count was shown");
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseSource(chosen);
        setText(app, "txtPath2", out);
        app.click("optOther");
        app.type("txtSize", "2");
        EXPECT_EQ(app.count(), "2");
        writePattern(chosen, 5000);
        app.click("Command3");
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].title, "Split failed");
        EXPECT_TRUE(filesIn(dir.path() / "out").empty());
    }
    {
        SCOPED_TRACE("a size of 0");
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseSource(chosen);
        setText(app, "txtPath2", out);
        app.click("optOther");
        app.type("txtSize", "0");
        app.click("Command3");
        EXPECT_EQ(Module1::PieceSize, 0);
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].title, "Split failed");
        EXPECT_TRUE(filesIn(dir.path() / "out").empty());
    }
}

} // namespace
} // namespace kalvex::test
