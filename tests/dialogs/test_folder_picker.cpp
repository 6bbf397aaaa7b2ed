// The folder pickers, driven as a user would: double-clicks, clicks, keys, the close box.
#include "app/Module1.h"
#include "dialogs/DirectoryList.h"
#include "dialogs/frmSaver.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QDir>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using Which = frmSaver::Which;

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Every test starts the pickers in a folder of its own and leaves the process's working
// directory as it found it.
class FolderPicker : public testing::Test {
protected:
    FolderPicker() : previous_(QDir::currentPath()), start_(fs::canonical(dir_.path())) {
        Module1::reset();
        fs::create_directory(start_ / "beta");
        fs::create_directory(start_ / "Alpha");
        fs::create_directory(start_ / "gamma");
        fs::create_directory(start_ / "Zeta");
        fs::create_directory(start_ / "gamma" / "inner");
        fs::create_directory(start_ / ".hidden");
        writeFile((start_ / "file.txt").string(), "not a folder");
        QDir::setCurrent(qpath(start_));
    }
    ~FolderPicker() override {
        QDir::setCurrent(previous_);
        Module1::reset();
    }

    QString start() const { return qpath(start_); }
    QString sub(const char* name) const { return qpath(start_ / name); }

    // Shows the picker and runs action on it once it is up; returns after it has gone.
    static void pick(Which which, std::function<void(QWidget*)> action) {
        const QString name = which == Which::Saver ? "frmSaver" : "frmSaver2";
        bool ran = false;
        whenModal(name, [&](QWidget* window) {
            action(window);
            ran = true;
        });
        frmSaver::showPicker(which);
        EXPECT_TRUE(ran) << "the picker closed before the test had acted on it";
        EXPECT_EQ(findWindow(name), nullptr);
    }

    TempDir dir_;
    QString previous_;
    fs::path start_;
};

DirectoryList* list(QWidget* window) {
    return child<DirectoryList>(window, "Dir1");
}

QListWidgetItem* entryFor(DirectoryList* dir, const QString& path) {
    for (int row = 0; row < dir->count(); ++row)
        if (dir->item(row)->data(DirectoryList::PathRole).toString() == path)
            return dir->item(row);
    ADD_FAILURE() << "no entry for " << path.toStdString();
    return nullptr;
}

QPoint centreOf(DirectoryList* dir, QListWidgetItem* entry) {
    dir->scrollToItem(entry);
    return dir->visualItemRect(entry).center();
}

void doubleClick(DirectoryList* dir, const QString& path) {
    if (auto* entry = entryFor(dir, path))
        QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, centreOf(dir, entry));
}

void click(DirectoryList* dir, const QString& path) {
    if (auto* entry = entryFor(dir, path))
        QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, centreOf(dir, entry));
}

void press(QWidget* window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

QStringList texts(DirectoryList* dir) {
    QStringList result;
    for (int row = 0; row < dir->count(); ++row)
        result << dir->item(row)->text();
    return result;
}

QList<int> levels(DirectoryList* dir) {
    QList<int> result;
    for (int row = 0; row < dir->count(); ++row)
        result << dir->item(row)->data(DirectoryList::LevelRole).toInt();
    return result;
}

TEST_F(FolderPicker, OpensAtTheWorkingDirectoryWithChainThenSortedSubfolders) {
    pick(Which::Saver, [&](QWidget* window) {
        auto* ok = child<QPushButton>(window, "OK");
        EXPECT_EQ(window->focusWidget(), ok);
        QTest::keyClick(window, Qt::Key_Tab);
        EXPECT_EQ(window->focusWidget(), child<QPushButton>(window, "Command2"));
        QTest::keyClick(window, Qt::Key_Tab);
        EXPECT_EQ(window->focusWidget(), list(window));
        QTest::keyClick(window, Qt::Key_Tab);
        EXPECT_EQ(window->focusWidget(), ok) << "the label takes no focus";

        auto* dir = list(window);
        EXPECT_EQ(dir->path(), start());
        QStringList expected{"/"};
        const QStringList chain = start().split('/', Qt::SkipEmptyParts);
        // Sorted without regard to case; files and hidden folders are left out.
        const QStringList subfolders{"Alpha", "beta", "gamma", "Zeta"};
        expected << chain << subfolders;
        EXPECT_EQ(texts(dir), expected);
        QList<int> expectedLevels;
        for (int level = 0; level <= chain.size(); ++level)
            expectedLevels << level;
        for (int i = 0; i < subfolders.size(); ++i)
            expectedLevels << chain.size() + 1;
        EXPECT_EQ(levels(dir), expectedLevels);
        EXPECT_EQ(dir->currentItem(), entryFor(dir, start())) << "the open folder is highlighted";

        // Resizing moves nothing.
        const QRect before = dir->geometry();
        window->resize(700, 500);
        EXPECT_EQ(dir->geometry(), before);
        EXPECT_EQ(ok->geometry(), QRect(208, 152, 89, 25));
        press(window, "OK");
    });
    EXPECT_TRUE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, start());
}

TEST_F(FolderPicker, DoubleClickOpensAFolderWhileClicksAndArrowsOnlyHighlight) {
    pick(Which::Saver, [&](QWidget* window) {
        auto* dir = list(window);
        doubleClick(dir, sub("gamma"));
        EXPECT_EQ(dir->path(), sub("gamma"));
        EXPECT_EQ(texts(dir).last(), "inner") << "the list is redrawn for the opened folder";
        EXPECT_EQ(dir->item(dir->count() - 2)->text(), "gamma");

        click(dir, sub("gamma/inner"));
        EXPECT_EQ(dir->currentItem()->text(), "inner");
        QTest::keyClick(dir, Qt::Key_Up);
        QTest::keyClick(dir, Qt::Key_Up);
        EXPECT_EQ(dir->path(), sub("gamma")) << "highlighting opens nothing";
        press(window, "OK");
    });
    EXPECT_EQ(Module1::SaverPath, sub("gamma")) << "the listed folder, not the highlighted one";

    // Going back up the chain, and a fresh picker starting at the working directory again.
    pick(Which::Saver, [&](QWidget* window) {
        auto* dir = list(window);
        EXPECT_EQ(dir->path(), start());
        doubleClick(dir, sub("gamma"));
        doubleClick(dir, sub("gamma/inner"));
        doubleClick(dir, start());
        EXPECT_EQ(dir->path(), start());
        click(dir, sub("beta"));
        press(window, "OK");
    });
    EXPECT_EQ(Module1::SaverPath, start());
}

TEST_F(FolderPicker, RootEndsInTheSeparatorAndOtherFoldersDoNot) {
    pick(Which::Saver2, [&](QWidget* window) {
        auto* dir = list(window);
        doubleClick(dir, "/");
        EXPECT_EQ(dir->path(), "/");
        EXPECT_EQ(texts(dir).first(), "/");
        EXPECT_TRUE(texts(dir).contains(start().section('/', 1, 1)));
        EXPECT_EQ(dir->item(1)->data(DirectoryList::PathRole).toString()[0], '/');
        EXPECT_FALSE(dir->item(1)->data(DirectoryList::PathRole).toString().startsWith("//"));
        press(window, "OK");
    });
    EXPECT_EQ(Module1::Saver2Path, "/");

    pick(Which::Saver2, [&](QWidget* window) {
        doubleClick(list(window), sub("Alpha"));
        press(window, "OK");
    });
    EXPECT_EQ(Module1::Saver2Path, sub("Alpha"));
    EXPECT_FALSE(Module1::Saver2Path.endsWith('/'));
}

TEST_F(FolderPicker, CancelAndCloseBoxAfterAnEarlierOk) {
    // Close box at first use: nothing written.
    pick(Which::Saver, [](QWidget* window) { window->close(); });
    EXPECT_FALSE(Module1::SaverChosen);
    EXPECT_TRUE(Module1::SaverPath.isEmpty());

    pick(Which::Saver, [&](QWidget* window) {
        doubleClick(list(window), sub("beta"));
        press(window, "OK");
    });
    ASSERT_TRUE(Module1::SaverChosen);

    // The close box keeps the earlier choice, flag included, even after navigating.
    pick(Which::Saver, [&](QWidget* window) {
        doubleClick(list(window), sub("Alpha"));
        window->close();
    });
    EXPECT_TRUE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, sub("beta"));

    // Cancel clears the flag only.
    pick(Which::Saver, [&](QWidget* window) {
        doubleClick(list(window), sub("Alpha"));
        press(window, "Command2");
    });
    EXPECT_FALSE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, sub("beta"));

    // After a Cancel the close box leaves the flag false.
    pick(Which::Saver, [](QWidget* window) { window->close(); });
    EXPECT_FALSE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, sub("beta"));
}

TEST_F(FolderPicker, EachPickerWritesOnlyItsOwnPair) {
    pick(Which::Saver, [&](QWidget* window) {
        doubleClick(list(window), sub("Alpha"));
        press(window, "OK");
    });
    EXPECT_EQ(Module1::SaverPath, sub("Alpha"));
    EXPECT_FALSE(Module1::Saver2Chosen);
    EXPECT_TRUE(Module1::Saver2Path.isEmpty());

    pick(Which::Saver2, [&](QWidget* window) {
        doubleClick(list(window), sub("beta"));
        press(window, "OK");
    });
    EXPECT_TRUE(Module1::Saver2Chosen);
    EXPECT_EQ(Module1::Saver2Path, sub("beta"));
    EXPECT_TRUE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, sub("Alpha"));

    pick(Which::Saver2, [](QWidget* window) { press(window, "Command2"); });
    EXPECT_FALSE(Module1::Saver2Chosen);
    EXPECT_TRUE(Module1::SaverChosen) << "a Cancel in frmSaver2 leaves frmSaver's flag";

    pick(Which::Saver, [](QWidget* window) { press(window, "Command2"); });
    EXPECT_FALSE(Module1::SaverChosen);
    EXPECT_EQ(Module1::Saver2Path, sub("beta"));
}

TEST_F(FolderPicker, EnterAndEscPressNothing) {
    pick(Which::Saver, [&](QWidget* window) {
        auto* ok = child<QPushButton>(window, "OK");
        auto* dir = list(window);
        QTest::keyClick(ok, Qt::Key_Return);
        QTest::keyClick(ok, Qt::Key_Enter);
        QTest::keyClick(ok, Qt::Key_Escape);
        QTest::keyClick(child<QPushButton>(window, "Command2"), Qt::Key_Escape);
        QTest::keyClick(child<QPushButton>(window, "Command2"), Qt::Key_Return);
        dir->setCurrentItem(entryFor(dir, sub("beta")));
        QTest::keyClick(dir, Qt::Key_Return);
        QTest::keyClick(dir, Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::qWait(0);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(dir->path(), start()) << "Enter in the list opens nothing";
        EXPECT_FALSE(Module1::SaverChosen);
        EXPECT_TRUE(Module1::SaverPath.isEmpty());
        QTest::keyClick(ok, Qt::Key_Space);
    });
    EXPECT_TRUE(Module1::SaverChosen) << "Space presses the focused button";
    EXPECT_EQ(Module1::SaverPath, start());
}

TEST_F(FolderPicker, JoinFolderPickerOpensAtItsFixedPlace) {
    pick(Which::Saver2, [](QWidget* window) {
        EXPECT_EQ(window->geometry(), QRect(222, 386, 410, 182));
        press(window, "Command2");
    });
}

TEST_F(FolderPicker, FoldersThatVanishAreHandledQuietly) {
    pick(Which::Saver, [&](QWidget* window) {
        auto* dir = list(window);
        fs::remove(start_ / "beta");
        doubleClick(dir, sub("beta"));
        EXPECT_EQ(dir->path(), start()) << "a vanished folder is not opened";
        EXPECT_FALSE(texts(dir).contains("beta")) << "the list is read again";

        doubleClick(dir, sub("gamma"));
        fs::remove_all(start_ / "gamma");
        doubleClick(dir, sub("gamma"));
        EXPECT_EQ(dir->path(), sub("gamma"));
        EXPECT_EQ(texts(dir).last(), "gamma") << "nothing is listed below a missing folder";
        press(window, "OK");
    });
    EXPECT_EQ(Module1::SaverPath, sub("gamma"));

    // A working directory that no longer exists starts the list at the root.
    fs::create_directory(start_ / "gone");
    QDir::setCurrent(sub("gone"));
    fs::remove(start_ / "gone");
    pick(Which::Saver, [](QWidget* window) {
        auto* dir = list(window);
        EXPECT_FALSE(dir->path().isEmpty());
        EXPECT_EQ(texts(dir).first(), "/");
        press(window, "OK");
    });
    EXPECT_FALSE(Module1::SaverPath.isEmpty());
}

} // namespace
} // namespace kalvex::test
