#include "join/JoinRequest.h"

#include "app/Module1.h"
#include "dialogs/FileDialog.h"
#include "dialogs/MessageBox.h"
#include "dialogs/frmSaver.h"
#include "files/FileSystem.h"
#include "join/FrmJoining.h"

#include <QLineEdit>
#include <QPushButton>

namespace kalvex {

JoinRequest::JoinRequest(const Controls& controls, QWidget* window)
    : QObject(window), c_(controls), window_(window) {
    connect(c_.cmdBrowse1, &QPushButton::clicked, this, &JoinRequest::chooseManifest);
    connect(c_.cmdBrowse2, &QPushButton::clicked, this, &JoinRequest::chooseFolder);
    connect(c_.Command4, &QPushButton::clicked, this, &JoinRequest::join);
}

void JoinRequest::chooseManifest() {
    // A cancelled dialog ends the choice quietly; the box keeps whatever it held.
    const auto chosen = FileDialog::getOpenFile(
        window_, QStringLiteral("SplitMain Files (*.splitmain)| *.splitmain"));
    if (chosen)
        c_.txtLocation->setText(chosen->path);
}

void JoinRequest::chooseFolder() {
    frmSaver::showPicker(frmSaver::Which::Saver2);
    // The flag is left as the picker's last use set it, so a picker closed by its frame
    // after an earlier OK hands that folder over again.
    if (!Module1::Saver2Chosen)
        return;
    c_.txtFolder2->setText(Module1::Saver2Path);
    // A root folder already ends in the separator and gets no second one.
    const QString shown = c_.txtFolder2->text();
    const QChar separator = QLatin1Char(files::FileSystem::separator());
    if (!shown.endsWith(separator))
        c_.txtFolder2->setText(shown + separator);
}

void JoinRequest::join() {
    // Only an empty field counts as empty: blanks may be a real name.
    const bool manifestMissing = c_.txtLocation->text().isEmpty();
    const bool folderMissing = c_.txtFolder2->text().isEmpty();
    if (manifestMissing || folderMissing) {
        MessageBox::show(
            MessageBox::Icon::Exclamation, QStringLiteral("All feilds must be filled out."),
            QStringLiteral("Please make shure that all feilds are filled out."), window_);
        return;
    }
    Module1::JoinFolder = c_.txtFolder2->text();
    Module1::MainFilePath = c_.txtLocation->text();
    FrmJoining::showJoin();
}

} // namespace kalvex
