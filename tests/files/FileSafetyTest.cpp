// The file layer refuses, without waiting, what is not a regular file, and never writes
// through a link.
#include "files/FileError.h"
#include "files/TextInput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kalvex::files {
namespace {

using namespace kalvex::test;

std::string failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& error) {
        return error.what();
    }
    return "(none)";
}

TEST(FileSafety, OnlyRegularFilesAreReadAndNoLinkIsWrittenThrough) {
    TempDir dir;
    FileSystem& fs = FileSystem::native();
    const std::string fifo = dir.file("fifo"), socket = dir.file("socket"), link = dir.file("link");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    socket.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    writeFile(dir.file("target"), "kept");
    std::filesystem::create_symlink(dir.file("target"), link);
    const std::tuple<std::string, std::function<void()>, std::string> cases[] = {
        {fifo, [&] { fs.openRead(fifo); }, "open for reading \"%fifo\": it is a FIFO, not a"},
        {fifo, [&] { fs.fileLength(fifo); }, "measure the length of \"%fifo\": it is a FIFO"},
        {fifo, [&] { fs.openWrite(fifo, WriteMode::Keep); }, "writing \"%fifo\": it is a FIFO"},
        {fifo, [&] { TextInput(fs, fifo); }, "text input \"%fifo\": it is a FIFO"},
        {socket, [&] { fs.fileLength(socket); }, "\"%socket\": it is a socket, not a regular"},
        {"/dev/null", [&] { fs.openRead("/dev/null"); }, "it is a character device"},
        {"/proc", [&] { fs.openRead("/proc/self/status"); }, "made up by the kernel"},
        {"/sys", [&] { fs.fileLength("/sys/kernel/uevent_seqnum"); }, "made up by the kernel"},
        {link, [&] { fs.openWrite(link, WriteMode::Replace); },
         "writing \"%link\": it is a symbolic link, which Kalvex never writes through"},
    };
    for (const auto& [path, action, says] : cases) {
        std::string expected = says;
        if (const auto at = expected.find('%'); at != std::string::npos)
            expected.replace(at, 1, dir.folder());
        const std::string message = failure(action);
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
    EXPECT_EQ(readFile(dir.file("target")), "kept");
    EXPECT_EQ(fs.openRead(link)->length(), 4) << "a link the user chose is read";
    ::close(s);
}

} // namespace
} // namespace kalvex::files
