#include "join/JoinTestFiles.h"

#include "support/TempDir.h"

namespace kalvex::test {

void writeManifest(const std::string& path, std::string_view countLine, std::string_view title,
                   std::string_view ending) {
    std::string text(countLine);
    text += ending;
    text += title;
    text += ending;
    writeFile(path, text);
}

std::string writePieces(const std::string& basePath, const std::vector<std::int64_t>& sizes) {
    std::string joined;
    std::int64_t start = 0;
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        // Each piece continues the pattern at its own start, shifted by its number, so a
        // piece out of order or at a wrong offset shows in the output.
        const auto bytes = patternBytes(sizes[k], start + static_cast<std::int64_t>(k) * 7);
        const std::string piece(bytes.begin(), bytes.end());
        writeFile(basePath + std::to_string(k + 1), piece);
        joined += piece;
        start += sizes[k];
    }
    return joined;
}

std::set<std::string> listing(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kalvex::test
