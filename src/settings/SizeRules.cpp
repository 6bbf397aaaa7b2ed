#include "settings/SizeRules.h"

namespace kalvex {

std::int64_t SizeRules::unitBytes(std::string_view unit) {
    if (unit == "Kb")
        return KbBytes;
    if (unit == "Mb")
        return MbBytes;
    return 0;
}

std::int64_t SizeRules::typedBytes(std::string_view digits, std::int64_t unitBytes) {
    if (unitBytes <= 0)
        return 0;
    // Once the number passes this many units the product is over the cap anyway.
    const std::int64_t maxUnits = MaxPieceBytes / unitBytes;
    std::int64_t units = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            break;
        units = units * 10 + (c - '0');
        if (units > maxUnits)
            return MaxPieceBytes;
    }
    return units * unitBytes;
}

std::int64_t SizeRules::pieceCount(std::int64_t sourceLength, std::int64_t pieceBytes) {
    if (sourceLength <= 0 || pieceBytes <= 0)
        return 0;
    return sourceLength / pieceBytes + (sourceLength % pieceBytes != 0 ? 1 : 0);
}

} // namespace kalvex
