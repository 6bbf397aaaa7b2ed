#include "dialogs/ProgressWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>

namespace kalvex {

namespace {
// Letting events run costs a repaint of about half a millisecond; after every block of a
// job it would dominate the job, and more often than this the eye sees nothing new.
constexpr qint64 EventIntervalMs = 20;
} // namespace

ProgressWindow::ProgressWindow() {
    sinceEvents_.start();
}

bool ProgressWindow::eventsDue() const {
    return sinceEvents_.elapsed() >= EventIntervalMs;
}

void ProgressWindow::runEvents() {
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

void ProgressWindow::runEventsWhenDue() {
    if (eventsDue())
        runEvents();
}

void ProgressWindow::restartEventClock() {
    sinceEvents_.restart();
}

bool ProgressWindow::event(QEvent* event) {
    const bool handled = NoEnterEscDialog::event(event);
    if (event->type() == QEvent::WindowActivate && !started_ && isVisible()) {
        started_ = true;
        busy_ = true;
        // Run once the activation has been handled, from the dialog's own event loop.
        QMetaObject::invokeMethod(this, &ProgressWindow::startJob, Qt::QueuedConnection);
    }
    return handled;
}

void ProgressWindow::startJob() {
    restartEventClock();
    runJob();
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
