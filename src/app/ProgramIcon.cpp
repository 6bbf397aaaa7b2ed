#include "app/ProgramIcon.h"

#include <QPainter>
#include <QString>

// The pictures live in data/kalvex.qrc, compiled into the static kalvex_gui library; a
// resource there is linked into the program only when code names it like this. The
// macro cannot be used inside a namespace.
static void loadProgramIconResource() {
    Q_INIT_RESOURCE(kalvex);
}

namespace kalvex {

namespace {

// The sizes rendered from data/icons/org.kalvex.Kalvex.svg, as installed for the desktop.
constexpr int Sizes[] = {16, 24, 32, 48, 64, 128, 256};

QString picturePath(int size) {
    [[maybe_unused]] static const bool loaded = (loadProgramIconResource(), true);
    return QStringLiteral(":/kalvex/icons/%1.png").arg(size);
}

} // namespace

QImage ProgramIcon::image() {
    // The picture has rounded, transparent corners; 24-bit colour shows them as white.
    QImage image(Size, Size, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, QImage(picturePath(Size)));
    return image;
}

QIcon ProgramIcon::icon() {
    QIcon icon;
    for (const int size : Sizes)
        icon.addFile(picturePath(size), QSize(size, size));
    return icon;
}

} // namespace kalvex
