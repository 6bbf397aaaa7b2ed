#include "files/FileSystem.h"

#ifdef _WIN32
#include "files/Win32FileSystem.h"
#else
#include "files/PosixFileSystem.h"
#endif

namespace kalvex::files {

namespace {
FileSystem* overridden = nullptr;
bool durable = true;
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
