// Joins through the real joining window: what lands on disk, what the window shows, and
// what is refused or kept on failure.
#include "app/MainWindowDriver.h"

#include "dialogs/ProgressBar.h"
#include "join/JoinProgressWindow.h"
#include "support/FailingFileSystem.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace kalvex::test {
namespace {

using Sizes = std::vector<std::int64_t>;

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
    // As the window shows, after each piece and at its message: the percentage, and the title
    // when it is not the one of a join in progress.
    QStringList looks;
    std::atomic<qsizetype> seen{0}; // looks taken, for the job's thread

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
        const QString title = window->windowTitle();
        looks << child<QLabel>(window, "Label1")->text().section('%', 0, 0) +
                     (title == "The Program is Currently Joining the files..." ? "" : "|" + title);
        seen = looks.size();
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
                             &JoinProgressWindow::progressShown, window, [this, window] {
                                 look(window);
                                 if (looks.size() != 2)
                                     return;
                                 // After the first piece (whenModal finds it only when modal; its
                                 // keys and close box are the split window's, tested there) the bar
                                 // agrees with the caption.
                                 EXPECT_EQ(int(child<ProgressBar>(window, "ProgressBar1")->value()),
                                           looks.last().toInt());
                                 expectReadableAndSave(window, "FrmJoining");
                             });
        });
        JoinProgressWindow::showJoin({manifest, folder});
        EXPECT_FALSE(findWindow("FrmJoining"));
        return onlyMessage(messages);
    }
};

TEST(JoinWindow, JoinsThePiecesTheManifestNamesOverAnOlderFile) {
    const std::string longName = std::string(251, 'n') + ".bin";
    // The manifest's name and contents, the pieces, what is appended to the target folder,
    // the output expected there, the percentages at the showing, after each piece and at the end.
    using Case = std::tuple<const char*, std::string, Sizes, const char*, std::string, const char*>;
    // clang-format off
    const Case cases[] = {
        {"movie.splitMain", "\t 12\t \n  spaced name.bin  \n", {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1},
            "/", "  spaced name.bin  ", "0 8 16 25 33 41 50 58 66 75 83 91 100 100"},
        // Four characters are cut off the manifest's name, whatever they are.
        {"movie.splitmain", "+2\rmovie.avi\r", {100, 50}, "", "movie.avi", "0 50 100 100"},
        {"movie.split\u00c4\u00d6\u20ac\U0001F600", " 1 \r\ncaf\xE9.bin\r\n", {10}, "/prefix-",
            "prefix-caf\u00e9.bin", "0 100 100"},
        {"movie.splitMain", "2.5\r\n" + longName + "\r\n", {20, 10}, "/", longName, "0 40 80 100"},
        // The split of an empty file: an empty file is rebuilt.
        {"movie.splitMain", " 0 \r\nmovie.avi\r\n", {}, "/", "movie.avi", "0 100"},
    };
    // clang-format on
    for (const auto& [name, text, sizes, folder, output, percents] : cases) {
        SCOPED_TRACE(text);
        Join j;
        j.manifest = j.pieces.file(name);
        const std::string all = j.write(text, sizes), old(70000, 'x');
        writeFile(j.target.file(output), old);
        // The window shows the latest piece every 20 ms; here each piece waits until the one
        // before it has been shown, so that every piece's values are seen.
        FailingFileSystem paced;
        paced.beforeWrite = [&](const std::string&, std::int64_t at, std::size_t) {
            qsizetype done = 0;
            for (std::int64_t end = 0; done < qsizetype(sizes.size()) && end + sizes[done] < at;)
                end += sizes[done++];
            for (int wait = 0; wait < 2000 && j.seen < done + 1; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        files::FileSystem::Override use(paced);
        EXPECT_EQ(j.run(j.target.path().string() + folder),
                  "Complete|The Joining process was sucessful!");
        EXPECT_EQ(j.looks.join(' ').toStdString(), percents + std::string("|Complete"));
        EXPECT_TRUE(readFile(j.target.file(output)) == all);
    }
}

// A refusal changes nothing; a failure part way leaves only a temporary file, holding what
// was joined and named in the message, beside the older output and another job's temporary
// file at the first temporary name. Either way every file is closed.
TEST(JoinWindow, RefusesOrFailsWithoutTouchingAnyFileOfOurs) {
    struct Case {
        void (*arrange)(FailingFileSystem&, Join&) = nullptr;
        std::int64_t kept = -1; // bytes of the 9000 joined, in the temporary file
        std::string says;       // in the message, besides the file it names
        std::string title = "movie.avi";
        const char* folder = "/"; // appended to the folder of the pieces
        const char* count = " 3 ";
    };
    const Case cases[] = {
        {.says = "not a number", .count = "3abc"},
        {.says = "not a split manifest (its piece count is below 1)", .count = "-1"},
        // A name the file system may open as the manifest or a piece, whatever its case.
        {.says = "manifest", .title = "MOVIE.SPLITmain"},
        {.says = "piece 1", .title = "Movie.Split1"},
        {.says = "line 2", .title = ""},
        {.says = "line 2", .title = "../x"}, // would stay in the target
        {.says = "line 2", .title = std::string("nul\0x", 5)},
        {.says = "piece 1", .folder = "/linked/"},
        {.says = "folder", .folder = "/taken/"},
        {.says = "No such file", .folder = "/gone/"},
        {[](auto&, Join& j) { fs::remove(j.pieces.file("movie.split2")); }, 3000,
         "movie.split2\": No such file"},
        {[](auto& f, Join&) { f.failRename("movie.avi", EIO); }, 9000, "Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says + "|" + c.title + "|" + c.count + "|" + c.folder);
        Join j;
        const std::string all =
            j.write(std::string(c.count) + "\r\n" + c.title + "\r\n", {3000, 3000, 3000});
        writeFile(j.pieces.file("movie.avi"), "old");
        writeFile(j.pieces.file("movie.avi.kalvex-join"), "stray");
        const auto otherJob = files::FileSystem::native().openWrite(
            j.pieces.file("movie.avi.kalvex-join"), files::WriteMode::Keep);
        otherJob->tryLock(files::LockMode::Exclusive);
        fs::create_directories(j.pieces.path() / "taken" / "movie.avi");
        fs::create_directories(j.pieces.path() / "linked");
        fs::create_hard_link(j.pieces.file("movie.split1"), j.pieces.file("linked/movie.avi"));
        FailingFileSystem faulty;
        // The file work runs off the window's thread, which meanwhile keeps handling events.
        faulty.beforeWrite = [](const std::string&, std::int64_t, std::size_t) {
            EXPECT_NE(QThread::currentThread(), qApp->thread());
            onWindowThread([] {})();
        };
        if (c.arrange)
            c.arrange(faulty, j);
        const auto before = snapshot({j.pieces.path()});
        files::FileSystem::Override use(faulty);
        const std::string message = j.run(j.pieces.path().string() + c.folder);
        EXPECT_EQ(message.rfind("!Join failed|Cannot ", 0), 0U) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_EQ(faulty.openFiles(), 0);
        EXPECT_EQ(j.looks.last(), j.looks[j.looks.size() - 2]) << "the bar stays, with the title";
        auto after = snapshot({j.pieces.path()});
        std::string temporary;
        for (const auto& [path, bytes] : after)
            temporary = before.contains(path) ? temporary : path.string();
        EXPECT_EQ(temporary.empty(), c.kept < 0) << temporary;
        if (!temporary.empty()) {
            EXPECT_TRUE(after[temporary] == all.substr(0, c.kept));
            EXPECT_NE(message.find('"' + temporary + '"'), std::string::npos) << message;
            after.erase(temporary);
        }
        EXPECT_EQ(after, before);
    }
}

} // namespace
} // namespace kalvex::test
