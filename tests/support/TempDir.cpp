#include "support/TempDir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace kalvex::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device random;
    const auto base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("kalvex-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::folder() const { return path_.string() + "/"; }

std::string TempDir::file(std::string_view name) const { return (path_ / name).string(); }

std::vector<char> patternBytes(std::int64_t count, std::int64_t start) {
    std::vector<char> bytes(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((start + i) % 251);
    return bytes;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

void writePattern(const std::string& path, std::int64_t count) {
    const auto bytes = patternBytes(count);
    writeFile(path, std::string_view(bytes.data(), bytes.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int64_t freeBytes(const fs::path& path) {
    return static_cast<std::int64_t>(fs::space(path).available);
}

} // namespace kalvex::test
