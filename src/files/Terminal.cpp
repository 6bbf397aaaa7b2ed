#include "files/Terminal.h"

#ifdef _WIN32
#include "files/Win32Text.h"

#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace kalvex::files {

#ifdef _WIN32

namespace {

bool goesSomewhere(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(win32::toUtf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void writeText(std::FILE* stream, std::string_view text) {
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !::GetConsoleMode(console, &mode)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    std::fflush(stream);
    DWORD written = 0;
    ::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

void useParentConsole() {
    const bool output = goesSomewhere(STD_OUTPUT_HANDLE), error = goesSomewhere(STD_ERROR_HANDLE);
    if ((output && error) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!output)
        (void)std::freopen("CONOUT$", "w", stdout);
    if (!error)
        (void)std::freopen("CONOUT$", "w", stderr);
}

#else

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

void writeText(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void useParentConsole() {}

#endif

} // namespace kalvex::files
