#include "files/ChecksumFile.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <span>

namespace kalvex::files {

namespace {

constexpr std::size_t digestLength = 64;

// The most bytes the lines of count pieces take.
std::int64_t longestText(std::int64_t count) {
    constexpr auto line = static_cast<std::int64_t>(ChecksumFile::LongestLine);
    if (count > std::numeric_limits<std::int64_t>::max() / line)
        return std::numeric_limits<std::int64_t>::max();
    return std::max<std::int64_t>(count, 0) * line;
}

std::string tooLong(std::int64_t length, std::int64_t count) {
    return "it is " + std::to_string(length) + " bytes long, longer than its lines can be (" +
           std::to_string(longestText(count)) + " bytes at most)";
}

// Why one line, its end cut off, is not a checksum line; nothing when it is, with entry set.
std::optional<std::string> parseLine(std::string_view line, ChecksumFile::Entry& entry) {
    const bool escaped = line.starts_with('\\');
    if (escaped)
        line.remove_prefix(1);
    const auto digits = std::min(line.find_first_not_of("0123456789abcdef"), line.size());
    if (digits != digestLength)
        return "the digest is not 64 lower-case hexadecimal digits";
    const auto separator = line.substr(digestLength, 2);
    if (separator != "  " && separator != " *")
        return "the digest is not followed by two blanks, nor by a blank and '*'";
    const auto name = line.substr(digestLength + 2);
    if (name.empty())
        return "the file name is missing";
    entry.digest = line.substr(0, digestLength);
    if (!escaped) {
        entry.name = name;
        return std::nullopt;
    }
    entry.name.clear();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            entry.name += name[i];
            continue;
        }
        const char next = ++i < name.size() ? name[i] : '\0';
        if (next != '\\' && next != 'n' && next != 'r')
            return "the file name holds a backslash that escapes nothing known";
        entry.name += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    }
    return std::nullopt;
}

} // namespace

std::string ChecksumFile::formatLine(std::string_view digestHex, std::string_view name) {
    std::string escapedName;
    for (const char c : name) {
        if (c == '\\')
            escapedName += "\\\\";
        else if (c == '\n')
            escapedName += "\\n";
        else if (c == '\r')
            escapedName += "\\r";
        else
            escapedName += c;
    }
    const bool escaped = escapedName.size() != name.size();
    return (escaped ? "\\" : "") + std::string(digestHex) + "  " + escapedName + "\n";
}

ChecksumFile::Reading ChecksumFile::parse(std::string_view text, std::int64_t count) {
    if (static_cast<std::int64_t>(text.size()) > longestText(count))
        return {{}, tooLong(static_cast<std::int64_t>(text.size()), count)};
    const auto lines = std::count(text.begin(), text.end(), '\n') +
                       (!text.empty() && !text.ends_with('\n') ? 1 : 0);
    if (lines != count)
        return {{},
                "it has " + std::to_string(lines) + " lines, not " + std::to_string(count) +
                    ", one for each piece"};
    Reading reading;
    reading.entries.resize(static_cast<std::size_t>(count));
    std::size_t start = 0;
    for (std::size_t number = 1; auto& entry : reading.entries) {
        const auto end = std::min(text.find('\n', start), text.size());
        auto line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (auto fault = parseLine(line, entry))
            return {{}, "line " + std::to_string(number) + ": " + *fault};
        ++number;
    }
    return reading;
}

ChecksumFile::Reading ChecksumFile::read(FileSystem& fileSystem, const std::string& path,
                                         std::int64_t count) {
    const auto file = fileSystem.openRead(path);
    const auto length = file->length();
    if (length > longestText(count))
        return {{}, tooLong(length, count)};
    std::string text(static_cast<std::size_t>(length), '\0');
    file->read(std::as_writable_bytes(std::span(text)));
    file->close();
    return parse(text, count);
}

} // namespace kalvex::files
