#pragma once

#include "app/MainWindow.h"
#include "dialogs/MessageBox.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kalvex::test {

inline QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Starts the program's main window as the program does (the Load handler, shown) and works
// its controls the way a user would.
class MainWindowDriver {
public:
    MainWindowDriver();
    ~MainWindowDriver() { window_.close(); }

    MainWindow& window() { return window_; }
    template <class T = QWidget> T* get(const char* name) {
        return child<T>(&window_, QLatin1String(name));
    }
    QString text(const char* name);
    QString count() { return text("lblHowMany"); }

    // Brings page 0 ("Split") or 1 ("Re-Join") to the front, as a click on its tab does.
    void showPage(int index);
    // A left click on a button or option, at its centre.
    void click(const char* name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    // Focuses a text box (or the unit box) and types the text key by key, or one key.
    void type(const char* name, const QString& text) { QTest::keyClicks(focus(name), text); }
    void key(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focus(name), key, modifiers);
    }
    // Picks an item of the unit box's list with the mouse's equivalent (activated).
    void pickUnit(const QString& unit);
    // Command1 (the source) or cmdBrowse1 (the manifest), with the file-open dialog answering
    // path, or cancelled when it is empty.
    void browseFile(const char* button, const std::string& path);

    enum class PickerEnd { Ok, Cancel, CloseBox };
    // Command2 or cmdBrowse2: the folder picker opens at startFolder, the entries named in
    // subfolders are double-clicked one after the other, and the picker is ended as asked.
    void browseFolder(const char* button, const QString& startFolder, const QStringList& subfolders,
                      PickerEnd end);

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

// Every named control of window lies inside its parent, overlaps no shown sibling and
// shows its text whole; then the window's picture is saved into the build folder.
void expectReadableAndSave(QWidget* window, const QString& pictureName);

} // namespace kalvex::test
