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

    QLabel* sourceLabel;
    QLineEdit* sourcePathEdit;
    QPushButton* sourceBrowseButton;
    QLabel* destinationLabel;
    QLineEdit* destinationEdit;
    QPushButton* destinationBrowseButton;
    QLabel* nameHintLabel;
    QLineEdit* pieceNameEdit;
    QGroupBox* optionsFrame;
    QGroupBox* sizeFrame;
    QRadioButton* floppyOption;
    QRadioButton* cdOption;
    QRadioButton* otherOption;
    QLineEdit* sizeEdit;
    QComboBox* unitCombo;
    QLabel* countCaptionLabel;
    QLabel* countLabel;
    QPushButton* splitButton;

private:
    void createPathControls();
    void createNameControls();
    void createOptionFrames();
    void createSizeChoices();
    void createCountLabels();
};

} // namespace kalvex
