#include "app/SplitPage.h"

#include "app/CountLabel.h"
#include "dialogs/Fonts.h"
#include "settings/DigitBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kalvex {

namespace {

const QColor BrightGreen(0, 255, 0);
const QColor ButtonGreen(0, 192, 0);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

void colour(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(role, colour);
    control->setPalette(palette);
}

// The style would shade a coloured face into a gradient: the face is drawn flat, in exactly
// its colour, with a raised border that sinks while pressed and darkens with the focus.
void flatFace(QPushButton* button, const QColor& face) {
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                         " border: 2px outset %1; padding: 0px; }"
                                         "QPushButton:pressed { border-style: inset; }"
                                         "QPushButton:focus { border: 2px solid black; }")
                              .arg(face.name()));
}

// Green text on a dark box, as the path and name boxes are drawn.
void greenOn(QLineEdit* box, const QColor& background) {
    colour(box, QPalette::Text, BrightGreen);
    colour(box, QPalette::Base, background);
}

// An Enter in the unit box would otherwise look the text up among the items and replace
// it; the box keeps whatever was typed.
class IgnoreEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

SplitPage::SplitPage(QTabWidget* tabControl) : TabPage(tabControl, QStringLiteral("Split")) {
    createPathControls();
    createNameControls();
    createOptionFrames();
    createSizeChoices();
    createCountLabels();
}

void SplitPage::createPathControls() {
    const QFont labelFont = Fonts::sans(9.75, true);
    const QFont pathFont = Fonts::sans(12, true);

    sourceLabel =
        label(this, "Label1", QStringLiteral("Please select the file you would like to split:"),
              labelFont);
    place(sourceLabel, {16, 56, 297, 17});
    sourcePathEdit = textBox(this, "txtPath1");
    sourcePathEdit->setFont(pathFont);
    greenOn(sourcePathEdit, palette().color(QPalette::WindowText));
    place(sourcePathEdit, {8, 80, 425, 33});
    sourcePathEdit->setAccessibleName(QStringLiteral("File to split"));
    sourceLabel->setBuddy(sourcePathEdit);
    sourceBrowseButton = button(this, "Command1", QStringLiteral(" Browse"));
    flatFace(sourceBrowseButton, ButtonGreen);
    place(sourceBrowseButton, {448, 80, 97, 33});
    sourceBrowseButton->setAccessibleName(QStringLiteral("Browse for the file to split"));

    destinationLabel =
        label(this, "Label2", QStringLiteral("Please Select the Destination for the split files:"),
              labelFont);
    place(destinationLabel, {16, 120, 313, 25});
    destinationEdit = textBox(this, "txtPath2");
    destinationEdit->setFont(pathFont);
    greenOn(destinationEdit, palette().color(QPalette::WindowText));
    place(destinationEdit, {8, 152, 425, 33});
    destinationEdit->setAccessibleName(QStringLiteral("Destination folder"));
    destinationLabel->setBuddy(destinationEdit);
    destinationBrowseButton = button(this, "Command2", QStringLiteral("Browse"));
    flatFace(destinationBrowseButton, ButtonGreen);
    place(destinationBrowseButton, {448, 152, 97, 33});
    destinationBrowseButton->setAccessibleName(QStringLiteral("Browse for the destination folder"));
}

void SplitPage::createNameControls() {
    nameHintLabel = label(
        this, "Label5",
        QStringLiteral(
            "Please type what you want the files to be named.They will use the name you type "
            "in and be followed by a 1, 2, 3 etc to show what number of the split file it is. "
            "There will also be a .splitmain file which is the file that you will be asked to "
            "locate when you rejoin. This file will be named the samething that you type in "
            "below except will have the extention .splitmain."),
        Fonts::standard());
    nameHintLabel->setWordWrap(true);
    place(nameHintLabel, {16, 184, 369, 65});
    pieceNameEdit = textBox(this, "txtName");
    // The window-frame colour, black by default.
    greenOn(pieceNameEdit, Qt::black);
    place(pieceNameEdit, {16, 256, 297, 41});
    pieceNameEdit->setAccessibleName(QStringLiteral("Name of the pieces"));
    nameHintLabel->setBuddy(pieceNameEdit);

    splitButton = button(this, "Command3", QStringLiteral("Split"));
    splitButton->setFont(Fonts::serif(20.25, true));
    flatFace(splitButton, Blue);
    place(splitButton, {432, 440, 121, 41});
    splitButton->setAccessibleName(QStringLiteral("Split"));
}

void SplitPage::createOptionFrames() {
    optionsFrame = new QGroupBox(QStringLiteral("Spliting Options"), this);
    optionsFrame->setObjectName(QStringLiteral("Frame1"));
    optionsFrame->setFont(Fonts::sans(9.75, true));
    // The caption takes the frame's text colour; its contents keep the usual one.
    const QColor usualText = palette().color(QPalette::WindowText);
    colour(optionsFrame, QPalette::WindowText, Red);
    place(optionsFrame, {16, 304, 329, 193});

    sizeFrame = new QGroupBox(QStringLiteral("Split into files sizes of:"), optionsFrame);
    sizeFrame->setObjectName(QStringLiteral("Frame2"));
    sizeFrame->setFont(Fonts::standard());
    colour(sizeFrame, QPalette::WindowText, usualText);
    sizeFrame->setGeometry(40, 16, 249, 121);
}

void SplitPage::createSizeChoices() {
    floppyOption = new QRadioButton(QStringLiteral("1.38MB (floppy)"), sizeFrame);
    floppyOption->setObjectName(QStringLiteral("optFloppy"));
    floppyOption->setGeometry(16, 24, 113, 17);
    floppyOption->setChecked(true);
    floppyOption->setAccessibleName(QStringLiteral("Pieces of 1.38 MB (floppy)"));
    cdOption = new QRadioButton(QStringLiteral("700MB (standard Cd-R)"), sizeFrame);
    cdOption->setObjectName(QStringLiteral("opt700Mb"));
    cdOption->setAccessibleName(QStringLiteral("Pieces of 700 MB (CD-R)"));
    cdOption->setGeometry(16, 48, 153, 17);
    otherOption = new QRadioButton(QStringLiteral("Other:"), sizeFrame);
    otherOption->setObjectName(QStringLiteral("optOther"));
    otherOption->setAccessibleName(QStringLiteral("Pieces of another size"));
    // Two pixels wider than drawn (one each side) so that "Other:" shows whole.
    otherOption->setGeometry(15, 72, 51, 25);

    sizeEdit = new DigitBox(sizeFrame);
    sizeEdit->setObjectName(QStringLiteral("txtSize"));
    sizeEdit->setAccessibleName(QStringLiteral("Piece size in Kb or Mb"));
    sizeEdit->setGeometry(72, 72, 89, 25);
    sizeEdit->setEnabled(false);

    unitCombo = new QComboBox(sizeFrame);
    unitCombo->setObjectName(QStringLiteral("CBOType"));
    unitCombo->setEditable(true);
    // The unit box takes typed text as it is: no completion, no new items.
    unitCombo->setCompleter(nullptr);
    unitCombo->setInsertPolicy(QComboBox::NoInsert);
    unitCombo->lineEdit()->installEventFilter(new IgnoreEnter(unitCombo));
    unitCombo->addItems({QStringLiteral("Kb"), QStringLiteral("Mb")});
    unitCombo->setCurrentIndex(0);
    // On Linux a combo box's name is its text; the box inside it carries the name too.
    unitCombo->setAccessibleName(QStringLiteral("Size unit"));
    unitCombo->lineEdit()->setAccessibleName(QStringLiteral("Size unit"));
    unitCombo->setGeometry(168, 72, 73, 21);
    unitCombo->setEnabled(false);
}

void SplitPage::createCountLabels() {
    const QFont countFont = Fonts::sans(8.25, true);
    countCaptionLabel = label(optionsFrame, "Label3",
                              QStringLiteral("Number of files that will be created:"), countFont);
    colour(countCaptionLabel, QPalette::WindowText, Blue);
    // The inactive-border colour: the light grey of the window face.
    colour(countCaptionLabel, QPalette::Window, palette().color(QPalette::Button));
    countCaptionLabel->setAutoFillBackground(true);
    countCaptionLabel->setGeometry(8, 152, 209, 17);

    countLabel = new CountLabel(optionsFrame);
    countLabel->setObjectName(QStringLiteral("lblHowMany"));
    countLabel->setText(QStringLiteral("0"));
    countLabel->setFont(countFont);
    countLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    colour(countLabel, QPalette::WindowText, Blue);
    countLabel->setGeometry(216, 152, 89, 33);
}

} // namespace kalvex
