#include "files/Win32File.h"

#ifdef _WIN32

#include "files/Win32Text.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

namespace kalvex::files {

namespace {

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    overlapped.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return overlapped;
}

} // namespace

std::unique_ptr<Win32File> Win32File::openForReading(const std::string& path) {
    return open(path, false, OPEN_EXISTING, FileOperation::OpenForReading);
}

std::unique_ptr<Win32File> Win32File::openForWriting(const std::string& path, WriteMode mode) {
    // An existing file is emptied only after it has proved to be a regular file.
    const DWORD disposition = mode == WriteMode::CreateNew ? CREATE_NEW : OPEN_ALWAYS;
    auto file = open(path, true, disposition, FileOperation::OpenForWriting);
    if (mode == WriteMode::Replace) {
        FILE_END_OF_FILE_INFO end{};
        if (!::SetFileInformationByHandle(file->handle_, FileEndOfFileInfo, &end, sizeof end))
            throw win32::systemError(path, FileOperation::OpenForWriting, ::GetLastError());
    }
    return file;
}

std::unique_ptr<Win32File> Win32File::open(const std::string& path, bool writable,
                                           unsigned long disposition, FileOperation operation) {
    const std::wstring name = win32::systemPath(path, operation);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw FileError(path, operation, "it is a folder, not a file", EISDIR);

    // Written names are opened as themselves, so a link there is seen and refused.
    const DWORD flags = writable ? FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT
                                 : FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
    HANDLE handle =
        ::CreateFileW(name.c_str(), writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                      flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw win32::systemError(path, operation, ::GetLastError());
    std::unique_ptr<Win32File> file(new Win32File(handle, path, writable));

    // Pipes, consoles and devices (NUL, COM1, ...) are no files to split or join.
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        throw FileError(path, operation, "it is a device or a pipe, not a regular file", EINVAL);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        throw win32::systemError(path, operation, ::GetLastError());
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw FileError(path, operation, "it is a folder, not a file", EISDIR);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        throw FileError(path, operation, "it is a link, which is never written through", ELOOP);
    file->device_ = information.dwVolumeSerialNumber;
    file->inode_ = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return file;
}

std::uint64_t Win32File::linkCount() {
    requireOpen(FileOperation::Inspect);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle_, &information))
        throw win32::systemError(path_, FileOperation::Inspect, ::GetLastError());
    return information.nNumberOfLinks;
}

Win32File::Win32File(void* handle, std::string path, bool writable)
    : handle_(handle), path_(std::move(path)), writable_(writable) {}

Win32File::~Win32File() {
    // An unchecked close only happens on the way out of a failure already being reported.
    if (handle_ != nullptr)
        ::CloseHandle(handle_);
}

void Win32File::requireOpen(FileOperation operation) const {
    if (handle_ == nullptr)
        throw win32::systemError(path_, operation, ERROR_INVALID_HANDLE);
}

std::size_t Win32File::readAt(std::span<std::byte> data, std::int64_t offset) {
    requireOpen(FileOperation::Read);
    OVERLAPPED overlapped = at(offset);
    DWORD got = 0;
    if (!::ReadFile(handle_, data.data(), static_cast<DWORD>(data.size()), &got, &overlapped)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_HANDLE_EOF)
            throw win32::systemError(path_, FileOperation::Read, error);
        return 0;
    }
    return got;
}

std::size_t Win32File::writeAt(std::span<const std::byte> data, std::int64_t offset) {
    requireOpen(FileOperation::Write);
    OVERLAPPED overlapped = at(offset);
    DWORD put = 0;
    if (!::WriteFile(handle_, data.data(), static_cast<DWORD>(data.size()), &put, &overlapped))
        throw win32::systemError(path_, FileOperation::Write, ::GetLastError());
    // No progress without an error: report it rather than spin.
    if (put == 0)
        throw win32::systemError(path_, FileOperation::Write, ERROR_HANDLE_DISK_FULL);
    return put;
}

std::int64_t Win32File::length() {
    requireOpen(FileOperation::MeasureLength);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_, &size))
        throw win32::systemError(path_, FileOperation::MeasureLength, ::GetLastError());
    return size.QuadPart;
}

void Win32File::flush() {
    requireOpen(FileOperation::Flush);
    if (writable_ && !::FlushFileBuffers(handle_))
        throw win32::systemError(path_, FileOperation::Flush, ::GetLastError());
}

std::unique_ptr<File> Win32File::duplicate() {
    requireOpen(FileOperation::Inspect);
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), handle_, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        throw win32::systemError(path_, FileOperation::Inspect, ::GetLastError());
    std::unique_ptr<Win32File> file(new Win32File(copy, path_, writable_));
    file->device_ = device_;
    file->inode_ = inode_;
    return file;
}

void Win32File::truncate(std::int64_t length) {
    requireOpen(FileOperation::Write);
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    if (!::SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end))
        throw win32::systemError(path_, FileOperation::Write, ::GetLastError());
}

bool Win32File::tryLock(LockMode mode) {
    requireOpen(FileOperation::Inspect);
    OVERLAPPED whole{};
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(handle_, flags, 0, MAXDWORD, MAXDWORD, &whole))
        return true;
    // Only a lock held elsewhere refuses; a volume without locks is no reason to stop.
    return ::GetLastError() != ERROR_LOCK_VIOLATION;
}

void Win32File::close() {
    if (handle_ == nullptr)
        return;
    HANDLE handle = handle_;
    // The handle is gone whatever happens next, so it is never closed twice.
    handle_ = nullptr;
    if (!::CloseHandle(handle))
        throw win32::systemError(path_, FileOperation::Close, ::GetLastError());
}

} // namespace kalvex::files

#endif
