#include "files/Win32Text.h"

#ifdef _WIN32

#include <cerrno>
#include <climits>
#include <windows.h>

namespace kalvex::files::win32 {

std::optional<std::wstring> toWide(std::string_view utf8) {
    if (utf8.empty())
        return std::wstring();
    if (utf8.size() > INT_MAX)
        return std::nullopt;
    const int size = static_cast<int>(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX)
        return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string systemMessage(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr)
        return "system error " + std::to_string(code);
    std::wstring message(text, length);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return toUtf8(message);
}

int errnoFor(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    default:
        return EIO;
    }
}

FileError systemError(const std::string& path, FileOperation operation, unsigned long code) {
    return FileError(path, operation, systemMessage(code), errnoFor(code));
}

std::wstring systemPath(const std::string& path, FileOperation operation) {
    if (path.empty())
        throw FileError(path, operation, "the name is empty", ENOENT);
    const auto wide = toWide(path);
    if (!wide || wide->find(L'\0') != std::wstring::npos)
        throw FileError(path, operation, "the name is not valid UTF-8 text", EINVAL);
    // Already in the system's own form: a device or an extended-length path.
    if (wide->starts_with(LR"(\\?\)") || wide->starts_with(LR"(\\.\)"))
        return *wide;
    const DWORD size = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (size == 0)
        throw systemError(path, operation, ::GetLastError());
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        throw systemError(path, operation, ::GetLastError());
    full.resize(length);
    // A reserved device name comes back as \\.\NAME and is opened as such, so that the
    // checks on what was opened refuse it.
    if (full.starts_with(LR"(\\.\)") || full.starts_with(LR"(\\?\)"))
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

} // namespace kalvex::files::win32

#endif
