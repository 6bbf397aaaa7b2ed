#include "split/frmSplitting.h"

#include "app/Module1.h"
#include "dialogs/Fonts.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "files/FileError.h"
#include "files/FileSystem.h"
#include "split/SplitRefusal.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <exception>

namespace kalvex {

namespace {

const QString InitialTitle = QStringLiteral("Splitting Files");
const QString WorkingCaption = QStringLiteral("The Program is currently splitting the files.");
const QString StartCaption = QStringLiteral("0 % Complete");

frmSplitting* theWindow = nullptr;

void deleteTheWindow() {
    delete theWindow;
    theWindow = nullptr;
}

} // namespace

frmSplitting& frmSplitting::instance() {
    if (!theWindow) {
        theWindow = new frmSplitting;
        qAddPostRoutine(deleteTheWindow);
    }
    return *theWindow;
}

frmSplitting::frmSplitting() {
    setObjectName(QStringLiteral("frmSplitting"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(548, 145);
    createControls();
    connectSignals();
}

void frmSplitting::createControls() {
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(88, 8, 361, 25);
    Label1->setFont(Fonts::sans(12, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette blue = Label1->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(blue);

    ProgressBar1 = new ProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(48, 48, 449, 25);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(128, 88, 273, 49);
    Label2->setFont(Fonts::sans(18));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(448, 104, 81, 33);
    cmdOK->setAutoDefault(false);
    cmdOK->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
}

void frmSplitting::connectSignals() {
    connect(Timer1, &QTimer::timeout, this, &frmSplitting::Timer1_Timer);
    connect(cmdOK, &QPushButton::clicked, this, &frmSplitting::cmdOK_Click);
}

// Each showing starts as a freshly loaded window would.
void frmSplitting::loadInitialState() {
    setWindowTitle(InitialTitle);
    setWindowIcon(QApplication::windowIcon());
    Label1->setText(WorkingCaption);
    Label2->setText(StartCaption);
    ProgressBar1->setValue(0.0F);
    setBusy(false);
    endingShown_ = false;
    progressPending_ = false;
    Timer1->start();
}

void frmSplitting::showSplit(const SplitTexts& texts) {
    if (isVisible())
        return;
    texts_ = texts;
    loadInitialState();
    exec();
    job_.reset();
}

void frmSplitting::Timer1_Timer() {
    static const QString titles[] = {InitialTitle, InitialTitle + QStringLiteral("."),
                                     InitialTitle + QStringLiteral(".."),
                                     InitialTitle + QStringLiteral("...")};
    setWindowTitle(titles[phase_]);
    phase_ = static_cast<qint16>((phase_ + 1) % 4);
}

void frmSplitting::cmdOK_Click() {
    unload();
}

void frmSplitting::runJob() {
    std::int64_t length = 0;
    if (!guarded([&] {
            prepareJob();
            length = job_->measureSource();
        }))
        return;
    if (SplitJob::routineFor(length, Module1::PieceSize) == SplitRoutine::Over10Meg)
        Over10Meg();
    else
        Under10Meg();
}

// The job of this showing, unless the activation already set it up.
void frmSplitting::prepareJob() {
    if (job_)
        return;
    SplitInputs inputs{texts_.sourcePath.toStdString(),
                       texts_.destinationFolder.toStdString(),
                       texts_.pieceName.toStdString(),
                       Module1::SourceTitle.toStdString(),
                       Module1::PieceSize,
                       Module1::PieceCount};
    job_.emplace(files::FileSystem::current(), std::move(inputs),
                 static_cast<SplitObserver&>(*this));
    restartEventClock();
}

void frmSplitting::Under10Meg() {
    setBusy(true);
    guarded([this] {
        prepareJob();
        job_->openSource(SplitRoutine::Under10Meg);
        job_->copyPieces();
        showProgress();
        job_->writeManifest();
        showEnding();
        job_->closeSource();
        job_->closeManifest();
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                         QStringLiteral("The Split Process was successfull!"), this);
        unload();
    });
}

void frmSplitting::Over10Meg() {
    setBusy(true);
    const bool succeeded = guarded([this] {
        prepareJob();
        job_->openSource(SplitRoutine::Over10Meg);
        job_->copyPieces();
        showProgress();
        job_->writeManifest();
        job_->closeManifest();
        showEnding();
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                         QStringLiteral("The Splitting process was successfull!"), this);
    });
    if (!succeeded)
        return;
    unload();
    // The source closes last in this routine. Every piece and the manifest are closed by
    // now, so a source that was only read loses nothing if its close fails: the success
    // already shown stands.
    job_->closeAll();
}

void frmSplitting::blockDone(float bar, std::int64_t percent) {
    bar_ = bar;
    percent_ = percent;
    progressPending_ = true;
    if (eventsDue())
        showProgress();
}

// Shows the latest block's values and lets pending events (repaints, timer ticks) run.
void frmSplitting::showProgress() {
    if (progressPending_) {
        ProgressBar1->setValue(bar_);
        Label2->setText(QString::number(percent_) + QStringLiteral("% Complete"));
        progressPending_ = false;
    }
    runEvents();
}

void frmSplitting::showEnding() {
    endingShown_ = true;
    Label2->setText(QStringLiteral("100% Complete"));
    Timer1->stop();
    setWindowTitle(QStringLiteral("Splitting Complete"));
    Label1->setText(QStringLiteral("Complete."));
}

bool frmSplitting::guarded(const std::function<void()>& steps) {
    try {
        steps();
        return true;
    } catch (const files::FileError& error) {
        fail(QString::fromStdString(error.what()));
    } catch (const SplitRefusal& refusal) {
        fail(QString::fromStdString(refusal.what()));
    } catch (const std::exception& error) {
        fail(QStringLiteral("Cannot split: ") + QString::fromStdString(error.what()));
    }
    return false;
}

// One message, every file closed, whatever was written left in place, window unloaded.
void frmSplitting::fail(const QString& text) {
    if (job_)
        job_->closeAll();
    Timer1->stop();
    if (endingShown_) {
        // A close that failed after the ending began: take back the look of success.
        setWindowTitle(InitialTitle);
        Label1->setText(WorkingCaption);
        Label2->setText(QString::number(percent_) + QStringLiteral("% Complete"));
    }
    MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Split failed"), text, this);
    unload();
}

void frmSplitting::unload() {
    Timer1->stop();
    setBusy(false);
    done(QDialog::Rejected);
}

} // namespace kalvex
