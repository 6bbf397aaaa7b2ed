#pragma once

#include <string>

namespace kalvex::files {

class FileSystem;

// A folder text as typed, ready to have a file name appended: a text that names an existing
// folder and lacks the trailing separator gets one; any other text is kept exactly.
std::string folderPath(FileSystem& fileSystem, const std::string& folder);

// The folder part of a path, up to and with its last separator; empty when it has none.
std::string folderOf(const std::string& path);

} // namespace kalvex::files
