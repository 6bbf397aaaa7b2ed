// The program's arguments: what each asks for, and a file opened through the real window.
// TerminalJobTest.cpp runs the built program.
#include "app/CommandLine.h"
#include "app/MainWindowDriver.h"
#include "dialogs/LocalPath.h"

namespace kalvex::test {
namespace {

using Action = CommandLine::Action;

// What the arguments ask for.
TEST(CommandLine, WhatTheArgumentsAskFor) {
    const QString here = QDir::currentPath();
    // The arguments; what they ask for, the file they name and the exit status.
    const std::tuple<QStringList, Action, QString, int> cases[] = {
        {{}, Action::OpenWindow, "", 0},
        {{"a/../b/./Film.SPLITMAIN"}, Action::OpenWindow, here + "/b/Film.SPLITMAIN", 0},
        {{"--", "-odd"}, Action::OpenWindow, here + "/-odd", 0},
        {{"one", "two"}, Action::Refuse, "", 2},
        // Qt's own options are left for it, but still need their values.
        {{"-platform", "xcb", "--reverse", "f"}, Action::OpenWindow, here + "/f", 0},
        {{"--style=fusion", "-display", ":0"}, Action::OpenWindow, "", 0},
        {{"f", "-display"}, Action::Refuse, "", 2},
    };
    for (const auto& [arguments, action, file, status] : cases) {
        const auto line = CommandLine::parse(QStringList{"kalvex"} + arguments);
        EXPECT_EQ(std::tuple(line.action(), line.file(), line.exitStatus(),
                             line.output().contains("Usage: ")),
                  std::tuple(action, file, status, action == Action::PrintHelp || status != 0))
            << arguments.join(' ').toStdString();
    }

    // The commands: path|folder|piece name|piece size, or "!" and the start of the refusal.
    const std::pair<QStringList, std::string> commands[] = {
        {{"split", LocalPath::fromBytes("\xe9.avi")}, "\xe9.avi|||1457152"},
        {{"split", "--size", "cd", "f", "--to", "o", "--name", "n"}, "f|o|n|734003200"},
        {{"split", "f", "--size=3k"}, "f|||3072"},
        {{"split", "f", "--size", "2m"}, "f|||2097152"},
        {{"split", "f", "--size", "999999999999999999999m"}, "f|||9007199254740992"},
        {{"join", "m", "--to", "o"}, "m|o||1457152"},
        {{"verify", "--", "-m"}, "-m|||1457152"},
        {{"split", "f", "--size", "0"}, "!Unknown piece size '0'"},
        {{"split", "f", "--size", "3K"}, "!Unknown piece size '3K'"},
        {{"split", "f", "--size", "k"}, "!Unknown piece size 'k'"},
        {{"split", "f", "--name", ""}, "!The value of '--name' is empty."},
        {{"split"}, "!The file to split is missing.\nUsage: kalvex split FILE"},
        {{"join", "m", "--name", "n"}, "!Unknown option 'name'.\nUsage: kalvex join MANIFEST"},
        {{"verify", "a", "b"}, "!Only one file can be given.\nUsage: kalvex verify MANIFEST\n"},
        {{"verify", "--help"}, "?Usage: kalvex [options] [file]"},
    };
    for (const auto& [arguments, expected] : commands) {
        const auto line = CommandLine::parse(QStringList{"kalvex"} + arguments);
        const auto& job = line.job();
        const std::string said = line.action() == Action::Refuse      ? "!"
                                 : line.action() == Action::PrintHelp ? "?"
                                                                      : "";
        EXPECT_EQ(job ? job->path() + "|" + job->folder() + "|" + job->pieceName() + "|" +
                            std::to_string(job->pieceSize())
                      : said + line.output().left(qsizetype(expected.size()) - 1).toStdString(),
                  expected)
            << arguments.join(' ').toStdString();
        EXPECT_EQ(line.exitStatus(), said == "!" ? 2 : 0);
    }

    // A name relative to a folder whose name is not UTF-8 keeps the folder's bytes.
    TempDir odd;
    const auto folder = odd.path() / "\xe9";
    fs::create_directory(folder);
    fs::current_path(folder);
    EXPECT_EQ(LocalPath::toBytes(CommandLine::parse({"kalvex", "f"}).file()),
              folder.string() + "/f");
    fs::current_path(here.toStdString());
}

// A manifest named on the command line, whatever the case of its name, is chosen on the
// Re-Join page as its Browse button would choose it (a file to split: MainWindowTest.cpp); a
// file that cannot be read leaves the window as it was and says which file and why.
TEST(CommandLine, OpensAManifestOrSaysWhyNot) {
    TempDir dir;
    writeFile(dir.file("Film.SPLITMAIN"), " 3 \r\nfilm.avi\r\n");
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.window().open(q(dir.file("missing.avi")));
    EXPECT_EQ(onlyMessage(messages), "!Cannot open file|Cannot open for reading \"" +
                                         dir.file("missing.avi") + "\": No such file or directory");
    EXPECT_EQ(app.text("txtPath1") + app.text("txtLocation") + app.count(), "0");
    app.window().open(q(dir.file("Film.SPLITMAIN")));
    EXPECT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(app.get<QTabWidget>("h")->currentIndex(), 1);
    EXPECT_EQ(app.text("txtPath1") + "|" + app.text("txtLocation"),
              "|" + q(dir.file("Film.SPLITMAIN")));
}

} // namespace
} // namespace kalvex::test
