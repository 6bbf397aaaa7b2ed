#include "files/FileError.h"

#include <cstring>

namespace kalvex::files {

std::string_view operationName(FileOperation operation) {
    switch (operation) {
    case FileOperation::MeasureLength:
        return "measure the length of";
    case FileOperation::OpenForReading:
        return "open for reading";
    case FileOperation::OpenForWriting:
        return "open for writing";
    case FileOperation::OpenForTextOutput:
        return "open for text output";
    case FileOperation::OpenForTextInput:
        return "open for text input";
    case FileOperation::Read:
        return "read";
    case FileOperation::Write:
        return "write";
    case FileOperation::ReadLine:
        return "read a line of";
    case FileOperation::Close:
        return "close";
    case FileOperation::Rename:
        return "rename";
    case FileOperation::Inspect:
        return "inspect";
    case FileOperation::Copy:
        return "copy into";
    case FileOperation::Flush:
        return "flush to the device";
    case FileOperation::Remove:
        return "remove";
    case FileOperation::Name:
        return "give a name to";
    case FileOperation::SetPermissions:
        return "set the permissions of";
    case FileOperation::Digest:
        return "compute the SHA-256 digest of";
    }
    return "use";
}

namespace {
std::string message(const std::string& path, FileOperation operation, const std::string& reason) {
    return "Cannot " + std::string(operationName(operation)) + " \"" + path + "\": " + reason;
}
} // namespace

FileError::FileError(std::string path, FileOperation operation, std::string reason, int errorCode)
    : std::runtime_error(message(path, operation, reason)), path_(std::move(path)),
      operation_(operation), reason_(std::move(reason)), errorCode_(errorCode) {}

FileError FileError::fromSystem(std::string path, FileOperation operation, int errorCode) {
    return FileError(std::move(path), operation, std::strerror(errorCode), errorCode);
}

} // namespace kalvex::files
