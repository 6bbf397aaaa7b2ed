#pragma once

#include <cstdint>
#include <string_view>

namespace kalvex {

// How a piece size in bytes is formed from the size choices, and how many pieces it gives.
class SizeRules {
public:
    static constexpr std::int64_t FloppyBytes = 1457152; // 1423 x 1024
    static constexpr std::int64_t CdBytes = 734003200;   // 700 x 1048576
    static constexpr std::int64_t KbBytes = 1024;
    static constexpr std::int64_t MbBytes = 1048576;
    // Larger typed sizes count as this many bytes: still exact in a double, and more than
    // any real file, so the count stays meaningful (1, or 0 for an empty source).
    static constexpr std::int64_t MaxPieceBytes = std::int64_t{1} << 53;

    // Bytes of the unit named exactly "Kb" or "Mb" (case matters); 0 for any other text.
    static std::int64_t unitBytes(std::string_view unit);

    // The leading decimal digits of digits, times unitBytes, capped at MaxPieceBytes.
    // Any number of digits is read without overflow.
    static std::int64_t typedBytes(std::string_view digits, std::int64_t unitBytes);

    // Pieces of pieceBytes needed for sourceLength bytes: a last, shorter piece counts,
    // an empty one never does. 0 for an empty source or a size that is not positive.
    static std::int64_t pieceCount(std::int64_t sourceLength, std::int64_t pieceBytes);
};

} // namespace kalvex
