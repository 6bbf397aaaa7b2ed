// The Re-Join page worked from the main window: the two Browse buttons, the check before a
// join, and joins of files split from the same window.
#include "app/MainWindowDriver.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kalvex::test {
namespace {

namespace fs = std::filesystem;
using End = MainWindowDriver::PickerEnd;
using Icon = MessageBox::Icon;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

void setText(MainWindowDriver& app, const char* box, const QString& text) {
    app.get<QLineEdit>(box)->setText(text);
}

TEST(JoinTab, AnEmptyFieldIsRefusedBeforeAnythingIsHandedOver) {
    struct Case {
        const char* manifest;
        const char* folder;
    };
    for (const Case& c : {Case{"", ""}, Case{"/in/a.splitMain", ""}, Case{"", "/out/"}}) {
        SCOPED_TRACE(testing::Message() << '"' << c.manifest << "\", \"" << c.folder << '"');
        MessageBox::Recorder messages;
        MainWindowDriver app;
        app.showPage(1);
        Module1::MainFilePath = "earlier manifest";
        Module1::JoinFolder = "earlier folder";
        app.type("txtLocation", c.manifest);
        app.type("txtFolder2", c.folder);
        app.click("Command4");

        // The warning alone: the joining window would have added a message of its own.
        ASSERT_EQ(messages.shown().size(), 1U);
        EXPECT_EQ(messages.shown()[0].icon, Icon::Exclamation);
        EXPECT_EQ(messages.shown()[0].title, "All feilds must be filled out.");
        EXPECT_EQ(messages.shown()[0].text, "Please make shure that all feilds are filled out.");
        EXPECT_EQ(Module1::MainFilePath, "earlier manifest");
        EXPECT_EQ(Module1::JoinFolder, "earlier folder");
        EXPECT_EQ(app.text("txtLocation"), c.manifest);
        EXPECT_EQ(app.text("txtFolder2"), c.folder);
    }

    // Blanks fill a field: the join runs, and fails on a manifest that is not there.
    TempDir dir;
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.showPage(1);
    app.type("txtLocation", " ");
    app.type("txtFolder2", q(dir.folder()) + " ");
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Join failed");
    EXPECT_EQ(Module1::MainFilePath, " ");
    EXPECT_EQ(Module1::JoinFolder, q(dir.folder()) + " ");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// Runs action on the real file-open dialog as soon as it shows, turned to folder.
void whenFileDialog(const fs::path& folder, std::function<void(QFileDialog*, QListView*)> action) {
    QTimer::singleShot(0, [folder, action = std::move(action)] {
        QFileDialog* dialog = nullptr;
        if (!QTest::qWaitFor([&] {
                return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
            })) {
            ADD_FAILURE() << "no file-open dialog appeared";
            return;
        }
        dialog->setDirectory(q(folder.string()));
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        if (!view) {
            ADD_FAILURE() << "the file-open dialog has no file list";
            dialog->reject();
            return;
        }
        action(dialog, view);
    });
}

// The files the dialog's list offers for choosing, in order of name.
QString offeredFiles(QListView* view) {
    QStringList names;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        const QString name = index.data().toString();
        if ((model->flags(index) & Qt::ItemIsEnabled) && name != QLatin1String("folder"))
            names << name;
    }
    names.sort();
    return names.join(", ");
}

TEST(JoinTab, ManifestDialogOffersManifestsWhateverTheirCaseAndACancelKeepsTheBox) {
    TempDir dir;
    for (const char* name : {"holiday.splitMain", "lower.splitmain", "UPPER.SPLITMAIN",
                             "holiday.split1", "notes.txt", "splitmain"})
        writeFile(dir.file(name), "x");
    fs::create_directory(dir.path() / "folder");
    const QString manifests = "UPPER.SPLITMAIN, holiday.splitMain, lower.splitmain";

    const QString workingFolder = QDir::currentPath();
    MainWindowDriver app;
    app.showPage(1);
    app.type("txtLocation", "kept");
    QString offered;
    whenFileDialog(dir.path(), [&](QFileDialog* dialog, QListView* view) {
        (void)QTest::qWaitFor([&] { return offeredFiles(view) == manifests; });
        offered = offeredFiles(view);
        dialog->reject();
    });
    app.click("cmdBrowse1");
    EXPECT_EQ(offered.toStdString(), manifests.toStdString());
    EXPECT_EQ(app.text("txtLocation"), "kept");

    whenFileDialog(dir.path(), [&](QFileDialog* dialog, QListView*) {
        dialog->selectFile(q(dir.file("holiday.splitMain")));
        static_cast<QDialog*>(dialog)->accept();
    });
    app.click("cmdBrowse1");
    EXPECT_EQ(app.text("txtLocation"), q(dir.file("holiday.splitMain")));
    EXPECT_EQ(QDir::currentPath(), workingFolder);
    // Choosing a manifest hands nothing over yet.
    EXPECT_EQ(Module1::MainFilePath, "");

    // A cancel keeps a chosen path as it keeps a typed one.
    whenFileDialog(dir.path(), [](QFileDialog* dialog, QListView*) { dialog->reject(); });
    app.click("cmdBrowse1");
    EXPECT_EQ(app.text("txtLocation"), q(dir.file("holiday.splitMain")));
}

TEST(JoinTab, FolderPickerOkCancelAndCloseBox) {
    TempDir dir;
    fs::create_directories(dir.path() / "out" / "inner");
    const QString start = q(dir.path().string());
    MainWindowDriver app;
    app.showPage(1);

    // At the first use the close box changes nothing.
    app.browseJoinFolder(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtFolder2"), "");
    EXPECT_FALSE(Module1::Saver2Chosen);

    app.browseJoinFolder(start, {"out", "inner"}, End::Ok);
    EXPECT_EQ(app.text("txtFolder2"), start + "/out/inner/");
    EXPECT_EQ(Module1::Saver2Path, start + "/out/inner");

    // Cancel keeps the box, even a folder typed without its separator.
    setText(app, "txtFolder2", "");
    app.type("txtFolder2", "typed by hand");
    app.browseJoinFolder(start, {"out"}, End::Cancel);
    EXPECT_EQ(app.text("txtFolder2"), "typed by hand");
    EXPECT_FALSE(Module1::Saver2Chosen);

    // The close box after a Cancel: nothing; after an OK: the earlier folder again.
    app.browseJoinFolder(start, {"out"}, End::CloseBox);
    EXPECT_EQ(app.text("txtFolder2"), "typed by hand");
    app.browseJoinFolder(start, {"out"}, End::Ok);
    setText(app, "txtFolder2", "typed again");
    app.browseJoinFolder(start, {}, End::CloseBox);
    EXPECT_EQ(app.text("txtFolder2"), start + "/out/");

    // A root already ends in its separator.
    app.browseJoinFolder("/", {}, End::Ok);
    EXPECT_EQ(app.text("txtFolder2"), "/");

    // The Split page's picker and fields are not touched, nor is anything handed over.
    EXPECT_FALSE(Module1::SaverChosen);
    EXPECT_EQ(Module1::SaverPath, "");
    EXPECT_EQ(app.text("txtPath2"), "");
    EXPECT_EQ(Module1::JoinFolder, "");
}

TEST(JoinTab, SplitThenJoinFromTheMainWindowGivesTheFileBack) {
    TempDir dir;
    fs::create_directories(dir.path() / "pieces");
    fs::create_directories(dir.path() / "joined");
    const std::string source = dir.file("holiday.mov");
    writePattern(source, 5 * 1024 + 300);
    const std::string whole = readFile(source);
    const QString start = q(dir.path().string());
    MessageBox::Recorder messages;
    MainWindowDriver app;

    // Split into pieces of 1 Kb.
    app.browseSource(source);
    app.browseDestination(start, {"pieces"}, End::Ok);
    app.click("optOther");
    app.type("txtSize", "1");
    EXPECT_EQ(app.count(), "6");
    app.click("Command3");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    const std::string manifest = dir.file("pieces/holiday.splitMain");
    ASSERT_TRUE(fs::exists(manifest));

    // Join into a folder picked in the join-folder picker.
    messages.clear();
    app.showPage(1);
    app.browseManifest(q(manifest));
    app.browseJoinFolder(start, {"joined"}, End::Ok);
    EXPECT_EQ(app.text("txtFolder2"), start + "/joined/");
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].icon, Icon::Information);
    EXPECT_EQ(messages.shown()[0].text, "The Joining process was sucessful!");
    EXPECT_EQ(Module1::MainFilePath, q(manifest));
    EXPECT_EQ(Module1::JoinFolder, start + "/joined/");
    EXPECT_FALSE(findWindow("FrmJoining"));
    EXPECT_TRUE(readFile(dir.file("joined/holiday.mov")) == whole);

    // The fields stay; a second press joins again into the same file.
    EXPECT_EQ(app.text("txtLocation"), q(manifest));
    EXPECT_EQ(app.text("txtFolder2"), start + "/joined/");
    writeFile(dir.file("joined/holiday.mov"), "stale");
    messages.clear();
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    EXPECT_TRUE(readFile(dir.file("joined/holiday.mov")) == whole);

    // A folder typed without its separator is handed over exactly as typed.
    fs::create_directories(dir.path() / "typed");
    setText(app, "txtFolder2", "");
    app.type("txtFolder2", start + "/typed");
    messages.clear();
    app.click("Command4");
    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].title, "Complete");
    EXPECT_EQ(Module1::JoinFolder, start + "/typed");
    EXPECT_EQ(app.text("txtFolder2"), start + "/typed");
    EXPECT_TRUE(readFile(dir.file("typed/holiday.mov")) == whole);
    EXPECT_EQ(readFile(source), whole);
}

} // namespace
} // namespace kalvex::test
