#include "join/JoinManifest.h"

#include "files/CodePage.h"
#include "files/FileError.h"
#include "files/TextInput.h"
#include "jobs/JobError.h"

#include <charconv>
#include <limits>

namespace kalvex {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanksAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Counts the digits at the start of text.
std::size_t digitRun(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    return n;
}

} // namespace

std::optional<double> JoinManifest::parseCount(std::string_view line) {
    std::string_view text = trimBlanksAndTabs(line);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t whole = digitRun(text);
    if (whole == 0)
        return std::nullopt;
    std::size_t length = whole;
    if (length < text.size() && text[length] == '.') {
        const std::size_t fraction = digitRun(text.substr(length + 1));
        if (fraction == 0)
            return std::nullopt;
        length += 1 + fraction;
    }
    if (length != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Too many digits for a double: a huge count, or one too close to zero to matter.
        const bool large = text.substr(0, whole).find_first_not_of('0') != std::string_view::npos;
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string JoinManifest::decodeTitle(std::string_view bytes) {
    if (files::isUtf8WithHighBytes(bytes))
        return std::string(bytes);
    return files::fromCodePage(bytes);
}

std::string JoinManifest::cutLastFourCharacters(std::string_view path) {
    std::size_t end = path.size();
    for (int characters = 0; characters < 4 && end > 0; ++characters) {
        --end;
        // Step back over UTF-8 continuation bytes to the start of the character.
        while (end > 0 && (static_cast<unsigned char>(path[end]) & 0xC0) == 0x80)
            --end;
    }
    return std::string(path.substr(0, end));
}

JoinManifest JoinManifest::read(files::FileSystem& fileSystem, const std::string& path) {
    files::TextInput input(fileSystem, path, LongestLine);
    std::optional<std::string> countLine, titleLine;
    try {
        countLine = input.readLine();
        titleLine = countLine ? input.readLine() : std::nullopt;
    } catch (const files::LineTooLong& tooLong) {
        throw JobRefusal("Cannot join \"" + path + "\": it is not a split manifest (" +
                         tooLong.what() + ")");
    }
    input.close();

    const auto count = parseCount(countLine.value_or(std::string()));
    if (!count)
        throw JobRefusal("Cannot read the piece count from \"" + path +
                         "\": line 1 is not a number");
    if (!titleLine)
        throw JobRefusal("Cannot read the file name from \"" + path + "\": line 2 is missing");

    JoinManifest manifest;
    manifest.count = *count;
    manifest.title = decodeTitle(*titleLine);
    manifest.basePath = cutLastFourCharacters(path);
    return manifest;
}

} // namespace kalvex
