#include "app/SplitPage.h"

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

    Label1 = label(this, "Label1",
                   QStringLiteral("Please select the file you would like to split:"), labelFont);
    place(Label1, {16, 56, 297, 17});
    txtPath1 = textBox(this, "txtPath1");
    txtPath1->setFont(pathFont);
    greenOn(txtPath1, palette().color(QPalette::WindowText));
    place(txtPath1, {8, 80, 425, 33});
    Command1 = button(this, "Command1", QStringLiteral(" Browse"));
    colour(Command1, QPalette::Button, ButtonGreen);
    place(Command1, {448, 80, 97, 33});

    Label2 = label(this, "Label2",
                   QStringLiteral("Please Select the Destination for the split files:"), labelFont);
    place(Label2, {16, 120, 313, 25});
    txtPath2 = textBox(this, "txtPath2");
    txtPath2->setFont(pathFont);
    greenOn(txtPath2, palette().color(QPalette::WindowText));
    place(txtPath2, {8, 152, 425, 33});
    Command2 = button(this, "Command2", QStringLiteral("Browse"));
    colour(Command2, QPalette::Button, ButtonGreen);
    place(Command2, {448, 152, 97, 33});
}

void SplitPage::createNameControls() {
    Label5 = label(
        this, "Label5",
        QStringLiteral(
            "Please type what you want the files to be named.They will use the name you type "
            "in and be followed by a 1, 2, 3 etc to show what number of the split file it is. "
            "There will also be a .splitmain file which is the file that you will be asked to "
            "locate when you rejoin. This file will be named the samething that you type in "
            "below except will have the extention .splitmain."),
        Fonts::standard());
    Label5->setWordWrap(true);
    place(Label5, {16, 184, 369, 65});
    txtName = textBox(this, "txtName");
    // The window-frame colour, black by default.
    greenOn(txtName, Qt::black);
    place(txtName, {16, 256, 297, 41});

    Command3 = button(this, "Command3", QStringLiteral("Split"));
    Command3->setFont(Fonts::serif(20.25, true));
    colour(Command3, QPalette::Button, Blue);
    place(Command3, {432, 440, 121, 41});
}

void SplitPage::createOptionFrames() {
    Frame1 = new QGroupBox(QStringLiteral("Spliting Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(Fonts::sans(9.75, true));
    // The caption takes the frame's text colour; its contents keep the usual one.
    const QColor usualText = palette().color(QPalette::WindowText);
    colour(Frame1, QPalette::WindowText, Red);
    place(Frame1, {16, 304, 329, 193});

    Frame2 = new QGroupBox(QStringLiteral("Split into files sizes of:"), Frame1);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFont(Fonts::standard());
    colour(Frame2, QPalette::WindowText, usualText);
    Frame2->setGeometry(40, 16, 249, 121);
}

void SplitPage::createSizeChoices() {
    optFloppy = new QRadioButton(QStringLiteral("1.38MB (floppy)"), Frame2);
    optFloppy->setObjectName(QStringLiteral("optFloppy"));
    optFloppy->setGeometry(16, 24, 113, 17);
    optFloppy->setChecked(true);
    opt700Mb = new QRadioButton(QStringLiteral("700MB (standard Cd-R)"), Frame2);
    opt700Mb->setObjectName(QStringLiteral("opt700Mb"));
    opt700Mb->setGeometry(16, 48, 153, 17);
    optOther = new QRadioButton(QStringLiteral("Other:"), Frame2);
    optOther->setObjectName(QStringLiteral("optOther"));
    // Two pixels wider than drawn (one each side) so that "Other:" shows whole.
    optOther->setGeometry(15, 72, 51, 25);

    txtSize = new DigitBox(Frame2);
    txtSize->setObjectName(QStringLiteral("txtSize"));
    txtSize->setGeometry(72, 72, 89, 25);
    txtSize->setEnabled(false);

    CBOType = new QComboBox(Frame2);
    CBOType->setObjectName(QStringLiteral("CBOType"));
    CBOType->setEditable(true);
    // The unit box takes typed text as it is: no completion, no new items.
    CBOType->setCompleter(nullptr);
    CBOType->setInsertPolicy(QComboBox::NoInsert);
    CBOType->lineEdit()->installEventFilter(new IgnoreEnter(CBOType));
    CBOType->addItems({QStringLiteral("Kb"), QStringLiteral("Mb")});
    CBOType->setCurrentIndex(0);
    CBOType->setGeometry(168, 72, 73, 21);
    CBOType->setEnabled(false);
}

void SplitPage::createCountLabels() {
    const QFont countFont = Fonts::sans(8.25, true);
    Label3 =
        label(Frame1, "Label3", QStringLiteral("Number of files that will be created:"), countFont);
    colour(Label3, QPalette::WindowText, Blue);
    // The inactive-border colour: the light grey of the window face.
    colour(Label3, QPalette::Window, palette().color(QPalette::Button));
    Label3->setAutoFillBackground(true);
    Label3->setGeometry(8, 152, 209, 17);

    lblHowMany = label(Frame1, "lblHowMany", QStringLiteral("0"), countFont);
    colour(lblHowMany, QPalette::WindowText, Blue);
    lblHowMany->setGeometry(216, 152, 89, 33);
}

} // namespace kalvex
