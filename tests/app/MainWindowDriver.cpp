#include "app/MainWindowDriver.h"

#include "app/Module1.h"
#include "dialogs/FileDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {

namespace {

// The entry of the folder list whose folder is path.
QListWidgetItem* entryFor(QListWidget* list, const QString& path) {
    for (int row = 0; row < list->count(); ++row) {
        auto* item = list->item(row);
        if (item->data(Qt::UserRole).toString() == path)
            return item;
    }
    return nullptr;
}

QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

MainWindowDriver::FreshStart::FreshStart() {
    Module1::reset();
}

MainWindowDriver::MainWindowDriver() {
    window_.load();
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
}

MainWindowDriver::~MainWindowDriver() {
    window_.close();
}

QString MainWindowDriver::text(const char* name) {
    auto* widget = get<QWidget>(name);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    ADD_FAILURE() << name << " has no text";
    return {};
}

bool MainWindowDriver::enabled(const char* name) {
    return get<QWidget>(name)->isEnabled();
}

void MainWindowDriver::showPage(int index) {
    auto* tabs = get<QTabWidget>("h");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
    EXPECT_EQ(tabs->currentIndex(), index);
}

void MainWindowDriver::click(const char* name) {
    auto* button = get<QAbstractButton>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void MainWindowDriver::type(const char* name, const QString& text) {
    auto* widget = get<QWidget>(name);
    widget->setFocus();
    auto* target = widget->focusProxy() ? widget->focusProxy() : widget;
    QTest::keyClicks(target, text);
}

void MainWindowDriver::key(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    auto* widget = get<QWidget>(name);
    widget->setFocus();
    auto* target = widget->focusProxy() ? widget->focusProxy() : widget;
    QTest::keyClick(target, key, modifiers);
}

void MainWindowDriver::pickUnit(const QString& unit) {
    auto* combo = get<QComboBox>("CBOType");
    const int index = combo->findText(unit);
    ASSERT_GE(index, 0);
    // What a pick from the open list does: the item becomes current, then it is activated.
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void MainWindowDriver::browseSource(const std::string& path) {
    FileDialog::Script script;
    if (path.empty())
        script.cancel();
    else
        script.answer(QString::fromStdString(path));
    click("Command1");
    EXPECT_EQ(script.calls(), 1);
    EXPECT_TRUE(script.lastFilter().isEmpty());
}

void MainWindowDriver::browseDestination(const QString& startFolder, const QStringList& subfolders,
                                         PickerEnd end) {
    pickFolder("Command2", QStringLiteral("frmSaver"), startFolder, subfolders, end);
}

void MainWindowDriver::browseManifest(const QString& path) {
    FileDialog::Script script;
    if (path.isEmpty())
        script.cancel();
    else
        script.answer(path);
    click("cmdBrowse1");
    EXPECT_EQ(script.calls(), 1);
    EXPECT_EQ(script.lastFilter(), QLatin1String("SplitMain Files (*.splitmain)| *.splitmain"));
}

void MainWindowDriver::browseJoinFolder(const QString& startFolder, const QStringList& subfolders,
                                        PickerEnd end) {
    pickFolder("cmdBrowse2", QStringLiteral("frmSaver2"), startFolder, subfolders, end);
}

void MainWindowDriver::pickFolder(const char* button, const QString& pickerName,
                                  const QString& startFolder, const QStringList& subfolders,
                                  PickerEnd end) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(startFolder));
    bool reached = false;
    whenModal(pickerName, [&](QWidget* picker) {
        auto* list = child<QListWidget>(picker, QStringLiteral("Dir1"));
        QString folder = QDir::currentPath();
        for (const QString& name : subfolders) {
            folder = joined(folder, name);
            auto* entry = list ? entryFor(list, folder) : nullptr;
            if (!entry) {
                ADD_FAILURE() << "no entry for " << folder.toStdString();
                break;
            }
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                               list->visualItemRect(entry).center());
        }
        reached = true;
        if (end == PickerEnd::CloseBox)
            picker->close();
        else
            QTest::mouseClick(child<QAbstractButton>(picker, end == PickerEnd::Ok
                                                                 ? QStringLiteral("OK")
                                                                 : QStringLiteral("Command2")),
                              Qt::LeftButton);
    });
    click(button);
    QDir::setCurrent(previous);
    EXPECT_TRUE(reached);
}

} // namespace kalvex::test
