#include "dialogs/FolderPicker.h"

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

std::optional<QString> FolderPicker::Result::after(const std::optional<QString>& before) const {
    switch (answer) {
    case Answer::Confirmed:
        return folder;
    case Answer::Cancelled:
        return std::nullopt;
    case Answer::ClosedByFrame:
        break;
    }
    return before;
}

FolderPicker::Result FolderPicker::pick(Purpose purpose) {
    FolderPicker window(purpose);
    window.exec();
    return window.result_;
}

FolderPicker::FolderPicker(Purpose purpose) {
    setUpFrame(purpose);
    createControls();
    connectSignals();
}

void FolderPicker::setUpFrame(Purpose purpose) {
    setObjectName(purpose == Purpose::PieceDestination ? QStringLiteral("frmSaver")
                                                       : QStringLiteral("frmSaver2"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Select The Folder To Write The Files To"));
    setWindowIcon(QApplication::windowIcon());
    setFont(Fonts::standard());
    setSizeGripEnabled(false);
    // The join-folder picker always opens at the same place on the screen.
    if (purpose == Purpose::JoinDestination)
        setGeometry(222, 386, 410, 182);
    else
        resize(410, 182);
}

void FolderPicker::createControls() {
    lookInLabel_ = new QLabel(QStringLiteral("Look In:"), this);
    lookInLabel_->setObjectName(QStringLiteral("Label2"));
    lookInLabel_->setGeometry(16, 8, 177, 17);

    folderList_ = new DirectoryList(this);
    folderList_->setObjectName(QStringLiteral("Dir1"));
    folderList_->setGeometry(16, 32, 385, 111);

    okButton_ = makeButton(QStringLiteral("OK"), QStringLiteral("Ok"), {208, 152, 89, 25}, this);
    cancelButton_ =
        makeButton(QStringLiteral("Command2"), QStringLiteral("Cancel"), {312, 152, 89, 25}, this);

    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, folderList_);
    okButton_->setFocus();
}

void FolderPicker::connectSignals() {
    connect(okButton_, &QPushButton::clicked, this, &FolderPicker::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &FolderPicker::cancel);
}

void FolderPicker::confirm() {
    // The folder opened last counts, not a merely highlighted entry.
    result_ = {Answer::Confirmed, QDir::toNativeSeparators(folderList_->path())};
    accept();
}

void FolderPicker::cancel() {
    result_ = {Answer::Cancelled, {}};
    reject();
}

} // namespace kalvex
