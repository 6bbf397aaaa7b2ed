#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::files {

// The SHA-256 checksums of a split's pieces, in piece order, as sha256sum prints them, so that
// `sha256sum -c` checks the pieces by itself: 64 lower-case hexadecimal digits, two blanks,
// the piece's name without its folder, a line feed. A name holding a backslash, a line feed or
// a carriage return has them written as \\, \n and \r, and its line starts with a backslash.
class ChecksumFile {
public:
    // Put after the piece base path ("movie.split" gives "movie.split.sha256").
    static constexpr std::string_view Extension = ".sha256";

    // What a line holds: the name as it is on disk, unescaped, and the digest in hex.
    struct Entry {
        std::string name;
        std::string digest;
        bool operator==(const Entry&) const = default;
    };

    // The entries, in order, or why the text is not the checksum file of the pieces.
    struct Reading {
        std::vector<Entry> entries;
        std::string refusal; // empty when the text was read
    };

    // No line is longer: a backslash, the digest, two blanks, a name of 255 characters of up
    // to four bytes each with every byte escaped, CR LF.
    static constexpr std::size_t LongestLine = 1 + 64 + 2 + 2 * 4 * 255 + 2;

    // One line, LF included, exactly as sha256sum prints it for a file of that name.
    static std::string formatLine(std::string_view digestHex, std::string_view name);

    // The text as a list of count entries. Stricter than `sha256sum -c`, since only what a
    // split wrote is to be read: the digest must be lower-case, and the name follow two blanks
    // or, as `sha256sum -b` writes, a blank and '*'. Lines end in LF or CR LF, the last one
    // possibly in nothing.
    static Reading parse(std::string_view text, std::int64_t count);

    // Reads and parses the file at path, never holding more than the count lines can take:
    // a longer file is refused without being read. Throws FileError when it cannot be read.
    static Reading read(FileSystem& fileSystem, const std::string& path, std::int64_t count);
};

} // namespace kalvex::files
