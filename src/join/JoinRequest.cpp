#include "join/JoinRequest.h"

#include "dialogs/FileDialog.h"
#include "dialogs/FolderPicker.h"
#include "dialogs/LocalPath.h"
#include "dialogs/MessageBox.h"
#include "files/FileSystem.h"
#include "join/JoinProgressWindow.h"

#include <QLineEdit>
#include <QPushButton>

namespace kalvex {

JoinRequest::JoinRequest(const Controls& controls, QWidget* window)
    : QObject(window), c_(controls), window_(window) {
    connect(c_.manifestBrowseButton, &QPushButton::clicked, this, &JoinRequest::chooseManifest);
    connect(c_.folderBrowseButton, &QPushButton::clicked, this, &JoinRequest::chooseFolder);
    connect(c_.joinButton, &QPushButton::clicked, this, &JoinRequest::join);
}

void JoinRequest::chooseManifest() {
    // A cancelled dialog ends the choice quietly; the box keeps whatever it held.
    const auto chosen = FileDialog::getOpenFile(
        window_, QStringLiteral("SplitMain Files (*.splitmain)| *.splitmain"));
    if (chosen)
        chooseManifestFile(chosen->path);
}

void JoinRequest::chooseManifestFile(const QString& path) {
    c_.manifestPathEdit->setText(path);
}

void JoinRequest::chooseFolder() {
    // A picker closed by its frame after an earlier OK hands that folder over again.
    folder_ = FolderPicker::pick(FolderPicker::Purpose::JoinDestination).after(folder_);
    if (folder_)
        chooseTargetFolder(*folder_);
}

void JoinRequest::chooseTargetFolder(const QString& folder) {
    c_.joinFolderEdit->setText(folder);
    // A root folder already ends in the separator and gets no second one.
    const QString shown = c_.joinFolderEdit->text();
    const QChar separator = QLatin1Char(files::FileSystem::separator());
    if (!shown.endsWith(separator))
        c_.joinFolderEdit->setText(shown + separator);
}

void JoinRequest::join() {
    // Only an empty field counts as empty: blanks may be a real name.
    const bool manifestMissing = c_.manifestPathEdit->text().isEmpty();
    const bool folderMissing = c_.joinFolderEdit->text().isEmpty();
    if (manifestMissing || folderMissing) {
        MessageBox::show(
            MessageBox::Icon::Exclamation, QStringLiteral("All feilds must be filled out."),
            QStringLiteral("Please make shure that all feilds are filled out."), window_);
        return;
    }
    JoinProgressWindow::showJoin({LocalPath::toBytes(c_.manifestPathEdit->text()),
                                  LocalPath::toBytes(c_.joinFolderEdit->text())});
}

} // namespace kalvex
