#pragma once

#include "files/File.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kalvex::files {

enum class WriteMode {
    Keep,      // create when missing, keep existing contents
    Replace,   // create when missing, empty an existing file
    CreateNew, // fail when the path already exists
};

// The operations the jobs and the source chooser need. Paths are UTF-8.
// Tests put a failing implementation in place with FileSystem::Override.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The file system in force: the native one unless a test has overridden it.
    static FileSystem& current();
    static FileSystem& native();

    // While alive, current() returns the given file system.
    class Override {
    public:
        explicit Override(FileSystem& replacement);
        ~Override();
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        FileSystem* previous_;
    };

    // The platform's path separator ('/' here, '\\' on Windows).
    static char separator();

    virtual std::int64_t fileLength(const std::string& path) = 0;
    virtual std::unique_ptr<File> openRead(const std::string& path) = 0;
    virtual std::unique_ptr<File> openWrite(const std::string& path, WriteMode mode) = 0;

    // Whether a path names an existing folder / anything at all.
    virtual bool isDirectory(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;

    // Whether both paths exist and name the same file (links followed).
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;

    // Renames from over to, replacing a file standing there.
    virtual void rename(const std::string& from, const std::string& to) = 0;

    // Copies count bytes from the current position of from into to at position (1-based),
    // in chunks, calling afterChunk between them so that a caller can keep a window alive.
    // Uses the kernel's in-place copy where the system offers it.
    virtual void copy(File& from, File& to, std::int64_t position, std::int64_t count,
                      const std::function<void()>& afterChunk) = 0;
};

// Makes copy() use its plain read-and-write loop even where the kernel could copy in place,
// so that tests reach that path on any machine. The environment variable
// KALVEX_FORCE_COPY_FALLBACK=1 does the same for a whole run.
void setCopyFallbackForced(bool forced);
bool copyFallbackForced();

} // namespace kalvex::files
