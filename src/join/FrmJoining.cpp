#include "join/FrmJoining.h"

#include "app/Module1.h"
#include "dialogs/Fonts.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinFailure.h"
#include "join/JoinJob.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <optional>

namespace kalvex {

void FrmJoining::showJoin() {
    FrmJoining window;
    window.exec();
}

FrmJoining::FrmJoining() {
    setObjectName(QStringLiteral("FrmJoining"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("The Program is Currently Joining the files..."));
    setWindowIcon(QApplication::windowIcon());
    setModal(true);
    resize(545, 174);
    createControls();
}

void FrmJoining::createControls() {
    ProgressBar1 = new ProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(24, 40, 465, 25);

    Label1 = new QLabel(QStringLiteral("0% Complete"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(120, 72, 297, 25);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(Fonts::sans(13.5, true));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(440, 128, 81, 33);
    Command1->setAutoDefault(false);
    Command1->hide();

    setTabOrder(ProgressBar1, Command1);
}

void FrmJoining::runJob() {
    std::optional<QString> failure;
    try {
        JoinJob job(Module1::MainFilePath.toStdString(), Module1::JoinFolder.toStdString(), *this);
        job.run();
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    // Events pending since the last piece run before the outcome is shown.
    runEvents();
    if (failure)
        showFailure(*failure);
    else
        showCompletion();
    // The window unloads itself only once its message has been answered.
    setBusy(false);
    accept();
}

void FrmJoining::showCompletion() {
    Label1->setText(QStringLiteral("100% Complete"));
    ProgressBar1->setValue(100.0F);
    setWindowTitle(QStringLiteral("Complete"));
    MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                     QStringLiteral("The Joining process was sucessful!"), this);
}

void FrmJoining::showFailure(const QString& message) {
    MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Join failed"), message, this);
}

void FrmJoining::pieceDone(float bar, std::int64_t percent) {
    ProgressBar1->setValue(bar);
    Label1->setText(QString::number(percent) + QStringLiteral("% Complete"));
    Q_EMIT pieceShown();
    runEventsWhenDue();
}

void FrmJoining::idle() {
    runEventsWhenDue();
}

} // namespace kalvex
