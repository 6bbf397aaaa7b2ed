#pragma once

#include "dialogs/LoneWindow.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace kalvex {

// The help window: a list of topics and the explanation of the selected one. Independent
// of the main window, at most one at a time, forgotten when closed.
class HelpWindow : public LoneWindow {
    Q_OBJECT

public:
    // Opens the help window, or brings the open one to the front unchanged.
    static void showHelp();

private:
    HelpWindow();

    void setUpFrame();
    void createControls();
    void connectSignals();
    void showSelectedTopic();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* topicsLabel_;
    QListWidget* topicList_;
    QFrame* textBox_;
    QLabel* topicText_;
    QPushButton* closeButton_;
};

} // namespace kalvex
