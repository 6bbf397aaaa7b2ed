#include "dialogs/ProgressBar.h"

#include <algorithm>
#include <cmath>

namespace kalvex {

namespace {
// The bar counts in integer steps; a thousand of them show fractions of a percent.
constexpr int Steps = 1000;
} // namespace

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setOrientation(Qt::Horizontal);
    setRange(0, Steps);
    setTextVisible(false);
    QProgressBar::setValue(0);
}

void ProgressBar::setValue(float value) {
    value_ = value;
    // QProgressBar repaints only when the step changes.
    QProgressBar::setValue(
        static_cast<int>(std::lround(std::clamp(value, 0.0F, 100.0F) * (Steps / 100))));
}

} // namespace kalvex
