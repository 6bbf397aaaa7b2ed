// Outputs past 4 GiB: every piece lands at its 64-bit offset.
#include "join/JoinJob.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalvex::test {
namespace {

constexpr std::int64_t GiB = std::int64_t{1} << 30;

struct Quiet : JoinObserver {
    void pieceDone(float, std::int64_t) override {}
    void idle() override {}
};

// The bytes of the file at offset.
std::string bytesAt(const std::string& path, std::int64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    std::ifstream file(path, std::ios::binary);
    file.seekg(offset).read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes;
}

TEST(JoinLarge, OutputBeyondFourGiBHoldsEveryPieceAtItsOffset) {
    TempDir dir;
    if (freeBytes(dir.path()) < 12 * GiB)
        GTEST_SKIP() << "needs 12 GiB free beside " << dir.path() << " for pieces and output";
    // Sparse pieces, as one split cuts them, with marks of their own at both ends; piece 2
    // crosses the 4 GiB mark of the output and piece 3 starts past it.
    const std::int64_t lengths[] = {2 * GiB + 7, 2 * GiB + 7, (1 << 20) + 3};
    for (int k = 0; k < 3; ++k) {
        const std::string piece = dir.file("big.split" + std::to_string(k + 1));
        writeFile(piece, patternBytes(4096, 31 * k));
        std::filesystem::resize_file(piece, static_cast<std::uintmax_t>(lengths[k]));
        std::fstream(piece, std::ios::binary | std::ios::in | std::ios::out)
            .seekp(lengths[k] - 4096)
            .write(patternBytes(4096, 31 * k + 13).data(), 4096);
    }
    writeFile(dir.file("big.splitMain"), " 3 \r\nbig.bin\r\n");
    Quiet observer;
    ASSERT_NO_THROW(JoinJob(dir.file("big.splitMain"), dir.folder(), observer).run());

    const std::string output = dir.file("big.bin");
    std::int64_t offset = 0;
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(bytesAt(output, offset, 4096) == patternBytes(4096, 31 * k)) << k;
        EXPECT_TRUE(bytesAt(output, offset + 4096, 4096) == std::string(4096, '\0')) << k;
        offset += lengths[k];
        EXPECT_TRUE(bytesAt(output, offset - 4096, 4096) == patternBytes(4096, 31 * k + 13)) << k;
    }
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(output)), offset);
}

} // namespace
} // namespace kalvex::test
