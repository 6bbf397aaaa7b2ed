#include "files/FolderPath.h"

#include "files/FileSystem.h"

namespace kalvex::files {

std::string folderPath(FileSystem& fileSystem, const std::string& folder) {
    const char separator = FileSystem::separator();
    if (folder.empty() || folder.back() == separator || !fileSystem.isDirectory(folder))
        return folder;
    return folder + separator;
}

std::string folderOf(const std::string& path) {
    const auto separator = path.rfind(FileSystem::separator());
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

} // namespace kalvex::files
