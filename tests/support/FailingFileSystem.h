#pragma once

#include "files/FileError.h"
#include "files/FileSystem.h"

#ifdef _WIN32
#include "files/Win32Text.h"
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvex::test {

// What the platform's file layer throws for the system error that errno stands for.
inline files::FileError systemError(const std::string& path, files::FileOperation operation,
                                    int error) {
#ifdef _WIN32
    // Windows reports it by its own number, in its own words.
    unsigned long code = ERROR_IO_DEVICE;
    for (const auto& [number, win32] : {std::pair{ENOSPC, ERROR_DISK_FULL},
                                        {EACCES, ERROR_ACCESS_DENIED},
                                        {EROFS, ERROR_WRITE_PROTECT},
                                        {ENOENT, ERROR_FILE_NOT_FOUND},
                                        {EEXIST, ERROR_FILE_EXISTS}})
        code = number == error ? win32 : code;
    return files::win32::systemError(path, operation, code);
#else
    return files::FileError::fromSystem(path, operation, error);
#endif
}

// A file system that fails where its rules say and otherwise does what the one it wraps does,
// the native one by default. A rule applies to every path that ends with its suffix ("" for
// all), or to a folder's path without its trailing separator, and fails as the platform's own
// file layer fails for its errno. Every file it opens is a FailingFile, which must not outlive
// it. Copies go through the plain loop of reads and writes, never the kernel's in-place copy,
// so that the rules meet every byte. Works the same on every system. Set the rules up before
// the files are used; they may then be used from several threads.
class FailingFileSystem : public files::FileSystem {
    using Op = files::FileOperation;
    using FilePtr = std::unique_ptr<files::File>;
    friend class FailingFile;

public:
    explicit FailingFileSystem(files::FileSystem& real = files::FileSystem::native())
        : real_(real) {}

    // Opening for reading or writing fails, also an unnamed file.
    void failOpen(std::string suffix, int error) { addRule(Open, suffix, 0, error); }
    // Once bytes have been written to matching files in all, the next write fails, as on a
    // disk that fills up; the write that reaches the limit stops there with a short count.
    void failWritesAfter(std::string suffix, std::int64_t bytes, int error) {
        addRule(Write, suffix, bytes, error);
    }
    // The same for reads from matching files.
    void failReadsAfter(std::string suffix, std::int64_t bytes, int error) {
        addRule(Read, suffix, bytes, error);
    }
    // Closing fails after the file has really been closed, as on Linux.
    void failClose(std::string suffix, int error) { addRule(Close, suffix, 0, error); }
    // Flushing a matching file or folder fails.
    void failFlush(std::string suffix, int error) { addRule(Flush, suffix, 0, error); }
    // Renaming from or to a matching path fails.
    void failRename(std::string suffix, int error) { addRule(Rename, suffix, 0, error); }
    // False: no file can lack a name, as on FAT sticks and on Windows.
    bool unnamedFiles = true;

    // Runs before each write into a file opened here: its path, the 1-based position, the size.
    std::function<void(const std::string&, std::int64_t, std::size_t)> beforeWrite;
    // Runs before each flush of a file opened here that no rule fails, with its path.
    std::function<void(const std::string&)> beforeFlush;

    // Files opened here (and their duplicates) that are not closed yet.
    int openFiles() const { return openCount_; }

    FilePtr openRead(const std::string& path) override {
        check(Open, path, Op::OpenForReading);
        return wrap(real_.openRead(path));
    }
    FilePtr openWrite(const std::string& path, files::WriteMode mode) override {
        check(Open, path, Op::OpenForWriting);
        return wrap(real_.openWrite(path, mode));
    }
    // An open rule fails an unnamed file as well, as the named one that would stand in for it
    // would fail: the same on every system, whether it has unnamed files or not.
    FilePtr openUnnamed(const std::string& path) override {
        check(Open, path, Op::OpenForWriting);
        return unnamedFiles ? wrap(real_.openUnnamed(path)) : nullptr;
    }
    bool giveName(files::File& unnamed, const std::string& path) override;
    void remove(const std::string& path) override { real_.remove(path); }
    void rename(const std::string& from, const std::string& to) override {
        check(Rename, from, Op::Rename, to);
        real_.rename(from, to);
    }
    void flushFolder(const std::string& folder) override {
        check(Flush, folder, Op::Flush);
        real_.flushFolder(folder);
    }

    std::int64_t fileLength(const std::string& path) override { return real_.fileLength(path); }
    bool isLink(const std::string& path) override { return real_.isLink(path); }
    std::optional<std::string> overlongNameReason(const std::string& folder,
                                                  std::string_view name) override {
        return real_.overlongNameReason(folder, name);
    }
    bool isDirectory(const std::string& path) override { return real_.isDirectory(path); }
    bool exists(const std::string& path) override { return real_.exists(path); }
    bool sameFile(const std::string& a, const std::string& b) override {
        return real_.sameFile(a, b);
    }
    std::optional<files::Permissions> permissionsOf(const std::string& path) override {
        return real_.permissionsOf(path);
    }

private:
    enum Kind { Open, Read, Write, Close, Flush, Rename };
    struct Rule { // bytes: what reads or writes may still move
        Kind kind;
        std::string suffix;
        std::int64_t bytes;
        int error;
    };

    void addRule(Kind kind, std::string suffix, std::int64_t bytes, int error) {
        rules_.push_back({kind, std::move(suffix), bytes, error});
    }
    Rule* find(Kind kind, std::string_view path) {
        while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
            path.remove_suffix(1);
        for (Rule& rule : rules_)
            if (rule.kind == kind && path.ends_with(rule.suffix))
                return &rule;
        return nullptr;
    }
    // Throws the error of the first rule of this kind that matches path or, where given,
    // other, naming path.
    void check(Kind kind, const std::string& path, Op operation, std::string_view other = {}) {
        const Rule* rule = find(kind, path);
        rule = rule || other.empty() ? rule : find(kind, other);
        if (rule)
            throw systemError(path, operation, rule->error);
    }
    // Moves through move(allowed) what a rule of this kind on path still lets through of size
    // bytes (all, without a rule), and returns what move moved. Once the rule lets nothing
    // through, fails with its errno.
    template <class Move>
    std::size_t transfer(Kind kind, const std::string& path, Op operation, std::size_t size,
                         const Move& move) {
        Rule* rule = find(kind, path);
        if (!rule)
            return move(size);
        std::size_t allowed = 0;
        {
            const std::lock_guard lock(bytesMutex_);
            if (rule->bytes <= 0)
                throw systemError(path, operation, rule->error);
            allowed = static_cast<std::size_t>(
                std::min<std::int64_t>(rule->bytes, static_cast<std::int64_t>(size)));
            rule->bytes -= static_cast<std::int64_t>(allowed);
        }
        const std::size_t moved = move(allowed);
        const std::lock_guard lock(bytesMutex_);
        rule->bytes += static_cast<std::int64_t>(allowed - moved);
        return moved;
    }
    FilePtr wrap(FilePtr file);

    files::FileSystem& real_;
    std::vector<Rule> rules_;
    std::atomic<int> openCount_ = 0;
    std::mutex bytesMutex_; // over the rules' bytes
};

// A file opened through a FailingFileSystem: every call goes to the real file, except where
// the file system's rules fail it. Each read or write moves what the rules allow through
// the real file, so that the file layer's loop meets a short count, then the failure, as it
// would meet a full disk's.
class FailingFile : public files::File {
    using Op = files::FileOperation;
    using Faults = FailingFileSystem;

public:
    FailingFile(std::unique_ptr<files::File> real, FailingFileSystem& faults)
        : real_(std::move(real)), faults_(faults) {
        ++faults_.openCount_;
    }
    ~FailingFile() override { noteClosed(); }

    files::File& real() { return *real_; }

    const std::string& path() const override { return real_->path(); }
    std::int64_t length() override { return real_->length(); }
    void truncate(std::int64_t length) override { real_->truncate(length); }
    void flush() override {
        faults_.check(Faults::Flush, path(), Op::Flush);
        if (faults_.beforeFlush)
            faults_.beforeFlush(path());
        real_->flush();
    }
    void startWriteback() noexcept override { real_->startWriteback(); }
    void dropCachedPages() noexcept override { real_->dropCachedPages(); }
    std::unique_ptr<files::File> duplicate() override {
        return std::make_unique<FailingFile>(real_->duplicate(), faults_);
    }
    bool tryLock(files::LockMode mode) override { return real_->tryLock(mode); }
    void close() override {
        if (!real_->isOpen())
            return;
        noteClosed(); // whatever the close says, the file is closed
        real_->close();
        faults_.check(Faults::Close, path(), Op::Close);
    }
    bool isOpen() const override { return real_->isOpen(); }
    std::intptr_t nativeHandle() const override { return real_->nativeHandle(); }
    std::uint64_t device() const override { return real_->device(); }
    std::uint64_t inode() const override { return real_->inode(); }
    std::uint64_t linkCount() override { return real_->linkCount(); }
    std::optional<files::Permissions> permissions() override { return real_->permissions(); }
    void setPermissions(const files::Permissions& permissions) override {
        real_->setPermissions(permissions);
    }

protected:
    // The real file's reads stop at its end, where this one reports 0.
    std::size_t readAt(std::span<std::byte> data, std::int64_t offset) override {
        return faults_.transfer(Faults::Read, path(), Op::Read, data.size(), [&](auto allowed) {
            const auto count = static_cast<std::size_t>(
                std::clamp<std::int64_t>(real_->length() - offset, 0, std::int64_t(allowed)));
            if (count > 0)
                real_->read(data.first(count), offset + 1);
            return count;
        });
    }
    std::size_t writeAt(std::span<const std::byte> data, std::int64_t offset) override {
        if (faults_.beforeWrite)
            faults_.beforeWrite(path(), offset + 1, data.size());
        return faults_.transfer(Faults::Write, path(), Op::Write, data.size(), [&](auto allowed) {
            real_->write(offset + 1, data.first(allowed));
            return allowed;
        });
    }

private:
    void noteClosed() {
        if (std::exchange(counted_, false))
            --faults_.openCount_;
    }

    std::unique_ptr<files::File> real_;
    FailingFileSystem& faults_;
    bool counted_ = true; // among the file system's open files
};

inline bool FailingFileSystem::giveName(files::File& unnamed, const std::string& path) {
    return real_.giveName(static_cast<FailingFile&>(unnamed).real(), path);
}

inline std::unique_ptr<files::File> FailingFileSystem::wrap(FilePtr file) {
    return file ? std::make_unique<FailingFile>(std::move(file), *this) : nullptr;
}

} // namespace kalvex::test
