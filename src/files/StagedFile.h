#pragma once

#include "files/File.h"
#include "files/FileSystem.h"

#include <memory>
#include <optional>
#include <string>

namespace kalvex::files {

// A new file that takes its final name only once it is complete, so that neither a failure
// nor a crash leaves a part of it under that name. Where the file system can hold a file
// without a name it has none until then, and a crash leaves nothing behind; elsewhere it is
// written under a temporary name beside the final one: the final name plus suffix, or the
// folder plus suffix where that is too long, numbered on from 2 when taken. A temporary file
// of that name that no job holds (one left by a kill, or kept by a failure) is removed to
// make way: the job holds its own with an exclusive lock for as long as it writes it.
class StagedFile {
public:
    // Creates the file in the folder of finalPath, with the given permissions from the start.
    // Errors name finalPath.
    StagedFile(FileSystem& fileSystem, std::string finalPath, std::string suffix,
               std::optional<Permissions> permissions = std::nullopt);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    File& file() { return *file_; }

    // Flushes the contents when durability is on, before the file has any name (so a kill
    // during the flush leaves nothing behind), closes it, puts it at the final path
    // (replacing a file there) and flushes the folder's entries.
    void commit();

    // After a failure: closes the file, gives it a visible temporary name unless it has
    // one, and returns that name (empty when none could be given). Never throws.
    std::string keep() noexcept;

    // After a failure: closes the file and removes whatever of it has a name.
    void discard() noexcept;

    // The temporary name, once the file has one.
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    template <class Attempt> std::string freeName(const Attempt& attempt);
    bool removeIfStale(const std::string& path);
    void prepare(File& file);
    bool name();
    void closeQuietly() noexcept;

    FileSystem& fileSystem_;
    std::string finalPath_;
    std::string suffix_;
    std::optional<Permissions> permissions_;
    std::unique_ptr<File> file_;
    std::string temporaryPath_;
};

} // namespace kalvex::files
