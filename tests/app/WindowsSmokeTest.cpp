// A split and a join through the real windows on Windows: the paths the user sees use "\",
// the folder picker's chain starts at the drive's root, and the rebuilt file has every
// byte. scripts/windows-smoke runs it on Wine's own windows under Xvfb as well.
#include "app/MainWindowDriver.h"
#include "dialogs/DirectoryList.h"
#include "support/TempDir.h"

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

} // namespace
} // namespace kalvex::test
