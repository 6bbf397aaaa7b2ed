#include "files/Win32FileSystem.h"

#ifdef _WIN32

#include "files/FileError.h"
#include "files/Win32File.h"
#include "files/Win32Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>
#include <windows.h>

namespace kalvex::files {

namespace {

// What names a file: the volume's serial number and the file's index on it.
struct Identity {
    std::uint64_t volume;
    std::uint64_t index;
    DWORD attributes;
    std::int64_t size;
};

// The identity of what path leads to, links followed; nothing when it cannot be opened.
std::optional<Identity> identify(const std::string& path, FileOperation operation,
                                 DWORD* failure = nullptr) {
    const std::wstring name = win32::systemPath(path, operation);
    // No access rights asked: enough to read the identity, and folders open too.
    HANDLE handle =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (failure != nullptr)
            *failure = ::GetLastError();
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(handle, &information) != 0;
    if (!known && failure != nullptr)
        *failure = ::GetLastError();
    ::CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return Identity{information.dwVolumeSerialNumber,
                    (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
                    information.dwFileAttributes,
                    static_cast<std::int64_t>((std::uint64_t{information.nFileSizeHigh} << 32) |
                                              information.nFileSizeLow)};
}

DWORD attributesOf(const std::string& path) {
    try {
        return ::GetFileAttributesW(win32::systemPath(path, FileOperation::Inspect).c_str());
    } catch (const FileError&) {
        return INVALID_FILE_ATTRIBUTES;
    }
}

} // namespace

std::int64_t Win32FileSystem::fileLength(const std::string& path) {
    DWORD failure = ERROR_SUCCESS;
    const auto identity = identify(path, FileOperation::MeasureLength, &failure);
    if (!identity)
        throw win32::systemError(path, FileOperation::MeasureLength, failure);
    if ((identity->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw FileError(path, FileOperation::MeasureLength, "it is a folder, not a file", EISDIR);
    return identity->size;
}

std::unique_ptr<File> Win32FileSystem::openRead(const std::string& path) {
    return Win32File::openForReading(path);
}

std::unique_ptr<File> Win32FileSystem::openWrite(const std::string& path, WriteMode mode) {
    return Win32File::openForWriting(path, mode);
}

bool Win32FileSystem::isDirectory(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::exists(const std::string& path) {
    // The name's own attributes: a link that leads nowhere still occupies the name.
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::sameFile(const std::string& a, const std::string& b) {
    try {
        const auto first = identify(a, FileOperation::Inspect);
        const auto second = first ? identify(b, FileOperation::Inspect) : std::nullopt;
        return first && second && first->volume == second->volume && first->index == second->index;
    } catch (const FileError&) {
        return false; // a name that is not UTF-8 names no file
    }
}

void Win32FileSystem::rename(const std::string& from, const std::string& to) {
    const std::wstring source = win32::systemPath(from, FileOperation::Rename);
    const std::wstring target = win32::systemPath(to, FileOperation::Rename);
    if (!::MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw win32::systemError(from, FileOperation::Rename, ::GetLastError());
}

std::unique_ptr<File> Win32FileSystem::openUnnamed(const std::string&) {
    return nullptr;
}

bool Win32FileSystem::giveName(File&, const std::string&) {
    return false;
}

void Win32FileSystem::remove(const std::string& path) {
    const std::wstring name = win32::systemPath(path, FileOperation::Remove);
    if (::DeleteFileW(name.c_str()))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        throw win32::systemError(path, FileOperation::Remove, error);
}

bool Win32FileSystem::isLink(const std::string& path) {
    const std::wstring name = win32::systemPath(path, FileOperation::Inspect);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void Win32FileSystem::flushFolder(const std::string&) {}

std::optional<std::string> Win32FileSystem::overlongNameReason(const std::string&,
                                                               std::string_view name) {
    constexpr std::size_t limit = 255;
    const auto wide = win32::toWide(name);
    const std::size_t units = wide ? wide->size() : name.size();
    if (units <= limit)
        return std::nullopt;
    return "is " + std::to_string(units) + " characters long; the folder takes names of at most " +
           std::to_string(limit) + " characters";
}

} // namespace kalvex::files

#endif
