#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kalvex::files {

// Why a UTF-8 name cannot stand as a file's own name inside a folder ("is empty", "holds a
// control character", ...), or nothing when it can. A join refuses such a name on its
// manifest, so a split must not record one either.
std::optional<std::string> unsafeFileNameReason(std::string_view name);

// Whether two names are one with letter case aside (A to Z as a to z; other bytes as they
// are).
bool equalIgnoringCase(std::string_view a, std::string_view b);

} // namespace kalvex::files
