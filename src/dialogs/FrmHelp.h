#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace kalvex {

// The help window: a list of topics and the explanation of the selected one. Independent
// of the main window, at most one at a time, forgotten when closed.
class FrmHelp : public QWidget {
    Q_OBJECT

public:
    // Opens the help window, or brings the open one to the front unchanged.
    static void showHelp();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FrmHelp();

    void setUpFrame();
    void createControls();
    void connectSignals();
    void lstTopics_Click();

    static QPointer<FrmHelp>& open();

    QLabel* Label1;
    QListWidget* lstTopics;
    QFrame* Picture1;
    QLabel* Label2;
    QPushButton* Command1;
};

} // namespace kalvex
