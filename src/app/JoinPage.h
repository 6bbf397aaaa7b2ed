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

    QLabel* Label4;
    QLineEdit* txtLocation;
    QPushButton* cmdBrowse1;
    QLabel* Label6;
    QFrame* Line1;
    QLabel* Label7;
    QLineEdit* txtFolder2;
    QPushButton* cmdBrowse2;
    QPushButton* Command4;

private:
    void createManifestControls();
    void createFolderControls();
};

} // namespace kalvex
