#pragma once

#include "dialogs/ProgressWindow.h"
#include "split/SplitInputs.h"
#include "split/SplitJob.h"

#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;
class QTimer;

namespace kalvex {

class ProgressBar;

// The modal progress window inside which a split runs. Its owner keeps it between splits,
// hidden, so that its title animation goes on from the phase where the last split left it.
class SplitProgressWindow : public ProgressWindow {
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
    void jobEnded(const JobResult& result) override;
    void animateTitle();
    void showEnding();
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
};

} // namespace kalvex
