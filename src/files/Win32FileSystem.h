#pragma once

#ifdef _WIN32

#include "files/FileSystem.h"

namespace kalvex::files {

// The operating system's own files, through the wide-character Win32 API.
class Win32FileSystem : public FileSystem {
public:
    std::int64_t fileLength(const std::string& path) override;
    std::unique_ptr<File> openRead(const std::string& path) override;
    std::unique_ptr<File> openWrite(const std::string& path, WriteMode mode) override;
    // Windows has no file without a name: the jobs use a named temporary file.
    std::unique_ptr<File> openUnnamed(const std::string& path) override;
    bool giveName(File& unnamed, const std::string& path) override;
    void remove(const std::string& path) override;
    bool isLink(const std::string& path) override;
    // NTFS and FAT keep no folder buffers an application can flush: the files' own flushes
    // and the write-through rename are what there is.
    void flushFolder(const std::string& folder) override;
    // At most 255 UTF-16 units in one name, whatever the volume.
    std::optional<std::string> overlongNameReason(const std::string& folder,
                                                  std::string_view name) override;
    bool isDirectory(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    // Replaces an existing file at to, the new entry written through to the disk.
    void rename(const std::string& from, const std::string& to) override;
};

} // namespace kalvex::files

#endif
