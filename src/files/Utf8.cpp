#include "files/Utf8.h"

namespace kalvex::files {

bool nextCodePoint(std::string_view bytes, std::size_t& index, char32_t& code) {
    const auto lead = static_cast<unsigned char>(bytes[index]);
    std::size_t extra;
    char32_t minimum;
    if (lead < 0x80) {
        code = lead;
        ++index;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, minimum = 0x10000, code = lead & 0x07;
    } else {
        return false;
    }
    if (bytes.size() - index <= extra)
        return false;
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(bytes[index + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    index += extra + 1;
    return true;
}

} // namespace kalvex::files
