#include "app/PathDrop.h"

#include "dialogs/LocalPath.h"
#include "files/FileSystem.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kalvex {

PathDrop::PathDrop(Kind kind, std::function<void(const QString&)> take, QObject* parent)
    : QObject(parent), kind_(kind), take_(std::move(take)) {}

void PathDrop::watch(QWidget* target, Text text) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
    if (text == Text::LeaveToTheBox)
        textBoxes_.insert(target);
}

QString PathDrop::pathIn(const QMimeData* data) const {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl& url = data->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = LocalPath::fromUrl(url);
    auto& files = files::FileSystem::current();
    const std::string name = LocalPath::toBytes(path);
    if (!files.exists(name))
        return {};
    const bool folder = files.isDirectory(name);
    switch (kind_) {
    case Kind::Folder:
        return folder ? path : QString();
    case Kind::Manifest:
        if (!path.endsWith(QLatin1String(".splitMain"), Qt::CaseInsensitive))
            return {};
        [[fallthrough]];
    case Kind::File:
        return folder ? QString() : path;
    }
    return {};
}

bool PathDrop::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    // Plain text may go to a box that takes it; a link that is refused must not, or the
    // box would paste it as text.
    if (textBoxes_.contains(watched) && !drop->mimeData()->hasUrls() &&
        !QApplication::activeModalWidget())
        return false;
    // A refused drag goes on to the page around the box: the box's refusal stands.
    if (drop->dropAction() == Qt::IgnoreAction || !accepts(drop)) {
        drop->setDropAction(Qt::IgnoreAction);
        drop->ignore();
        return true;
    }
    // A move would let the drag's source delete the user's file once it is dropped.
    drop->setDropAction(drop->possibleActions() & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    drop->accept();
    if (type == QEvent::Drop)
        take_(pathIn(drop->mimeData()));
    return true;
}

bool PathDrop::accepts(const QDropEvent* drop) const {
    return !QApplication::activeModalWidget() &&
           drop->possibleActions() & (Qt::CopyAction | Qt::LinkAction) &&
           !pathIn(drop->mimeData()).isEmpty();
}

} // namespace kalvex
