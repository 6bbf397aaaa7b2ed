#pragma once

// Manifests and pieces for the join tests, written the way a split leaves them.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::test {

// A manifest with the given first line and title, each line ended by ending.
void writeManifest(const std::string& path, std::string_view countLine, std::string_view title,
                   std::string_view ending = "\r\n");

// Pieces base1, base2, ... of the given sizes, each with its own bytes; returns what the
// joined file must hold.
std::string writePieces(const std::string& basePath, const std::vector<std::int64_t>& sizes);

// The names in a folder, to tell that nothing was created.
std::set<std::string> listing(const std::filesystem::path& folder);

} // namespace kalvex::test
