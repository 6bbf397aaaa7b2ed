#pragma once

#include "files/File.h"
#include "files/FileSystem.h"

#include <memory>
#include <string>

namespace kalvex::files {

// A new file that takes its final name only once it is complete, so that neither a failure
// nor a crash leaves a part of it under that name. Where the file system can hold a file
// without a name it has none until then, and a crash leaves nothing behind; elsewhere it is
// written under a temporary name beside the final one: the final name plus suffix, or the
// folder plus suffix where that is too long, numbered on from 2 when taken.
class StagedFile {
public:
    // Creates the file in the folder of finalPath. Errors name finalPath.
    StagedFile(FileSystem& fileSystem, std::string finalPath, std::string suffix);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    File& file() { return *file_; }

    // Flushes the contents when durability is on, closes the file, puts it at the final
    // path (replacing a file there) and flushes the folder's entries.
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
    void name();
    void closeQuietly() noexcept;

    FileSystem& fileSystem_;
    std::string finalPath_;
    std::string suffix_;
    std::unique_ptr<File> file_;
    std::string temporaryPath_;
};

} // namespace kalvex::files
