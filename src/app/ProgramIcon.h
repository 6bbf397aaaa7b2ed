#pragma once

#include <QIcon>
#include <QImage>

namespace kalvex {

// The program's icon: a page cut in two, drawn here rather than shipped as a file.
class ProgramIcon {
public:
    static constexpr int Size = 48;

    // The 48 x 48 image in 24-bit colour.
    static QImage image();
    static QIcon icon();
};

} // namespace kalvex
