// Joins through the real joining window, and from the Re-Join page of the main window:
// what lands on disk, what the window shows, and what is refused or kept on failure.
#include "app/MainWindowDriver.h"

#include "dialogs/ProgressBar.h"
#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QLineEdit>

#include <filesystem>
#include <map>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Sizes = std::vector<std::int64_t>;
const char* const Joining = "The Program is Currently Joining the files...";

const std::string Joined = "Complete|The Joining process was sucessful!";

// Every file and folder below the folders with its contents, to tell that nothing changed.
std::map<fs::path, std::string> snapshot(std::initializer_list<fs::path> folders) {
    std::map<fs::path, std::string> found;
    for (const auto& folder : folders)
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            found[entry.path()] = entry.is_regular_file() ? readFile(entry.path()) : "(folder)";
    return found;
}

// What the joining window showed at one moment.
struct Seen {
    QString title, caption;
    float bar;
};

// A join through the real window, the pieces in one folder and the output in another.
struct Join {
    TempDir pieces, target;
    std::string manifest = pieces.file("movie.splitMain");
    MessageBox::Recorder messages;
    std::vector<Seen> seen; // as the window shows, after each piece, and at its message
    std::function<void(QWidget*)> duringPiece;
    inline static Join* running = nullptr;

    // The manifest and pieces movie.split1, 2, ... each with bytes of its own, so that a
    // piece out of order or at a wrong offset shows; returns the pieces joined.
    std::string write(const std::string& manifestText, const Sizes& sizes) {
        writeFile(manifest, manifestText);
        std::string all;
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            const std::string piece = patternBytes(sizes[k], std::int64_t(all.size() + 7 * k));
            writeFile(pieces.file("movie.split" + std::to_string(k + 1)), piece);
            all += piece;
        }
        return all;
    }
    void look(QWidget* window) {
        seen.push_back({window->windowTitle(), child<QLabel>(window, "Label1")->text(),
                        child<ProgressBar>(window, "ProgressBar1")->value()});
    }
    void run(const std::string& folder) {
        running = this;
        messages.onShown = [](const MessageBox::Shown&) {
            running->look(QApplication::activeModalWidget());
        };
        whenModal("FrmJoining", [this](QWidget* window) {
            look(window);
            QObject::connect(static_cast<JoinProgressWindow*>(window),
                             &JoinProgressWindow::pieceShown, window, [this, window] {
                                 look(window);
                                 if (duringPiece)
                                     duringPiece(window);
                             });
        });
        JoinProgressWindow::showJoin({manifest, folder});
        running = nullptr;
        EXPECT_FALSE(findWindow("FrmJoining"));
    }
    // The percentages of the captions seen, in order.
    std::string percents() const {
        QStringList numbers;
        for (const Seen& s : seen)
            numbers << s.caption.section('%', 0, 0);
        return numbers.join(' ').toStdString();
    }
};

TEST(JoinWindow, ShowsEachPieceThenCompletesIgnoringCloseEscAndEnter) {
    Join j;
    // Sizes around the copy chunk of one MiB.
    const std::string all =
        j.write(" 3 \r\nmovie.avi\r\n", {(1 << 20) + 1, (1 << 20) + 1, (1 << 20) - 1});
    j.duringPiece = [&](QWidget* window) {
        if (j.seen.size() != 2)
            return;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(window, key);
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMinMaxButtonsHint);
        expectReadableAndSave(window, "FrmJoining");
        // Grown, the window keeps its controls where they are.
        QList<QRect> places;
        for (auto* control : window->findChildren<QWidget*>())
            places << control->geometry();
        window->resize(900, 500);
        QTest::qWait(0);
        for (auto* control : window->findChildren<QWidget*>())
            EXPECT_EQ(control->geometry(), places.takeFirst());
    };
    // The second join runs in a fresh window, through the plain copy loop.
    for (bool plainCopy : {false, true}) {
        j.seen.clear();
        j.messages.clear();
        files::setCopyFallbackForced(plainCopy);
        j.run(j.target.folder());
        files::setCopyFallbackForced(false);
        EXPECT_TRUE(readFile(j.target.file("movie.avi")) == all);
        EXPECT_EQ(onlyMessage(j.messages), Joined);
        EXPECT_EQ(j.percents(), "0 33 66 100 100");
        ASSERT_EQ(j.seen.size(), 5U);
        const float bars[] = {0, float(100.0 / 3), float(200.0 / 3), 100, 100};
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(j.seen[k].title, k < 4 ? Joining : "Complete");
            EXPECT_EQ(j.seen[k].bar, bars[k]) << k;
        }
    }
}

TEST(JoinWindow, JoinsThePiecesTheManifestNamesOverAnOlderFile) {
    const std::string longName = std::string(251, 'n') + ".bin";
    struct Case {
        const char* manifest; // its name
        std::string text;     // its contents
        Sizes sizes;
        const char* folder;   // appended to the target folder
        std::string output;   // expected in the target folder
        const char* percents; // one per piece joined, between the first and the last
    };
    // clang-format off
    const Case cases[] = {
        {"movie.splitMain", "\t 12\t \n  spaced name.bin  \n", {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0},
            "/", "  spaced name.bin  ", "0 8 16 25 33 41 50 58 66 75 83 91 100 100"},
        // Four characters are cut off the manifest's name, whatever they are.
        {"movie.splitmain", "+2\rmovie.avi\r", {100, 50}, "", "movie.avi", "0 50 100 100"},
        {"movie.split\u00c4\u00d6\u20ac\U0001F600", " 1 \r\ncaf\xE9.bin\r\n", {10}, "/prefix-",
            "prefix-caf\u00e9.bin", "0 100 100"},
        {"movie.splitMain", "2.5\r\n" + longName + "\r\n", {20, 10, 30}, "/", longName, "0 40 80 100"},
        {"movie.splitMain", " 0 \r\nmovie.avi\r\n", {10}, "/", "movie.avi", "0 100"},
        {"movie.splitMain", "-3\r\nmovie.avi\r\n", {10}, "/", "movie.avi", "0 100"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Join j;
        j.manifest = j.pieces.file(c.manifest);
        const std::string all = j.write(c.text, c.sizes);
        const std::string old(70000, 'x');
        writeFile(j.target.file(c.output), old);
        j.run(j.target.path().string() + c.folder);
        EXPECT_EQ(onlyMessage(j.messages), Joined);
        EXPECT_EQ(j.percents(), c.percents);
        EXPECT_EQ(j.seen.back().title, "Complete");
        std::int64_t length = 0;
        for (std::size_t k = 0; k + 2 < j.seen.size(); ++k)
            length += c.sizes[k];
        EXPECT_TRUE(readFile(j.target.file(c.output)) == (length ? all.substr(0, length) : old));
        EXPECT_EQ(snapshot({j.target.path()}).size(), 1U);
    }
}

TEST(JoinWindow, RefusesBeforeCreatingOrChangingAnything) {
    struct Case {
        std::string title;  // line 2
        const char* count;  // line 1
        const char* folder; // appended to the target folder; PIECES: the pieces' folder
        std::string says;   // in the message, besides the file it names
    };
    std::vector<Case> cases;
    for (const char* count : {"", "3abc", "1e3", "3,5", " 3 4"})
        cases.push_back({"movie.avi", count, "/taken/", "not a number"});
    for (const std::string& title :
         {std::string(), std::string("."), std::string(".."), std::string("a/b"),
          std::string("../x"), std::string("/etc/passwd"), std::string("nul\0x", 5),
          std::string("tab\there"), std::string("del\x7F"), std::string("c1\xC2\x85")})
        cases.push_back({title, " 3 ", "/taken/", "line 2"}); // "../x" stays in the target
    cases.push_back({"movie.split2", " 3 ", "PIECES", "piece 2"});
    cases.push_back({"movie.splitMain", " 3 ", "PIECES", "manifest"});
    cases.push_back({"movie.avi", " 3 ", "/linked/", "piece 1"});
    cases.push_back({"movie.avi", " 3 ", "/taken/", "folder"});
    cases.push_back({"movie.avi", " 3 ", "/gone/", "No such file"});
    cases.push_back({"movie.avi", " 3 ", "/plain/", "Not a directory"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + "|" + c.count + "|" + c.folder);
        Join j;
        j.write(std::string(c.count) + "\r\n" + c.title + "\r\n", {10, 10, 10});
        writeFile(j.target.file("plain"), "a file");
        fs::create_directories(j.target.path() / "taken" / "movie.avi");
        fs::create_directories(j.target.path() / "linked");
        fs::create_hard_link(j.pieces.file("movie.split1"), j.target.file("linked/movie.avi"));
        const auto before = snapshot({j.pieces.path(), j.target.path()});
        j.run(c.folder == std::string("PIECES") ? j.pieces.folder()
                                                : j.target.path().string() + c.folder);
        const std::string message = onlyMessage(j.messages);
        EXPECT_EQ(message.rfind("!Join failed|", 0), 0U) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_TRUE(message.find(j.pieces.folder()) != std::string::npos ||
                    message.find(j.target.folder()) != std::string::npos)
            << message;
        EXPECT_EQ(j.percents(), "0 0");
        EXPECT_EQ(snapshot({j.pieces.path(), j.target.path()}), before);
    }
    Join j;
    j.run(j.target.folder());
    EXPECT_NE(onlyMessage(j.messages).find(j.manifest + "\": No such file"), std::string::npos);
}

TEST(JoinWindow, FailurePartWayKeepsTheOldOutputAndNamesTheTemporaryFile) {
    struct Case {
        const char* what;
        void (*arrange)(FaultyFileSystem&, Join&);
        std::string says;
        std::int64_t kept; // bytes of the 9000 joined
        const char* percents;
    };
    const Case cases[] = {
        {"piece 2 missing",
         [](FaultyFileSystem&, Join& j) { fs::remove(j.pieces.file("movie.split2")); },
         "movie.split2\": No such file", 3000, "0 33 33"},
        {"disk full", [](FaultyFileSystem& f, Join&) { f.failWritesAfter("", 4000, ENOSPC); },
         "No space left", 4000, "0 33 33"},
        {"piece unreadable",
         [](FaultyFileSystem& f, Join&) {
             f.failReadsAfter("movie.split2", 4, EIO);
             f.failCopyFileRange(EXDEV);
         },
         "movie.split2\": Input/output error", 3000, "0 33 33"},
        {"rename", [](FaultyFileSystem& f, Join&) { f.failRename("movie.avi", EIO); },
         "Input/output error", 9000, "0 33 66 100 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Join j;
        const std::string all = j.write(" 3 \r\nmovie.avi\r\n", {3000, 3000, 3000});
        // A file of ours at the first temporary name is left alone.
        writeFile(j.target.file("movie.avi"), "old");
        writeFile(j.target.file("movie.avi.kalvex-join"), "stray");
        FaultyFileSystem faulty;
        c.arrange(faulty, j);
        {
            files::FileSystem::Override use(faulty);
            j.run(j.target.folder());
        }
        EXPECT_EQ(faulty.openFiles(), 0);
        auto files = snapshot({j.target.path()});
        EXPECT_TRUE(files[j.target.file("movie.avi")] == "old");
        EXPECT_TRUE(files[j.target.file("movie.avi.kalvex-join")] == "stray");
        ASSERT_EQ(files.size(), 3U);
        files.erase(j.target.file("movie.avi"));
        files.erase(j.target.file("movie.avi.kalvex-join"));
        const auto& [temporary, kept] = *files.begin();
        EXPECT_TRUE(kept == all.substr(0, c.kept));
        const std::string message = onlyMessage(j.messages);
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_NE(message.find('"' + temporary.string() + '"'), std::string::npos) << message;
        EXPECT_EQ(j.percents(), c.percents);
        EXPECT_EQ(j.seen.back().title, Joining);
    }
}

using End = MainWindowDriver::PickerEnd;

TEST(JoinTab, SplitThenJoinFromTheMainWindowAroundPieceAndBlockBoundaries) {
    constexpr std::int64_t kib = 1024, mib = 1 << 20;
    struct Case {
        std::int64_t length;
        const char *size, *unit, *title;
    };
    for (const Case& c :
         {Case{1, "1", "Kb", "a.bin"}, Case{kib - 1, "1", "Kb", "a.bin"}, Case{kib, "1", "Kb", "a"},
          Case{kib + 1, "1", "Kb", "caf\u00e9 d\u00e9j\u00e0.bin"},
          Case{11 * kib + 452, "1", "Kb", "\u65e5\u672c.bin"}, Case{5000, "1423", "Kb", "a.bin"},
          Case{10 * mib, "1", "Mb", "a.bin"}, Case{10 * mib + 1, "1", "Mb", "a.bin"},
          Case{12 * mib - 1, "1", "Mb", "a.bin"}, Case{10 * mib + 3, "3073", "Kb", "a.bin"}}) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes in pieces of " << c.size << c.unit);
        TempDir dir;
        const QString start = q(dir.path().string());
        fs::create_directories(dir.path() / "pi\u00e8ces");
        fs::create_directories(dir.path() / "joined");
        writePattern(dir.file(c.title), c.length);
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.browseSource(dir.file(c.title));
        app.browseDestination(start, {"pi\u00e8ces"}, End::Ok);
        app.click("optOther");
        app.type("txtSize", c.size);
        app.pickUnit(c.unit);
        app.click("Command3");
        app.showPage(1);
        app.browseManifest(
            q(dir.folder() + "pi\u00e8ces/" + app.text("txtName").toStdString() + "Main"));
        app.browseJoinFolder(start, {"joined"}, End::Ok);
        app.click("Command4");
        ASSERT_EQ(messages.shown().size(), 2U);
        EXPECT_EQ(messages.shown()[1].text, "The Joining process was sucessful!");
        EXPECT_TRUE(readFile(dir.file("joined/" + std::string(c.title))) ==
                    readFile(dir.file(c.title)));
    }
}

TEST(JoinTab, EmptyFieldsWarnAndCancelledDialogsChangeNothing) {
    TempDir dir;
    fs::create_directories(dir.path() / "out");
    const QString start = q(dir.path().string());
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.showPage(1);
    for (const auto& [manifest, folder] :
         {std::pair{"", ""}, {"/in/a.splitMain", ""}, {"", "/out/"}}) {
        messages.clear();
        app.get<QLineEdit>("txtLocation")->setText(manifest);
        app.get<QLineEdit>("txtFolder2")->setText(folder);
        app.click("Command4");
        // The warning alone: the joining window would have added a message of its own.
        EXPECT_EQ(onlyMessage(messages), "!All feilds must be filled out.|Please make shure "
                                         "that all feilds are filled out.");
    }
    // Blanks fill a field: the join runs, and fails on a manifest that is not there.
    messages.clear();
    app.type("txtLocation", " ");
    app.get<QLineEdit>("txtFolder2")->setText("");
    app.type("txtFolder2", start + " ");
    app.click("Command4");
    EXPECT_EQ(onlyMessage(messages).rfind("!Join failed|", 0), 0U);

    // Cancelled, or closed before any OK, the dialogs change no field.
    app.browseManifest("");
    app.browseJoinFolder(start, {"out"}, End::Cancel);
    app.browseJoinFolder(start, {"out"}, End::CloseBox);
    EXPECT_EQ(app.text("txtLocation") + "|" + app.text("txtFolder2"), " |" + start + " ");
    // The close box after an OK applies the earlier folder again.
    app.browseJoinFolder(start, {"out"}, End::Ok);
    app.get<QLineEdit>("txtFolder2")->setText("typed");
    app.browseJoinFolder(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtFolder2"), start + "/out/");
}

} // namespace
} // namespace kalvex::test
