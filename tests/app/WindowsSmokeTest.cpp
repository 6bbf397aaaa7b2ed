// A split and a join through the real windows on Windows: the paths the user sees use "\",
// the folder picker's chain starts at the drive's root, and the rebuilt file has every
// byte. scripts/windows-smoke works the packed program's real windows under Wine.
#include "app/CommandLine.h"
#include "app/MainWindowDriver.h"
#include "dialogs/DirectoryList.h"
#include "dialogs/LocalPath.h"
#include "support/TempDir.h"

#include <QUrl>

namespace kalvex::test {
namespace {

using End = MainWindowDriver::PickerEnd;

TEST(WindowsSmoke, SplitAndJoinThroughTheWindowsShowWindowsPaths) {
    TempDir dir;
    const QString start = QDir::fromNativeSeparators(q(dir.path().string()));
    for (const char* folder : {"pieces", "joined"})
        std::filesystem::create_directory(dir.path() / folder);
    const std::string title = "caf\u00e9.bin", bytes = patternBytes(3 * 1024 + 5) + "\n\x1A\r\n";
    writeFile(dir.folder() + title, bytes);
    DirectoryList picker;
    picker.setPath(start);
    EXPECT_EQ(picker.item(0)->text(), start.left(2) + "\\");

    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.browseFile("Command1", dir.folder() + title);
    app.browseFolder("Command2", start, {"pieces"}, End::Ok);
    EXPECT_EQ(app.text("txtPath2"), q(dir.folder() + "pieces\\"));
    app.click("optOther");
    app.type("txtSize", "1");
    app.pickUnit("Kb");
    app.click("Command3");
    app.showPage(1);
    app.browseFile("cmdBrowse1", dir.folder() + "pieces/caf\u00e9.splitMain");
    EXPECT_EQ(app.text("txtLocation"), q(dir.folder() + "pieces\\caf\u00e9.splitMain"));
    app.browseFolder("cmdBrowse2", start, {"joined"}, End::Ok);
    EXPECT_EQ(app.text("txtFolder2"), q(dir.folder() + "joined\\"));
    app.click("Command4");
    EXPECT_TRUE(messages.shown().size() == 2 &&
                messages.shown()[1].text == "The Joining process was sucessful!" &&
                readFile(dir.folder() + "joined\\" + title) == bytes);
}

// However a path arrives, typed with "/" or dropped, it is shown and used with "\".
TEST(WindowsSmoke, PathsFromTheCommandLineAndDropsAreShownWithBackslashes) {
    TempDir dir;
    const std::string manifest = dir.folder() + "movie.splitMain";
    writeFile(manifest, " 1 \r\nmovie.bin\r\n");
    const QString typed = QDir::fromNativeSeparators(q(manifest));
    const CommandLine opened = CommandLine::parse({"kalvex.exe", typed});
    EXPECT_EQ(opened.file(), q(manifest));
    const auto job = CommandLine::parse({"kalvex.exe", "join", typed, "--to",
                                         QDir::fromNativeSeparators(q(dir.folder()))})
                         .job();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->path(), manifest);
    EXPECT_EQ(job->folder(), dir.folder());
    EXPECT_EQ(LocalPath::fromUrl(QUrl::fromLocalFile(typed)), q(manifest));

    MainWindowDriver app;
    app.window().open(opened.file());
    EXPECT_EQ(app.text("txtLocation"), q(manifest));
}

} // namespace
} // namespace kalvex::test
