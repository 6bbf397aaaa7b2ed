#pragma once

#include "split/SplitInputs.h"
#include "split/SplitObserver.h"
#include "support/TempDir.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::test {

// Keeps every block's progress values.
struct ProgressLog : SplitObserver {
    std::vector<std::pair<float, std::int64_t>> blocks;
    void blockDone(float bar, std::int64_t percent) override { blocks.emplace_back(bar, percent); }
};

// A source of patterned bytes in a test folder and an empty destination folder "out/".
class SplitScene {
public:
    SplitScene();

    // Writes the source and returns inputs that split it into out/<pieceName>.
    SplitInputs source(std::int64_t length, double pieceSize, double pieceCount,
                       const std::string& name = "movie.avi");

    const TempDir& dir() const { return dir_; }
    std::string out() const { return dir_.folder() + "out/"; }
    std::string piece(std::int64_t number, const std::string& base = "movie.split") const;
    std::string manifest(const std::string& base = "movie.split") const;

    // Names of the files in out/, sorted.
    std::vector<std::string> outFiles() const;

    // Each piece holds its slice of the patterned source; unless told otherwise, no piece
    // follows the last.
    void expectPieces(const std::vector<std::int64_t>& sizes,
                      const std::string& base = "movie.split", bool noneAfter = true) const;

private:
    TempDir dir_;
};

} // namespace kalvex::test
