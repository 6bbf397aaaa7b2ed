#include "files/FileSystem.h"

#include "files/PosixFileSystem.h"

namespace kalvex::files {

namespace {
FileSystem* overridden = nullptr;
bool durable = true;
} // namespace

FileSystem& FileSystem::native() {
    static PosixFileSystem system;
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
