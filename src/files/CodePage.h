#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kalvex::files {

// The single-byte code page that stands in for the system's ANSI code page
// (Windows-1252 here; the active ANSI code page on Windows).

// The name in the code page, or nothing when a character does not fit. Input is UTF-8.
std::optional<std::string> toCodePage(std::string_view utf8);

// The code page bytes as UTF-8.
std::string fromCodePage(std::string_view bytes);

// Whether bytes are valid UTF-8 and hold at least one byte above 127.
bool isUtf8WithHighBytes(std::string_view bytes);

} // namespace kalvex::files
