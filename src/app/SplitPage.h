#pragma once

#include "app/TabPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvex {

// The "Split" page: source, destination, piece name, piece size and the Split button.
// The controls are public so that the window can hand them to their handlers.
class SplitPage : public TabPage {
    Q_OBJECT

public:
    explicit SplitPage(QTabWidget* tabControl);

    QLabel* Label1;
    QLineEdit* txtPath1;
    QPushButton* Command1;
    QLabel* Label2;
    QLineEdit* txtPath2;
    QPushButton* Command2;
    QLabel* Label5;
    QLineEdit* txtName;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QRadioButton* optFloppy;
    QRadioButton* opt700Mb;
    QRadioButton* optOther;
    QLineEdit* txtSize;
    QComboBox* CBOType;
    QLabel* Label3;
    QLabel* lblHowMany;
    QPushButton* Command3;

private:
    void createPathControls();
    void createNameControls();
    void createOptionFrames();
    void createSizeChoices();
    void createCountLabels();
};

} // namespace kalvex
