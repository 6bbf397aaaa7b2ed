#pragma once

#include <QFont>

namespace kalvex {

// The faces the windows are drawn in: Liberation Sans stands in for "MS Sans Serif" and
// "System", Liberation Serif for "Times New Roman", at the same sizes and weights.
class Fonts {
public:
    static QFont sans(qreal pointSize, bool bold = false);
    static QFont serif(qreal pointSize, bool bold = false);
    // The controls' default: "MS Sans Serif" 8.25 pt.
    static QFont standard() { return sans(8.25); }
};

} // namespace kalvex
