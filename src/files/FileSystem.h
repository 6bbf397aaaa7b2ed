#pragma once

#include "files/File.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

    // Only regular files are measured and read (a link is followed to its target); anything
    // else (FIFO, device, socket, a file the kernel makes up as it is read, as on /proc) is
    // refused with a reason that says what it is. No open ever waits for another program.
    virtual std::int64_t fileLength(const std::string& path) = 0;
    virtual std::unique_ptr<File> openRead(const std::string& path) = 0;
    // Opened for reading too. Never writes through a symbolic link standing at path, nor into
    // a FIFO or socket: such a path is refused.
    virtual std::unique_ptr<File> openWrite(const std::string& path, WriteMode mode) = 0;

    // A new file for writing in the folder of path that has no name yet, so that a crash
    // leaves nothing behind (Linux: O_TMPFILE). Its path() is the given path, for messages.
    // Nothing when the file system cannot hold a file without a name (Windows, FAT).
    virtual std::unique_ptr<File> openUnnamed(const std::string& path) = 0;

    // Gives a file from openUnnamed the name path (never replacing a file there: the error
    // then has EEXIST). False when the file system cannot do it; the caller then copies.
    virtual bool giveName(File& unnamed, const std::string& path) = 0;

    // Removes the file, or the link itself, at path; a path with nothing there is no failure.
    virtual void remove(const std::string& path) = 0;

    // Whether path itself is a symbolic link (a Windows reparse point), wherever it leads.
    virtual bool isLink(const std::string& path) = 0;

    // Puts the folder's entries (names created, renamed or removed) on the device. A file
    // system that cannot flush a folder is no failure; a flush that fails is.
    virtual void flushFolder(const std::string& folder) = 0;

    // Why name is too long to stand in folder ("is 300 bytes long; the folder takes at most
    // 255"), or nothing when it fits. The limit is the folder's own where the system tells
    // it (pathconf _PC_NAME_MAX), 255 bytes elsewhere.
    virtual std::optional<std::string> overlongNameReason(const std::string& folder,
                                                          std::string_view name) = 0;

    // Whether a path names an existing folder / anything at all.
    virtual bool isDirectory(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;

    // Whether both paths exist and name the same file (links followed).
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;

    // Whether a and b may open one file: they do now, or they are one name with letters of
    // another case in one folder, which a file system that ignores case (FAT, exFAT, NTFS)
    // opens as one file, even where (exFAT through FUSE) each spelling seems another file.
    bool maySameFile(const std::string& a, const std::string& b);

    // The permissions of the file at path (links followed); nothing where it is missing or the
    // system keeps none.
    virtual std::optional<Permissions> permissionsOf(const std::string& path) {
        (void)path;
        return std::nullopt;
    }

    // Renames from over to, replacing a file standing there.
    virtual void rename(const std::string& from, const std::string& to) = 0;

    // Copies count bytes from the current position of from into to at position (1-based),
    // in bounded chunks. Uses the kernel's in-place copy where the system offers it; here,
    // plain reads and writes.
    virtual void copy(File& from, File& to, std::int64_t position, std::int64_t count);

    // Copies count bytes from fromPosition of from to toPosition of to (both 1-based) inside
    // the kernel, as far as the system agrees to, in one call where it can; returns the bytes
    // copied, 0 where the system has no such copy or declines it. Other failures throw.
    virtual std::int64_t copyInPlace(File& from, std::int64_t fromPosition, File& to,
                                     std::int64_t toPosition, std::int64_t count) {
        (void)from, (void)fromPosition, (void)to, (void)toPosition, (void)count;
        return 0;
    }

protected:
    // The checks every copy makes first: a position before the first byte or a negative
    // count is a failure.
    static void checkCopy(const File& from, const File& to, std::int64_t position,
                          std::int64_t count);
    // The plain copy: bounded chunks read from the current position of from.
    static void copyThroughBuffer(File& from, File& to, std::int64_t position, std::int64_t count);
};

// Makes copy() use its plain read-and-write loop even where the kernel could copy in place,
// so that tests reach that path on any machine. The environment variable
// KALVEX_FORCE_COPY_FALLBACK=1 does the same for a whole run.
void setCopyFallbackForced(bool forced);
bool copyFallbackForced();

// Whether the jobs flush what they wrote to the device before reporting success. On by
// default; only the benchmark turns it off, to time the copying alone.
void setDurabilityEnabled(bool enabled);
bool durabilityEnabled();

} // namespace kalvex::files
