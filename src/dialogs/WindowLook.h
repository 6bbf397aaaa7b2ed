#pragma once

#include <QIcon>
#include <QPixmap>

namespace kalvex {

// For windows that have no icon: left unset, they would show the program's.
inline QIcon noWindowIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace kalvex
