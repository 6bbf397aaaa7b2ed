#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvex::files {

// What the file layer was doing when it failed; named in every message.
enum class FileOperation {
    MeasureLength,
    OpenForReading,
    OpenForWriting,
    OpenForTextOutput,
    OpenForTextInput,
    Read,
    Write,
    ReadLine,
    Close,
    Rename,
    Inspect,
    Copy,
    Flush,
    Remove,
    Name,
    SetPermissions,
    Digest,
};

// Human wording of an operation, as used in messages ("write", "open for reading").
std::string_view operationName(FileOperation operation);

// A failed file operation: which file, what was being done, and the system's reason.
class FileError : public std::runtime_error {
public:
    // errorCode is the system's error number, or 0 when the failure is not the system's
    // (a short file, say); the reason is then our own wording.
    FileError(std::string path, FileOperation operation, std::string reason, int errorCode = 0);

    const std::string& path() const noexcept { return path_; }
    FileOperation operation() const noexcept { return operation_; }
    const std::string& reason() const noexcept { return reason_; }
    int errorCode() const noexcept { return errorCode_; }

    // Builds the error for the current errno-style code, with the system's text as reason.
    static FileError fromSystem(std::string path, FileOperation operation, int errorCode);

private:
    std::string path_;
    FileOperation operation_;
    std::string reason_;
    int errorCode_;
};

} // namespace kalvex::files
