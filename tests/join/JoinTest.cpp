// Joins through the real joining window: what lands on disk, what the window shows, and
// what is refused or kept on failure.
#include "app/MainWindowDriver.h"

#include "dialogs/ProgressBar.h"
#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"
#include "support/FaultyFileSystem.h"

#include <map>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Sizes = std::vector<std::int64_t>;
const char* const Joining = "The Program is Currently Joining the files...";

// Every file and folder below the folders with its contents, to tell that nothing changed.
std::map<fs::path, std::string> snapshot(std::initializer_list<fs::path> folders) {
    std::map<fs::path, std::string> found;
    for (const auto& folder : folders)
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            found[entry.path()] = entry.is_regular_file() ? readFile(entry.path()) : "(folder)";
    return found;
}

// A join through the real window, the pieces in one folder and the output in another.
struct Join {
    TempDir pieces, target;
    std::string manifest = pieces.file("movie.splitMain");
    MessageBox::Recorder messages;
    QStringList titles, percents; // as the window shows, after each piece, and at its message
    std::vector<float> bars;
    std::function<void(QWidget*)> duringPiece;

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
        titles << window->windowTitle();
        percents << child<QLabel>(window, "Label1")->text().section('%', 0, 0);
        bars.push_back(child<ProgressBar>(window, "ProgressBar1")->value());
    }
    std::string run(const std::string& folder) {
        static Join* running;
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
        EXPECT_FALSE(findWindow("FrmJoining"));
        return onlyMessage(messages);
    }
};

TEST(JoinWindow, ShowsEachPieceThenCompletesIgnoringCloseEscAndEnter) {
    Join j;
    // Sizes around the copy chunk of one MiB.
    const std::string all =
        j.write(" 3 \r\nmovie.avi\r\n", {(1 << 20) + 1, (1 << 20) + 1, (1 << 20) - 1});
    j.duringPiece = [&](QWidget* window) {
        if (j.bars.size() != 2)
            return;
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(window, key);
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMinMaxButtonsHint);
        expectReadableAndSave(window, "FrmJoining");
    };
    EXPECT_EQ(j.run(j.target.folder()), "Complete|The Joining process was sucessful!");
    EXPECT_TRUE(readFile(j.target.file("movie.avi")) == all);
    EXPECT_EQ(j.percents.join(' '), "0 33 66 100 100");
    EXPECT_EQ(j.titles, QStringList({Joining, Joining, Joining, Joining, "Complete"}));
    EXPECT_EQ(j.bars, (std::vector<float>{0, float(100.0 / 3), float(200.0 / 3), 100, 100}));
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
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Join j;
        j.manifest = j.pieces.file(c.manifest);
        const std::string all = j.write(c.text, c.sizes);
        const std::string old(70000, 'x');
        writeFile(j.target.file(c.output), old);
        EXPECT_EQ(j.run(j.target.path().string() + c.folder),
                  "Complete|The Joining process was sucessful!");
        EXPECT_EQ(j.percents.join(' ').toStdString(), c.percents);
        std::int64_t length = 0;
        for (int k = 0; k + 2 < j.percents.size(); ++k)
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
    for (const char* count : {"", "3abc", "1e3"})
        cases.push_back({"movie.avi", count, "/taken/", "not a number"});
    for (const std::string& title : {std::string(), std::string(".."), std::string("../x"),
                                     std::string("nul\0x", 5), std::string("c1\xC2\x85")})
        cases.push_back({title, " 3 ", "/taken/", "line 2"}); // "../x" stays in the target
    cases.push_back({"movie.split2", " 3 ", "PIECES", "piece 2"});
    cases.push_back({"movie.splitMain", " 3 ", "PIECES", "manifest"});
    cases.push_back({"movie.avi", " 3 ", "/linked/", "piece 1"});
    cases.push_back({"movie.avi", " 3 ", "/taken/", "folder"});
    cases.push_back({"movie.avi", " 3 ", "/gone/", "No such file"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + "|" + c.count + "|" + c.folder);
        Join j;
        j.write(std::string(c.count) + "\r\n" + c.title + "\r\n", {10, 10, 10});
        fs::create_directories(j.target.path() / "taken" / "movie.avi");
        fs::create_directories(j.target.path() / "linked");
        fs::create_hard_link(j.pieces.file("movie.split1"), j.target.file("linked/movie.avi"));
        const auto before = snapshot({j.pieces.path(), j.target.path()});
        const std::string message =
            j.run(c.folder == std::string("PIECES") ? j.pieces.folder()
                                                    : j.target.path().string() + c.folder);
        EXPECT_EQ(message.rfind("!Join failed|Cannot ", 0), 0U) << message;
        for (const std::string& part : {c.says, std::string("/kalvex-test-")})
            EXPECT_NE(message.find(part), std::string::npos) << message;
        EXPECT_EQ(j.percents.join(' '), "0 0");
        EXPECT_EQ(snapshot({j.pieces.path(), j.target.path()}), before);
    }
    Join j;
    EXPECT_NE(j.run(j.target.folder()).find(j.manifest + "\": No such file"), std::string::npos);
}

TEST(JoinWindow, FailurePartWayKeepsTheOldOutputAndNamesTheTemporaryFile) {
    struct Case {
        void (*arrange)(FaultyFileSystem&, Join&);
        std::string says;
        std::int64_t kept; // bytes of the 9000 joined
        const char* percents;
    };
    const Case cases[] = {
        {[](FaultyFileSystem&, Join& j) { fs::remove(j.pieces.file("movie.split2")); },
         "movie.split2\": No such file", 3000, "0 33 33"},
        {[](FaultyFileSystem& f, Join&) { f.failWritesAfter("", 4000, ENOSPC); }, "No space left",
         4000, "0 33 33"},
        {[](FaultyFileSystem& f, Join&) {
             f.failReadsAfter("movie.split2", 4, EIO);
             f.failCopyFileRange(EXDEV);
         },
         "movie.split2\": Input/output error", 3000, "0 33 33"},
        {[](FaultyFileSystem& f, Join&) { f.failRename("movie.avi", EIO); }, "Input/output error",
         9000, "0 33 66 100 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Join j;
        const std::string all = j.write(" 3 \r\nmovie.avi\r\n", {3000, 3000, 3000});
        // A file of ours at the first temporary name is left alone.
        writeFile(j.target.file("movie.avi"), "old");
        writeFile(j.target.file("movie.avi.kalvex-join"), "stray");
        FaultyFileSystem faulty;
        c.arrange(faulty, j);
        files::FileSystem::Override use(faulty);
        const std::string message = j.run(j.target.folder());
        EXPECT_EQ(faulty.openFiles(), 0);
        auto files = snapshot({j.target.path()});
        EXPECT_TRUE(files[j.target.file("movie.avi")] == "old");
        EXPECT_TRUE(files[j.target.file("movie.avi.kalvex-join")] == "stray");
        ASSERT_EQ(files.size(), 3U);
        files.erase(j.target.file("movie.avi"));
        files.erase(j.target.file("movie.avi.kalvex-join"));
        const auto& [temporary, kept] = *files.begin();
        EXPECT_TRUE(kept == all.substr(0, c.kept));
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_NE(message.find('"' + temporary.string() + '"'), std::string::npos) << message;
        EXPECT_EQ(j.percents.join(' ').toStdString(), c.percents);
        EXPECT_EQ(j.titles.last(), Joining);
    }
}

} // namespace
} // namespace kalvex::test
