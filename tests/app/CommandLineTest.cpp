// The program's arguments: what each asks for, a file opened through the real window, and
// the built program's own answers to --help, --version and an unknown option.
#include "app/CommandLine.h"
#include "app/MainWindowDriver.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <QDir>
#include <QProcess>
#include <QTabWidget>

#include <filesystem>

namespace kalvex::test {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, WhatTheArgumentsAskFor) {
    const QString here = QDir::currentPath();
    const struct {
        QStringList arguments;
        Action action;
        QString file;
        int status;
    } cases[] = {
        {{}, Action::OpenWindow, "", 0},
        {{"film.avi"}, Action::OpenWindow, here + "/film.avi", 0},
        {{"a/../b/./Film.SPLITMAIN"}, Action::OpenWindow, here + "/b/Film.SPLITMAIN", 0},
        {{"/x/y"}, Action::OpenWindow, "/x/y", 0},
        {{"--", "-odd"}, Action::OpenWindow, here + "/-odd", 0},
        {{"--help"}, Action::PrintHelp, "", 0},
        {{"-h"}, Action::PrintHelp, "", 0},
        {{"--version"}, Action::PrintVersion, "", 0},
        {{"--frobnicate"}, Action::Refuse, "", 2},
        {{"-q", "film.avi"}, Action::Refuse, "", 2},
        {{"one", "two"}, Action::Refuse, "", 2},
    };
    for (const auto& c : cases) {
        const auto line = CommandLine::parse(QStringList{"kalvex"} + c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.action(), c.action) << name;
        EXPECT_EQ(line.file(), c.file) << name;
        EXPECT_EQ(line.exitStatus(), c.status) << name;
        EXPECT_EQ(line.output().contains("Usage: "),
                  c.action == Action::PrintHelp || c.action == Action::Refuse)
            << name;
    }
}

// A file named on the command line is chosen as its Browse button would choose it; one that
// cannot be read leaves the window as it was and says which file and why.
TEST(CommandLine, OpensAManifestOrAFileOrSaysWhyNot) {
    TempDir dir;
    writePattern(dir.file("film.avi"), 3000000);
    writeFile(dir.file("Film.SPLITMAIN"), " 3 \r\nfilm.avi\r\n");
    writeFile(dir.file("locked.bin"), "x");
    std::filesystem::create_directory(dir.path() / "folder");
    FaultyFileSystem faulty;
    faulty.failOpen("locked.bin", EACCES);
    files::FileSystem::Override use(faulty);

    MessageBox::Recorder messages;
    MainWindowDriver browsed;
    browsed.browseSource(dir.file("film.avi"));
    const auto splitBoxes = [](MainWindowDriver& app) {
        return app.text("txtPath1") + "|" + app.text("txtName") + "|" + app.count();
    };
    const QString fromBrowse = splitBoxes(browsed);
    EXPECT_EQ(fromBrowse, q(dir.file("film.avi")) + "|film.split|3");

    const auto cannot = [&](const char* name, const char* reason) {
        return "!Cannot open file|Cannot open for reading \"" + dir.file(name) + "\": " + reason;
    };
    const struct {
        const char* name;
        int page;
        std::string message;
    } cases[] = {
        {"film.avi", 0, "0 messages"},
        {"Film.SPLITMAIN", 1, "0 messages"},
        {"missing.avi", 0, cannot("missing.avi", "No such file or directory")},
        {"folder", 0, cannot("folder", "Is a directory")},
        {"locked.bin", 0, cannot("locked.bin", "Permission denied")},
    };
    for (const auto& c : cases) {
        messages.clear();
        MainWindowDriver app;
        app.window().open(q(dir.file(c.name)));
        EXPECT_EQ(onlyMessage(messages), c.message) << c.name;
        EXPECT_EQ(app.get<QTabWidget>("h")->currentIndex(), c.page) << c.name;
        EXPECT_EQ(splitBoxes(app), c.name == std::string("film.avi") ? fromBrowse : "||0")
            << c.name;
        EXPECT_EQ(app.text("txtLocation"), c.page == 1 ? q(dir.file(c.name)) : "") << c.name;
    }
}

TEST(CommandLine, TheProgramPrintsHelpVersionAndRefusals) {
    TempDir runtime; // Qt warns on standard error without one
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", q(runtime.path().string()));
    const struct {
        QStringList arguments;
        int status;
        QString out, err; // what each stream starts with
    } cases[] = {
        {{"--version"}, 0, "kalvex 1.0.0\n", ""},
        {{"--help"}, 0, "Usage: kalvex [options] [file]\n", ""},
        {{"--frobnicate"}, 2, "", "Unknown option 'frobnicate'.\nUsage: kalvex [options] [file]"},
    };
    for (const auto& c : cases) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(KALVEX_EXECUTABLE, c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        const QString out = program.readAllStandardOutput();
        const QString err = program.readAllStandardError();
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << name;
        EXPECT_EQ(program.exitCode(), c.status) << name;
        EXPECT_TRUE((c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out)))
            << name << "\n"
            << out.toStdString() << "|" << err.toStdString();
        EXPECT_TRUE((c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err)))
            << name << "\n"
            << out.toStdString() << "|" << err.toStdString();
    }
    QProcess help;
    help.setProcessEnvironment(environment);
    help.start(KALVEX_EXECUTABLE, {"--help"});
    ASSERT_TRUE(help.waitForFinished(20000));
    const QString text = help.readAllStandardOutput();
    for (const char* option : {"--help", "--version", "file", "splitMain"})
        EXPECT_TRUE(text.contains(option)) << option;
}

} // namespace
} // namespace kalvex::test
