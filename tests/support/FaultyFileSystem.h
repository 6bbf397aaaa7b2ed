#pragma once

#include "files/PosixFile.h"
#include "files/PosixFileSystem.h"
#include "files/SystemCalls.h"
#include "support/FileFaults.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace kalvex::test {

// The native POSIX file system with the failures of FileFaults injected on chosen files, and
// what only the system calls can show: the kernel's copy declining, features that sticks
// lack, every flush made. The faults act at the system calls, so the file layer's own loops
// and checks meet them as they would meet a real disk. FailingFileSystem does the rest on
// every system. Use one at a time: while a second one lives, the first one's faults wait.
// Safe to use from several threads at once.
class FaultyFileSystem : public files::PosixFileSystem, public FileFaults {
    using Op = files::FileOperation;
    using FilePtr = std::unique_ptr<files::File>;

public:
    FaultyFileSystem() { active = this; }
    ~FaultyFileSystem() override { active = previous_; }

    // The kernel's in-place copy (copy_file_range) takes bytes in all, then refuses with error
    // (EXDEV and the like make the copy go on through its plain loop; ENOSPC or EIO fail it). Files
    // with read or write rules never reach the kernel's copy.
    void failCopyFileRange(int error, std::int64_t bytes = 0) { addRule(Copy, "", bytes, error); }
    // The file system lacks a feature, as FAT and exFAT sticks do: its calls fail with error
    // (EOPNOTSUPP or EISDIR for unnamed files, EPERM for links, ENOLCK, EINVAL for folders).
    enum Feature { UnnamedFiles, Links, Locks, FolderFlushes };
    void lack(Feature feature, int error) { lacks_[feature] = error; }

    // Every file and folder flushed to the device, in order.
    std::vector<std::string> flushed() const {
        const std::lock_guard lock(mutex_);
        return flushed_;
    }

    FilePtr openRead(const std::string& path) override {
        return track(path, Op::OpenForReading, [&] { return PosixFileSystem::openRead(path); });
    }
    FilePtr openWrite(const std::string& path, files::WriteMode mode) override {
        return track(path, Op::OpenForWriting,
                     [&] { return PosixFileSystem::openWrite(path, mode); });
    }
    FilePtr openUnnamed(const std::string& path) override {
        return track(path, Op::OpenForWriting, [&] { return PosixFileSystem::openUnnamed(path); });
    }
    void rename(const std::string& from, const std::string& to) override {
        check(Rename, from, Op::Rename, to);
        PosixFileSystem::rename(from, to);
    }
    void remove(const std::string& path) override {
        check(Remove, path, Op::Remove);
        PosixFileSystem::remove(path);
    }

private:
    // Fails the open when a rule says so, and notes the descriptor of the file.
    template <class Opening>
    FilePtr track(const std::string& path, Op operation, const Opening& open) {
        check(Open, path, operation);
        auto file = open();
        const std::lock_guard lock(mutex_);
        if (file) { // an unnamed file may be refused
            open_[static_cast<int>(file->nativeHandle())] = path;
            opened();
        }
        return file;
    }

    static files::system::Calls real() { return files::system::nativeCalls(); }
    // The path a descriptor was opened under here.
    static std::optional<std::string> tracked(int descriptor) {
        const std::lock_guard lock(active->mutex_);
        const auto found = active->open_.find(descriptor);
        return found == active->open_.end() ? std::nullopt : std::optional(found->second);
    }
    static int ruled(int descriptor, Kind kind) {
        const auto path = tracked(descriptor);
        return path ? active->ruleError(kind, *path) : 0;
    }
    static int failWith(int error) { return errno = error, -1; }
    // Lets through what the descriptor's rule of this kind still allows, then fails.
    static ssize_t transferOn(int descriptor, Kind kind, std::size_t size,
                              const std::function<ssize_t(std::size_t)>& call) {
        const auto path = tracked(descriptor);
        return path ? active->transfer(kind, *path, size, call, failWith) : call(size);
    }
    // The system calls in force while this file system lives.
    static ssize_t readCall(int descriptor, void* data, size_t size, off_t offset) {
        return transferOn(descriptor, Read, size, [&](std::size_t allowed) {
            return real().pread(descriptor, data, allowed, offset);
        });
    }
    static void announceWrite(int descriptor, off_t offset, std::size_t size) {
        if (const auto path = tracked(descriptor); path && active->beforeWrite)
            active->beforeWrite(*path, offset + 1, size);
    }
    static ssize_t writeCall(int descriptor, const void* data, size_t size, off_t offset) {
        announceWrite(descriptor, offset, size);
        return transferOn(descriptor, Write, size, [&](std::size_t allowed) {
            return real().pwrite(descriptor, data, allowed, offset);
        });
    }
    static int closeCall(int descriptor) {
        const int error = ruled(descriptor, Close);
        {
            const std::lock_guard lock(active->mutex_);
            if (active->open_.erase(descriptor))
                active->closed();
        }
        const int result = real().close(descriptor);
        return error ? failWith(error) : result;
    }
    static ssize_t copyCall(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                            unsigned flags) {
        for (const int descriptor : {in, out})
            if (ruled(descriptor, Read) || ruled(descriptor, Write))
                return failWith(EXDEV);
        announceWrite(out, *outOffset, size);
        return transferOn(out, Copy, size, [&](std::size_t allowed) {
            return real().copyFileRange(in, inOffset, out, outOffset, allowed, flags);
        });
    }
    static int duplicateCall(int descriptor) {
        const int copy = real().duplicate(descriptor);
        const auto path = tracked(descriptor);
        const std::lock_guard lock(active->mutex_);
        if (copy >= 0 && path) {
            active->open_[copy] = *path;
            active->opened();
        }
        return copy;
    }

    static int lacking(Feature feature) { return active->lacks_[feature]; }
    static int openCall(const char* path, int flags, mode_t mode) {
        if ((flags & O_TMPFILE) == O_TMPFILE && lacking(UnnamedFiles))
            return failWith(lacking(UnnamedFiles));
        return real().open(path, flags, mode);
    }
    // Names the descriptor by the path it was opened under, or by what the system says.
    static std::string pathOf(int descriptor) {
        if (const auto path = tracked(descriptor))
            return *path;
        std::error_code ignored;
        return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), ignored)
            .string();
    }
    static int fsyncCall(int descriptor) {
        const std::string path = pathOf(descriptor);
        if (const int error = active->ruleError(Flush, path))
            return failWith(error);
        if (!tracked(descriptor) && lacking(FolderFlushes))
            return failWith(lacking(FolderFlushes));
        if (tracked(descriptor) && active->beforeFlush)
            active->beforeFlush(path);
        {
            const std::lock_guard lock(active->mutex_);
            active->flushed_.push_back(path);
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

    inline static FaultyFileSystem* active = nullptr;
    FaultyFileSystem* previous_ = active;
    static constexpr files::system::Calls faultyCalls{readCall,  writeCall,  closeCall,
                                                      copyCall,  openCall,   fsyncCall,
                                                      flockCall, linkatCall, duplicateCall};
    files::system::ReplaceCalls calls_{faultyCalls};
    int lacks_[FolderFlushes + 1] = {}; // errno by feature, 0 where it is there
    std::vector<std::string> flushed_;
    std::map<int, std::string> open_; // path by descriptor
    mutable std::mutex mutex_;        // over open_ and flushed_
};

} // namespace kalvex::test
