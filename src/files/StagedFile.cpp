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

StagedFile::StagedFile(FileSystem& fileSystem, std::string finalPath, std::string suffix)
    : fileSystem_(fileSystem), finalPath_(std::move(finalPath)), suffix_(std::move(suffix)) {
    file_ = fileSystem_.openUnnamed(finalPath_);
    if (file_)
        return;
    temporaryPath_ = freeName([&](const std::string& candidate) {
        file_ = fileSystem_.openWrite(candidate, WriteMode::CreateNew);
    });
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
            attempt(candidate);
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

// Gives the unnamed file a temporary name; where the file system cannot, copies it into a
// named temporary file, which takes its place.
void StagedFile::name() {
    if (!temporaryPath_.empty())
        return;
    bool named = true;
    const std::string path = freeName(
        [&](const std::string& candidate) { named = fileSystem_.giveName(*file_, candidate); });
    if (named) {
        temporaryPath_ = path;
        return;
    }
    std::unique_ptr<File> copy;
    temporaryPath_ = freeName([&](const std::string& candidate) {
        copy = fileSystem_.openWrite(candidate, WriteMode::CreateNew);
    });
    const std::int64_t length = file_->length();
    file_->read({}, 1); // back to the first byte
    fileSystem_.copy(*file_, *copy, 1, length, {});
    file_->close();
    file_ = std::move(copy);
}

void StagedFile::commit() {
    name();
    if (durabilityEnabled())
        file_->flush();
    file_->close();
    fileSystem_.rename(temporaryPath_, finalPath_);
    if (durabilityEnabled())
        fileSystem_.flushFolder(folderOf(finalPath_));
}

std::string StagedFile::keep() noexcept {
    try {
        // Room reserved past what was written is not kept with it.
        if (file_ && file_->isOpen())
            file_->truncate(file_->length());
    } catch (...) {
        // Only room on the device; what was written stays.
    }
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
