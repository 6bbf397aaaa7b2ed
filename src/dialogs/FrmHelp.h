#pragma once

#include "dialogs/LoneWindow.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace kalvex {

// The help window: a list of topics and the explanation of the selected one. Independent
// of the main window, at most one at a time, forgotten when closed.
class FrmHelp : public LoneWindow {
    Q_OBJECT

public:
    // Opens the help window, or brings the open one to the front unchanged.
    static void showHelp();

private:
    FrmHelp();

    void setUpFrame();
    void createControls();
    void connectSignals();
    void lstTopics_Click();

    QLabel* Label1;
    QListWidget* lstTopics;
    QFrame* Picture1;
    QLabel* Label2;
    QPushButton* Command1;
};

} // namespace kalvex
