#include "dialogs/ProgressBar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace kalvex {

namespace {
// The style draws integer steps; a thousand of them show fractions of a percent.
constexpr int Steps = 1000;
} // namespace

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {}

void ProgressBar::setValue(float value) {
    if (value == value_)
        return;
    const auto oldStep = std::lround(std::clamp(value_, 0.0F, 100.0F) * (Steps / 100));
    value_ = value;
    if (std::lround(std::clamp(value_, 0.0F, 100.0F) * (Steps / 100)) != oldStep)
        update();
}

QSize ProgressBar::sizeHint() const {
    return {200, 25};
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.minimum = 0;
    option.maximum = Steps;
    option.progress =
        static_cast<int>(std::lround(std::clamp(value_, 0.0F, 100.0F) * (Steps / 100)));
    option.textVisible = false;
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace kalvex
