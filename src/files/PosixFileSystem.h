#pragma once

#include "files/FileSystem.h"

namespace kalvex::files {

// The operating system's own files, through POSIX calls.
class PosixFileSystem : public FileSystem {
public:
    std::int64_t fileLength(const std::string& path) override;
    std::unique_ptr<File> openRead(const std::string& path) override;
    std::unique_ptr<File> openWrite(const std::string& path, WriteMode mode) override;
    std::unique_ptr<File> openUnnamed(const std::string& path) override;
    bool giveName(File& unnamed, const std::string& path) override;
    void remove(const std::string& path) override;
    bool isLink(const std::string& path) override;
    void flushFolder(const std::string& folder) override;
    std::optional<std::string> overlongNameReason(const std::string& folder,
                                                  std::string_view name) override;
    bool isDirectory(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    std::optional<Permissions> permissionsOf(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    void copy(File& from, File& to, std::int64_t position, std::int64_t count) override;
    std::int64_t copyInPlace(File& from, std::int64_t fromPosition, File& to,
                             std::int64_t toPosition, std::int64_t count) override;
};

} // namespace kalvex::files
