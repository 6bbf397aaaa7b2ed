// Choosing the source through the file dialog and the destination through the real
// folder picker, as a user would.
#include "app/MainWindowDriver.h"

#include "app/Module1.h"
#include "support/TempDir.h"

#include <QDir>
#include <QLineEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvex::test {
namespace {

using End = MainWindowDriver::PickerEnd;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

TEST(SourceChoice, PieceNameTitleLengthAndCountFollowTheFile) {
    TempDir dir;
    MainWindowDriver app;
    struct Case {
        const char* title;
        const char* name;
        std::int64_t length;
        const char* count;
    };
    for (const Case& c :
         {Case{"movie.avi", "movie.split", 3 * 1457152, "3"}, Case{"a.b.c", "a.split", 10, "1"},
          Case{".profile", ".split", 1457153, "2"}, Case{"README", "README.split", 0, "0"},
          Case{"archive.tar.gz", "archive.split", 1457152, "1"}}) {
        SCOPED_TRACE(c.title);
        const std::string path = dir.file(c.title);
        writePattern(path, c.length);
        // What the user typed into the name box before is replaced.
        app.get<QLineEdit>("txtName")->setText("typed before");
        app.browseSource(path);
        EXPECT_EQ(app.text("txtPath1"), q(path));
        EXPECT_EQ(app.text("txtName"), c.name);
        EXPECT_EQ(Module1::SourceTitle, c.title);
        EXPECT_EQ(app.count(), c.count);
    }
}

TEST(SourceChoice, CancelAndUnreadableFilesLeaveTheEarlierChoice) {
    TempDir dir;
    MainWindowDriver app;
    app.browseSource(""); // cancelled at the first use: nothing at all changes
    EXPECT_EQ(app.text("txtPath1"), "");
    EXPECT_EQ(app.text("txtName"), "");
    EXPECT_EQ(Module1::SourceTitle, "");

    const std::string first = dir.file("first.bin");
    writePattern(first, 2 * 1457152);
    app.browseSource(first);
    EXPECT_EQ(app.count(), "2");

    app.browseSource("");
    EXPECT_EQ(app.text("txtPath1"), q(first));
    EXPECT_EQ(app.text("txtName"), "first.split");
    EXPECT_EQ(Module1::SourceTitle, "first.bin");
    EXPECT_EQ(app.count(), "2");

    // A file that vanished before it could be measured: path, name and title are taken,
    // the length and the count stay those of the earlier file; no message.
    const std::string gone = dir.file("gone.dat");
    app.browseSource(gone);
    EXPECT_EQ(app.text("txtPath1"), q(gone));
    EXPECT_EQ(app.text("txtName"), "gone.split");
    EXPECT_EQ(Module1::SourceTitle, "gone.dat");
    EXPECT_EQ(app.count(), "2");
    app.click("opt700Mb");
    EXPECT_EQ(app.count(), "1");
}

TEST(SourceChoice, RefreshRunsTheSelectedOption) {
    TempDir dir;
    const std::string path = dir.file("data.bin");
    writePattern(path, 5000);
    MainWindowDriver app;
    app.click("optOther");
    app.click("optFloppy");
    EXPECT_FALSE(app.enabled("txtSize"));
    app.click("optOther");
    app.browseSource(path);
    // "Other:" with an empty box: still "0", and the boxes stay open.
    EXPECT_EQ(app.count(), "0");
    EXPECT_TRUE(app.enabled("txtSize"));
    EXPECT_TRUE(app.enabled("CBOType"));
    app.type("txtSize", "1");
    EXPECT_EQ(app.count(), "5");
}

TEST(DestinationChoice, OkCancelAndCloseBox) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "out" / "inner");
    const QString start = q(dir.path().string());
    MainWindowDriver app;

    // At the first use the close box changes nothing.
    app.browseDestination(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), "");
    EXPECT_FALSE(Module1::SaverChosen);

    // OK without opening anything takes the starting folder.
    app.browseDestination(start, {}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), start + "/");

    app.browseDestination(start, {"out", "inner"}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/inner/");
    EXPECT_EQ(Module1::SaverPath, start + "/out/inner");

    // Cancel keeps the box as it is, even text typed by hand without a separator.
    app.get<QLineEdit>("txtPath2")->setText("typed by hand");
    app.browseDestination(start, {"out"}, End::Cancel);
    EXPECT_EQ(app.text("txtPath2"), "typed by hand");
    EXPECT_FALSE(Module1::SaverChosen);

    // The close box after a Cancel: nothing; after an OK: the earlier folder again.
    app.browseDestination(start, {"out"}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), "typed by hand");
    app.browseDestination(start, {"out"}, End::Ok);
    app.get<QLineEdit>("txtPath2")->setText("typed again");
    app.browseDestination(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtPath2"), start + "/out/");

    // The folder picker of the Re-Join page is not touched.
    EXPECT_FALSE(Module1::Saver2Chosen);
    EXPECT_EQ(Module1::Saver2Path, "");
}

TEST(DestinationChoice, RootFolderKeepsItsOneSeparator) {
    MainWindowDriver app;
    app.browseDestination("/", {}, End::Ok);
    EXPECT_EQ(Module1::SaverPath, "/");
    EXPECT_EQ(app.text("txtPath2"), "/");
}

} // namespace
} // namespace kalvex::test
