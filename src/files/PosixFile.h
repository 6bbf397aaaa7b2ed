#pragma once

#include "files/File.h"
#include "files/FileError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace kalvex::files {

// A file opened through a POSIX descriptor. Reads and writes go to explicit offsets, so
// the current position is kept here rather than in the descriptor.
class PosixFile : public File {
public:
    // Opens path (or openPath, when given, with path kept for messages) with the given
    // open(2) flags. The open never waits (O_NONBLOCK, cleared once open). A folder is refused
    // with EISDIR; for reading anything but a regular file, for writing a FIFO or socket, is
    // refused with notRegularReason.
    // Failures are reported under operation.
    static std::unique_ptr<PosixFile> open(const std::string& path, int flags,
                                           FileOperation operation, const char* openPath = nullptr);

    // Why a file of this stat(2) mode on a file system of this statfs(2) type is not one
    // whose bytes can be split or joined ("it is a FIFO, not a regular file"), or nothing.
    static std::optional<std::string> notRegularReason(unsigned mode, long fileSystemType);
    ~PosixFile() override;

    const std::string& path() const override { return path_; }
    void read(std::span<std::byte> data, std::optional<std::int64_t> position = {}) override;
    void write(std::int64_t position, std::span<const std::byte> data) override;
    std::int64_t length() override;
    void truncate(std::int64_t length) override;
    void flush() override;
    void reserve(std::int64_t length) override;
    void startWriteback() override;
    std::unique_ptr<File> duplicate() override;
    bool tryLock(LockMode mode) override;
    void close() override;
    bool isOpen() const override { return descriptor_ >= 0; }
    std::uint64_t device() const override { return device_; }
    std::uint64_t inode() const override { return inode_; }
    std::uint64_t linkCount() override;
    std::optional<Permissions> permissions() override;
    void setPermissions(const Permissions& permissions) override;

    // For the in-kernel copy: the descriptor, and the 0-based offset the next read without a
    // position starts at, which the copy moves on as it takes bytes.
    int descriptor() const { return descriptor_; }
    std::int64_t offset() const { return offset_; }
    void setOffset(std::int64_t offset) { offset_ = offset; }

private:
    PosixFile(int descriptor, std::string path, std::uint64_t device, std::uint64_t inode);
    void requireOpen(FileOperation operation) const;
    struct stat status(FileOperation operation);

    int descriptor_;
    std::string path_;
    std::uint64_t device_;
    std::uint64_t inode_;
    std::int64_t offset_ = 0;
};

} // namespace kalvex::files
