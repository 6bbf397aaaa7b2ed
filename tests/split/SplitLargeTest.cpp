// Splits a source of more than 4 GiB into a piece that itself passes 2^31 and 2^32 bytes.
#include "files/FileSystem.h"
#include "split/SplitJob.h"
#include "split/SplitTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace kalvex {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t MiB = std::int64_t{1} << 20;
constexpr std::int64_t GiB = std::int64_t{1} << 30;

// Patterned bytes around the given offsets, holes (zeros) elsewhere; the pattern depends on
// the absolute offset, so a byte copied to the wrong place shows.
void writeSparseSource(const std::string& path, std::int64_t length,
                       const std::vector<std::int64_t>& marks) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.close();
    fs::resize_file(path, static_cast<std::uintmax_t>(length));
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    for (const auto mark : marks) {
        const std::int64_t start = std::max<std::int64_t>(0, mark - MiB / 2);
        const std::int64_t end = std::min(length, mark + MiB / 2);
        const auto bytes = test::patternBytes(end - start, start);
        file.seekp(start);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_TRUE(file.flush()) << "cannot write " << path;
}

char byteAt(const std::string& path, std::int64_t offset) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    return static_cast<char>(in.get());
}

// Reads the pieces one after the other against the source, a chunk at a time.
void expectSameBytes(const std::string& source, const std::vector<std::string>& pieces) {
    std::ifstream in(source, std::ios::binary);
    std::vector<char> expected(static_cast<std::size_t>(4 * MiB));
    std::vector<char> actual(expected.size());
    std::int64_t offset = 0;
    for (const auto& piece : pieces) {
        std::ifstream part(piece, std::ios::binary);
        while (part.read(actual.data(), static_cast<std::streamsize>(actual.size())) ||
               part.gcount() > 0) {
            const auto count = part.gcount();
            in.read(expected.data(), count);
            ASSERT_EQ(in.gcount(), count) << "pieces longer than the source";
            ASSERT_TRUE(std::equal(actual.begin(), actual.begin() + count, expected.begin()))
                << "differs within " << piece << " in the chunk at source offset " << offset;
            offset += count;
        }
    }
    EXPECT_EQ(in.peek(), std::ifstream::traits_type::eof()) << "pieces shorter than the source";
}

struct Progress : SplitObserver {
    std::int64_t blocks = 0;
    std::int64_t lastPercent = -1;
    bool inOrder = true;
    void blockDone(float bar, std::int64_t percent) override {
        ++blocks;
        inOrder = inOrder && percent >= lastPercent && bar >= 0.0F && bar <= 100.0F;
        lastPercent = percent;
    }
};

TEST(SplitLarge, SourceAndPieceBeyond4GiB) {
    test::TempDir dir;
    const std::int64_t free = test::freeBytes(dir.path());
    if (free < 12 * GiB)
        GTEST_SKIP() << "needs 12 GiB free in " << dir.path() << " for a 4 GiB split, has "
                     << free / GiB << " GiB";

    const std::int64_t pieceSize = 4 * GiB + MiB;
    const std::int64_t length = pieceSize + 5000;
    const std::string source = dir.file("big.bin");
    writeSparseSource(source, length, {0, 2 * GiB, 4 * GiB, pieceSize, length});

    Progress progress;
    SplitJob job(files::FileSystem::native(),
                 {source, dir.folder(), "big.split", "big.bin", static_cast<double>(pieceSize), 2},
                 progress);
    ASSERT_EQ(job.measureSource(), length);
    ASSERT_EQ(SplitJob::routineFor(length, static_cast<double>(pieceSize)),
              SplitRoutine::Over10Meg);
    job.openSource(SplitRoutine::Over10Meg);
    job.copyPieces();
    job.writeManifest();
    job.closeManifest();
    job.closeSource();

    const std::string piece1 = dir.file("big.split1");
    const std::string piece2 = dir.file("big.split2");
    EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(piece1)), pieceSize);
    EXPECT_EQ(fs::file_size(piece2), 5000U);
    EXPECT_FALSE(fs::exists(dir.file("big.split3")));
    EXPECT_EQ(test::readFile(dir.file("big.splitMain")), " 2 \r\nbig.bin\r\n");
    EXPECT_EQ(progress.blocks, 4096 + 1 + 1);
    EXPECT_TRUE(progress.inOrder);
    EXPECT_EQ(progress.lastPercent, 100);

    for (const std::int64_t offset : {2 * GiB - 1, 2 * GiB, 4 * GiB - 1, 4 * GiB}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(byteAt(piece1, offset), static_cast<char>(offset % 251));
    }
    EXPECT_EQ(byteAt(piece2, 0), static_cast<char>(pieceSize % 251));
    expectSameBytes(source, {piece1, piece2});
}

} // namespace
} // namespace kalvex
