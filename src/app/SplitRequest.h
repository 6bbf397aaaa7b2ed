#pragma once

#include <QObject>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kalvex {

class SizeAndCount;

// The Split button: checks the Split page, completes the piece name, hands the size and
// the count over and runs the split in its window.
class SplitRequest : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* txtPath1;
        QLineEdit* txtPath2;
        QLineEdit* txtName;
        QRadioButton* optOther;
        QLineEdit* txtSize;
        QLabel* lblHowMany;
        QPushButton* Command3;
    };

    SplitRequest(const Controls& controls, const SizeAndCount& sizes, QWidget* window);

    // Command3 Click.
    void split();

private:
    bool fieldsFilled();

    Controls c_;
    const SizeAndCount& sizes_;
    QWidget* window_;
};

} // namespace kalvex
