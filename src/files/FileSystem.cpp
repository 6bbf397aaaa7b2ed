#include "files/FileSystem.h"

#ifdef _WIN32
#include "files/Win32FileSystem.h"
#else
#include "files/PosixFileSystem.h"
#endif

#include <cstdlib>
#include <string_view>

namespace kalvex::files {

namespace {
FileSystem* overridden = nullptr;
bool durable = true;
bool fallbackForced = false;
} // namespace

FileSystem& FileSystem::native() {
#ifdef _WIN32
    static Win32FileSystem system;
#else
    static PosixFileSystem system;
#endif
    return system;
}

FileSystem& FileSystem::current() {
    return overridden != nullptr ? *overridden : native();
}

FileSystem::Override::Override(FileSystem& replacement) : previous_(overridden) {
    overridden = &replacement;
}

FileSystem::Override::~Override() {
    overridden = previous_;
}

void setCopyFallbackForced(bool forced) {
    fallbackForced = forced;
}

bool copyFallbackForced() {
    if (fallbackForced)
        return true;
    const char* variable = std::getenv("KALVEX_FORCE_COPY_FALLBACK");
    return variable != nullptr && std::string_view(variable) == "1";
}

void setDurabilityEnabled(bool enabled) {
    durable = enabled;
}

bool durabilityEnabled() {
    return durable;
}

char FileSystem::separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

} // namespace kalvex::files
