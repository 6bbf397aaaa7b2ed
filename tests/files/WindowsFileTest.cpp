// The file layer on Windows: binary bytes, 64-bit offsets, UTF-8 names, long paths, the file
// identity, the replacing rename and the names Windows cannot hold. Run under Wine from Linux.
#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FileSystem.h"
#include "files/Win32Text.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <cerrno>
#include <map>
#include <windows.h>

namespace kalvex::test {
namespace {

using files::WriteMode;
using enum files::FileOperation;
files::FileSystem& fs = files::FileSystem::native();
constexpr std::int64_t GiB = std::int64_t{1} << 30;

void put(const std::string& path, std::string_view text, WriteMode mode = WriteMode::Replace,
         std::int64_t at = 1) {
    auto file = fs.openWrite(path, mode);
    file->write(at, std::as_bytes(std::span(text)));
    file->close();
}

TEST(WindowsFiles, SplitAndJoinKeepEveryByteAndNonAsciiNamesAndReplaceAnExistingOutput) {
    TempDir dir;
    // Line feeds, carriage returns and the old end-of-file mark, which text mode would change.
    const std::string data = std::string("\n\x1A\r\n\r\x00\xFF\n\n\x1A", 10) + patternBytes(300),
                      out = dir.folder() + "out\\";
    std::filesystem::create_directory(dir.path() / "out");
    // Line 2 of the manifest: é fits the ANSI code page (1252 here) as one byte; ĉ and the
    // Japanese name do not and go as UTF-8, never as a look-alike.
    for (const auto& [title, line2] : std::map<std::string, std::string>{
             {"bytes.bin", "bytes.bin"},
             {"caf\xC3\xA9.bin", ::GetACP() == 1252 ? "caf\xE9.bin" : ""},
             {"\xC4\x89.bin", "\xC4\x89.bin"},
             {"\xE6\x97\xA5\xE6\x9C\xAC.bin", "\xE6\x97\xA5\xE6\x9C\xAC.bin"}}) {
        SCOPED_TRACE(title);
        put(dir.folder() + title, data);
        put(out + title, patternBytes(1000));
        ASSERT_EQ(splitAll({dir.folder() + title, dir.folder(), "piece.split", title, 7, 45}, fs),
                  "");
        EXPECT_EQ(joinAll(dir.folder() + "piece.splitMain", out, fs), "");
        // The name on the disk is the UTF-8 one asked for, not its bytes read as ANSI.
        EXPECT_EQ(readFile(out + title), data);
        EXPECT_TRUE(line2.empty() ||
                    readFile(dir.folder() + "piece.splitMain") == " 45 \r\n" + line2 + "\r\n");
    }
}

TEST(WindowsFiles, PositionsPastFourGiB) {
    TempDir dir;
    if (std::filesystem::space(dir.path()).available < std::uintmax_t(5 * GiB))
        GTEST_SKIP() << "needs 5 GiB free in " << dir.path() << " in case the file is not sparse";
    const std::string path = dir.file("big.bin");
    HANDLE handle = ::CreateFileW(files::win32::toWide(path)->c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, 0, nullptr);
    DWORD ignored = 0; // sparse where the disk allows it; plain zeros otherwise
    ::DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    ::CloseHandle(handle);
    for (const std::int64_t at : {2 * GiB - 2, 4 * GiB - 3, 4 * GiB + 7})
        put(path, "0123456789", WriteMode::Keep, at);
    auto in = fs.openRead(path);
    EXPECT_EQ(in->length(), 4 * GiB + 16);
    std::string text(10, '\0');
    for (const std::int64_t at : {2 * GiB - 2, 4 * GiB + 7, 4 * GiB - 3})
        EXPECT_EQ((in->read(std::as_writable_bytes(std::span(text)), at), text), "0123456789")
            << at;
    // The copy goes on from where the last read stopped, past 4 GiB.
    auto copy = fs.openWrite(dir.file("tail.bin"), WriteMode::CreateNew);
    fs.copy(*in, *copy, 1, 10);
    copy->close();
    EXPECT_EQ(readFile(dir.file("tail.bin")), "0123456789");
    EXPECT_EQ(
        failure([&] { in->read(std::as_writable_bytes(std::span(text)), 4 * GiB + 10); }).reason(),
        "the file ends before the expected bytes");
}

TEST(WindowsFiles, LongPathsRenameOverAFileIdentityAndRefusals) {
    TempDir dir;
    using files::win32::systemPath;
    const std::string part = std::string(120, 'a') + "\\",
                      folder = dir.folder() + part + part + part;
    std::filesystem::create_directories(systemPath(folder, Inspect));
    const std::string path = folder + std::string(60, 'f') + ".bin";
    // Wine takes long paths in any form; Windows only with the prefix.
    EXPECT_TRUE(systemPath(path, Inspect).starts_with(LR"(\\?\C:\)"));
    EXPECT_EQ(systemPath(R"(\\server\share\a/b)", Inspect), LR"(\\?\UNC\server\share\a\b)");
    put(path + ".moved", "an older, longer file");
    put(path, "long\n");
    fs.rename(path, path + ".moved");
    EXPECT_TRUE(fs.isDirectory(folder) && !fs.exists(path) && fs.exists(path + ".moved") &&
                !fs.isDirectory(path + ".moved") && fs.fileLength(path + ".moved") == 5);

    // The same file under other spellings, and two files that are not one.
    const std::string a = dir.file("a.bin"), missing = dir.file("missing.bin");
    writeFile(a, "a longer text");
    put(a, "a"); // emptied first
    EXPECT_EQ(readFile(a), "a");
    for (const std::string& other :
         {dir.path().generic_string() + "/a.bin", dir.folder() + "x\\..\\A.BIN", a})
        EXPECT_TRUE(fs.sameFile(a, other)) << other;
    EXPECT_FALSE(fs.sameFile(a, path + ".moved") || fs.sameFile(a, missing));

    const auto error = failure([&] { fs.openRead(missing); });
    EXPECT_TRUE(error.path() == missing && error.errorCode() == ENOENT &&
                error.operation() == OpenForReading && !error.reason().empty() &&
                error.reason().find_first_of("\r\n") == std::string::npos);
    EXPECT_EQ(failure([&] { fs.openWrite(a, WriteMode::CreateNew); }).errorCode(), EEXIST);
    EXPECT_EQ(failure([&] { fs.openRead(dir.folder()); }).errorCode(), EISDIR);
    // A device name in a folder opens the device, and a pipe is no file either: both are
    // refused, saying why, before any byte moves.
    HANDLE pipe = ::CreateNamedPipeW(LR"(\\.\pipe\kalvex-test)", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                     1, 0, 0, 0, nullptr);
    const auto refused = [](auto open) {
        return failure(open).reason().ends_with("not a regular file");
    };
    EXPECT_TRUE(refused([&] { fs.openWrite(dir.file("NUL"), WriteMode::Replace); }) &&
                refused([&] { fs.openWrite(dir.file("nul.txt"), WriteMode::Keep); }) &&
                refused([&] { fs.openRead(R"(\\.\pipe\kalvex-test)"); }));
    ::CloseHandle(pipe);
    for (const char* name : {"con", "aux.tar.gz", "COM1", "lpt9.bin", "PRN .x", "name.", "name ",
                             "a<b", "a\"b", "a|b", "a?b", "a*b", "a:b", "a\\b"})
        EXPECT_TRUE(files::unsafeFileNameReason(name).has_value()) << name;
    for (const char* name : {"CONSOLE", "COM10", "LPT0", "nul2.txt", "caf\xC3\xA9.bin"})
        EXPECT_FALSE(files::unsafeFileNameReason(name).has_value()) << name;
}

} // namespace
} // namespace kalvex::test
