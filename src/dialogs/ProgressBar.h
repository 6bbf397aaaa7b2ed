#pragma once

#include <QWidget>

namespace kalvex {

// A 0 to 100 progress bar that keeps the single-precision value it was given, fractions
// included, and draws it in the platform's style.
class ProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float value() const { return value_; }
    void setValue(float value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float value_ = 0.0F;
};

} // namespace kalvex
