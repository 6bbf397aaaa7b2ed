#include "files/SystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kalvex::files::system {

namespace {

ssize_t copyFileRange(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                      unsigned flags) {
#ifdef __linux__
    return ::copy_file_range(in, inOffset, out, outOffset, size, flags);
#else
    (void)in, (void)inOffset, (void)out, (void)outOffset, (void)size, (void)flags;
    errno = ENOSYS;
    return -1;
#endif
}

int duplicate(int descriptor) {
    return ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
}

int openFile(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

} // namespace

Calls nativeCalls() {
    return Calls{::pread, ::pwrite, ::close,  copyFileRange, openFile,
                 ::fsync, ::flock,  ::linkat, duplicate};
}

Calls& calls() {
    static Calls inForce = nativeCalls();
    return inForce;
}

} // namespace kalvex::files::system
