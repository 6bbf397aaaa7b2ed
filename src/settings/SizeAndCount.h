#pragma once

#include <QObject>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kalvex {

// The handlers of the piece size choices on the Split page: they keep the piece size in
// bytes and show, in the count label, how many pieces that size gives for the source.
class SizeAndCount : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QRadioButton* floppyOption;
        QRadioButton* cdOption;
        QRadioButton* otherOption;
        QLineEdit* sizeEdit;
        QComboBox* unitCombo;
        QLabel* countLabel;
    };

    SizeAndCount(const Controls& controls, QObject* parent);

    // Run once as the window loads: the floppy choice, when selected, sets its size.
    void load();

    // Runs the handler of whichever option is selected, as after a new source was chosen.
    void refreshCount();

    // Bytes per piece as last stored by a handler; 0 until one runs.
    std::int64_t selectedSize() const { return selectedSize_; }

    std::int64_t sourceLength() const { return sourceLength_; }
    void setSourceLength(std::int64_t length) { sourceLength_ = length; }

    void chooseFloppySize();
    void chooseCdSize();
    void chooseTypedSize();

private:
    void connectSignals();
    void fixedSize(std::int64_t bytes);
    // A change of the typed size or of its unit recomputes from the two boxes.
    void recomputeTypedSize();
    void showCount();

    Controls c_;
    std::int64_t selectedSize_ = 0;
    std::int64_t sourceLength_ = 0;
};

} // namespace kalvex
