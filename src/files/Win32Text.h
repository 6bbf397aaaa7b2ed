#pragma once

#ifdef _WIN32

#include "files/FileError.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalvex::files::win32 {

// UTF-8 to UTF-16 exactly: nothing for bytes that are not well-formed UTF-8, which the
// system would otherwise turn silently into replacement characters.
std::optional<std::wstring> toWide(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view wide);

// The system's own text for a Win32 error code, in UTF-8, without the trailing line break.
std::string systemMessage(unsigned long code);

// The errno-style value callers compare with (EEXIST for an existing name, ENAMETOOLONG for
// a name past the limit, ...), so that code shared with the POSIX layer needs no second set.
int errnoFor(unsigned long code);

// The FileError for a failed Win32 call: the system's text as reason, the errno-style code.
FileError systemError(const std::string& path, FileOperation operation, unsigned long code);

// The path as the wide-character API takes it: made absolute and given the \\?\ prefix, so
// that paths past 260 characters work. A path that is not UTF-8 throws under operation.
std::wstring systemPath(const std::string& path, FileOperation operation);

} // namespace kalvex::files::win32

#endif
