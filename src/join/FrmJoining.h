#pragma once

#include "join/JoinObserver.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

namespace kalvex {

class ProgressBar;

// The joining window: runs the join of Module1::MainFilePath into Module1::JoinFolder when
// it first becomes active, shows the share of pieces joined, reports the outcome and
// unloads itself.
class FrmJoining : public QDialog, private JoinObserver {
    Q_OBJECT

public:
    // Creates the window, shows it modally and returns once it has unloaded.
    static void showJoin();

Q_SIGNALS:
    // The bar and the caption have just been set for a joined piece.
    void pieceShown();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FrmJoining();
    void createControls();
    void runJob();
    void showCompletion();
    void showFailure(const QString& message);

    void pieceDone(float bar, std::int64_t percent) override;
    void idle() override;
    void letEventsRun();

    ProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;

    bool started_ = false;
    bool running_ = false;
    QElapsedTimer sinceEvents_;
};

} // namespace kalvex
