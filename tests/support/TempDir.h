#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#ifdef _WIN32
#include <random>
#endif
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvex::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
#ifdef _WIN32
        // No mkdtemp there: a random name, created only when it is new.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("kalvex-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path_ = candidate;
        }
        if (path_.empty())
            throw std::runtime_error("cannot create a temporary folder");
#else
        std::string name = (std::filesystem::temp_directory_path() / "kalvex-test-XXXXXX").string();
        if (!::mkdtemp(name.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = name;
#endif
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    // The folder with a trailing separator, as the folder pickers hand it over.
    std::string folder() const {
        return path_.string() + separator;
    }
    std::string file(std::string_view name) const {
        return (path_ / name).string();
    }

private:
#ifdef _WIN32
    static constexpr char separator = '\\';
#else
    static constexpr char separator = '/';
#endif
    std::filesystem::path path_;
};

// Bytes start, start + 1, ... modulo 251: a period that no block or piece size divides, so
// that bytes copied to the wrong offset show.
inline std::string patternBytes(std::int64_t count, std::int64_t start = 0) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((start + static_cast<std::int64_t>(i)) % 251);
    return bytes;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
        throw std::runtime_error("cannot write " + path);
}

inline void writePattern(const std::string& path, std::int64_t count) {
    writeFile(path, patternBytes(count));
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kalvex::test
