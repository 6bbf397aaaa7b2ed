#include "files/StagedFile.h"

#include "files/FileError.h"
#include "files/FolderPath.h"

#include <cerrno>
#include <utility>

namespace kalvex::files {

namespace {

constexpr int attempts = 1000;

bool hasCode(const FileError& error, int code) {
    return error.errorCode() == code;
}

} // namespace

StagedFile::StagedFile(FileSystem& fileSystem, std::string finalPath, std::string suffix,
                       std::optional<Permissions> permissions)
    : fileSystem_(fileSystem), finalPath_(std::move(finalPath)), suffix_(std::move(suffix)),
      permissions_(std::move(permissions)) {
    file_ = fileSystem_.openUnnamed(finalPath_);
    if (!file_)
        temporaryPath_ = freeName([&](const std::string& candidate) {
            file_ = fileSystem_.openWrite(candidate, WriteMode::CreateNew);
        });
    try {
        prepare(*file_);
    } catch (...) {
        discard();
        throw;
    }
}

StagedFile::~StagedFile() {
    closeQuietly();
}

// Tries the temporary names in turn until attempt succeeds at one, and returns it.
template <class Attempt> std::string StagedFile::freeName(const Attempt& attempt) {
    const std::string folder = folderOf(finalPath_);
    std::string stem = finalPath_ + suffix_;
    for (int number = 1; number <= attempts; ++number) {
        const std::string candidate = number == 1 ? stem : stem + std::to_string(number);
        try {
            try {
                attempt(candidate);
            } catch (const FileError& error) {
                if (!hasCode(error, EEXIST) || !removeIfStale(candidate))
                    throw;
                attempt(candidate);
            }
            return candidate;
        } catch (const FileError& error) {
            if (hasCode(error, EEXIST))
                continue;
            if (hasCode(error, ENAMETOOLONG) && stem != folder + suffix_) {
                // A name at the length limit leaves no room for the suffix.
                stem = folder + suffix_;
                number = 0;
                continue;
            }
            // Report the file the user knows, not our temporary name.
            throw FileError(finalPath_, error.operation(), error.reason(), error.errorCode());
        }
    }
    throw FileError(finalPath_, FileOperation::OpenForWriting,
                    "no free name for a temporary file beside it");
}

// Removes a temporary file of this name that no job holds. It is removed while locked here,
// so no job can take it in between.
bool StagedFile::removeIfStale(const std::string& path) {
    try {
        if (fileSystem_.isLink(path))
            return false;
        const auto standing = fileSystem_.openWrite(path, WriteMode::Keep);
        if (!standing->tryLock(LockMode::Exclusive))
            return false;
        fileSystem_.remove(path);
        standing->close();
        return true;
    } catch (const FileError&) {
        return false; // not ours to clear: the next number is tried
    }
}

// Before a byte is written: the permissions it is to have, and the lock that tells later jobs
// it is in use.
void StagedFile::prepare(File& file) {
    if (permissions_)
        file.setPermissions(*permissions_);
    file.tryLock(LockMode::Exclusive); // new, so only a file system without locks refuses
}

// Gives the unnamed file a temporary name; where the file system cannot, copies it into a
// named temporary file, which takes its place. True when it made that copy.
bool StagedFile::name() {
    if (!temporaryPath_.empty())
        return false;
    bool named = true;
    const std::string path = freeName(
        [&](const std::string& candidate) { named = fileSystem_.giveName(*file_, candidate); });
    if (named) {
        temporaryPath_ = path;
        return false;
    }
    std::unique_ptr<File> copy;
    temporaryPath_ = freeName([&](const std::string& candidate) {
        copy = fileSystem_.openWrite(candidate, WriteMode::CreateNew);
    });
    prepare(*copy);
    const std::int64_t length = file_->length();
    file_->seek(1);
    fileSystem_.copy(*file_, *copy, 1, length);
    file_->close();
    file_ = std::move(copy);
    return true;
}

void StagedFile::commit() {
    if (durabilityEnabled())
        file_->flush();
    if (name() && durabilityEnabled())
        file_->flush(); // the named copy that took its place
    file_->close();
    fileSystem_.rename(temporaryPath_, finalPath_);
    if (durabilityEnabled())
        fileSystem_.flushFolder(folderOf(finalPath_));
}

std::string StagedFile::keep() noexcept {
    try {
        if (file_ && file_->isOpen())
            name();
    } catch (...) {
        // Nothing more can be done for it; the failure already being reported stands.
    }
    closeQuietly();
    return temporaryPath_;
}

void StagedFile::discard() noexcept {
    closeQuietly();
    if (temporaryPath_.empty())
        return;
    try {
        fileSystem_.remove(temporaryPath_);
    } catch (...) {
        // Left behind under its temporary name; it holds nothing of the user's.
    }
}

void StagedFile::closeQuietly() noexcept {
    try {
        if (file_)
            file_->close();
    } catch (...) {
        // On the way out of a failure, which is what gets reported.
    }
}

} // namespace kalvex::files
