#pragma once

#include "dialogs/NoEnterEscDialog.h"

#include <QElapsedTimer>

namespace kalvex {

// A modal window in which a job runs. The job starts once per showing, when the window first
// becomes active; while it runs the close box does nothing, so no second job can start, and
// the job lets pending events run at least every 20 ms.
class ProgressWindow : public NoEnterEscDialog {
    Q_OBJECT

protected:
    ProgressWindow();

    // The job of this showing.
    virtual void runJob() = 0;

    void setBusy(bool busy) { busy_ = busy; }

    // Whether pending events are due: 20 ms have passed since they last ran.
    bool eventsDue() const;
    // Runs pending events now and starts counting again.
    void runEvents();
    void runEventsWhenDue();
    // Starts counting the time to the next run of pending events.
    void restartEventClock();

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void startJob();

    bool started_ = false; // the job of this showing has been started
    bool busy_ = false;
    QElapsedTimer sinceEvents_;
};

} // namespace kalvex
