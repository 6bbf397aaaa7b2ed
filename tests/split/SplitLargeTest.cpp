// A split past 4 GiB and its join: every byte at its 64-bit offset both ways.
#include "files/FileSystem.h"
#include "join/JoinJob.h"
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
         {std::int64_t{0}, 2 * GiB - MiB / 2, 4 * GiB - MiB / 2, length - MiB}) {
        const std::string bytes = patternBytes(MiB, start);
        out->write(start + 1, std::as_bytes(std::span(bytes)));
    }
    out->close();
    struct : SplitObserver, JoinObserver {
        void blockDone(float, std::int64_t) override {}
        void pieceDone(float, std::int64_t) override {}
        void idle() override {}
    } quiet;
    SplitJob job(native, {source, dir.folder(), "big.split", "big.bin", double(size), 2}, quiet);
    ASSERT_EQ(SplitJob::routineFor(job.measureSource(), double(size)), SplitRoutine::Over10Meg);
    job.openSource(SplitRoutine::Over10Meg);
    job.copyPieces();
    job.writeManifest();
    job.closeManifest();
    job.closeSource();
    EXPECT_EQ(readFile(dir.file("big.splitMain")), " 2 \r\nbig.bin\r\n");
    EXPECT_EQ(native.fileLength(dir.file("big.split1")), size);
    std::filesystem::create_directory(dir.path() / "joined");
    ASSERT_NO_THROW(JoinJob(dir.file("big.splitMain"), dir.folder() + "joined/", quiet).run());

    // The joined file, streamed against the source 4 MiB at a time.
    auto in = native.openRead(source), joined = native.openRead(dir.file("joined/big.bin"));
    ASSERT_EQ(joined->length(), length);
    for (std::int64_t at = 0; at < length; at += 4 * MiB) {
        const std::int64_t count = std::min(4 * MiB, length - at);
        ASSERT_TRUE(read(*joined, count) == read(*in, count)) << "differs at " << at;
    }
}

} // namespace
} // namespace kalvex
