#include "app/JoinPage.h"

#include "dialogs/Fonts.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kalvex {

JoinPage::JoinPage(QTabWidget* tabControl) : TabPage(tabControl, QStringLiteral("Re-Join")) {
    createManifestControls();
    createFolderControls();
}

void JoinPage::createManifestControls() {
    manifestLabel =
        label(this, "Label4",
              QStringLiteral("Please locate the main split file. (EX. YourFileName.splitmain)"),
              Fonts::sans(8.25, true));
    place(manifestLabel, {32, 48, 361, 17});
    manifestPathEdit = textBox(this, "txtLocation");
    place(manifestPathEdit, {8, 72, 385, 33});
    manifestPathEdit->setAccessibleName(QStringLiteral("Split manifest"));
    manifestLabel->setBuddy(manifestPathEdit);
    manifestBrowseButton = button(this, "cmdBrowse1", QStringLiteral("Browse"));
    place(manifestBrowseButton, {416, 72, 105, 33});
    manifestBrowseButton->setAccessibleName(QStringLiteral("Browse for the split manifest"));

    noteLabel =
        label(this, "Label6",
              QStringLiteral("Note: All of the split files MUST be located in the same folder "
                             "as the first split file that you have located above."),
              Fonts::sans(9.75, true));
    noteLabel->setWordWrap(true);
    place(noteLabel, {8, 120, 481, 33});
}

void JoinPage::createFolderControls() {
    // A sunken rule from (8, 192) to (560, 192).
    separatorLine = new QFrame(this);
    separatorLine->setObjectName(QStringLiteral("Line1"));
    separatorLine->setFrameShape(QFrame::HLine);
    separatorLine->setFrameShadow(QFrame::Sunken);
    place(separatorLine, {8, 191, 553, 3});

    folderLabel =
        label(this, "Label7",
              QStringLiteral("Please specify where you want the file to go after being joined."),
              Fonts::sans(8.25, true));
    place(folderLabel, {24, 232, 361, 17});
    joinFolderEdit = textBox(this, "txtFolder2");
    place(joinFolderEdit, {8, 256, 385, 33});
    joinFolderEdit->setAccessibleName(QStringLiteral("Folder for the joined file"));
    folderLabel->setBuddy(joinFolderEdit);
    folderBrowseButton = button(this, "cmdBrowse2", QStringLiteral("Browse"));
    place(folderBrowseButton, {416, 256, 97, 33});
    folderBrowseButton->setAccessibleName(
        QStringLiteral("Browse for the folder for the joined file"));

    joinButton = button(this, "Command4", QStringLiteral("Join"));
    joinButton->setFont(Fonts::sans(13.5, true));
    place(joinButton, {440, 448, 113, 49});
    joinButton->setAccessibleName(QStringLiteral("Join"));
}

} // namespace kalvex
