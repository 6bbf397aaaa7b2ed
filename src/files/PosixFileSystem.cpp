#include "files/PosixFileSystem.h"

#include "files/FileError.h"
#include "files/FolderPath.h"
#include "files/PosixFile.h"
#include "files/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace kalvex::files {

namespace {

// Bounded so that the caller's window stays alive between chunks.
constexpr std::int64_t kernelChunk = std::int64_t{16} << 20;

// The kernel declines an in-place copy for many harmless reasons (different file systems,
// old kernels, special files, sandboxes); the plain loop then does the work.
bool kernelDeclines(int error) {
    switch (error) {
    case EXDEV:
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
#if defined(ENOTSUP) && ENOTSUP != EOPNOTSUPP
    case ENOTSUP:
#endif
    case EPERM:
    case EBADF:
    case ETXTBSY:
        return true;
    default:
        return false;
    }
}

// Copies in the kernel, from and to 0-based offsets, as far as it agrees to; returns the
// bytes it copied.
std::int64_t copyInKernel(const File& from, std::int64_t fromStart, const File& to,
                          std::int64_t start, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        off_t in = static_cast<off_t>(fromStart + done);
        off_t out = static_cast<off_t>(start + done);
        const auto want = static_cast<std::size_t>(std::min(count - done, kernelChunk));
        const ssize_t copied =
            system::calls().copyFileRange(static_cast<int>(from.nativeHandle()), &in,
                                          static_cast<int>(to.nativeHandle()), &out, want, 0);
        if (copied < 0) {
            if (errno == EINTR)
                continue;
            if (kernelDeclines(errno))
                return done;
            throw FileError::fromSystem(to.path(), FileOperation::Copy, errno);
        }
        // Some file systems report 0 for files they cannot copy in place; the plain loop
        // tells that apart from a source that really ends early.
        if (copied == 0)
            return done;
        done += copied;
    }
    return done;
}

bool statPath(const std::string& path, struct stat& status) {
    return ::stat(path.c_str(), &status) == 0;
}

// The folder a path names, as the system calls take it: "." for the current one.
std::string folderForCalls(const std::string& folder) {
    return folder.empty() ? std::string(".") : folder;
}

// Errors by which a file system says it cannot link an unnamed file, rather than failing.
bool cannotLink(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS ||
           error == EINVAL || error == EXDEV || error == ENOENT || error == EACCES;
}

} // namespace

std::int64_t PosixFileSystem::fileLength(const std::string& path) {
    struct stat status {};
    if (!statPath(path, status))
        throw FileError::fromSystem(path, FileOperation::MeasureLength, errno);
    if (S_ISDIR(status.st_mode))
        throw FileError::fromSystem(path, FileOperation::MeasureLength, EISDIR);
    struct statfs fileSystem {};
    const long type = ::statfs(path.c_str(), &fileSystem) == 0 ? long(fileSystem.f_type) : 0;
    if (const auto reason = PosixFile::notRegularReason(status.st_mode, type))
        throw FileError(path, FileOperation::MeasureLength, *reason);
    return static_cast<std::int64_t>(status.st_size);
}

std::unique_ptr<File> PosixFileSystem::openRead(const std::string& path) {
    return PosixFile::open(path, O_RDONLY, FileOperation::OpenForReading);
}

std::unique_ptr<File> PosixFileSystem::openWrite(const std::string& path, WriteMode mode) {
    // Readable too, so that what was written can be read back through a duplicate (the
    // pieces' digests are made from what is in them).
    int flags = O_RDWR | O_CREAT | O_NOFOLLOW;
    switch (mode) {
    case WriteMode::Keep:
        break;
    case WriteMode::Replace:
        flags |= O_TRUNC;
        break;
    case WriteMode::CreateNew:
        flags |= O_EXCL;
        break;
    }
    return PosixFile::open(path, flags, FileOperation::OpenForWriting);
}

std::unique_ptr<File> PosixFileSystem::openUnnamed(const std::string& path) {
#ifdef O_TMPFILE
    const std::string folder = folderForCalls(folderOf(path));
    try {
        return PosixFile::open(path, O_RDWR | O_TMPFILE, FileOperation::OpenForWriting,
                               folder.c_str());
    } catch (const FileError&) {
        // EOPNOTSUPP, EISDIR, EINVAL...: the named temporary file does the work, and reports
        // any real fault of the folder itself.
        return nullptr;
    }
#else
    (void)path;
    return nullptr;
#endif
}

bool PosixFileSystem::giveName(File& unnamed, const std::string& path) {
    const int descriptor = static_cast<int>(unnamed.nativeHandle());
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    if (system::calls().linkat(AT_FDCWD, link.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) ==
        0)
        return true;
    int error = errno;
#ifdef AT_EMPTY_PATH
    // Without /proc, the descriptor itself; this one wants a privilege the first does not.
    if (cannotLink(error)) {
        if (system::calls().linkat(descriptor, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
            return true;
        error = errno;
    }
#endif
    if (cannotLink(error))
        return false;
    throw FileError::fromSystem(path, FileOperation::Name, error);
}

void PosixFileSystem::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw FileError::fromSystem(path, FileOperation::Remove, errno);
}

bool PosixFileSystem::isLink(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

void PosixFileSystem::flushFolder(const std::string& folder) {
    const std::string opened = folderForCalls(folder);
    const int descriptor =
        system::calls().open(opened.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (descriptor < 0)
        throw FileError::fromSystem(folder, FileOperation::Flush, errno);
    int error = 0;
    while (system::calls().fsync(descriptor) != 0 && (error = errno) == EINTR)
        error = 0;
    system::calls().close(descriptor);
    // Some file systems (FAT through FUSE, network mounts) cannot flush a folder.
    if (error != 0 && error != EINVAL && error != ENOSYS && error != EOPNOTSUPP &&
        error != ENOTSUP && error != EBADF)
        throw FileError::fromSystem(folder, FileOperation::Flush, error);
}

std::optional<std::string> PosixFileSystem::overlongNameReason(const std::string& folder,
                                                               std::string_view name) {
    const long limit = ::pathconf(folderForCalls(folder).c_str(), _PC_NAME_MAX);
    const auto most = static_cast<std::size_t>(limit > 0 ? limit : 255);
    if (name.size() <= most)
        return std::nullopt;
    return "is " + std::to_string(name.size()) + " bytes long; the folder takes names of at most " +
           std::to_string(most) + " bytes";
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    struct stat status {};
    return statPath(path, status) && S_ISDIR(status.st_mode);
}

bool PosixFileSystem::exists(const std::string& path) {
    // A link that leads nowhere still occupies the name.
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool PosixFileSystem::sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return statPath(a, first) && statPath(b, second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::optional<Permissions> PosixFileSystem::permissionsOf(const std::string& path) {
    struct stat status {};
    if (!statPath(path, status))
        return std::nullopt;
    return Permissions{static_cast<std::uint32_t>(status.st_mode & 0777),
                       static_cast<std::uint32_t>(status.st_uid),
                       static_cast<std::uint32_t>(status.st_gid)};
}

void PosixFileSystem::rename(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw FileError::fromSystem(from, FileOperation::Rename, errno);
}

void PosixFileSystem::copy(File& from, File& to, std::int64_t position, std::int64_t count) {
    checkCopy(from, to, position, count);
    std::int64_t done = 0;
    if (!copyFallbackForced()) {
        done = copyInKernel(from, from.offset(), to, position - 1, count);
        from.advance(done);
    }
    if (done < count)
        copyThroughBuffer(from, to, position + done, count - done);
}

std::int64_t PosixFileSystem::copyInPlace(File& from, std::int64_t fromPosition, File& to,
                                          std::int64_t toPosition, std::int64_t count) {
    if (copyFallbackForced())
        return 0;
    return copyInKernel(from, fromPosition - 1, to, toPosition - 1, count);
}

} // namespace kalvex::files
