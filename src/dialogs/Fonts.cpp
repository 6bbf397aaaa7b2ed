#include "dialogs/Fonts.h"

namespace kalvex {

namespace {
QFont make(const QString& family, qreal pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
} // namespace

QFont Fonts::sans(qreal pointSize, bool bold) {
    return make(QStringLiteral("Liberation Sans"), pointSize, bold);
}

QFont Fonts::serif(qreal pointSize, bool bold) {
    return make(QStringLiteral("Liberation Serif"), pointSize, bold);
}

} // namespace kalvex
