#pragma once

#include <sys/types.h>

namespace kalvex::files::system {

// The system calls the POSIX file layer makes, held in replaceable pointers so that tests
// can make them return the short counts, interruptions and failures that a real disk
// gives only rarely, or lack the features that removable media lack. Production code never
// changes them.
struct Calls {
    ssize_t (*pread)(int descriptor, void* data, size_t size, off_t offset);
    ssize_t (*pwrite)(int descriptor, const void* data, size_t size, off_t offset);
    int (*close)(int descriptor);
    // Sets errno to ENOSYS where the system has no in-kernel copy.
    ssize_t (*copyFileRange)(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                             unsigned flags);
    int (*open)(const char* path, int flags, mode_t mode);
    int (*fsync)(int descriptor);
    int (*flock)(int descriptor, int operation);
    int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    // A second descriptor on the same open file (close-on-exec).
    int (*duplicate)(int descriptor);
};

// The calls the system offers.
Calls nativeCalls();

// The calls in force.
Calls& calls();

// While alive, the given calls are in force; the previous ones come back afterwards.
class ReplaceCalls {
public:
    explicit ReplaceCalls(const Calls& replacement) : previous_(calls()) { calls() = replacement; }
    ~ReplaceCalls() { calls() = previous_; }
    ReplaceCalls(const ReplaceCalls&) = delete;
    ReplaceCalls& operator=(const ReplaceCalls&) = delete;

private:
    Calls previous_;
};

} // namespace kalvex::files::system
