#include "files/FileSystem.h"
#include "split/SplitJob.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kalvex {
namespace {

using namespace test;
constexpr std::int64_t MiB = std::int64_t{1} << 20, GiB = std::int64_t{1} << 30;

std::string read(files::File& file, std::int64_t count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    file.read(std::as_writable_bytes(std::span(bytes)));
    return bytes;
}

// A source past 4 GiB cut into a piece that itself passes 2^31 and 2^32 bytes, and a rest.
TEST(SplitLarge, PiecesPast2GiBAnd4GiB) {
    TempDir dir;
    if (freeBytes(dir.path()) < 12 * GiB)
        GTEST_SKIP() << "needs 12 GiB free in " << dir.path() << " for a split past 4 GiB";
    files::FileSystem& native = files::FileSystem::native();
    const std::int64_t size = 4 * GiB + MiB, length = size + 5000;
    const std::string source = dir.file("big.bin");
    {
        // Sparse: patterned around 2^31, 2^32, the piece boundary and the ends, where the
        // pattern follows the offset so that a byte copied to the wrong place shows.
        auto out = native.openWrite(source, files::WriteMode::CreateNew);
        for (const std::int64_t start :
             {std::int64_t{0}, 2 * GiB - MiB / 2, 4 * GiB - MiB / 2, length - MiB}) {
            const std::string bytes = patternBytes(MiB, start);
            out->write(start + 1, std::as_bytes(std::span(bytes)));
        }
        out->close();
    }
    struct : SplitObserver {
        void blockDone(float, std::int64_t) override {}
    } ignored;
    SplitJob job(native, {source, dir.folder(), "big.split", "big.bin", double(size), 2}, ignored);
    ASSERT_EQ(SplitJob::routineFor(job.measureSource(), double(size)), SplitRoutine::Over10Meg);
    job.openSource(SplitRoutine::Over10Meg);
    job.copyPieces();
    job.writeManifest();
    job.closeManifest();
    job.closeSource();
    EXPECT_EQ(readFile(dir.file("big.splitMain")), " 2 \r\nbig.bin\r\n");

    // The pieces, streamed against the source 4 MiB at a time.
    auto in = native.openRead(source);
    for (const auto& [piece, expected] : {std::pair{dir.file("big.split1"), size},
                                          std::pair{dir.file("big.split2"), std::int64_t{5000}}}) {
        auto part = native.openRead(piece);
        ASSERT_EQ(part->length(), expected) << piece;
        for (std::int64_t at = 0; at < expected; at += 4 * MiB) {
            const std::int64_t count = std::min(4 * MiB, expected - at);
            ASSERT_TRUE(read(*part, count) == read(*in, count)) << piece << " differs at " << at;
        }
    }
}

} // namespace
} // namespace kalvex
