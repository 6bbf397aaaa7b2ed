#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kalvex::files::system {
class ReplaceCalls;
}

namespace kalvex::test {

// The native file system with failures injected on chosen files. A rule applies to every
// path that ends with its suffix; errors carry the system's reason for the given errno.
// Put it in force with files::FileSystem::Override.
class FaultyFileSystem : public files::FileSystem {
public:
    FaultyFileSystem();
    ~FaultyFileSystem() override;

    // Opening (for reading or writing) fails.
    void failOpen(std::string suffix, int errorCode);
    // The write that would take the file past bytes in total writes what still fits, then
    // fails, as a disk does when it fills up; later writes fail at once.
    void failWritesAfter(std::string suffix, std::int64_t bytes, int errorCode);
    // The read that would take more than bytes in total from the file fails.
    void failReadsAfter(std::string suffix, std::int64_t bytes, int errorCode);
    // Closing fails after the file has been closed, as on Linux.
    void failClose(std::string suffix, int errorCode);
    // Renaming from or to a matching path fails.
    void failRename(std::string suffix, int errorCode);
    // Measuring the length, by path or of an open file, fails.
    void failLength(std::string suffix, int errorCode);
    // The kernel's in-place copy takes afterBytes in all, then refuses with errorCode
    // (EXDEV and the like make the copy go on through its plain loop; ENOSPC or EIO fail it).
    // Only copies between files without read or write rules reach the kernel's copy.
    void failCopyFileRange(int errorCode, std::int64_t afterBytes = 0);

    // How many times matching paths were opened (any mode).
    int opens(std::string_view suffix) const;
    // Files opened through this file system that are still open.
    int openFiles() const;

    std::int64_t fileLength(const std::string& path) override;
    std::unique_ptr<files::File> openRead(const std::string& path) override;
    std::unique_ptr<files::File> openWrite(const std::string& path, files::WriteMode mode) override;
    bool isDirectory(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    void rename(const std::string& from, const std::string& to) override;
    void copy(files::File& from, files::File& to, std::int64_t position, std::int64_t count,
              const std::function<void()>& afterChunk) override;

    struct State;

private:
    std::unique_ptr<files::File> wrap(std::unique_ptr<files::File> file);

    std::shared_ptr<State> state_;
    std::unique_ptr<files::system::ReplaceCalls> copyHook_;
};

} // namespace kalvex::test
