#pragma once

#include <QObject>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kalvex {

class SizeAndCount;
class SourceAndDestination;
class SplitProgressWindow;

// The Split button: checks the Split page, completes the piece name, hands the size and
// the count over and runs the split in its window.
class SplitRequest : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* sourcePathEdit;
        QLineEdit* destinationEdit;
        QLineEdit* pieceNameEdit;
        QRadioButton* otherOption;
        QLineEdit* sizeEdit;
        QLabel* countLabel;
        QPushButton* splitButton;
    };

    SplitRequest(const Controls& controls, const SizeAndCount& sizes,
                 const SourceAndDestination& source, QWidget* window);
    ~SplitRequest() override;

    // Checks the page and, when it is complete, runs the split in its window.
    void split();

private:
    bool fieldsFilled();

    Controls c_;
    const SizeAndCount& sizes_;
    const SourceAndDestination& source_;
    QWidget* window_;
    std::unique_ptr<SplitProgressWindow> progressWindow_; // made at the first split
};

} // namespace kalvex
