// A split past 4 GiB and its join: every byte at its 64-bit offset both ways.
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <cstdlib>

namespace kalvex::test {
namespace {

constexpr std::int64_t MiB = std::int64_t{1} << 20, GiB = std::int64_t{1} << 30;

// The source is cut into a piece that itself passes 2^31 and 2^32 bytes, and a rest that the
// join puts past 4 GiB.
TEST(SplitLarge, PiecesPast4GiBAndTheirJoin) {
    TempDir dir;
    if (std::int64_t(std::filesystem::space(dir.path()).available) < 12 * GiB)
        GTEST_SKIP() << "needs 12 GiB free in " << dir.path() << " for a split past 4 GiB";
    files::FileSystem& native = files::FileSystem::native();
    const std::int64_t size = 4 * GiB + MiB, length = size + 5000;
    const std::string source = dir.file("big.bin");
    // Sparse: patterned around 2^31, 2^32, the piece boundary and the end, where the pattern
    // follows the offset so that a byte copied to the wrong place shows.
    auto out = native.openWrite(source, files::WriteMode::CreateNew);
    for (const std::int64_t start :
         {std::int64_t{0}, 2 * GiB - MiB / 2, 4 * GiB - MiB / 2, length - MiB})
        out->write(start + 1, std::as_bytes(std::span<const char>(patternBytes(MiB, start))));
    out->close();
    ASSERT_EQ(splitAll({source, dir.folder(), "big.split", "big.bin", double(size), 2}, native),
              "");
    EXPECT_EQ(readFile(dir.file("big.splitMain")), " 2 \r\nbig.bin\r\n");
    EXPECT_EQ(native.fileLength(dir.file("big.split1")), size);
    std::filesystem::create_directory(dir.path() / "joined");
    ASSERT_EQ(joinAll(dir.file("big.splitMain"), dir.folder() + "joined/", native), "");
    EXPECT_EQ(std::system(("cmp -s " + source + " " + dir.file("joined/big.bin")).c_str()), 0);
}

} // namespace
} // namespace kalvex::test
