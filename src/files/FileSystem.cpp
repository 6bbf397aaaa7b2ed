#include "files/FileSystem.h"

#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FolderPath.h"

#ifdef _WIN32
#include "files/Win32FileSystem.h"
#else
#include "files/PosixFileSystem.h"
#endif

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace kalvex::files {

namespace {
FileSystem* overridden = nullptr;
bool durable = true;
// Bounded so that memory does not grow with the file, and callers hear between chunks.
constexpr std::int64_t bufferChunk = std::int64_t{1} << 20;
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

bool FileSystem::maySameFile(const std::string& a, const std::string& b) {
    if (sameFile(a, b))
        return true;
    const std::string folderA = folderOf(a);
    const std::string folderB = folderOf(b);
    if (!equalIgnoringCase(a.substr(folderA.size()), b.substr(folderB.size())))
        return false;
    const auto callable = [](const std::string& folder) {
        return folder.empty() ? std::string(".") : folder;
    };
    return equalIgnoringCase(folderA, folderB) || sameFile(callable(folderA), callable(folderB));
}

void FileSystem::copy(File& from, File& to, std::int64_t position, std::int64_t count) {
    checkCopy(from, to, position, count);
    copyThroughBuffer(from, to, position, count);
}

void FileSystem::checkCopy(const File& from, const File& to, std::int64_t position,
                           std::int64_t count) {
    if (position < 1)
        throw FileError(to.path(), FileOperation::Copy,
                        "position " + std::to_string(position) + " is before the first byte");
    if (count < 0)
        throw FileError(from.path(), FileOperation::Copy,
                        "cannot copy a negative count of " + std::to_string(count) + " bytes");
}

void FileSystem::copyThroughBuffer(File& from, File& to, std::int64_t position,
                                   std::int64_t count) {
    std::vector<std::byte> buffer(static_cast<std::size_t>(std::min(count, bufferChunk)));
    std::int64_t done = 0;
    while (done < count) {
        const auto size = static_cast<std::size_t>(
            std::min(count - done, static_cast<std::int64_t>(buffer.size())));
        const std::span<std::byte> chunk(buffer.data(), size);
        from.read(chunk);
        to.write(position + done, chunk);
        done += static_cast<std::int64_t>(size);
    }
}

void setCopyFallbackForced(bool forced) {
    fallbackForced = forced;
}

bool copyFallbackForced() {
    // Read once: the 1 KiB copy asks for every block, and the environment does not change.
    static const bool byEnvironment = [] {
        const char* variable = std::getenv("KALVEX_FORCE_COPY_FALLBACK");
        return variable != nullptr && std::string_view(variable) == "1";
    }();
    return fallbackForced || byEnvironment;
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
