#pragma once

#include <QObject>

class QLineEdit;
class QPushButton;
class QWidget;

namespace kalvex {

class SizeAndCount;

// The Browse handlers of the Split page: the source file with the piece name and count
// that follow from it, and the destination folder.
class SourceAndDestination : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* txtPath1;
        QPushButton* Command1;
        QLineEdit* txtPath2;
        QPushButton* Command2;
        QLineEdit* txtName;
    };

    SourceAndDestination(const Controls& controls, SizeAndCount& sizes, QWidget* window);

    // Command1: choose the source through the file-open dialog.
    void chooseSource();
    // Command2: choose the destination folder through the folder picker.
    void chooseDestination();

private:
    void takeSource(const QString& path, const QString& title);

    Controls c_;
    SizeAndCount& sizes_;
    QWidget* window_;
};

} // namespace kalvex
