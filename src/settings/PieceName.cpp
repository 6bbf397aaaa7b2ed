#include "settings/PieceName.h"

namespace kalvex {

namespace {
char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

std::string PieceName::fromTitle(std::string_view title) {
    // A dot never occurs inside a multi-byte UTF-8 sequence, so a byte search is safe.
    const auto dot = title.find('.');
    std::string name(title.substr(0, dot));
    name += Suffix;
    return name;
}

bool PieceName::hasSuffix(std::string_view name) {
    // Only ASCII letters can spell the suffix, so comparing the last six bytes with an
    // ASCII upper-casing is the same as comparing the last six characters.
    if (name.size() < Suffix.size())
        return false;
    const auto tail = name.substr(name.size() - Suffix.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (asciiUpper(tail[i]) != asciiUpper(Suffix[i]))
            return false;
    return true;
}

} // namespace kalvex
