#include "dialogs/DirectoryList.h"

#include "dialogs/LocalPath.h"
#include "files/FileSystem.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <filesystem>

namespace kalvex {

namespace {

constexpr int IndentPerLevel = 12;

// Draws each entry shifted right by its level, so the tree shape shows in a flat list.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted = option;
        shifted.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(DirectoryList::LevelRole).toInt() * IndentPerLevel;
    }
};

// The root of an absolute folder path: "/", or on Windows the drive's root ("C:/").
QString rootOf(const QString& path) {
    const bool drive = path.size() >= 3 && path[0].isLetter() && path[1] == QLatin1Char(':') &&
                       path[2] == QLatin1Char('/');
    return drive ? path.left(3) : QStringLiteral("/");
}

QString normalised(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    return clean.isEmpty() ? QStringLiteral("/") : clean;
}

// The names of the folders in folder, sorted without regard to case; hidden ones left out.
// Unreadable or vanished folders have none.
QStringList subfoldersOf(const QString& folder) {
#ifdef Q_OS_WIN
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
#else
    // Read as bytes: QDir would lose the bytes of names that are not UTF-8.
    namespace fs = std::filesystem;
    QStringList names;
    std::error_code error;
    for (fs::directory_iterator entry(LocalPath::toBytes(folder), error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().native();
        std::error_code ignored;
        if (name.front() != '.' && entry->is_directory(ignored))
            names << LocalPath::fromBytes(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
#endif
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A folder that cannot be found any more (the working directory deleted) starts the
    // list at the root rather than nowhere.
    const QString start = LocalPath::currentFolder();
    path_ = start.isEmpty() ? QStringLiteral("/") : normalised(start);
    redraw();
}

void DirectoryList::setPath(const QString& path) {
    const QString target = normalised(path);
    if (files::FileSystem::current().isDirectory(LocalPath::toBytes(target)))
        path_ = target;
    redraw();
}

void DirectoryList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QListWidget::mouseDoubleClickEvent(event);
    if (auto* entry = itemAt(event->position().toPoint()))
        setPath(entry->data(PathRole).toString());
    event->accept();
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    // Taken here, so that Enter never reaches the window around the list.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (auto* entry = currentItem())
            setPath(entry->data(PathRole).toString());
        event->accept();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void DirectoryList::redraw() {
    clear();
    // The chain starts at the root of the current folder's own drive; there is no other.
    const QString root = rootOf(path_);
    const QStringList names = path_.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    addEntry(QDir::toNativeSeparators(root), root, 0, true);
    QString chain = root;
    for (int level = 0; level < names.size(); ++level) {
        chain +=
            (chain.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + names[level];
        addEntry(names[level], chain, level + 1, true);
    }
    QListWidgetItem* current = item(count() - 1);

    const QString prefix = path_.endsWith(QLatin1Char('/')) ? path_ : path_ + QLatin1Char('/');
    for (const QString& name : subfoldersOf(path_))
        addEntry(name, prefix + name, names.size() + 1, false);

    setCurrentItem(current);
}

void DirectoryList::addEntry(const QString& name, const QString& path, int level, bool open) {
    auto* entry = new QListWidgetItem(
        style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon), name,
        this);
    entry->setData(PathRole, path);
    entry->setData(LevelRole, level);
}

} // namespace kalvex
