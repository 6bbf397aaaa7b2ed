#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <string>

namespace kalvex {

// Where the pieces and the manifest of a split go: the destination folder text followed
// directly by the piece name, then the piece number or "Main".
class PieceNames {
public:
    // A folder that exists but lacks its trailing separator gets one; any other folder
    // text is used exactly as given.
    PieceNames(files::FileSystem& fileSystem, const std::string& folder, const std::string& name);

    const std::string& base() const { return base_; }
    std::string piecePath(std::int64_t number) const;
    std::string manifestPath() const;

private:
    std::string base_;
};

} // namespace kalvex
