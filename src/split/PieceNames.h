#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <string>

namespace kalvex {

// Where the pieces, the manifest and the checksum file of a split go: the destination folder
// text followed directly by the piece name, then the piece number, "Main" or ".sha256".
class PieceNames {
public:
    // A folder that exists but lacks its trailing separator gets one; any other folder
    // text is used exactly as given.
    PieceNames(files::FileSystem& fileSystem, const std::string& folder, const std::string& name);

    const std::string& base() const { return base_; }
    std::string piecePath(std::int64_t number) const;
    std::string manifestPath() const;
    // The checksum file: the base followed by ".sha256", so that "movie.split*" takes it along.
    std::string checksumPath() const;

private:
    std::string base_;
};

} // namespace kalvex
