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
    Label4 =
        label(this, "Label4",
              QStringLiteral("Please locate the main split file. (EX. YourFileName.splitmain)"),
              Fonts::sans(8.25, true));
    place(Label4, {32, 48, 361, 17});
    txtLocation = textBox(this, "txtLocation");
    place(txtLocation, {8, 72, 385, 33});
    cmdBrowse1 = button(this, "cmdBrowse1", QStringLiteral("Browse"));
    place(cmdBrowse1, {416, 72, 105, 33});

    Label6 = label(this, "Label6",
                   QStringLiteral("Note: All of the split files MUST be located in the same folder "
                                  "as the first split file that you have located above."),
                   Fonts::sans(9.75, true));
    Label6->setWordWrap(true);
    place(Label6, {8, 120, 481, 33});
}

void JoinPage::createFolderControls() {
    // A sunken rule from (8, 192) to (560, 192).
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    place(Line1, {8, 191, 553, 3});

    Label7 =
        label(this, "Label7",
              QStringLiteral("Please specify where you want the file to go after being joined."),
              Fonts::sans(8.25, true));
    place(Label7, {24, 232, 361, 17});
    txtFolder2 = textBox(this, "txtFolder2");
    place(txtFolder2, {8, 256, 385, 33});
    cmdBrowse2 = button(this, "cmdBrowse2", QStringLiteral("Browse"));
    place(cmdBrowse2, {416, 256, 97, 33});

    Command4 = button(this, "Command4", QStringLiteral("Join"));
    Command4->setFont(Fonts::sans(13.5, true));
    place(Command4, {440, 448, 113, 49});
}

} // namespace kalvex
