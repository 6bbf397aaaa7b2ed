#pragma once

#include "dialogs/ProgressWindow.h"
#include "split/SplitInputs.h"
#include "split/SplitJob.h"
#include "split/SplitObserver.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTimer;

namespace kalvex {

class ProgressBar;

// The modal progress window inside which a split runs. Its owner keeps it between splits,
// hidden, so that its title animation goes on from the phase where the last split left it.
class SplitProgressWindow : public ProgressWindow, private SplitObserver {
    Q_OBJECT

public:
    SplitProgressWindow();

    // Shows the window modally and returns after it has unloaded. The split runs when the
    // window first becomes active.
    void showSplit(const SplitInputs& inputs);

private:
    void createControls();
    void connectSignals();
    void loadInitialState();

    void runJob() override;
    // The two copy routines: 1024-byte blocks, and 1048576-byte blocks for sources of
    // 10 MiB and more cut into pieces of 1 MiB and more. They end differently.
    void splitInSmallBlocks();
    void splitInLargeBlocks();
    void animateTitle();

    void blockDone(float bar, std::int64_t percent) override;
    void showLatestProgress() override;
    void showEnding();
    bool guarded(const std::function<void()>& steps);
    void fail(const QString& text);
    void unload();

    QLabel* captionLabel_ = nullptr;
    ProgressBar* progressBar_ = nullptr;
    QLabel* percentLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QTimer* titleTimer_ = nullptr;

    qint16 phase_ = 0; // of the title animation; belongs to the window, not to a job
    SplitInputs inputs_;
    std::optional<SplitJob> job_;
    bool endingShown_ = false;

    // The latest block's values, noted by the job's thread and shown by the window's, in one
    // word so that noting them, once a block, costs the job no lock (a lock there took 3 % of
    // the 1 KiB split): the bar's bits, the percent, and whether they are shown yet.
    std::atomic<std::uint64_t> latest_{0};
    std::int64_t shownPercent_ = 0;
};

} // namespace kalvex
