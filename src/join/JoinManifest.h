#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvex {

// What a join takes from a split manifest: the piece count from line 1, the name of the
// rebuilt file from line 2, and the piece base path from the manifest's own path.
struct JoinManifest {
    double count = 0;
    std::string title;    // UTF-8, verbatim (blanks kept)
    std::string basePath; // the manifest path less its last four characters

    // No line of a manifest is longer: four bytes for each of the 255 characters a name can
    // hold, four times over.
    static constexpr std::size_t LongestLine = 4 * 255 * 4;

    // Reads the first two lines, never more than LongestLine + 1 bytes of one. Throws
    // FileError when the file cannot be read and JobRefusal when a line is too long for a
    // manifest, line 1 is not a number or line 2 is missing.
    static JoinManifest read(files::FileSystem& fileSystem, const std::string& path);

    // Blanks and tabs around an optional sign, digits and an optional decimal fraction;
    // nothing for anything else ("", "3abc", "1e3", "3,5").
    static std::optional<double> parseCount(std::string_view line);

    // Line 2 as UTF-8: taken as UTF-8 when it is valid UTF-8 holding a byte above 127,
    // otherwise decoded from the single-byte code page.
    static std::string decodeTitle(std::string_view bytes);

    // The path without its last four characters (code points, not bytes).
    static std::string cutLastFourCharacters(std::string_view path);
};

} // namespace kalvex
