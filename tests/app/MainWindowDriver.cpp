#include "app/MainWindowDriver.h"

#include "dialogs/FileDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QListView>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>

namespace kalvex::test {

MainWindowDriver::MainWindowDriver() {
    window_.load();
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
}

QString MainWindowDriver::text(const char* name) {
    auto* widget = get<QWidget>(name);
    return widget->property(qobject_cast<QComboBox*>(widget) ? "currentText" : "text").toString();
}

void MainWindowDriver::showPage(int index) {
    auto* tabs = get<QTabWidget>("h");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
}

void MainWindowDriver::pickUnit(const QString& unit) {
    auto* combo = get<QComboBox>("CBOType");
    const int index = combo->findText(unit);
    ASSERT_GE(index, 0);
    // What a pick from the open list does: the item becomes current, then it is activated.
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void MainWindowDriver::browseFile(const char* button, const std::string& path) {
    FileDialog::Script script;
    path.empty() ? script.cancel() : script.answer(q(path));
    click(button);
    EXPECT_EQ(script.calls(), 1);
    EXPECT_EQ(script.lastFilter(), std::string_view(button) == "Command1"
                                       ? ""
                                       : "SplitMain Files (*.splitmain)| *.splitmain");
}

void MainWindowDriver::browseFolder(const char* button, const QString& startFolder,
                                    const QStringList& subfolders, PickerEnd end) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(startFolder));
    whenModal(
        std::string_view(button) == "Command2" ? "frmSaver" : "frmSaver2", [&](QWidget* picker) {
            QString folder = QDir::currentPath() == "/" ? "" : QDir::currentPath();
            for (const QString& name : subfolders)
                clickEntry(child<QListView>(picker, "Dir1"), folder += '/' + name, true);
            if (end == PickerEnd::CloseBox)
                picker->close();
            else
                QTest::mouseClick(child<QWidget>(picker, end == PickerEnd::Ok ? "OK" : "Command2"),
                                  Qt::LeftButton);
        });
    click(button);
    QDir::setCurrent(previous);
}

// Whether the control shows its whole text in the room it has.
static bool textFits(QWidget* control) {
    const QFontMetrics metrics(control->font());
    const int line = metrics.height();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->wordWrap()
                   ? label->heightForWidth(label->width()) <= label->height()
                   : metrics.horizontalAdvance(label->text()) <= label->contentsRect().width() &&
                         line <= label->height();
    if (auto* option = qobject_cast<QRadioButton*>(control)) {
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect room = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style);
        return metrics.horizontalAdvance(option->text()) <= room.width();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->sizeHint().width() <= button->width() && line <= button->height();
    if (auto* box = qobject_cast<QGroupBox*>(control))
        return metrics.horizontalAdvance(box->title()) <= box->width();
    return true;
}

void expectReadableAndSave(QWidget* window, const QString& pictureName) {
    QList<QWidget*> controls;
    for (auto* widget : window->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_") &&
            !widget->isWindow() && !widget->isHidden())
            controls << widget;
    for (auto* control : controls) {
        const std::string name = control->objectName().toStdString();
        EXPECT_TRUE(textFits(control)) << name;
        const bool leaf = std::none_of(controls.begin(), controls.end(), [&](QWidget* other) {
            return other != control && control->isAncestorOf(other);
        });
        EXPECT_TRUE(!leaf || control->parentWidget()->rect().contains(control->geometry())) << name;
        // Neighbours may share the pixels of an edge.
        const QRect area = control->geometry().adjusted(0, 0, -1, -1);
        for (auto* other : controls)
            EXPECT_TRUE(other == control || other->parentWidget() != control->parentWidget() ||
                        !area.intersects(other->geometry().adjusted(0, 0, -1, -1)))
                << name << " overlaps " << other->objectName().toStdString();
    }
    EXPECT_TRUE(window->grab().save(KALVEX_SCREENSHOT_DIR "/" + pictureName + ".png"));
}

} // namespace kalvex::test
