#pragma once

#include "dialogs/LoneWindow.h"

class QLabel;
class QPushButton;

namespace kalvex {

// The about window: program name, version and author. Independent of the main window,
// at most one at a time.
class AboutWindow : public LoneWindow {
    Q_OBJECT

public:
    // Opens the about window, or brings the open one to the front.
    static void showAbout();

private:
    AboutWindow();

    void setUpFrame();
    void createControls();

    QLabel* titleLabel_;
    QLabel* authorLabel_;
    QPushButton* closeButton_;
};

} // namespace kalvex
