#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace kalvex {

// The sans-serif face that stands in for the program's classic dialog font.
inline QFont liberationSans(double points) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    return font;
}

// For windows that have no icon: left unset, they would show the program's.
inline QIcon noWindowIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace kalvex
