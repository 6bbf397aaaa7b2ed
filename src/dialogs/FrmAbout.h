#pragma once

#include "dialogs/LoneWindow.h"

class QLabel;
class QPushButton;

namespace kalvex {

// The about window: program name, version and author. Independent of the main window,
// at most one at a time.
class FrmAbout : public LoneWindow {
    Q_OBJECT

public:
    // Opens the about window, or brings the open one to the front.
    static void showAbout();

private:
    FrmAbout();

    void setUpFrame();
    void createControls();

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;
};

} // namespace kalvex
