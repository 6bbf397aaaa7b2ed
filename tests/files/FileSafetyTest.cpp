// The file layer refuses, without waiting, what is not a regular file, and never writes
// through a link.
#include "files/FileError.h"
#include "files/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kalvex::files {
namespace {

TEST(FileSafety, OnlyRegularFilesAreReadAndNoLinkIsWrittenThrough) {
    test::TempDir dir;
    FileSystem& fs = FileSystem::native();
    const std::string fifo = dir.file("fifo"), link = dir.file("link");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test::writeFile(dir.file("target"), "kept");
    std::filesystem::create_symlink(dir.file("target"), link);
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { fs.openRead(fifo); }, "reading \"" + fifo + "\": it is a FIFO, not a regular"},
        {[&] { fs.openWrite(fifo, WriteMode::Keep); }, "writing \"" + fifo + "\": it is a FIFO"},
        {[&] { fs.openRead("/dev/null"); }, "it is a character device"},
        {[&] { fs.openRead("/proc/self/status"); }, "made up by the kernel"},
        {[&] { fs.fileLength("/sys/kernel/uevent_seqnum"); }, "made up by the kernel"},
        {[&] { fs.openWrite(link, WriteMode::Replace); },
         "writing \"" + link + "\": it is a symbolic link, which Kalvex never writes through"},
    };
    for (const auto& [action, says] : cases)
        EXPECT_THROW(
            try { action(); } catch (const FileError& error) {
                EXPECT_NE(std::string(error.what()).find(says), std::string::npos) << error.what();
                throw;
            },
            FileError);
    EXPECT_EQ(test::readFile(dir.file("target")), "kept");
    EXPECT_EQ(fs.openRead(link)->length(), 4) << "a link the user chose is read";
}

} // namespace
} // namespace kalvex::files
