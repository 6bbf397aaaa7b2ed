#include "files/PosixFile.h"

#include "files/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace kalvex::files {

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit");

namespace {

// File systems the kernel makes up as they are read (/proc, /sys and their kin). Their files
// claim to be regular, yet their lengths say nothing about their contents (0 for most of
// /proc) and the contents change while they are read: no split of one could be joined back.
// The type of the file system says so for sure; guessing from a length of 0 would not.
bool isMadeUpByKernel(long type) {
    switch (static_cast<unsigned long>(type)) {
    case 0x9fa0:     // proc
    case 0x62656572: // sysfs
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0x27e0eb:   // cgroup
    case 0x63677270: // cgroup2
    case 0x62656570: // configfs
    case 0xcafe4a11: // bpf
    case 0xde5e81e4: // efivarfs
    case 0x6165676c: // pstore
        return true;
    default:
        return false;
    }
}

bool unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

} // namespace

std::optional<std::string> PosixFile::notRegularReason(unsigned mode, long fileSystemType) {
    const char* kind = nullptr;
    if (S_ISFIFO(mode))
        kind = "a FIFO";
    else if (S_ISBLK(mode))
        kind = "a block device";
    else if (S_ISCHR(mode))
        kind = "a character device";
    else if (S_ISSOCK(mode))
        kind = "a socket";
    else if (S_ISLNK(mode))
        kind = "a symbolic link, which Kalvex never writes through";
    else if (S_ISREG(mode) && isMadeUpByKernel(fileSystemType))
        return "it is made up by the kernel as it is read (as on /proc or /sys), not a regular "
               "file";
    else if (S_ISREG(mode) || S_ISDIR(mode))
        return std::nullopt;
    if (S_ISLNK(mode))
        return std::string("it is ") + kind;
    return kind ? std::string("it is ") + kind + ", not a regular file"
                : std::string("it is not a regular file");
}

std::unique_ptr<PosixFile> PosixFile::open(const std::string& path, int flags,
                                           FileOperation operation, const char* openPath) {
    const char* opened = openPath ? openPath : path.c_str();
    int descriptor;
    do {
        // Nonblocking, so that a FIFO or a device cannot keep the open waiting.
        descriptor = system::calls().open(opened, flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        const int error = errno;
        // A FIFO without a reader refuses a nonblocking writer, and O_NOFOLLOW refuses a
        // link: say what stands there rather than the system's puzzling words.
        struct stat standing {};
        if ((error == ENXIO || (error == ELOOP && (flags & O_NOFOLLOW))) &&
            ::lstat(opened, &standing) == 0)
            if (const auto reason = notRegularReason(standing.st_mode, 0))
                throw FileError(path, operation, *reason, error);
        throw FileError::fromSystem(path, operation, error);
    }
    // Owned from here, so that every refusal below closes it.
    std::unique_ptr<PosixFile> file(new PosixFile(descriptor, path, 0, 0));
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        throw FileError::fromSystem(path, operation, errno);
    // Linux opens a folder for reading without complaint; it is never what the caller meant.
    if (S_ISDIR(status.st_mode))
        throw FileError::fromSystem(path, operation, EISDIR);
    // What is read must be a regular file. Writes go to pieces and temporary files; a device
    // there (only root can make one) takes the bytes as it will, but a FIFO or socket could
    // keep a write waiting.
    const bool reading = (flags & O_ACCMODE) == O_RDONLY;
    if (reading || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
        struct statfs fileSystem {};
        const long type = ::fstatfs(descriptor, &fileSystem) == 0 ? long(fileSystem.f_type) : 0;
        if (const auto reason = notRegularReason(status.st_mode, type))
            throw FileError(path, operation, *reason);
    }
    // F_SETFL changes only the status flags, so the flags of the open minus O_NONBLOCK are
    // exactly what the descriptor should keep.
    if (::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw FileError::fromSystem(path, operation, errno);
    file->device_ = static_cast<std::uint64_t>(status.st_dev);
    file->inode_ = static_cast<std::uint64_t>(status.st_ino);
    return file;
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

std::size_t PosixFile::readAt(std::span<std::byte> data, std::int64_t offset) {
    requireOpen(FileOperation::Read);
    for (;;) {
        const ssize_t got = system::calls().pread(descriptor_, data.data(), data.size(),
                                                  static_cast<off_t>(offset));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw FileError::fromSystem(path_, FileOperation::Read, errno);
    }
}

std::size_t PosixFile::writeAt(std::span<const std::byte> data, std::int64_t offset) {
    requireOpen(FileOperation::Write);
    for (;;) {
        const ssize_t put = system::calls().pwrite(descriptor_, data.data(), data.size(),
                                                   static_cast<off_t>(offset));
        // No progress without an error: report it rather than spin.
        if (put == 0)
            throw FileError::fromSystem(path_, FileOperation::Write, ENOSPC);
        if (put > 0)
            return static_cast<std::size_t>(put);
        if (errno != EINTR)
            throw FileError::fromSystem(path_, FileOperation::Write, errno);
    }
}

struct stat PosixFile::status(FileOperation operation) {
    requireOpen(operation);
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0)
        throw FileError::fromSystem(path_, operation, errno);
    return status;
}

std::int64_t PosixFile::length() {
    return static_cast<std::int64_t>(status(FileOperation::MeasureLength).st_size);
}

std::uint64_t PosixFile::linkCount() {
    return static_cast<std::uint64_t>(status(FileOperation::Inspect).st_nlink);
}

std::optional<Permissions> PosixFile::permissions() {
    const struct stat known = status(FileOperation::Inspect);
    // Set-user-ID and the like are a program's, never a copy's.
    return Permissions{static_cast<std::uint32_t>(known.st_mode & 0777),
                       static_cast<std::uint32_t>(known.st_uid),
                       static_cast<std::uint32_t>(known.st_gid)};
}

void PosixFile::setPermissions(const Permissions& permissions) {
    requireOpen(FileOperation::SetPermissions);
    // A stick without owners or modes (FAT, exFAT), or an owner only root may give, keeps
    // what the file system gives it. The owner goes first: changing it clears some bits.
    const auto quiet = [](int error) {
        return error == EPERM || unsupported(error);
    };
    if (permissions.owner || permissions.group) {
        const auto owner = permissions.owner ? static_cast<uid_t>(*permissions.owner) : uid_t(-1);
        const auto group = permissions.group ? static_cast<gid_t>(*permissions.group) : gid_t(-1);
        if (::fchown(descriptor_, owner, group) != 0 && errno == EPERM)
            ::fchown(descriptor_, uid_t(-1), group); // a group of one's own may still be given
    }
    if (::fchmod(descriptor_, static_cast<mode_t>(permissions.bits & 0777)) != 0 && !quiet(errno))
        throw FileError::fromSystem(path_, FileOperation::SetPermissions, errno);
}

void PosixFile::truncate(std::int64_t length) {
    requireOpen(FileOperation::Write);
    while (::ftruncate(descriptor_, static_cast<off_t>(length)) != 0)
        if (errno != EINTR)
            throw FileError::fromSystem(path_, FileOperation::Write, errno);
}

void PosixFile::flush() {
    requireOpen(FileOperation::Flush);
    while (system::calls().fsync(descriptor_) != 0) {
        if (errno == EINTR)
            continue;
        if (unsupported(errno))
            return;
        throw FileError::fromSystem(path_, FileOperation::Flush, errno);
    }
}

void PosixFile::startWriteback() noexcept {
#ifdef __linux__
    // Only a start: whatever goes wrong is for the flush to report.
    if (descriptor_ >= 0)
        ::sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void PosixFile::dropCachedPages() noexcept {
    // Pages still being written stay; a file system that keeps files in memory keeps them all.
    if (descriptor_ >= 0)
        ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_DONTNEED);
}

std::unique_ptr<File> PosixFile::duplicate() {
    requireOpen(FileOperation::Inspect);
    const int copy = system::calls().duplicate(descriptor_);
    if (copy < 0)
        throw FileError::fromSystem(path_, FileOperation::Inspect, errno);
    return std::unique_ptr<File>(new PosixFile(copy, path_, device_, inode_));
}

bool PosixFile::tryLock(LockMode mode) {
    requireOpen(FileOperation::Inspect);
    const int operation = (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (system::calls().flock(descriptor_, operation) != 0) {
        if (errno == EINTR)
            continue;
        // Anything else (ENOLCK, EOPNOTSUPP, ...) is a file system without locks.
        return errno != EWOULDBLOCK;
    }
    return true;
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
