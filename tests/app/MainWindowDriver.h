#pragma once

#include "app/MainWindow.h"
#include "dialogs/FileDialog.h"
#include "dialogs/MessageBox.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabWidget>

namespace kalvex::test {

inline QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Starts the program's main window as the program does (the Load handler, shown) and works
// its controls the way a user would.
class MainWindowDriver {
public:
    MainWindowDriver() {
        window_.load();
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    ~MainWindowDriver() { window_.close(); }

    MainWindow& window() { return window_; }
    template <class T = QWidget> T* get(const char* name) {
        return child<T>(&window_, QLatin1String(name));
    }
    QString text(const char* name) {
        auto* widget = get<QWidget>(name);
        return widget->property(qobject_cast<QComboBox*>(widget) ? "currentText" : "text")
            .toString();
    }
    QString count() { return text("lblHowMany"); }

    // Brings page 0 ("Split") or 1 ("Re-Join") to the front, as a click on its tab does.
    void showPage(int index) {
        QTabBar* tabs = get<QTabWidget>("h")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    // A left click on a button or option, at its centre.
    void click(const char* name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    // Focuses a text box (or the unit box) and types the text key by key, or one key.
    void type(const char* name, const QString& text) { QTest::keyClicks(focus(name), text); }
    void key(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focus(name), key, modifiers);
    }
    // Picks an item of the unit box's list as a pick from the open list does: the item
    // becomes current, then it is activated.
    void pickUnit(const QString& unit) {
        auto* combo = get<QComboBox>("CBOType");
        ASSERT_GE(combo->findText(unit), 0);
        combo->setCurrentIndex(combo->findText(unit));
        Q_EMIT combo->activated(combo->currentIndex());
    }
    // Command1 (the source) or cmdBrowse1 (the manifest), with the file-open dialog answering
    // path, or cancelled when it is empty.
    void browseFile(const char* button, const std::string& path) {
        FileDialog::Script script;
        path.empty() ? script.cancel() : script.answer(q(path));
        click(button);
        EXPECT_EQ(script.calls(), 1);
        EXPECT_EQ(script.lastFilter(), std::string_view(button) == "Command1"
                                           ? ""
                                           : "SplitMain Files (*.splitmain)| *.splitmain");
    }

    enum class PickerEnd { Ok, Cancel, CloseBox };
    // Command2 or cmdBrowse2: the folder picker opens at startFolder, the entries named in
    // subfolders are double-clicked one after the other, and the picker is ended as asked.
    void browseFolder(const char* button, const QString& startFolder, const QStringList& subfolders,
                      PickerEnd end) {
        const QString previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(startFolder));
        whenModal(std::string_view(button) == "Command2" ? "frmSaver" : "frmSaver2",
                  [&](QWidget* picker) {
                      QString folder = QDir::currentPath() == "/" ? "" : QDir::currentPath();
                      for (const QString& name : subfolders)
                          clickEntry(child<QListView>(picker, "Dir1"), folder += '/' + name, true);
                      if (end == PickerEnd::CloseBox)
                          picker->close();
                      else
                          QTest::mouseClick(
                              child<QWidget>(picker, end == PickerEnd::Ok ? "OK" : "Command2"),
                              Qt::LeftButton);
                  });
        click(button);
        QDir::setCurrent(previous);
    }

private:
    // Gives the control the focus; the widget that then takes the keys.
    QWidget* focus(const char* name) {
        get(name)->setFocus();
        return get(name)->focusProxy() ? get(name)->focusProxy() : get(name);
    }
    MainWindow window_;
};

// The one message shown, as "title|text" with "!" before it for an exclamation.
inline std::string onlyMessage(const MessageBox::Recorder& messages) {
    if (messages.shown().size() != 1)
        return std::to_string(messages.shown().size()) + " messages";
    const auto& shown = messages.shown()[0];
    const QString icon = shown.icon == MessageBox::Icon::Exclamation ? "!" : "";
    return (icon + shown.title + "|" + shown.text).toStdString();
}

// Drags data onto target as the system would; whether the drag was taken. A taken drop
// must be a copy or a link: a move would let the source delete the user's file.
inline bool drop(QWidget* target, const QMimeData& data,
                 Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &dropped);
    EXPECT_TRUE(move.isAccepted() && dropped.isAccepted());
    EXPECT_TRUE(!data.hasUrls() || dropped.dropAction() != Qt::MoveAction);
    return dropped.isAccepted();
}

// Whether the control shows its whole text in the room it has.
inline bool textFits(QWidget* control) {
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

// Every named control of window lies inside its parent, overlaps no shown sibling and
// shows its text whole; then the window's picture is saved into the build folder.
inline void expectReadableAndSave(QWidget* window, const QString& pictureName) {
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
