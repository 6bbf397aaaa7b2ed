#pragma once

#include "dialogs/NoEnterEscDialog.h"
#include "jobs/JobError.h"
#include "jobs/ProgressRecord.h"

#include <QTimer>

#include <functional>
#include <thread>

class QLabel;

namespace kalvex {

class ProgressBar;

// A modal window in which a job runs. The job starts once per showing, when the window first
// becomes active; while it runs the close box does nothing, so no second job can start. The
// job runs on a thread of its own, so that however long one read or write takes, the window
// goes on painting and animating; every 20 ms it shows what the job's progress record holds.
class ProgressWindow : public NoEnterEscDialog {
    Q_OBJECT

public:
    ~ProgressWindow() override;

Q_SIGNALS:
    // Progress newer than what was shown has just been shown.
    void progressShown();

protected:
    ProgressWindow();

    // Starts the job of this showing.
    virtual void runJob() = 0;

    // Where the progress shows: the bar takes the record's value, the label its whole percent
    // followed by "% Complete".
    void showProgressIn(ProgressBar* bar, QLabel* percentLabel);

    // Runs job on a thread of its own and returns at once. Until it ends, the window shows the
    // record whenever it holds newer values, at most every 20 ms; when it ends, the last
    // values are shown and then jobEnded gets its result, on the window's thread.
    void startJob(const ProgressRecord& record, std::function<JobResult()> job);
    virtual void jobEnded(const JobResult& result) = 0;

    void setBusy(bool busy) { busy_ = busy; }

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showNewProgress();
    void finishJob();

    bool started_ = false; // the job of this showing has been started
    bool busy_ = false;
    QTimer progressTimer_;
    ProgressBar* bar_ = nullptr;
    QLabel* percentLabel_ = nullptr;
    const ProgressRecord* record_ = nullptr;
    std::uint64_t notesShown_ = 0;
    JobResult result_;
    std::jthread worker_;
};

} // namespace kalvex
