// The program's arguments: what each asks for, a file opened through the real window, and
// the built program's own answers to --help, --version and an unknown option.
#include "app/CommandLine.h"
#include "app/MainWindowDriver.h"
#include "dialogs/LocalPath.h"

#include <QProcess>

namespace kalvex::test {
namespace {

using Action = CommandLine::Action;

// What the arguments ask for, then the built program's own answers, which need no display.
TEST(CommandLine, WhatTheArgumentsAskForAndWhatTheProgramPrints) {
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
        {{"split", "f", "--size", "7"}, "f|||7"},
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

    TempDir runtime; // Qt warns on standard error without one
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", q(runtime.path().string()));
    // No display: the answers must not wait for the window system, which could not start.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    // The arguments, the exit status, and what standard output and error start with ("": empty).
    const std::tuple<QStringList, int, QString, QString> runs[] = {
        {{"--version"}, 0, "kalvex 1.0.0\n", ""},
        {{"--help"}, 0, "Usage: kalvex [options] [file]\n", ""},
        {{"--frobnicate"}, 2, "", "Unknown option 'frobnicate'.\nUsage: kalvex [options] [file]"},
        {{"split"}, 2, "", "The file to split is missing.\nUsage: kalvex split FILE"},
        {{"verify", "/nowhere/a.splitMain"},
         1,
         "",
         "Cannot open for text input \"/nowhere/a.splitMain\": No such file or directory\n"},
    };
    const auto start = [](const QString& text, const QString& prefix) {
        return prefix.isEmpty() ? text : text.left(prefix.size());
    };
    for (const auto& [arguments, status, out, err] : runs) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(KALVEX_EXECUTABLE, arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        const QString said = program.readAllStandardOutput(),
                      warned = program.readAllStandardError();
        EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, status)
            << arguments[0].toStdString();
        EXPECT_EQ((start(said, out) + "|" + start(warned, err)).toStdString(),
                  (out + "|" + err).toStdString());
    }
}

// A file named on the command line is chosen as its Browse button would choose it; one that
// cannot be read leaves the window as it was and says which file and why.
TEST(CommandLine, OpensAManifestOrAFileOrSaysWhyNot) {
    TempDir dir;
    writePattern(dir.file("film.avi"), 3000000);
    writeFile(dir.file("Film.SPLITMAIN"), " 3 \r\nfilm.avi\r\n");
    std::filesystem::create_directory(dir.path() / "folder");

    MessageBox::Recorder messages;
    const QString asBrowsed = q(dir.file("film.avi")) + "|film.split|3";
    const auto cannot = [&](const char* name, const char* reason) {
        return "!Cannot open file|Cannot open for reading \"" + dir.file(name) + "\": " + reason;
    };
    // The file opened, the page then shown and the message.
    const std::tuple<const char*, int, std::string> cases[] = {
        {"film.avi", 0, "0 messages"},
        {"Film.SPLITMAIN", 1, "0 messages"},
        {"missing.avi", 0, cannot("missing.avi", "No such file or directory")},
        {"folder", 0, cannot("folder", "Is a directory")},
    };
    for (const auto& [name, page, message] : cases) {
        messages.clear();
        MainWindowDriver app;
        app.window().open(q(dir.file(name)));
        EXPECT_EQ(onlyMessage(messages), message) << name;
        EXPECT_EQ(app.get<QTabWidget>("h")->currentIndex(), page) << name;
        EXPECT_EQ(app.text("txtPath1") + "|" + app.text("txtName") + "|" + app.count(),
                  name == std::string("film.avi") ? asBrowsed : "||0")
            << name;
        EXPECT_EQ(app.text("txtLocation"), page == 1 ? q(dir.file(name)) : "") << name;
    }
}

} // namespace
} // namespace kalvex::test
