#pragma once

#include <QObject>

class QLineEdit;
class QPushButton;
class QWidget;

namespace kalvex {

// The handlers of the Re-Join page: the split manifest through the file-open dialog, the
// target folder through the join-folder picker, and the Join button.
class JoinRequest : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* txtLocation;
        QPushButton* cmdBrowse1;
        QLineEdit* txtFolder2;
        QPushButton* cmdBrowse2;
        QPushButton* Command4;
    };

    JoinRequest(const Controls& controls, QWidget* window);

    // cmdBrowse1: choose the split manifest.
    void chooseManifest();
    // cmdBrowse2: choose the folder that receives the rebuilt file.
    void chooseFolder();
    // Command4: check both fields, hand them over and run the join in its window.
    void join();

private:
    Controls c_;
    QWidget* window_;
};

} // namespace kalvex
