#include "files/PosixFile.h"

#include "files/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvex::files {

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit");

namespace {

// One call never asks for more than this, well inside what every system accepts.
constexpr std::size_t maxTransfer = std::size_t{1} << 30;

} // namespace

std::unique_ptr<PosixFile> PosixFile::open(const std::string& path, int flags,
                                           FileOperation operation) {
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        throw FileError::fromSystem(path, operation, errno);

    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw FileError::fromSystem(path, operation, error);
    }
    // Linux opens a folder for reading without complaint; it is never what the caller meant.
    if (S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        throw FileError::fromSystem(path, operation, EISDIR);
    }
    return std::unique_ptr<PosixFile>(new PosixFile(descriptor, path,
                                                    static_cast<std::uint64_t>(status.st_dev),
                                                    static_cast<std::uint64_t>(status.st_ino)));
}

PosixFile::PosixFile(int descriptor, std::string path, std::uint64_t device, std::uint64_t inode)
    : descriptor_(descriptor), path_(std::move(path)), device_(device), inode_(inode) {}

PosixFile::~PosixFile() {
    // An unchecked close only happens on the way out of a failure already being reported.
    if (descriptor_ >= 0)
        system::calls().close(descriptor_);
}

void PosixFile::requireOpen(FileOperation operation) const {
    if (descriptor_ < 0)
        throw FileError::fromSystem(path_, operation, EBADF);
}

std::int64_t PosixFile::startOf(std::optional<std::int64_t> position,
                                FileOperation operation) const {
    if (!position)
        return offset_;
    if (*position < 1)
        throw FileError(path_, operation,
                        "position " + std::to_string(*position) + " is before the first byte");
    return *position - 1;
}

void PosixFile::read(std::span<std::byte> data, std::optional<std::int64_t> position) {
    requireOpen(FileOperation::Read);
    const std::int64_t start = startOf(position, FileOperation::Read);
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t want = std::min(data.size() - done, maxTransfer);
        const ssize_t got = system::calls().pread(descriptor_, data.data() + done, want,
                                                  static_cast<off_t>(start + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError::fromSystem(path_, FileOperation::Read, errno);
        }
        if (got == 0)
            throw FileError(path_, FileOperation::Read, "the file ends before the expected bytes");
        done += static_cast<std::size_t>(got);
    }
    offset_ = start + static_cast<std::int64_t>(done);
}

void PosixFile::write(std::int64_t position, std::span<const std::byte> data) {
    requireOpen(FileOperation::Write);
    const std::int64_t start = startOf(position, FileOperation::Write);
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t want = std::min(data.size() - done, maxTransfer);
        const ssize_t put = system::calls().pwrite(descriptor_, data.data() + done, want,
                                                   static_cast<off_t>(start + done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throw FileError::fromSystem(path_, FileOperation::Write, errno);
        }
        // No progress without an error: report it rather than spin.
        if (put == 0)
            throw FileError::fromSystem(path_, FileOperation::Write, ENOSPC);
        done += static_cast<std::size_t>(put);
    }
    offset_ = start + static_cast<std::int64_t>(done);
}

std::int64_t PosixFile::length() {
    requireOpen(FileOperation::MeasureLength);
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0)
        throw FileError::fromSystem(path_, FileOperation::MeasureLength, errno);
    return static_cast<std::int64_t>(status.st_size);
}

void PosixFile::close() {
    if (descriptor_ < 0)
        return;
    const int descriptor = descriptor_;
    // The descriptor is gone whatever close says, so it is never closed twice.
    descriptor_ = -1;
    if (system::calls().close(descriptor) != 0)
        throw FileError::fromSystem(path_, FileOperation::Close, errno);
}

} // namespace kalvex::files
