// The split's blocks go through the kernel's in-place copy while it agrees, and through the
// block buffer from the block it first declines, with the same bytes either way.
#include "split/SplitJob.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalvex::test {
namespace {

struct NoProgress : SplitObserver {
    void blockDone(float, std::int64_t) override {}
};

void split(files::FileSystem& system, const TempDir& dir, std::int64_t length, double size,
           SplitRoutine routine) {
    NoProgress quiet;
    SplitJob job(system,
                 {dir.file("in.bin"), dir.folder(), "in.split", "in.bin", size,
                  std::ceil(double(length) / size)},
                 quiet);
    job.openSource(routine);
    job.copyPieces();
    job.writeManifest();
    job.closeManifest();
    job.closeSource();
}

TEST(SplitCopy, KernelThenBufferGiveTheSameBytesAndKernelFailuresFailTheSplit) {
    // Declined at once, after part of a block, after whole blocks; and not declined at all.
    const std::int64_t small = 5000, large = 12 * 1048576 + 17;
    for (const auto& [length, size, routine, copied, error] :
         {std::tuple{small, 2048.0, SplitRoutine::Under10Meg, 0L, EXDEV},
          {small, 2048.0, SplitRoutine::Under10Meg, 1500L, EOPNOTSUPP},
          {large, 3.0 * 1048576, SplitRoutine::Over10Meg, 5L * 1048576, EXDEV},
          {small, 2048.0, SplitRoutine::Under10Meg, 1L << 40, EXDEV}}) {
        SCOPED_TRACE(copied);
        TempDir dir;
        writePattern(dir.file("in.bin"), length);
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(error, copied);
        split(faulty, dir, length, size, routine);
        std::string joined;
        for (int k = 1; k <= std::ceil(double(length) / size); ++k)
            joined += readFile(dir.file("in.split" + std::to_string(k)));
        EXPECT_TRUE(joined == patternBytes(length));
        EXPECT_EQ(faulty.openFiles(), 0);
    }
    TempDir dir;
    writePattern(dir.file("in.bin"), small);
    FaultyFileSystem faulty;
    faulty.failCopyFileRange(ENOSPC, 3000);
    EXPECT_THROW(split(faulty, dir, small, 2048, SplitRoutine::Under10Meg), files::FileError);
}

} // namespace
} // namespace kalvex::test
