#pragma once

#include "app/FrmKalvex.h"
#include "support/GuiTest.h"

#include <QString>
#include <QStringList>

#include <string>

namespace kalvex::test {

// Starts the program's main window as the program does (fresh program-wide values, the
// Load handler, shown) and works its controls the way a user would.
class MainWindowDriver {
public:
    MainWindowDriver();
    ~MainWindowDriver();
    MainWindowDriver(const MainWindowDriver&) = delete;
    MainWindowDriver& operator=(const MainWindowDriver&) = delete;

    FrmKalvex& window() { return window_; }

    template <class T> T* get(const char* name) { return child<T>(&window_, QLatin1String(name)); }

    QString text(const char* name);
    QString count() { return text("lblHowMany"); }
    bool enabled(const char* name);

    // Brings page 0 ("Split") or 1 ("Re-Join") to the front, as a click on its tab does.
    void showPage(int index);
    // A left click on a button or option, at its centre.
    void click(const char* name);
    // Focuses a text box (or the unit box) and types the text key by key.
    void type(const char* name, const QString& text);
    // Focuses the box and presses one key.
    void key(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Picks an item of the unit box's list with the mouse's equivalent (activated).
    void pickUnit(const QString& unit);

    // Command1, with the file-open dialog answering path (or cancelled when empty).
    void browseSource(const std::string& path);

    enum class PickerEnd { Ok, Cancel, CloseBox };
    // Command2: the picker opens at startFolder, the entries named in subfolders are
    // double-clicked one after the other, and the picker is ended as asked.
    void browseDestination(const QString& startFolder, const QStringList& subfolders,
                           PickerEnd end);

    // cmdBrowse1, with the file-open dialog answering path (or cancelled when empty).
    void browseManifest(const QString& path);
    // cmdBrowse2 with frmSaver2, worked as browseDestination works frmSaver.
    void browseJoinFolder(const QString& startFolder, const QStringList& subfolders, PickerEnd end);

private:
    void pickFolder(const char* button, const QString& picker, const QString& startFolder,
                    const QStringList& subfolders, PickerEnd end);

    // Every driven program starts with the program-wide values of a fresh start.
    struct FreshStart {
        FreshStart();
    } fresh_;
    FrmKalvex window_;
};

} // namespace kalvex::test
