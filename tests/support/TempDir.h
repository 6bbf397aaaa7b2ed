#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvex::test {

namespace fs = std::filesystem;

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    // A random name, taken only when it is new: tests run side by side.
    TempDir()
        : path_(std::filesystem::temp_directory_path() /
                ("kalvex-test-" + std::to_string(std::random_device()()))) {
        if (!std::filesystem::create_directory(path_))
            throw std::runtime_error("cannot create a temporary folder");
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all); // as mkdtemp
    }
    ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing separator, as the folder pickers hand it over.
    std::string folder() const { return path_.string() + char(path_.preferred_separator); }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::error_code ignored_;
};

// Bytes start, start + 1, ... modulo 251: a period that no block or piece size divides, so
// that bytes copied to the wrong offset show.
inline std::string patternBytes(std::int64_t count, std::int64_t start = 0) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((start + static_cast<std::int64_t>(i)) % 251);
    return bytes;
}

// Paths are UTF-8, also on Windows, where a plain string would be read in the ANSI code page.
inline std::filesystem::path utf8Path(const std::string& path) {
    return std::u8string(path.begin(), path.end());
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(utf8Path(path), std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
        throw std::runtime_error("cannot write " + path);
}

inline void writePattern(const std::string& path, std::int64_t count) {
    writeFile(path, patternBytes(count));
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kalvex::test
