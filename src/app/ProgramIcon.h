#pragma once

#include <QIcon>
#include <QImage>

namespace kalvex {

// The program's icon, from the artwork also installed for the desktop (built in as a resource).
class ProgramIcon {
public:
    static constexpr int Size = 48;

    // The 48 x 48 image in 24-bit colour.
    static QImage image();
    static QIcon icon();
};

} // namespace kalvex
