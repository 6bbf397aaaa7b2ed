#pragma once

#include "dialogs/ProgressWindow.h"
#include "join/JoinInputs.h"
#include "join/JoinJob.h"

class QLabel;
class QPushButton;

namespace kalvex {

class ProgressBar;

// The joining window: runs the join it was given when it first becomes active, shows the share of
// pieces joined, reports the outcome and unloads itself.
class JoinProgressWindow : public ProgressWindow {
    Q_OBJECT

public:
    // Creates the window, shows it modally and returns once it has unloaded.
    static void showJoin(const JoinInputs& inputs);

    // The window for one join, which runs when it is first shown and becomes active.
    explicit JoinProgressWindow(JoinInputs inputs);

private:
    void createControls();
    void runJob() override;
    void jobEnded(const JobResult& result) override;

    JoinInputs inputs_;
    std::optional<JoinJob> job_;
    ProgressBar* progressBar_ = nullptr;
    QLabel* percentLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace kalvex
