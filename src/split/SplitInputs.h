#pragma once

#include <string>

namespace kalvex {

// What a split is asked to do, as the split request hands it over. Text is UTF-8.
struct SplitInputs {
    std::string sourcePath;
    std::string destinationFolder;
    std::string pieceName;
    std::string sourceTitle; // the source's file name, recorded in the manifest
    double pieceSize = 0;    // bytes per piece, a whole number
    double pieceCount = 0;   // pieces to write, a whole number
};

} // namespace kalvex
