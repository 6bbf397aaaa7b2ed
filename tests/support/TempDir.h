#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing separator, as the folder pickers hand it over.
    std::string folder() const;
    std::string file(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Bytes 0, 1, ..., 250, 0, 1, ... (a period that no block or piece size divides, so a
// piece written at the wrong offset shows).
std::vector<char> patternBytes(std::int64_t count, std::int64_t start = 0);

void writeFile(const std::string& path, std::string_view bytes);
void writePattern(const std::string& path, std::int64_t count);
std::string readFile(const std::string& path);

// Free bytes on the file system that holds path.
std::int64_t freeBytes(const std::filesystem::path& path);

} // namespace kalvex::test
