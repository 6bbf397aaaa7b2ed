#pragma once

#include "app/TabPage.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex {

// The "Re-Join" page: the split manifest, the target folder and the Join button.
// The controls are public so that the window can hand them to their handlers.
class JoinPage : public TabPage {
    Q_OBJECT

public:
    explicit JoinPage(QTabWidget* tabControl);

    QLabel* manifestLabel;
    QLineEdit* manifestPathEdit;
    QPushButton* manifestBrowseButton;
    QLabel* noteLabel;
    QFrame* separatorLine;
    QLabel* folderLabel;
    QLineEdit* joinFolderEdit;
    QPushButton* folderBrowseButton;
    QPushButton* joinButton;

private:
    void createManifestControls();
    void createFolderControls();
};

} // namespace kalvex
