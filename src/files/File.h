#pragma once

#include "files/FileError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace kalvex::files {

// An advisory lock on an open file, held until the file is closed: Exclusive for the one job
// that writes a file, Shared for the jobs that read it.
enum class LockMode { Shared, Exclusive };

// Who may use a file: its permission bits and, where known, its owner and group.
struct Permissions {
    std::uint32_t bits = 0;
    std::optional<std::uint32_t> owner;
    std::optional<std::uint32_t> group;
};

// An open file. Positions are 1-based, as the callers count them; lengths are 64-bit.
// Every failure throws FileError naming the path, the operation and the reason.
class File {
public:
    virtual ~File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    virtual const std::string& path() const = 0;

    // Reads exactly data.size() bytes from position (1-based) or, without one, from the
    // current position, which then advances. A file that ends early is a failure.
    void read(std::span<std::byte> data, std::optional<std::int64_t> position = {});

    // Writes every byte at position (1-based); the file grows when the position is past its
    // end. Partial writes are carried on; anything else is a failure.
    void write(std::int64_t position, std::span<const std::byte> data);

    // The current position for reads without one: 1-based, as the callers count.
    void seek(std::int64_t position);
    // The 0-based offset the next read without a position starts at; an in-kernel copy from
    // the current position moves it on by what it took.
    std::int64_t offset() const { return offset_; }
    void advance(std::int64_t count) { offset_ += count; }

    // Current length in bytes of the open file.
    virtual std::int64_t length() = 0;

    // Cuts or extends the file to length bytes.
    virtual void truncate(std::int64_t length) = 0;

    // Puts what was written on the device (fsync; FlushFileBuffers on Windows). A file system
    // that cannot flush is no failure; a flush that fails is.
    virtual void flush() = 0;

    // Starts putting what was written on the device and returns without waiting, so that a
    // later flush finds little left to do. Failures wait for that flush to report them.
    virtual void startWriteback() noexcept {}

    // Drops the file's clean pages from the system's cache, so that the next reads come from
    // the device, as a check of what the device holds must. Only a hint: where the system
    // cannot, reads may still come from the cache.
    virtual void dropCachedPages() noexcept {}

    // A second handle on this open file, which stays open when this one is closed: a file can
    // be closed, and its close checked, as soon as it is written, and flushed later through
    // the duplicate.
    virtual std::unique_ptr<File> duplicate() = 0;

    // Takes the lock without waiting (flock LOCK_NB; LockFileEx with
    // LOCKFILE_FAIL_IMMEDIATELY). False when another open file holds a lock that excludes
    // it. A file system without locks gives true: the lock is a guard, never a requirement.
    virtual bool tryLock(LockMode mode) = 0;

    // Closes the file and reports a failed close. Closing never flushes: what must reach the
    // device is flushed first. Closing twice does nothing.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The system's own handle (a descriptor; a HANDLE on Windows), for the calls that take two
    // files at once, such as the in-kernel copy.
    virtual std::intptr_t nativeHandle() const = 0;

    // Identity of the underlying file, for telling whether two paths are the same file.
    virtual std::uint64_t device() const = 0;
    virtual std::uint64_t inode() const = 0;
    bool isSameFileAs(const File& other) const {
        return device() == other.device() && inode() == other.inode();
    }

    // How many names (hard links) the file has; 1 where the system cannot tell.
    virtual std::uint64_t linkCount() { return 1; }

    // The permission bits, owner and group; nothing where the system keeps none of its own
    // (on Windows a file takes its folder's access rules).
    virtual std::optional<Permissions> permissions() { return std::nullopt; }

    // Gives the file these bits, and the owner and group where given. What the file system
    // cannot hold, or the program may not set, stays as it is: no failure.
    virtual void setPermissions(const Permissions& permissions) { (void)permissions; }

protected:
    File() = default;

    // One call of the system's read at a 0-based offset, of at most MostPerCall bytes: the
    // bytes read, 0 at the end of the file. Interruptions are retried; failures throw.
    virtual std::size_t readAt(std::span<std::byte> data, std::int64_t offset) = 0;
    // One call of the system's write: the bytes written, which may be fewer than given but
    // never none (a write that makes no progress throws, as on a full disk).
    virtual std::size_t writeAt(std::span<const std::byte> data, std::int64_t offset) = 0;

    // Well inside what every system's single call accepts.
    static constexpr std::size_t MostPerCall = std::size_t{1} << 30;

private:
    std::int64_t startOf(std::optional<std::int64_t> position, FileOperation operation) const;

    std::int64_t offset_ = 0;
};

} // namespace kalvex::files
