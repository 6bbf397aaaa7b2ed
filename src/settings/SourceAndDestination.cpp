#include "settings/SourceAndDestination.h"

#include "app/Module1.h"
#include "dialogs/FileDialog.h"
#include "dialogs/frmSaver.h"
#include "files/FileSystem.h"
#include "settings/PieceName.h"
#include "settings/SizeAndCount.h"

#include <QLineEdit>
#include <QPushButton>

#include <exception>

namespace kalvex {

SourceAndDestination::SourceAndDestination(const Controls& controls, SizeAndCount& sizes,
                                           QWidget* window)
    : QObject(window), c_(controls), sizes_(sizes), window_(window) {
    connect(c_.Command1, &QPushButton::clicked, this, &SourceAndDestination::chooseSource);
    connect(c_.Command2, &QPushButton::clicked, this, &SourceAndDestination::chooseDestination);
}

void SourceAndDestination::chooseSource() {
    const auto chosen = FileDialog::getOpenFile(window_);
    if (!chosen)
        return;
    // A file that cannot be measured ends the choice quietly: the path shows, but the
    // name, title, length and count stay those of the last file measured.
    try {
        takeSource(chosen->path, chosen->title);
    } catch (const std::exception&) {
    }
}

void SourceAndDestination::takeSource(const QString& path, const QString& title) {
    c_.txtPath1->setText(path);
    c_.txtName->setText(QString::fromStdString(PieceName::fromTitle(title.toStdString())));
    Module1::SourceTitle = title;
    if (!c_.txtPath1->text().isEmpty())
        sizes_.setSourceLength(files::FileSystem::current().fileLength(path.toStdString()));
    sizes_.refreshCount();
}

void SourceAndDestination::chooseDestination() {
    frmSaver::showPicker(frmSaver::Which::Saver);
    // A picker closed by its frame leaves the flag of its last use, so an earlier OK
    // applies its folder again.
    if (!Module1::SaverChosen)
        return;
    const QChar separator = QLatin1Char(files::FileSystem::separator());
    QString folder = Module1::SaverPath;
    if (!folder.endsWith(separator))
        folder += separator;
    c_.txtPath2->setText(folder);
}

} // namespace kalvex
