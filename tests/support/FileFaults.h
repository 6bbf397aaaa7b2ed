#pragma once

#include "files/FileError.h"

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

// The platform's wording of that error, as messages give it.
inline std::string systemReason(int error) {
    return systemError("", files::FileOperation::Read, error).reason();
}

// The failures that a file system of the tests injects (FailingFileSystem over the File
// interface, FaultyFileSystem at the POSIX calls), and what it sees of its files. A rule
// applies to every path that ends with its suffix ("" for all), or to a folder's path without
// its trailing separator, and fails as the platform's own file layer fails for its errno.
// Set the rules up before the files are used; they may then be used from several threads.
class FileFaults {
    using Op = files::FileOperation;

public:
    enum Kind { Open, Read, Write, Close, Flush, Rename, Remove, Copy };

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
    void failRemove(std::string suffix, int error) { addRule(Remove, suffix, 0, error); }

    // Runs before each write into a file opened here: its path, the 1-based position, the size.
    std::function<void(const std::string&, std::int64_t, std::size_t)> beforeWrite;
    // Runs before each flush of a file opened here that no rule fails, with its path.
    std::function<void(const std::string&)> beforeFlush;

    // Files opened here (and their duplicates) that are not closed yet.
    int openFiles() const { return openCount_; }

    // The errno of the first rule of this kind that matches path or, where given, other; 0
    // where none does.
    int ruleError(Kind kind, std::string_view path, std::string_view other = {}) {
        const Rule* rule = find(kind, path);
        rule = rule || other.empty() ? rule : find(kind, other);
        return rule ? rule->error : 0;
    }
    // Throws that rule's error, naming path.
    void check(Kind kind, const std::string& path, Op operation, std::string_view other = {}) {
        if (const int error = ruleError(kind, path, other))
            throw systemError(path, operation, error);
    }
    // Moves through move(allowed) what a rule of this kind on path still lets through of size
    // bytes (all, without a rule); move returns what it moved. Once the rule lets nothing
    // through, returns refuse(its errno) instead.
    template <class Move, class Refuse>
    auto transfer(Kind kind, std::string_view path, std::size_t size, const Move& move,
                  const Refuse& refuse) -> decltype(move(size)) {
        Rule* rule = find(kind, path);
        if (!rule)
            return move(size);
        std::int64_t allowed = 0;
        {
            const std::lock_guard lock(bytesMutex_);
            if (rule->bytes <= 0)
                return refuse(rule->error);
            allowed = std::min<std::int64_t>(rule->bytes, static_cast<std::int64_t>(size));
            rule->bytes -= allowed;
        }
        const auto moved = move(static_cast<std::size_t>(allowed));
        const std::lock_guard lock(bytesMutex_);
        rule->bytes += allowed - std::max<std::int64_t>(static_cast<std::int64_t>(moved), 0);
        return moved;
    }
    void opened() { ++openCount_; }
    void closed() { --openCount_; }

protected:
    void addRule(Kind kind, std::string suffix, std::int64_t bytes, int error) {
        rules_.push_back({kind, std::move(suffix), bytes, error});
    }

private:
    struct Rule { // bytes: what reads, writes or copies may still move
        Kind kind;
        std::string suffix;
        std::int64_t bytes;
        int error;
    };

    Rule* find(Kind kind, std::string_view path) {
        while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
            path.remove_suffix(1);
        for (Rule& rule : rules_)
            if (rule.kind == kind && path.ends_with(rule.suffix))
                return &rule;
        return nullptr;
    }

    std::vector<Rule> rules_;
    std::atomic<int> openCount_ = 0;
    std::mutex bytesMutex_; // over the rules' bytes
};

} // namespace kalvex::test
