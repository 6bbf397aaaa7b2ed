#include "split/SplitProgressWindow.h"

#include "dialogs/Fonts.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "files/FileSystem.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace kalvex {

namespace {

const QString InitialTitle = QStringLiteral("Splitting Files");
const QString WorkingCaption = QStringLiteral("The Program is currently splitting the files.");
const QString StartCaption = QStringLiteral("0 % Complete");

} // namespace

SplitProgressWindow::SplitProgressWindow() {
    setObjectName(QStringLiteral("frmSplitting"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(548, 145);
    createControls();
    showProgressIn(progressBar_, percentLabel_);
    connectSignals();
}

void SplitProgressWindow::createControls() {
    captionLabel_ = new QLabel(this);
    captionLabel_->setObjectName(QStringLiteral("Label1"));
    captionLabel_->setGeometry(88, 8, 361, 25);
    captionLabel_->setFont(Fonts::sans(12, true));
    captionLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette blue = captionLabel_->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    captionLabel_->setPalette(blue);

    progressBar_ = new ProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setGeometry(48, 48, 449, 25);

    percentLabel_ = new QLabel(this);
    percentLabel_->setObjectName(QStringLiteral("Label2"));
    percentLabel_->setGeometry(128, 88, 273, 49);
    percentLabel_->setFont(Fonts::sans(18));
    percentLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    okButton_->setGeometry(448, 104, 81, 33);
    okButton_->setAutoDefault(false);
    okButton_->hide();

    titleTimer_ = new QTimer(this);
    titleTimer_->setObjectName(QStringLiteral("Timer1"));
    titleTimer_->setInterval(500);
}

void SplitProgressWindow::connectSignals() {
    connect(titleTimer_, &QTimer::timeout, this, &SplitProgressWindow::animateTitle);
    connect(okButton_, &QPushButton::clicked, this, &SplitProgressWindow::unload);
}

// Each showing starts as a freshly loaded window would.
void SplitProgressWindow::loadInitialState() {
    setWindowTitle(InitialTitle);
    setWindowIcon(QApplication::windowIcon());
    captionLabel_->setText(WorkingCaption);
    percentLabel_->setText(StartCaption);
    progressBar_->setValue(0.0F);
    setBusy(false);
    titleTimer_->start();
}

void SplitProgressWindow::showSplit(const SplitInputs& inputs) {
    if (isVisible())
        return;
    inputs_ = inputs;
    loadInitialState();
    exec();
    job_.reset();
}

void SplitProgressWindow::animateTitle() {
    static const QString titles[] = {InitialTitle, InitialTitle + QStringLiteral("."),
                                     InitialTitle + QStringLiteral(".."),
                                     InitialTitle + QStringLiteral("...")};
    setWindowTitle(titles[phase_]);
    phase_ = static_cast<qint16>((phase_ + 1) % 4);
}

void SplitProgressWindow::runJob() {
    setBusy(true);
    job_.emplace(files::FileSystem::current(), inputs_);
    startJob(job_->progress(), [this] { return job_->run(); });
}

// The two routines end alike but for their message: the 1 KiB blocks of sources under 10 MiB,
// and the 1 MiB blocks of larger ones cut into pieces of 1 MiB and more.
void SplitProgressWindow::jobEnded(const JobResult& result) {
    if (result) {
        fail(QString::fromStdString(result->message));
        return;
    }
    showEnding();
    MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                     job_->routine() == SplitRoutine::Under10Meg
                         ? QStringLiteral("The Split Process was successfull!")
                         : QStringLiteral("The Splitting process was successfull!"),
                     this);
    unload();
}

void SplitProgressWindow::showEnding() {
    percentLabel_->setText(QStringLiteral("100% Complete"));
    titleTimer_->stop();
    setWindowTitle(QStringLiteral("Splitting Complete"));
    captionLabel_->setText(QStringLiteral("Complete."));
}

// One message, every file closed by the job, whatever was written left in place, window
// unloaded.
void SplitProgressWindow::fail(const QString& text) {
    titleTimer_->stop();
    MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Split failed"), text, this);
    unload();
}

void SplitProgressWindow::unload() {
    titleTimer_->stop();
    setBusy(false);
    done(QDialog::Rejected);
}

} // namespace kalvex
