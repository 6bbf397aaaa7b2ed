// The check reads the pieces from the device: none of them stays in the page cache.
#include "join/VerifyJob.h"
#include "support/SplitJoinScene.h"

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
    SplitJoinScene s;
    struct statfs disk {};
    if (::statfs(s.dir.path().c_str(), &disk) == 0 && disk.f_type == TMPFS_MAGIC)
        GTEST_SKIP() << "a file system in memory keeps every page in the cache";
    ASSERT_EQ(s.split(), "");
    for (const int k : {1, 2, 3})
        EXPECT_GT(cachedPages(s.piece(k)), 0U) << k;
    VerifyJob job(s.manifest, s.watch);
    ASSERT_FALSE(job.run());
    EXPECT_TRUE(job.allSound());
    for (const int k : {1, 2, 3})
        EXPECT_EQ(cachedPages(s.piece(k)), 0U) << k;
}

} // namespace
} // namespace kalvex::test
#endif
