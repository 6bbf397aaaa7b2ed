#pragma once

#include <QListWidget>
#include <QString>

namespace kalvex {

// A list of one folder tree: the chain of folders from the root down to the current
// folder, then the current folder's subfolders. Double-clicking an entry, or Enter or Space
// on the highlighted one, opens it; a single click or the arrow keys only highlight. Hidden folders
// (names starting with a dot) are not offered, though a hidden folder on the chain is still shown.
class DirectoryList : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath)

public:
    // Each entry carries the full path of its folder and its indentation level.
    enum Role { PathRole = Qt::UserRole, LevelRole };

    explicit DirectoryList(QWidget* parent = nullptr);

    // The current folder: no trailing separator, except the root "/".
    QString path() const { return path_; }
    // Opens the folder (an absolute path) and redraws the list for it; a path that is not
    // a folder (any more) leaves the current folder in place and only redraws.
    void setPath(const QString& path);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void redraw();
    void addEntry(const QString& name, const QString& path, int level, bool open);

    QString path_;
};

} // namespace kalvex
