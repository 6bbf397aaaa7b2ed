#pragma once

#include <cstddef>
#include <string_view>

namespace kalvex::files {

// Decodes the UTF-8 code point at index into code and moves index past it. Returns false,
// leaving index where it was, for anything but well-formed UTF-8: overlong forms,
// surrogates and values past U+10FFFF are refused.
bool nextCodePoint(std::string_view bytes, std::size_t& index, char32_t& code);

} // namespace kalvex::files
