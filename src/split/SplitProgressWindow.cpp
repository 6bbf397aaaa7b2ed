#include "split/SplitProgressWindow.h"

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

#include <bit>
#include <exception>
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
    endingShown_ = false;
    latest_.store(0);
    shownPercent_ = 0;
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
    job_.emplace(files::FileSystem::current(), inputs_, static_cast<SplitObserver&>(*this));
    std::int64_t length = 0;
    if (!guarded([&] { runInBackground([&] { length = job_->measureSource(); }); }))
        return;
    if (SplitJob::routineFor(length, inputs_.pieceSize) == SplitRoutine::Over10Meg)
        splitInLargeBlocks();
    else
        splitInSmallBlocks();
}

void SplitProgressWindow::splitInSmallBlocks() {
    guarded([this] {
        runInBackground([this] {
            job_->openSource(SplitRoutine::Under10Meg);
            job_->copyPieces();
        });
        showLatestProgress();
        // The manifest is on the device and named before "Complete." says the set is done.
        runInBackground([this] {
            job_->writeManifest();
            job_->closeSource();
            job_->closeManifest();
        });
        showEnding();
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                         QStringLiteral("The Split Process was successfull!"), this);
        unload();
    });
}

void SplitProgressWindow::splitInLargeBlocks() {
    const bool succeeded = guarded([this] {
        runInBackground([this] {
            job_->openSource(SplitRoutine::Over10Meg);
            job_->copyPieces();
        });
        showLatestProgress();
        runInBackground([this] {
            job_->writeManifest();
            job_->closeManifest();
        });
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

namespace {
constexpr std::uint64_t NotShown = 1;
} // namespace

// Called from the job's thread after every block: only notes the values. The percent is
// at most 200 (a 1-byte source), well inside its 31 bits.
void SplitProgressWindow::blockDone(float bar, std::int64_t percent) {
    const auto barBits = std::uint64_t{std::bit_cast<std::uint32_t>(bar)};
    latest_.store(barBits << 32 | static_cast<std::uint64_t>(percent) << 1 | NotShown,
                  std::memory_order_release);
}

void SplitProgressWindow::showLatestProgress() {
    const std::uint64_t noted = latest_.fetch_and(~NotShown, std::memory_order_acquire);
    if ((noted & NotShown) == 0)
        return;
    const auto percent = static_cast<std::int64_t>((noted & 0xffffffffU) >> 1);
    progressBar_->setValue(std::bit_cast<float>(static_cast<std::uint32_t>(noted >> 32)));
    percentLabel_->setText(QString::number(percent) + QStringLiteral("% Complete"));
    shownPercent_ = percent;
}

void SplitProgressWindow::showEnding() {
    endingShown_ = true;
    percentLabel_->setText(QStringLiteral("100% Complete"));
    titleTimer_->stop();
    setWindowTitle(QStringLiteral("Splitting Complete"));
    captionLabel_->setText(QStringLiteral("Complete."));
}

bool SplitProgressWindow::guarded(const std::function<void()>& steps) {
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
void SplitProgressWindow::fail(const QString& text) {
    if (job_)
        runInBackground([this] { job_->closeAll(); });
    titleTimer_->stop();
    if (endingShown_) {
        // A close that failed after the ending began: take back the look of success.
        setWindowTitle(InitialTitle);
        captionLabel_->setText(WorkingCaption);
        percentLabel_->setText(QString::number(shownPercent_) + QStringLiteral("% Complete"));
    }
    MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Split failed"), text, this);
    unload();
}

void SplitProgressWindow::unload() {
    titleTimer_->stop();
    setBusy(false);
    done(QDialog::Rejected);
}

} // namespace kalvex
