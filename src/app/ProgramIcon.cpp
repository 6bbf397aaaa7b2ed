#include "app/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace kalvex {

namespace {

// One half of the page: a white sheet with a few grey lines of "text".
void drawSheet(QPainter& painter, const QRect& sheet, int firstLineY, int lines) {
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(150, 150, 150), 2));
    for (int i = 0; i < lines; ++i) {
        const int y = firstLineY + 5 * i;
        painter.drawLine(sheet.left() + 4, y, sheet.right() - 4, y);
    }
}

} // namespace

QImage ProgramIcon::image() {
    QImage image(Size, Size, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    QLinearGradient background(0, 0, 0, Size);
    background.setColorAt(0, QColor(0, 90, 160));
    background.setColorAt(1, QColor(0, 40, 90));
    painter.fillRect(image.rect(), background);

    // The page, cut across: the lower half slid to the right.
    drawSheet(painter, QRect(5, 4, 24, 18), 9, 3);
    drawSheet(painter, QRect(19, 26, 24, 18), 31, 3);

    // The cut, in green as the Browse buttons.
    painter.setPen(QPen(QColor(0, 192, 0), 2, Qt::DashLine));
    painter.drawLine(2, 24, Size - 3, 24);
    return image;
}

QIcon ProgramIcon::icon() {
    return QIcon(QPixmap::fromImage(image()));
}

} // namespace kalvex
