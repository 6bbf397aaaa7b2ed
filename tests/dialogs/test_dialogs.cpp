// The folder pickers, help and about windows, driven as a user would. Each window is also
// checked for a clean layout in the fonts we ship and saved as a PNG into the build folder.
#include "app/MainWindowDriver.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/FolderPicker.h"
#include "dialogs/HelpWindow.h"

#include <QCryptographicHash>
#include <QFileDialog>
#include <QPointer>
#include <QSettings>

namespace kalvex::test {
namespace {

using Which = FolderPicker::Purpose;

TEST(FolderPicker, OkCancelCloseBoxAndKeysEachLeaveTheirOwnChoice) {
    TempDir dir;
    const auto root = std::filesystem::canonical(dir.path());
    for (const char* name : {"beta", "Alpha", "gamma/inner", "Zeta", ".hidden"})
        std::filesystem::create_directories(root / name);
    writeFile((root / "file.txt").string(), "not a folder");
    const QString start = q(root.string()), previous = QDir::currentPath();
    QDir::setCurrent(start);
    // The chain from the root, then the subfolders sorted without regard to case.
    const QStringList listing = QStringList("/") + start.split('/', Qt::SkipEmptyParts) +
                                QStringList{"Alpha", "beta", "gamma", "Zeta"};
    const auto path = [&](const QString& name) {
        return name.isEmpty() || name == "/" ? name : name == "." ? start : start + "/" + name;
    };
    enum class End { Ok, Cancel, CloseBox, Keys };
    // The picker, what is opened and highlighted in it, how it ends; then what each of the
    // two pages keeps of its picker's answers ("." is the starting folder).
    const std::tuple<Which, QStringList, const char*, End, const char*, const char*> steps[] = {
        {Which::PieceDestination, {}, nullptr, End::CloseBox, nullptr, nullptr},
        {Which::PieceDestination, {}, nullptr, End::Keys, "Alpha", nullptr},
        {Which::PieceDestination, {"gamma"}, "gamma/inner", End::Ok, "gamma", nullptr},
        // The close box writes nothing, even after opening another folder.
        {Which::PieceDestination, {"beta"}, nullptr, End::CloseBox, "gamma", nullptr},
        {Which::JoinDestination, {"/"}, nullptr, End::Ok, "gamma", "/"},
        // Cancel clears the choice.
        {Which::PieceDestination, {"Alpha"}, nullptr, End::Cancel, nullptr, "/"},
    };
    std::optional<QString> choices[2];
    int step = 0;
    for (const auto& [which, open, highlight, end, chosen, chosen2] : steps) {
        SCOPED_TRACE(step++);
        const bool join = which == Which::JoinDestination;
        whenModal(join ? "frmSaver2" : "frmSaver", [&](QWidget* window) {
            auto* list = child<QListWidget>(window, "Dir1");
            QWidget* focused = window->focusWidget();
            QStringList shown;
            for (int row = 0; row < list->count(); ++row)
                shown << list->item(row)->text();
            EXPECT_EQ(shown, listing) << "each showing starts at the working directory";
            EXPECT_TRUE(!join || window->geometry().topLeft() == QPoint(222, 386));
            expectReadableAndSave(window, window->objectName());
            for (const QString& folder : open)
                clickEntry(list, path(folder), true);
            if (highlight)
                clickEntry(list, path(highlight), false);
            if (end == End::Keys) {
                // Tab reaches the list past the buttons; there the arrows highlight, and
                // Enter or Space opens the highlighted folder as a double-click does.
                QTest::keyClick(focused, Qt::Key_Tab);
                QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
                EXPECT_EQ(window->focusWidget(), list);
                QStringList opened;
                for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return, Qt::Key_Up,
                                    Qt::Key_Space, Qt::Key_Down, Qt::Key_Enter}) {
                    QTest::keyClick(list, key);
                    opened << list->property("path").toString().mid(start.size());
                }
                EXPECT_EQ(opened.join(','), ",,/beta,/beta,,,/Alpha");
                // No key presses a button: Enter and Esc leave the window open.
                for (QWidget* target : {focused, static_cast<QWidget*>(list), window})
                    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                        QTest::keyClick(target, key);
                EXPECT_TRUE(window->isVisible());
                QTest::keyClick(focused, Qt::Key_Space); // OK has the focus
            } else if (end == End::CloseBox) {
                window->close();
            } else {
                QTest::mouseClick(child<QPushButton>(window, end == End::Ok ? "OK" : "Command2"),
                                  Qt::LeftButton);
            }
        });
        choices[join] = FolderPicker::pick(which).after(choices[join]);
        EXPECT_EQ(choices[0], chosen ? std::optional(path(chosen)) : std::nullopt);
        EXPECT_EQ(choices[1], chosen2 ? std::optional(path(chosen2)) : std::nullopt);
    }
    QDir::setCurrent(previous);
}

// Qt's own file dialog neither offers what an earlier run left in the user's configuration nor
// leaves anything there.
TEST(FileDialog, TheRealDialogKeepsNothingBetweenRuns) {
    TempDir home;
    const std::string config = home.folder() + "config", earlier = home.folder() + "earlier";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(earlier);
    // As Qt writes it: the history of folders and the sidebar.
    const std::string conf = config + "/QtProject.conf", url = "file://" + earlier,
                      state = "[FileDialog]\nhistory=" + url + "\nqtVersion=" + qVersion() +
                              "\nshortcuts=file:, " + url + "\nsidebarWidth=90\n";
    writeFile(conf, state);
    const std::pair<const char*, std::string> folders[] = {{"HOME", home.path().string()},
                                                           {"XDG_CONFIG_HOME", config}};
    std::optional<QByteArray> given[2];
    for (int i = 0; i < 2; ++i) {
        if (qEnvironmentVariableIsSet(folders[i].first))
            given[i] = qgetenv(folders[i].first);
        qputenv(folders[i].first, folders[i].second.c_str());
    }
    // Qt takes the folder once, at the first use of its settings: none came before.
    EXPECT_EQ(QSettings(QSettings::UserScope, "QtProject").fileName(), q(conf));
    whenModal("QFileDialog", [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        EXPECT_FALSE(dialog->history().contains(q(earlier)));
        EXPECT_FALSE(dialog->sidebarUrls().contains(QUrl(q(url))));
        dialog->reject();
    });
    EXPECT_FALSE(FileDialog::getOpenFile(nullptr));
    for (int i = 0; i < 2; ++i)
        given[i] ? qputenv(folders[i].first, *given[i]) : qunsetenv(folders[i].first);
    EXPECT_EQ(readFile(conf), state);
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(home.path()), {}), 3);
}

QString digest(const QString& text) {
    return QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex().left(12);
}

void closeAndWait(QWidget* window, bool byCloseBox) {
    QPointer<QWidget> watched = window;
    if (byCloseBox)
        window->close();
    else
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); })) << "not destroyed";
}

// Help and about: one window each, gone by its button or close box, fresh when reopened.
TEST(HelpAndAbout, TopicTextsByMouseAndKeysOneWindowEachAndFreshAtEveryOpening) {
    HelpWindow::showHelp();
    QWidget* help = findWindow("FrmHelp");
    ASSERT_NE(help, nullptr);
    auto* topics = child<QListWidget>(help, "lstTopics");
    auto* text = child<QLabel>(help, "Label2");
    // Focus makes a topic current without selecting it: nothing shows, and the first
    // Down selects the first topic.
    EXPECT_EQ(help->focusWidget(), topics);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(topics, &focusIn);
    EXPECT_TRUE(text->text().isEmpty());
    QTest::keyClick(topics, Qt::Key_Down);
    // Each topic in list order with the start of the MD5 of its text.
    QStringList shown{digest(text->text())};
    for (int row : {1, 2, 3, 0}) {
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(row)).center());
        shown << QString::number(row) + topics->item(row)->text() + " " + digest(text->text());
        // No scroll bar: the wrapped text must fit whole.
        EXPECT_LE(text->heightForWidth(text->width()), text->height()) << row;
    }
    EXPECT_EQ(shown.join(", "), "b531493fe3b1, 1Joining Files 85a95b64d2ae, 2Main Files "
                                "9f5dcfd0f581, 3Splitting Files aa47e4c83001, 0File Sizes "
                                "b531493fe3b1");
    expectReadableAndSave(help, help->objectName());
    QTest::keyClick(topics, Qt::Key_End);
    const auto windows = QApplication::topLevelWidgets().size();
    HelpWindow::showHelp();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_EQ(digest(text->text()), "aa47e4c83001");

    closeAndWait(help, false);

    AboutWindow::showAbout();
    AboutWindow::showAbout();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows); // help gone, one about
    QWidget* about = findWindow("FrmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(child<QLabel>(about, "Label1")->text(), "Kalvex V. 1.0");
    EXPECT_EQ(about->focusWidget(), child<QPushButton>(about, "Command1"));
    expectReadableAndSave(about, about->objectName());
    closeAndWait(about, true);
    // Reopened before the closed window is gone: a fresh window, not the closing one.
    HelpWindow::showHelp();
    QPointer<QWidget> closing = findWindow("FrmHelp");
    closing->close();
    HelpWindow::showHelp();
    ASSERT_NE(findWindow("FrmHelp"), closing.data());
    closeAndWait(findWindow("FrmHelp"), false);
}

} // namespace
} // namespace kalvex::test
