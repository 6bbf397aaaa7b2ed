#include "join/FrmJoining.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinFailure.h"
#include "join/JoinJob.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <optional>

namespace kalvex {

namespace {
// Letting events run costs a repaint; more often than this would slow a join of many
// small pieces for nothing the eye can see.
constexpr qint64 eventIntervalMs = 20;
} // namespace

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
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(13.5);
    font.setBold(true);
    Label1->setFont(font);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(440, 128, 81, 33);
    Command1->setAutoDefault(false);
    Command1->hide();

    setTabOrder(ProgressBar1, Command1);
}

bool FrmJoining::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !started_) {
        started_ = true;
        // Run once the activation has been handled, from the dialog's own event loop.
        QMetaObject::invokeMethod(this, &FrmJoining::runJob, Qt::QueuedConnection);
    }
    return QDialog::event(event);
}

void FrmJoining::closeEvent(QCloseEvent* event) {
    if (running_) {
        // No way to stop a join half way; the job closes the window itself.
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmJoining::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void FrmJoining::runJob() {
    running_ = true;
    sinceEvents_.start();
    std::optional<QString> failure;
    try {
        JoinJob job(Module1::MainFilePath.toStdString(), Module1::JoinFolder.toStdString(), *this);
        job.run();
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    // Events pending since the last piece run before the outcome is shown.
    QCoreApplication::processEvents();
    if (failure)
        showFailure(*failure);
    else
        showCompletion();
    // The window unloads itself only once its message has been answered.
    running_ = false;
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
    letEventsRun();
}

void FrmJoining::idle() {
    letEventsRun();
}

void FrmJoining::letEventsRun() {
    if (sinceEvents_.elapsed() < eventIntervalMs)
        return;
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

} // namespace kalvex
