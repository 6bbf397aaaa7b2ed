// The jobs without a window, through the built program with no display, against the windows
// doing the same work.
#include "app/MainWindowDriver.h"
#include "app/TerminalProgress.h"
#include "join/JoinProgressWindow.h"
#include "support/Jobs.h"

#include <QProcess>

namespace kalvex::test {
namespace {

// How the program ended, and what it printed on standard output and error.
struct Ran {
    int status = -1;
    std::string out, err;
    bool operator==(const Ran&) const = default;
};
void PrintTo(const Ran& run, std::ostream* os) {
    *os << run.status << "|" << run.out << "|" << run.err;
}

// Through pipes, which are no terminal: nothing but the results comes out.
Ran kalvex(const std::vector<std::string>& arguments) {
    auto environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess program;
    program.setProcessEnvironment(environment);
    QStringList given;
    for (const auto& argument : arguments)
        given << q(argument);
    program.start(KALVEX_EXECUTABLE, given);
    EXPECT_TRUE(program.waitForFinished(60000));
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput().toStdString(),
            program.readAllStandardError().toStdString()};
}

// The same source split through the main window and through the command line gives the same
// files byte for byte, and the command line joins its set back into the source. (That both
// take the same sizes: CommandLineTest.cpp, SplitSettingsTest.cpp.)
TEST(TerminalJob, SplitsAndJoinsAsTheWindowsDo) {
    TempDir dir;
    const std::string title = "caf\u00e9 1.avi", line = dir.folder() + "line/",
                      window = dir.folder() + "window/", source = line + title;
    fs::create_directories(line);
    fs::create_directories(window);
    writePattern(source, 5000);
    {
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseFile("Command1", source);
        app.get<QLineEdit>("txtPath2")->setText(q(window));
        app.click("opt700Mb");
        app.click("Command3");
    }
    EXPECT_EQ(kalvex({"split", source, "--size", "cd"}),
              (Ran{0,
                   "Wrote 1 piece (caf\u00e9 1.split1), caf\u00e9 1.split.sha256 and caf\u00e9 "
                   "1.splitMain in " +
                       line + "\n",
                   ""}));
    auto names = namesIn(window);
    for (const auto& name : names)
        EXPECT_TRUE(readFile(window + name) == readFile(line + name)) << name;
    names.insert(title);
    EXPECT_EQ(namesIn(line), names);
    fs::create_directories(dir.path() / "joined");
    EXPECT_EQ(kalvex({"join", line + "caf\u00e9 1.splitMain", "--to", dir.file("joined")}),
              (Ran{0, "Wrote " + title + " in " + dir.folder() + "joined/\n", ""}));
    EXPECT_TRUE(readFile(dir.file("joined/" + title)) == readFile(source));
}

// verify tells each piece as it is on the disk, and a join of a damaged set fails with the
// window's own message.
TEST(TerminalJob, VerifyTellsEachPieceAndAFailedJoinWhatTheWindowSays) {
    TempDir dir;
    writePattern(dir.file("movie.avi"), 7000);
    const std::string manifest = dir.file("movie.splitMain"), piece2 = dir.file("movie.split2");
    EXPECT_EQ(kalvex({"split", dir.file("movie.avi"), "--size", "3072", "--name", "movie"}).out,
              "Wrote 3 pieces (movie.split1 to movie.split3), movie.split.sha256 and "
              "movie.splitMain in " +
                  dir.folder() + "\n");
    EXPECT_EQ(kalvex({"verify", manifest}),
              (Ran{0, "movie.split1: OK\nmovie.split2: OK\nmovie.split3: OK\n", ""}));

    fs::resize_file(dir.file("movie.split1"), 3000);
    std::string bytes = readFile(piece2);
    bytes[5] ^= 1;
    writeFile(piece2, bytes);
    fs::remove(dir.file("movie.split3"));
    EXPECT_EQ(kalvex({"verify", manifest}),
              (Ran{1,
                   "movie.split1: wrong length (3000 bytes, not the 3072 of the others)\n"
                   "movie.split2: contents differ\nmovie.split3: missing\n",
                   "3 of 3 pieces are not as the split wrote them.\n"}));

    MessageBox::Recorder messages;
    JoinProgressWindow::showJoin({manifest, dir.folder()});
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(kalvex({"join", manifest}),
              (Ran{1, "", messages.shown()[0].text.toStdString() + "\n"}));
}

// The program's own answers, which need no display: the usage, the version, a wrong option, and
// a job that cannot start.
TEST(TerminalJob, AnswersAndExitStatusWithoutADisplay) {
    EXPECT_EQ(kalvex({"--version"}), (Ran{0, "kalvex 1.0.0\n", ""}));
    const Ran help = kalvex({"--help"}), wrong = kalvex({"--frobnicate"});
    EXPECT_TRUE(help.status == 0 && help.out.starts_with("Usage: kalvex [options] [file]\n") &&
                help.err.empty());
    EXPECT_TRUE(
        wrong.status == 2 && wrong.out.empty() &&
        wrong.err.starts_with("Unknown option 'frobnicate'.\nUsage: kalvex [options] [file]"));
    EXPECT_EQ(kalvex({"verify", "/nowhere/a.splitMain"}),
              (Ran{1, "",
                   "Cannot open for text input \"/nowhere/a.splitMain\": No such file or "
                   "directory\n"}));
}

// The share, the bytes, then the speed and the time left once bytes are done.
TEST(TerminalJob, ProgressLine) {
    constexpr std::int64_t MiB = 1048576;
    EXPECT_EQ(TerminalProgress::line({0, 0, 0, 3 * MiB}, 1), "  0%  0 B of 3.0 MiB");
    EXPECT_EQ(TerminalProgress::line({0, 0, MiB, 3 * MiB}, 0.5),
              " 33%  1.0 MiB of 3.0 MiB  2.0 MiB/s  0:01 left");
    EXPECT_EQ(TerminalProgress::line({0, 0, 1000 * MiB, 2048LL * 1024 * MiB}, 50),
              "  0%  1000.0 MiB of 2.0 TiB  20.0 MiB/s  29:06:48 left");
}

} // namespace
} // namespace kalvex::test
