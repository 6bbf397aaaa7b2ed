// Outputs past 4 GiB: every piece lands at its 64-bit offset.
#include "join/JoinJob.h"

#include "join/JoinFailure.h"
#include "join/JoinTestFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace kalvex {
namespace {

using test::TempDir;

constexpr std::int64_t GiB = std::int64_t{1} << 30;

struct CountingObserver : JoinObserver {
    int pieces = 0;
    void pieceDone(float, std::int64_t) override { ++pieces; }
    void idle() override {}
};

// A sparse piece of the given length with distinct bytes at its start and end.
void writeSparsePiece(const std::string& path, std::int64_t length, std::int64_t seed) {
    test::writeFile(path, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(length));
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    const auto head = test::patternBytes(4096, seed);
    const auto tail = test::patternBytes(4096, seed + 13);
    file.write(head.data(), static_cast<std::streamsize>(head.size()));
    file.seekp(length - static_cast<std::int64_t>(tail.size()));
    file.write(tail.data(), static_cast<std::streamsize>(tail.size()));
    ASSERT_TRUE(file.flush());
}

// Streams the output against the pieces in turn; the offset of the first difference, or -1.
std::int64_t firstDifference(const std::string& output, const std::vector<std::string>& pieces) {
    constexpr std::size_t chunk = 4 << 20;
    std::ifstream joined(output, std::ios::binary);
    std::vector<char> expected(chunk);
    std::vector<char> actual(chunk);
    std::int64_t offset = 0;
    for (const auto& path : pieces) {
        std::ifstream piece(path, std::ios::binary);
        while (piece) {
            piece.read(expected.data(), chunk);
            const auto n = static_cast<std::size_t>(piece.gcount());
            joined.read(actual.data(), static_cast<std::streamsize>(n));
            if (static_cast<std::size_t>(joined.gcount()) != n)
                return offset;
            for (std::size_t i = 0; i < n; ++i)
                if (expected[i] != actual[i])
                    return offset + static_cast<std::int64_t>(i);
            offset += static_cast<std::int64_t>(n);
        }
    }
    joined.peek();
    return joined.eof() ? -1 : offset;
}

TEST(JoinLarge, OutputBeyondFourGiBHoldsEveryPieceAtItsOffset) {
    TempDir dir;
    if (test::freeBytes(dir.path()) < 12 * GiB)
        GTEST_SKIP() << "needs 12 GiB free beside " << dir.path() << " for pieces and output";
    const std::string base = dir.file("big.split");
    // Piece 2 crosses the 4 GiB mark of the output and piece 3 starts past it.
    const std::vector<std::int64_t> lengths{3 * GiB + 7, GiB + GiB / 2, (1 << 20) + 3};
    std::vector<std::string> pieces;
    for (std::size_t k = 0; k < lengths.size(); ++k) {
        pieces.push_back(base + std::to_string(k + 1));
        writeSparsePiece(pieces.back(), lengths[k], static_cast<std::int64_t>(k) * 31);
    }
    test::writeManifest(dir.file("big.splitMain"), " 3 ", "big.bin");

    CountingObserver observer;
    ASSERT_NO_THROW(JoinJob(dir.file("big.splitMain"), dir.folder(), observer).run());
    EXPECT_EQ(observer.pieces, 3);
    const std::string output = dir.file("big.bin");
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(output)),
              lengths[0] + lengths[1] + lengths[2]);
    EXPECT_EQ(firstDifference(output, pieces), -1);
}

} // namespace
} // namespace kalvex
