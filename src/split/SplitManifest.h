#pragma once

#include "files/TextOutput.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kalvex {

// The two lines of a split manifest: the piece count, then the source's file name.
class SplitManifest {
public:
    // The name as line 2 carries it: in the code page when every character fits and the
    // bytes cannot be mistaken for UTF-8 by a reader; otherwise as UTF-8.
    static std::string titleBytes(std::string_view utf8Title);

    static void writeLines(files::TextOutput& output, std::int64_t pieceCount,
                           std::string_view utf8Title);
};

} // namespace kalvex
