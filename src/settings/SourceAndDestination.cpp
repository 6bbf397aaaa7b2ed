#include "settings/SourceAndDestination.h"

#include "dialogs/FileDialog.h"
#include "dialogs/FolderPicker.h"
#include "dialogs/LocalPath.h"
#include "files/FileSystem.h"
#include "settings/PieceName.h"
#include "settings/SizeAndCount.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <exception>

namespace kalvex {

SourceAndDestination::SourceAndDestination(const Controls& controls, SizeAndCount& sizes,
                                           QWidget* window)
    : QObject(window), c_(controls), sizes_(sizes), window_(window) {
    connect(c_.sourceBrowseButton, &QPushButton::clicked, this,
            &SourceAndDestination::chooseSource);
    connect(c_.destinationBrowseButton, &QPushButton::clicked, this,
            &SourceAndDestination::chooseDestination);
}

void SourceAndDestination::chooseSource() {
    if (const auto chosen = FileDialog::getOpenFile(window_))
        chooseSourceFile(chosen->path);
}

void SourceAndDestination::chooseSourceFile(const QString& path) {
    // A file that cannot be measured ends the choice quietly: the path shows, but the
    // name, title, length and count stay those of the last file measured.
    try {
        takeSource(path, QFileInfo(path).fileName());
    } catch (const std::exception&) {
    }
}

void SourceAndDestination::takeSource(const QString& path, const QString& title) {
    c_.sourcePathEdit->setText(path);
    c_.pieceNameEdit->setText(
        LocalPath::fromBytes(PieceName::fromTitle(LocalPath::toBytes(title))));
    sourceTitle_ = title;
    if (!c_.sourcePathEdit->text().isEmpty())
        sizes_.setSourceLength(files::FileSystem::current().fileLength(LocalPath::toBytes(path)));
    sizes_.refreshCount();
}

void SourceAndDestination::chooseDestination() {
    // A picker closed by its frame leaves the choice of its last use, so an earlier OK
    // applies its folder again.
    destination_ = FolderPicker::pick(FolderPicker::Purpose::PieceDestination).after(destination_);
    if (destination_)
        chooseDestinationFolder(*destination_);
}

void SourceAndDestination::chooseDestinationFolder(const QString& chosen) {
    const QChar separator = QLatin1Char(files::FileSystem::separator());
    QString folder = chosen;
    if (!folder.endsWith(separator))
        folder += separator;
    c_.destinationEdit->setText(folder);
}

} // namespace kalvex
