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
// the current position is kept by File rather than in the descriptor.
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
    std::int64_t length() override;
    void truncate(std::int64_t length) override;
    void flush() override;
    void startWriteback() noexcept override;
    void dropCachedPages() noexcept override;
    std::unique_ptr<File> duplicate() override;
    bool tryLock(LockMode mode) override;
    void close() override;
    bool isOpen() const override { return descriptor_ >= 0; }
    std::intptr_t nativeHandle() const override { return descriptor_; }
    std::uint64_t device() const override { return device_; }
    std::uint64_t inode() const override { return inode_; }
    std::uint64_t linkCount() override;
    std::optional<Permissions> permissions() override;
    void setPermissions(const Permissions& permissions) override;

protected:
    std::size_t readAt(std::span<std::byte> data, std::int64_t offset) override;
    std::size_t writeAt(std::span<const std::byte> data, std::int64_t offset) override;

private:
    PosixFile(int descriptor, std::string path, std::uint64_t device, std::uint64_t inode);
    void requireOpen(FileOperation operation) const;
    struct stat status(FileOperation operation);

    int descriptor_;
    std::string path_;
    std::uint64_t device_;
    std::uint64_t inode_;
};

} // namespace kalvex::files
