#pragma once

#include "dialogs/ProgressWindow.h"
#include "split/SplitJob.h"
#include "split/SplitObserver.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTimer;

namespace kalvex {

class ProgressBar;

// The texts of the main window that a split reads: the source path, the destination
// folder and the piece name.
struct SplitTexts {
    QString sourcePath;
    QString destinationFolder;
    QString pieceName;
};

// The modal progress window inside which a split runs. Created once; it lives on between
// splits, hidden, and keeps its title animation's phase from one split to the next.
class frmSplitting : public ProgressWindow, private SplitObserver {
    Q_OBJECT

public:
    static frmSplitting& instance();

    // Reads PieceSize, PieceCount and SourceTitle from Module1, shows the window modally
    // and returns after the window has unloaded. The job runs when the window first
    // becomes active.
    void showSplit(const SplitTexts& texts);

    // The two copy routines: 1024-byte blocks, and 1048576-byte blocks for sources of
    // 10 MiB and more cut into pieces of 1 MiB and more.
    void Under10Meg();
    void Over10Meg();

private:
    frmSplitting();
    void createControls();
    void connectSignals();
    void loadInitialState();

    void runJob() override;
    void Timer1_Timer();
    void cmdOK_Click();

    void blockDone(float bar, std::int64_t percent) override;
    void showProgress();
    void showEnding();
    void prepareJob();
    bool guarded(const std::function<void()>& steps);
    void fail(const QString& text);
    void unload();

    QLabel* Label1 = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOK = nullptr;
    QTimer* Timer1 = nullptr;

    qint16 phase_ = 0; // of the title animation; belongs to the window, not to a job
    SplitTexts texts_;
    std::optional<SplitJob> job_;
    bool endingShown_ = false;

    // The latest block's values, shown when events next run.
    float bar_ = 0.0F;
    std::int64_t percent_ = 0;
    bool progressPending_ = false;
};

} // namespace kalvex
