#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kalvex::files {

// The code page of manifest line 2: the active ANSI code page on Windows; elsewhere
// Windows-1252 stands in for it.

// The name in the code page, or nothing when a character does not fit. Input is UTF-8.
std::optional<std::string> toCodePage(std::string_view utf8);

// The code page bytes as UTF-8.
std::string fromCodePage(std::string_view bytes);

// Whether bytes are valid UTF-8 and hold at least one byte above 127.
bool isUtf8WithHighBytes(std::string_view bytes);

// Decodes the UTF-8 code point at index into code and moves index past it. Returns false,
// leaving index where it was, for anything but well-formed UTF-8: overlong forms,
// surrogates and values past U+10FFFF are refused.
bool nextCodePoint(std::string_view bytes, std::size_t& index, char32_t& code);

} // namespace kalvex::files
