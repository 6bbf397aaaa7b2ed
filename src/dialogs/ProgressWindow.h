#pragma once

#include "dialogs/NoEnterEscDialog.h"

#include <functional>

namespace kalvex {

// A modal window in which a job runs. The job starts once per showing, when the window first
// becomes active; while it runs the close box does nothing, so no second job can start. The
// job's file work runs on a thread of its own, so that however long one read or write takes,
// the window goes on painting, animating and showing progress.
class ProgressWindow : public NoEnterEscDialog {
    Q_OBJECT

protected:
    ProgressWindow() = default;

    // The job of this showing.
    virtual void runJob() = 0;

    // Runs work on a thread of its own and returns when it is done, the window's events
    // going on meanwhile and showLatestProgress running every 20 ms. What work throws is
    // thrown again here.
    void runInBackground(const std::function<void()>& work);
    // Shows the progress the work last reported. Called on the window's thread.
    virtual void showLatestProgress() {}

    void setBusy(bool busy) { busy_ = busy; }

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool started_ = false; // the job of this showing has been started
    bool busy_ = false;
};

} // namespace kalvex
