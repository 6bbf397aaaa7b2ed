#include "files/CodePage.h"

#include <array>
#include <climits>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kalvex::files {

#ifndef _WIN32
namespace {

// Windows-1252 from 0x80 to 0x9F; every other byte is the code point of the same value.
// The five bytes the code page leaves undefined map to the C1 controls of the same value,
// so that every byte survives a round trip.
constexpr std::array<char32_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t toUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char32_t{byte};
}

std::optional<char> fromUnicode(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (std::size_t i = 0; i < high.size(); ++i)
        if (high[i] == code)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        // Everything the code page holds lies below U+10000.
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace
#endif

#ifdef _WIN32

// The active ANSI code page itself. A character it lacks is refused, never replaced by a
// look-alike ("best fit") or the default character, so a name never changes on the way.
std::optional<std::string> toCodePage(std::string_view utf8) {
    std::size_t index = 0;
    std::wstring wide;
    while (index < utf8.size()) {
        char32_t code;
        if (!nextCodePoint(utf8, index, code))
            return std::nullopt;
        if (code < 0x10000) {
            wide += static_cast<wchar_t>(code);
        } else {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    const UINT codePage = ::GetACP();
    if (codePage == CP_UTF8)
        return std::string(utf8);
    if (wide.empty())
        return std::string();
    if (wide.size() > INT_MAX / 4)
        return std::nullopt;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), length,
                          nullptr, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return out;
}

std::string fromCodePage(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return std::string();
    const UINT codePage = ::GetACP();
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    const int utf8Length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(utf8Length > 0 ? utf8Length : 0), '\0');
    if (utf8Length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), utf8Length, nullptr,
                              nullptr);
    return out;
}

#else

std::optional<std::string> toCodePage(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t index = 0;
    while (index < utf8.size()) {
        char32_t code;
        if (!nextCodePoint(utf8, index, code))
            return std::nullopt;
        const auto byte = fromUnicode(code);
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

std::string fromCodePage(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char byte : bytes)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(byte)));
    return out;
}

#endif

bool isUtf8WithHighBytes(std::string_view bytes) {
    bool high = false;
    std::size_t index = 0;
    while (index < bytes.size()) {
        high = high || static_cast<unsigned char>(bytes[index]) >= 0x80;
        char32_t code;
        if (!nextCodePoint(bytes, index, code))
            return false;
    }
    return high;
}

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
