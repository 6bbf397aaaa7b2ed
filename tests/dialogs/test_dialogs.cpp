// The folder pickers, help and about windows, driven as a user would. Each window is also
// checked for a clean layout in the fonts we ship and saved as a PNG into the build folder.
#include "app/MainWindowDriver.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/DirectoryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/FolderPicker.h"
#include "dialogs/HelpWindow.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvex::test {
namespace {

using Which = FolderPicker::Purpose;

// Readable and saved, then grown: no control may move.
void checkAndSave(QWidget* window) {
    expectReadableAndSave(window, window->objectName());
    const auto controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QList<QRect> places;
    for (auto* control : controls)
        places << control->geometry();
    window->resize(window->size() + QSize(200, 100));
    for (int i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->geometry(), places[i]) << controls[i]->objectName().toStdString();
}

QStringList texts(QListWidget* list) {
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result << list->item(row)->text();
    return result;
}

TEST(FolderPicker, OkCancelCloseBoxAndKeysEachLeaveTheirOwnChoice) {
    TempDir dir;
    const auto root = std::filesystem::canonical(dir.path());
    for (const char* name : {"beta", "Alpha", "gamma/inner", "Zeta", ".hidden"})
        std::filesystem::create_directories(root / name);
    writeFile((root / "file.txt").string(), "not a folder");
    const QString start = QString::fromStdString(root.string()), previous = QDir::currentPath();
    QDir::setCurrent(start);
    // The chain from the root, then the subfolders sorted without regard to case.
    const QStringList listing = QStringList("/") + start.split('/', Qt::SkipEmptyParts) +
                                QStringList{"Alpha", "beta", "gamma", "Zeta"};
    const auto path = [&](const QString& name) {
        return name.isEmpty() || name == "/" ? name : name == "." ? start : start + "/" + name;
    };

    enum class End { Ok, Cancel, CloseBox, EnterEscThenSpace };
    struct Step {
        Which which;
        QStringList open;
        const char* highlight;
        End end;
        bool chosen, chosen2;
        const char *path, *path2; // "." is the starting folder, other names are below it
    };
    const Step steps[] = {
        {Which::PieceDestination, {}, nullptr, End::CloseBox, false, false, "", ""},
        {Which::PieceDestination, {}, "beta", End::EnterEscThenSpace, true, false, ".", ""},
        {Which::PieceDestination, {"gamma"}, "gamma/inner", End::Ok, true, false, "gamma", ""},
        // The close box writes nothing, even after opening another folder.
        {Which::PieceDestination, {"beta"}, nullptr, End::CloseBox, true, false, "gamma", ""},
        {Which::JoinDestination, {"/"}, nullptr, End::Ok, true, true, "gamma", "/"},
        // Cancel clears the flag only; a close box after it leaves the flag clear.
        {Which::PieceDestination, {"Alpha"}, nullptr, End::Cancel, false, true, "gamma", "/"},
        {Which::PieceDestination, {}, nullptr, End::CloseBox, false, true, "gamma", "/"},
        {Which::JoinDestination, {"beta"}, nullptr, End::Cancel, false, false, "gamma", "/"},
    };
    // What each of the two pages keeps of its picker's answers.
    std::optional<QString> choices[2];
    for (const Step& s : steps) {
        SCOPED_TRACE(&s - steps);
        whenModal(
            s.which == Which::PieceDestination ? "frmSaver" : "frmSaver2", [&](QWidget* window) {
                auto* list = child<DirectoryList>(window, "Dir1");
                QWidget* focused = window->focusWidget();
                EXPECT_EQ(texts(list), listing) << "each showing starts at the working directory";
                EXPECT_TRUE(s.which == Which::PieceDestination ||
                            window->geometry().topLeft() == QPoint(222, 386));
                checkAndSave(window);
                for (const QString& folder : s.open)
                    clickEntry(list, path(folder), true);
                if (s.highlight)
                    clickEntry(list, path(s.highlight), false);
                if (s.end == End::EnterEscThenSpace) {
                    for (QWidget* target : {focused, static_cast<QWidget*>(list), window})
                        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                            QTest::keyClick(target, key);
                    EXPECT_TRUE(window->isVisible());
                    QTest::keyClick(focused, Qt::Key_Space); // OK has the focus
                } else if (s.end == End::CloseBox) {
                    window->close();
                } else {
                    QTest::mouseClick(
                        child<QPushButton>(window, s.end == End::Ok ? "OK" : "Command2"),
                        Qt::LeftButton);
                }
            });
        auto& choice = s.which == Which::PieceDestination ? choices[0] : choices[1];
        choice = FolderPicker::pick(s.which).after(choice);
        EXPECT_EQ(choices[0], s.chosen ? std::optional(path(s.path)) : std::nullopt);
        EXPECT_EQ(choices[1], s.chosen2 ? std::optional(path(s.path2)) : std::nullopt);
    }
    QDir::setCurrent(previous);
}

// The topics in list order, each with its text.
const char* const Topics[][2] = {
    {"File Sizes",
     "The filesize deterines how large you want each split file to be. If you select "
     "1.38MB(Floppy) it will split the files so that each file will fit onto a formated floppy. "
     "The 700MB split option will split the files so that they will fit onto a normal cd-r. And "
     "the other option will allow you to enter into the box next to it a custom file size (what "
     "ever you want). But keep in mind that you will also need the *.splitmain file to join your "
     "files (this file is usually very small and most of the time can be saved onto the same disk "
     "as the last .split file)."},
    {"Joining Files",
     "To join files you must have all of the split files and the *.splitmain file in the same "
     "folder (if you put them on floppy disks copy the split files onto the computer that you want "
     "to join them onto). When all of the files are in the same folder you open Kalvex and select "
     "the 'Join' tab. Locate the *.splitmain file and select the folder that you want the joined "
     "file to be. Click Join and when the joining process is complete the joined file will be "
     "located in the directory that you specifyed."},
    {"Main Files", "The main file is the file that you will be asked to locate when joining the "
                   "files. To join the files, the *.splitmain file must be located in the same "
                   "folder as all of the other *.split files."},
    {"Splitting Files",
     "To split files you must locate the file you want to split, locate where you want the split "
     "files to be created, and give it a name (it is recomended that you do not change the name "
     "that is automatically put in the name box after selecting the file to split). Then all you "
     "have to do is click split and when it is done the split files and splitmain file will be "
     "located in the folder that you specifyed."},
};

void closeAndWait(QWidget* window, bool byCloseBox, bool wait = true) {
    QPointer<QWidget> watched = window;
    if (byCloseBox)
        window->close();
    else
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    EXPECT_TRUE(!wait || QTest::qWaitFor([&] { return watched.isNull(); })) << "not destroyed";
}

TEST(HelpWindow, TopicTextsByMouseAndKeysOneWindowAndFreshAtEveryOpening) {
    HelpWindow::showHelp();
    QWidget* help = findWindow("FrmHelp");
    for (bool byCloseBox : {false, true}) {
        ASSERT_NE(help, nullptr);
        auto* topics = child<QListWidget>(help, "lstTopics");
        auto* text = child<QLabel>(help, "Label2");
        // The focused list has a current item, yet nothing is selected and nothing shown.
        EXPECT_EQ(help->focusWidget(), topics);
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(topics, &focusIn);
        EXPECT_TRUE(topics->selectedItems().isEmpty());
        EXPECT_TRUE(text->text().isEmpty());

        ASSERT_EQ(texts(topics),
                  QStringList({Topics[0][0], Topics[1][0], Topics[2][0], Topics[3][0]}));
        for (int row = 0; row < 4; ++row) {
            QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                              topics->visualItemRect(topics->item(row)).center());
            EXPECT_EQ(text->text(), Topics[row][1]);
            // No scroll bar: the wrapped text must fit whole.
            EXPECT_LE(text->heightForWidth(text->width()), text->height()) << Topics[row][0];
            if (row == 0)
                checkAndSave(help);
        }
        for (int row : {2, 1, 0}) {
            QTest::keyClick(topics, Qt::Key_Up);
            EXPECT_EQ(text->text(), Topics[row][1]);
        }
        QTest::keyClick(topics, Qt::Key_End);
        const auto windows = QApplication::topLevelWidgets().size();
        HelpWindow::showHelp();
        EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
        EXPECT_EQ(text->text(), Topics[3][1]);

        // Opened again before the closed window is deleted: a new one, outliving the old.
        QPointer<QWidget> old = help;
        closeAndWait(help, byCloseBox, false);
        HelpWindow::showHelp();
        help = findWindow("FrmHelp");
        ASSERT_NE(help, old.data());
        EXPECT_TRUE(QTest::qWaitFor([&] { return old.isNull(); }));
        EXPECT_EQ(findWindow("FrmHelp"), help);
    }
    closeAndWait(help, false);
}

TEST(AboutWindow, OneWindowGoneByButtonOrCloseBox) {
    for (bool byCloseBox : {false, true}) {
        const auto windows = QApplication::topLevelWidgets().size();
        AboutWindow::showAbout();
        AboutWindow::showAbout();
        EXPECT_EQ(QApplication::topLevelWidgets().size(), windows + 1);
        QWidget* about = findWindow("FrmAbout");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
        EXPECT_EQ(child<QLabel>(about, "Label1")->text(), "Kalvex V. 1.0");
        EXPECT_TRUE(child<QLabel>(about, "Label2")->text().startsWith("Program was created by "));
        EXPECT_EQ(about->focusWidget(), child<QPushButton>(about, "Command1"));
        checkAndSave(about);
        closeAndWait(about, byCloseBox);
    }
}

// The real file-open dialog offers a manifest whatever the case of its name, and choosing
// one leaves the working folder where it was.
TEST(FileDialog, ManifestFilterIgnoresCaseAndKeepsTheWorkingFolder) {
    TempDir dir;
    for (const char* name : {"a.splitMain", "b.splitmain", "C.SPLITMAIN", "a.split1", "splitmain"})
        writeFile(dir.file(name), "x");
    const QString workingFolder = QDir::currentPath();
    QStringList offered;
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        }));
        dialog->setDirectory(QString::fromStdString(dir.path().string()));
        auto* view = dialog->findChild<QListView*>("listView");
        const auto names = [&] {
            QStringList found;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                found << view->model()->index(row, 0, view->rootIndex()).data().toString();
            found.sort();
            return found;
        };
        (void)QTest::qWaitFor([&] { return names().size() == 3; });
        offered = names();
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        edit->setText("a.splitMain");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const auto chosen =
        FileDialog::getOpenFile(nullptr, "SplitMain Files (*.splitmain)| *.splitmain");
    EXPECT_EQ(offered.join(", "), "C.SPLITMAIN, a.splitMain, b.splitmain");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path.toStdString(), dir.file("a.splitMain"));
    EXPECT_EQ(chosen->title, "a.splitMain");
    EXPECT_EQ(QDir::currentPath(), workingFolder);
}

} // namespace
} // namespace kalvex::test
