#include "dialogs/ProgressWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QShowEvent>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace kalvex {

namespace {
// More often than this the eye sees nothing new, and each showing costs a repaint.
constexpr int ProgressIntervalMs = 20;
} // namespace

void ProgressWindow::runInBackground(const std::function<void()>& work) {
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QTimer progress;
    progress.setInterval(ProgressIntervalMs);
    connect(&progress, &QTimer::timeout, this, &ProgressWindow::showLatestProgress);
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    progress.start();
    worker->start();
    loop.exec();
    worker->wait();
    progress.stop();
    if (failure)
        std::rethrow_exception(failure);
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
