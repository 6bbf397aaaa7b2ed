#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QDropEvent;
class QMimeData;
class QWidget;

namespace kalvex {

// Takes one local file or folder dragged onto a page or a box and hands its path to the
// same handler as the page's Browse button. Anything else is refused (the drag events are
// ignored, so the system shows its forbidden cursor), and so is every drag while a modal
// window, such as a running job's, is open.
class PathDrop : public QObject {
    Q_OBJECT

public:
    enum class Kind {
        File,     // any file, not a folder
        Manifest, // a file whose name ends in .splitMain, in any case
        Folder,
    };
    // How a watched box treats drags that carry no link at all (plain text).
    enum class Text { Refuse, LeaveToTheBox };

    PathDrop(Kind kind, std::function<void(const QString&)> take, QObject* parent);

    // Makes target take drops of this kind.
    void watch(QWidget* target, Text text = Text::Refuse);

    // The local path that a drop of data would choose; empty when it would be refused.
    QString pathIn(const QMimeData* data) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the drag would be taken as it stands.
    bool accepts(const QDropEvent* drop) const;

    Kind kind_;
    std::function<void(const QString&)> take_;
    QSet<QObject*> textBoxes_; // boxes that keep their own text drops
};

} // namespace kalvex
