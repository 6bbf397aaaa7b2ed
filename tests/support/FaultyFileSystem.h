#pragma once

#include "files/PosixFileSystem.h"
#include "files/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace kalvex::test {

// The native POSIX file system as only its system calls can show it: the kernel's copy
// declining or failing, the features that sticks lack, and every flush made. The faults act
// at the system calls, so the file layer's own loops and fallbacks meet them as they would on
// a real stick. Chosen files fail through a FailingFileSystem, which may wrap this one. Use
// one at a time. Safe to use from several threads at once, but the copy rule from one thread.
class FaultyFileSystem : public files::PosixFileSystem {
    using FilePtr = std::unique_ptr<files::File>;

public:
    FaultyFileSystem() { active = this; }

    // The kernel's in-place copy (copy_file_range) takes bytes in all, then refuses with error
    // (EXDEV and the like make the copy go on through its plain loop; ENOSPC or EIO fail it).
    void failCopyFileRange(int error, std::int64_t bytes = 0) {
        copyError_ = error, copyLeft_ = bytes;
    }
    // The file system lacks a feature, as FAT and exFAT sticks do: its calls fail with error
    // (EOPNOTSUPP or EISDIR for unnamed files, EPERM for links, ENOLCK, EINVAL for folders).
    enum Feature { UnnamedFiles, Links, Locks, FolderFlushes };
    void lack(Feature feature, int error) { lacks_[feature] = error; }

    // Every file and folder flushed to the device, in order.
    std::vector<std::string> flushed() const {
        const std::lock_guard lock(mutex_);
        return flushed_;
    }

    // An unnamed file is known by the path it was opened for, which the system does not know.
    FilePtr openUnnamed(const std::string& path) override {
        auto file = PosixFileSystem::openUnnamed(path);
        const std::lock_guard lock(mutex_);
        if (file) // it may be refused
            unnamed_[static_cast<int>(file->nativeHandle())] = path;
        return file;
    }

private:
    static int failWith(int error) { return errno = error, -1; }
    static int lacking(Feature feature) { return active->lacks_[feature]; }
    static files::system::Calls real() { return files::system::nativeCalls(); }

    // The system calls in force while this file system lives.
    static ssize_t copyCall(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                            unsigned flags) {
        FaultyFileSystem& self = *active;
        if (self.copyError_ && self.copyLeft_ <= 0)
            return failWith(self.copyError_);
        if (self.copyError_)
            size = std::min(size, static_cast<std::size_t>(self.copyLeft_));
        const ssize_t copied = real().copyFileRange(in, inOffset, out, outOffset, size, flags);
        self.copyLeft_ -= std::max<ssize_t>(copied, 0);
        return copied;
    }
    static int openCall(const char* path, int flags, mode_t mode) {
        if ((flags & O_TMPFILE) == O_TMPFILE && lacking(UnnamedFiles))
            return failWith(lacking(UnnamedFiles));
        return real().open(path, flags, mode);
    }
    static int fsyncCall(int descriptor) {
        struct stat status {};
        if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode) && lacking(FolderFlushes))
            return failWith(lacking(FolderFlushes));
        std::error_code ignored;
        std::string path =
            std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), ignored);
        {
            const std::lock_guard lock(active->mutex_);
            active->flushed_.push_back(path.ends_with(" (deleted)") ? active->unnamed_[descriptor]
                                                                    : path);
        }
        return real().fsync(descriptor);
    }
    static int flockCall(int descriptor, int operation) {
        return lacking(Locks) ? failWith(lacking(Locks)) : real().flock(descriptor, operation);
    }
    static int linkatCall(int fromFolder, const char* from, int toFolder, const char* to,
                          int flags) {
        return lacking(Links) ? failWith(lacking(Links))
                              : real().linkat(fromFolder, from, toFolder, to, flags);
    }
    static files::system::Calls faultyCalls() {
        files::system::Calls calls = real();
        calls.open = openCall, calls.copyFileRange = copyCall, calls.fsync = fsyncCall;
        calls.flock = flockCall, calls.linkat = linkatCall;
        return calls;
    }

    inline static FaultyFileSystem* active = nullptr;
    files::system::ReplaceCalls calls_{faultyCalls()};
    int lacks_[FolderFlushes + 1] = {}; // errno by feature, 0 where it is there
    int copyError_ = 0;
    std::int64_t copyLeft_ = 0;
    std::vector<std::string> flushed_;
    std::map<int, std::string> unnamed_; // path by descriptor
    mutable std::mutex mutex_;           // over unnamed_ and flushed_
};

} // namespace kalvex::test
