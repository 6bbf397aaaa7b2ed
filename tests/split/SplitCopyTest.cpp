// The split's blocks go through the kernel's in-place copy while it agrees, and through the
// block buffer from the block it first declines, with the same bytes either way.
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalvex::test {
namespace {

TEST(SplitCopy, KernelThenBufferGiveTheSameBytesAndKernelFailuresFailTheSplit) {
    // Declined at once, after part of a block, after whole blocks; not declined at all; and
    // a failure that is no refusal to copy, which fails the split.
    const std::int64_t small = 5000, large = 12 * 1048576 + 17;
    for (const auto& [length, size, routine, copied, error] :
         {std::tuple{small, 2048.0, SplitRoutine::Under10Meg, 0L, EXDEV},
          {small, 2048.0, SplitRoutine::Under10Meg, 1500L, EOPNOTSUPP},
          {large, 3.0 * 1048576, SplitRoutine::Over10Meg, 5L * 1048576, EXDEV},
          {small, 2048.0, SplitRoutine::Under10Meg, 1L << 40, EXDEV},
          {small, 2048.0, SplitRoutine::Under10Meg, 3000L, ENOSPC}}) {
        SCOPED_TRACE(copied);
        TempDir dir;
        writePattern(dir.file("in.bin"), length);
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(error, copied);
        const double count = std::ceil(double(length) / size);
        Watch quiet;
        const std::string message =
            splitAll({dir.file("in.bin"), dir.folder(), "in.split", "in.bin", size, count}, faulty,
                     quiet, routine);
        EXPECT_EQ(faulty.openFiles(), 0);
        EXPECT_EQ(message.find("No space left") != std::string::npos, error == ENOSPC) << message;
        std::string joined;
        for (int k = 1; k <= count && error != ENOSPC; ++k)
            joined += readFile(dir.file("in.split" + std::to_string(k)));
        EXPECT_TRUE(error == ENOSPC || joined == patternBytes(length));
    }
}

} // namespace
} // namespace kalvex::test
