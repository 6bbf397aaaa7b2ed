#include "files/Sha256.h"

namespace kalvex::files {

std::string Sha256::hex(const Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * Size);
    for (const std::byte byte : digest) {
        const auto value = std::to_integer<unsigned>(byte);
        text += digits[value >> 4];
        text += digits[value & 0xF];
    }
    return text;
}

} // namespace kalvex::files
