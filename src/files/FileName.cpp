#include "files/FileName.h"

#include "files/CodePage.h"
#include "files/FileSystem.h"

#include <algorithm>

namespace kalvex::files {

namespace {

// C0 controls, DEL and the C1 controls.
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isPathSeparator(char32_t c) {
    return c == U'/' || (FileSystem::separator() == '\\' && (c == U'\\' || c == U':'));
}

// The first fault among the name's characters. A byte that is not well-formed UTF-8 counts
// as a character of its own that is neither a control nor a separator.
std::optional<std::string> characterFault(std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        char32_t c;
        if (!nextCodePoint(name, i, c)) {
            ++i;
            continue;
        }
        if (isPathSeparator(c))
            return "holds a path separator";
        if (isControl(c))
            return "holds a control character";
#ifdef _WIN32
        if (c == U'<' || c == U'>' || c == U'"' || c == U'|' || c == U'?' || c == U'*')
            return "holds a character Windows does not allow in a file name";
#endif
    }
    return std::nullopt;
}

#ifdef _WIN32
bool isReservedDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (auto& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}
#endif

} // namespace

std::optional<std::string> unsafeFileNameReason(std::string_view name) {
    if (name.empty())
        return "is empty";
    if (name == "." || name == "..")
        return "names a folder";
    if (auto fault = characterFault(name))
        return fault;
#ifdef _WIN32
    if (isReservedDeviceName(name))
        return "is a reserved device name";
    // Windows drops them when it opens the name, so another file would be meant.
    if (name.back() == '.' || name.back() == ' ')
        return "ends in a dot or a blank";
#endif
    return std::nullopt;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace kalvex::files
