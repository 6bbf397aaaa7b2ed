#pragma once

#ifdef _WIN32

#include "files/File.h"
#include "files/FileError.h"
#include "files/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kalvex::files {

// A file opened through a Win32 handle, always in binary: bytes go to the disk exactly as
// given. Reads and writes name their 64-bit offset in each call, so the current position is
// kept by File rather than in the handle.
class Win32File : public File {
public:
    // Opens an existing file for reading, following links to their target, which must be a
    // regular file on a disk (no folder, pipe, console or device).
    static std::unique_ptr<Win32File> openForReading(const std::string& path);
    // Opens for writing as mode says. The name itself must be a regular file or free: a link
    // or other reparse point standing there is refused, never written through.
    static std::unique_ptr<Win32File> openForWriting(const std::string& path, WriteMode mode);
    ~Win32File() override;

    const std::string& path() const override { return path_; }
    std::int64_t length() override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    // The volume serial number and the file index: together they name the file.
    std::intptr_t nativeHandle() const override { return reinterpret_cast<std::intptr_t>(handle_); }
    std::uint64_t device() const override { return device_; }
    std::uint64_t inode() const override { return inode_; }
    std::uint64_t linkCount() override;
    void flush() override;
    std::unique_ptr<File> duplicate() override;
    void truncate(std::int64_t length) override;
    // LockFileEx over the whole file, without waiting.
    bool tryLock(LockMode mode) override;

protected:
    std::size_t readAt(std::span<std::byte> data, std::int64_t offset) override;
    std::size_t writeAt(std::span<const std::byte> data, std::int64_t offset) override;

private:
    Win32File(void* handle, std::string path, bool writable);
    static std::unique_ptr<Win32File> open(const std::string& path, bool writable,
                                           unsigned long disposition, FileOperation operation);
    void requireOpen(FileOperation operation) const;

    void* handle_;
    std::string path_;
    bool writable_;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

} // namespace kalvex::files

#endif
