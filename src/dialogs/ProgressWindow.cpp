#include "dialogs/ProgressWindow.h"

#include "dialogs/ProgressBar.h"

#include <QEvent>
#include <QLabel>
#include <QShowEvent>

namespace kalvex {

namespace {
// More often than this the eye sees nothing new, and each showing costs a repaint.
constexpr int ProgressIntervalMs = 20;
} // namespace

ProgressWindow::ProgressWindow() {
    progressTimer_.setInterval(ProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, &ProgressWindow::showNewProgress);
}

ProgressWindow::~ProgressWindow() {
    // A job still running would report to a window that is gone.
    if (worker_.joinable())
        worker_.join();
}

void ProgressWindow::showProgressIn(ProgressBar* bar, QLabel* percentLabel) {
    bar_ = bar;
    percentLabel_ = percentLabel;
}

void ProgressWindow::startJob(const ProgressRecord& record, std::function<JobResult()> job) {
    record_ = &record;
    notesShown_ = 0;
    progressTimer_.start();
    worker_ = std::jthread([this, job = std::move(job)] {
        result_ = job(); // the jobs never throw
        QMetaObject::invokeMethod(this, &ProgressWindow::finishJob, Qt::QueuedConnection);
    });
}

void ProgressWindow::showNewProgress() {
    const ProgressRecord::Reading reading = record_->read();
    if (reading.notes == notesShown_)
        return;
    notesShown_ = reading.notes;
    bar_->setValue(reading.values.bar);
    percentLabel_->setText(QString::number(reading.values.percent) + QStringLiteral("% Complete"));
    Q_EMIT progressShown();
}

void ProgressWindow::finishJob() {
    worker_.join();
    progressTimer_.stop();
    showNewProgress();
    jobEnded(result_);
}

bool ProgressWindow::event(QEvent* event) {
    const bool handled = NoEnterEscDialog::event(event);
    if (event->type() == QEvent::WindowActivate && !started_ && isVisible()) {
        started_ = true;
        busy_ = true;
        // Run once the activation has been handled, from the dialog's own event loop.
        QMetaObject::invokeMethod(this, &ProgressWindow::runJob, Qt::QueuedConnection);
    }
    return handled;
}

void ProgressWindow::showEvent(QShowEvent* event) {
    // A window restored from its minimized state is still in the same showing.
    if (!event->spontaneous())
        started_ = false;
    NoEnterEscDialog::showEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // There is no stopping a job half way, and a second one must not start over the files
    // of a running one: the job closes the window itself.
    if (busy_) {
        event->ignore();
        return;
    }
    NoEnterEscDialog::closeEvent(event);
}

} // namespace kalvex
