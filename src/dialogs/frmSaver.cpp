#include "dialogs/frmSaver.h"

#include "app/Module1.h"
#include "dialogs/DirectoryList.h"
#include "dialogs/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace kalvex {

namespace {

QPushButton* makeButton(const QString& name, const QString& caption, const QRect& box,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(box);
    // Enter must press nothing: only Space or a click does.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

void frmSaver::showPicker(Which which) {
    frmSaver window(which);
    window.exec();
}

frmSaver::frmSaver(Which which)
    : chosen_(which == Which::Saver ? &Module1::SaverChosen : &Module1::Saver2Chosen),
      chosenPath_(which == Which::Saver ? &Module1::SaverPath : &Module1::Saver2Path) {
    setUpFrame(which);
    createControls();
    connectSignals();
}

void frmSaver::setUpFrame(Which which) {
    setObjectName(which == Which::Saver ? QStringLiteral("frmSaver") : QStringLiteral("frmSaver2"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Select The Folder To Write The Files To"));
    setWindowIcon(QApplication::windowIcon());
    setFont(Fonts::standard());
    setSizeGripEnabled(false);
    // The join-folder picker always opens at the same place on the screen.
    if (which == Which::Saver2)
        setGeometry(222, 386, 410, 182);
    else
        resize(410, 182);
}

void frmSaver::createControls() {
    Label2 = new QLabel(QStringLiteral("Look In:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 8, 177, 17);

    Dir1 = new DirectoryList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(16, 32, 385, 111);

    OK = makeButton(QStringLiteral("OK"), QStringLiteral("Ok"), {208, 152, 89, 25}, this);
    Command2 =
        makeButton(QStringLiteral("Command2"), QStringLiteral("Cancel"), {312, 152, 89, 25}, this);

    setTabOrder(OK, Command2);
    setTabOrder(Command2, Dir1);
    OK->setFocus();
}

void frmSaver::connectSignals() {
    connect(OK, &QPushButton::clicked, this, &frmSaver::OK_Click);
    connect(Command2, &QPushButton::clicked, this, &frmSaver::Command2_Click);
}

void frmSaver::OK_Click() {
    // The folder opened last counts, not a merely highlighted entry.
    *chosenPath_ = QDir::toNativeSeparators(Dir1->path());
    *chosen_ = true;
    accept();
}

void frmSaver::Command2_Click() {
    *chosen_ = false;
    reject();
}

} // namespace kalvex
