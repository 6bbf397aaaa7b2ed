#pragma once

#include "dialogs/ProgressWindow.h"
#include "join/JoinObserver.h"

class QLabel;
class QPushButton;

namespace kalvex {

class ProgressBar;

// The joining window: runs the join of Module1::MainFilePath into Module1::JoinFolder when
// it first becomes active, shows the share of pieces joined, reports the outcome and
// unloads itself.
class FrmJoining : public ProgressWindow, private JoinObserver {
    Q_OBJECT

public:
    // Creates the window, shows it modally and returns once it has unloaded.
    static void showJoin();

Q_SIGNALS:
    // The bar and the caption have just been set for a joined piece.
    void pieceShown();

private:
    FrmJoining();
    void createControls();
    void runJob() override;
    void showCompletion();
    void showFailure(const QString& message);

    void pieceDone(float bar, std::int64_t percent) override;
    void idle() override;

    ProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace kalvex
