#pragma once

#include <QLabel>

namespace kalvex {

// The label that shows how many pieces a split makes. A screen reader names it "Number of
// pieces: N" instead of reading a bare number.
class CountLabel : public QLabel {
    Q_OBJECT

public:
    explicit CountLabel(QWidget* parent);
};

} // namespace kalvex
