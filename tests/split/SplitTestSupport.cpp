#include "split/SplitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace kalvex::test {

namespace fs = std::filesystem;

SplitScene::SplitScene() {
    fs::create_directory(dir_.path() / "out");
}

SplitInputs SplitScene::source(std::int64_t length, double pieceSize, double pieceCount,
                               const std::string& name) {
    writePattern(dir_.file(name), length);
    return {dir_.file(name), out(), "movie.split", name, pieceSize, pieceCount};
}

std::string SplitScene::piece(std::int64_t number, const std::string& base) const {
    return out() + base + std::to_string(number);
}

std::string SplitScene::manifest(const std::string& base) const {
    return out() + base + "Main";
}

std::vector<std::string> SplitScene::outFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path() / "out"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void SplitScene::expectPieces(const std::vector<std::int64_t>& sizes, const std::string& base,
                              bool noneAfter) const {
    std::int64_t offset = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto path = piece(static_cast<std::int64_t>(i + 1), base);
        const auto expected = patternBytes(sizes[i], offset);
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_EQ(readFile(path), std::string(expected.begin(), expected.end())) << path;
        offset += sizes[i];
    }
    if (noneAfter) {
        EXPECT_FALSE(fs::exists(piece(static_cast<std::int64_t>(sizes.size() + 1), base)));
    }
}

} // namespace kalvex::test
