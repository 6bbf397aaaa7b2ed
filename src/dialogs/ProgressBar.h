#pragma once

#include <QProgressBar>

namespace kalvex {

// A horizontal 0 to 100 progress bar that keeps the single-precision value it was given,
// fractions included, and shows it in the platform's style (and to screen readers).
class ProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float value() const { return value_; }
    void setValue(float value);

private:
    float value_ = 0.0F;
};

} // namespace kalvex
