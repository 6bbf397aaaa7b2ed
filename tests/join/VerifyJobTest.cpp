// The check reads the pieces from the device: none of them stays in the page cache.
#include "join/VerifyJob.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#ifdef __linux__
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace kalvex::test {
namespace {

// Pages of the file that sit in the page cache.
std::size_t cachedPages(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    const auto length = static_cast<std::size_t>(fs::file_size(path));
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, descriptor, 0);
    std::vector<unsigned char> resident((length + 4095) / 4096 + 1);
    ::mincore(mapped, length, resident.data());
    ::munmap(mapped, length);
    ::close(descriptor);
    return static_cast<std::size_t>(std::count_if(resident.begin(), resident.end(),
                                                  [](unsigned char page) { return page & 1; }));
}

TEST(VerifyJob, ReadsThePiecesFromTheDeviceAndLeavesThemOutOfTheCache) {
    TempDir dir;
    struct statfs disk {};
    if (::statfs(dir.path().c_str(), &disk) == 0 && disk.f_type == TMPFS_MAGIC)
        GTEST_SKIP() << "a file system in memory keeps every page in the cache";
    writePattern(dir.file("movie.avi"), 3 * 1048576);
    auto& native = files::FileSystem::native();
    ASSERT_EQ(
        splitAll({dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 1048576, 3},
                 native),
        "");
    for (const char* piece : {"movie.split1", "movie.split2", "movie.split3"})
        EXPECT_GT(readFile(dir.file(piece)).size() * cachedPages(dir.file(piece)), 0U) << piece;
    VerifyJob job(dir.file("movie.splitMain"), native);
    ASSERT_FALSE(job.run());
    EXPECT_TRUE(job.allSound());
    for (const char* piece : {"movie.split1", "movie.split2", "movie.split3"})
        EXPECT_EQ(cachedPages(dir.file(piece)), 0U) << piece;
}

} // namespace
} // namespace kalvex::test
#endif
