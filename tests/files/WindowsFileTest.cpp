// The file layer on Windows: binary bytes, 64-bit offsets, UTF-8 names, long paths, the file
// identity, the replacing rename and the names Windows cannot hold. Run under Wine from Linux.
#include "files/CodePage.h"
#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FileSystem.h"
#include "files/Win32Text.h"
#include "join/JoinJob.h"
#include "split/SplitJob.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <windows.h>

namespace kalvex {
namespace {

using namespace test;
using namespace std::string_literals;
using files::WriteMode;
files::FileSystem& fs = files::FileSystem::native();
constexpr std::int64_t GiB = std::int64_t{1} << 30;

std::span<const std::byte> bytes(std::string_view text) {
    return std::as_bytes(std::span(text));
}

void put(const std::string& path, std::string_view text, WriteMode mode = WriteMode::Replace) {
    auto file = fs.openWrite(path, mode);
    file->write(1, bytes(text));
    file->close();
}

std::string get(const std::string& path) {
    auto file = fs.openRead(path);
    std::string text(static_cast<std::size_t>(file->length()), '\0');
    file->read(std::as_writable_bytes(std::span(text)));
    file->close();
    return text;
}

files::FileError failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const files::FileError& error) {
        return error;
    }
    ADD_FAILURE() << "no FileError thrown";
    return files::FileError("", files::FileOperation::Inspect, "");
}

struct Quiet : SplitObserver, JoinObserver {
    void blockDone(float, std::int64_t) override {}
    void pieceDone(float, std::int64_t) override {}
    void idle() override {}
};

// Splits source (named title in folder) into pieces of size bytes and joins them into
// joinFolder; the rebuilt file's path.
std::string splitAndJoin(const TempDir& dir, const std::string& title, double size,
                         const std::string& joinFolder) {
    Quiet quiet;
    const std::string source = dir.folder() + title;
    const double count = std::ceil(double(fs.fileLength(source)) / size);
    SplitJob job(fs, {source, dir.folder(), "piece.split", title, size, count}, quiet);
    job.measureSource();
    job.openSource(SplitRoutine::Under10Meg);
    job.copyPieces();
    job.writeManifest();
    job.closeManifest();
    job.closeSource();
    JoinJob(dir.folder() + "piece.splitMain", joinFolder, quiet, fs).run();
    return joinFolder + title;
}

TEST(WindowsFiles, SplitAndJoinKeepEveryByteAndNonAsciiNamesAndReplaceAnExistingOutput) {
    TempDir dir;
    // Line feeds, carriage returns and the old end-of-file mark, which text mode would change.
    std::string data = "\n\x1A\r\n\r\x00\xFF\n\n\x1A"s;
    for (int i = 0; i < 300; ++i)
        data += static_cast<char>(i % 256);
    // Line 2 of the manifest: é fits the ANSI code page (1252 here) as one byte, the Japanese
    // name does not and is written as UTF-8.
    const bool ansi1252 = ::GetACP() == 1252;
    struct Case {
        std::string title;
        std::wstring onDisk;
        std::string line2;
    };
    for (const auto& [title, onDisk, line2] :
         {Case{"bytes.bin", L"bytes.bin", "bytes.bin"},
          Case{"caf\xC3\xA9.bin", L"caf\u00E9.bin", ansi1252 ? "caf\xE9.bin" : ""},
          Case{"\xE6\x97\xA5\xE6\x9C\xAC.bin", L"\u65E5\u672C.bin",
               "\xE6\x97\xA5\xE6\x9C\xAC.bin"}}) {
        SCOPED_TRACE(title);
        const std::string out = dir.folder() + "out\\";
        ::CreateDirectoryW(files::win32::systemPath(out, files::FileOperation::Inspect).c_str(),
                           nullptr);
        put(dir.folder() + title, data);
        put(out + title, "an older file of another length");
        ASSERT_NO_THROW(EXPECT_EQ(get(splitAndJoin(dir, title, 7, out)), data));
        // The wide name on the disk is the one that was asked for, not its bytes in ANSI.
        const std::wstring wide = *files::win32::toWide(out) + onDisk;
        EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
        if (!line2.empty()) {
            EXPECT_EQ(get(dir.folder() + "piece.splitMain"), " 45 \r\n" + line2 + "\r\n");
        }
    }
}

TEST(WindowsFiles, PositionsPastFourGiB) {
    TempDir dir;
    if (std::filesystem::space(dir.path()).available < std::uintmax_t(5 * GiB))
        GTEST_SKIP() << "needs 5 GiB free in " << dir.path() << " in case the file is not sparse";
    const std::string path = dir.file("big.bin");
    HANDLE handle = ::CreateFileW(files::win32::toWide(path)->c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD ignored = 0; // sparse where the disk allows it; plain zeros otherwise
    ::DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    ::CloseHandle(handle);

    auto file = fs.openWrite(path, WriteMode::Keep);
    for (const std::int64_t at : {2 * GiB - 2, 4 * GiB - 3, 4 * GiB + 7})
        file->write(at, bytes("0123456789"));
    EXPECT_EQ(file->length(), 4 * GiB + 16);
    file->close();
    auto in = fs.openRead(path);
    std::string text(10, '\0');
    for (const std::int64_t at : {2 * GiB - 2, 4 * GiB - 3, 4 * GiB + 7}) {
        in->read(std::as_writable_bytes(std::span(text)), at);
        EXPECT_EQ(text, "0123456789") << at;
    }
    // The copy goes on from where the last read stopped, past 4 GiB.
    auto copy = fs.openWrite(dir.file("tail.bin"), WriteMode::CreateNew);
    in->read(std::as_writable_bytes(std::span(text)), 4 * GiB - 3);
    fs.copy(*in, *copy, 1, 10, {});
    copy->close();
    EXPECT_EQ(get(dir.file("tail.bin")), "0123456789");
    EXPECT_EQ(
        failure([&] { in->read(std::as_writable_bytes(std::span(text)), 4 * GiB + 10); }).reason(),
        "the file ends before the expected bytes");
}

TEST(WindowsFiles, PathsPastTwoHundredSixtyCharactersAndFileIdentity) {
    TempDir dir;
    std::string folder = dir.folder();
    for (int depth = 0; folder.size() < 300; ++depth) {
        folder += std::string(40, char('a' + depth)) + "\\";
        ASSERT_TRUE(::CreateDirectoryW(
            files::win32::systemPath(folder, files::FileOperation::Inspect).c_str(), nullptr));
    }
    const std::string path = folder + std::string(60, 'f') + ".bin";
    ASSERT_GT(path.size(), 360u);
    // Wine takes long paths in any form; Windows only with the prefix.
    using files::win32::systemPath;
    EXPECT_TRUE(systemPath(path, files::FileOperation::Inspect).starts_with(LR"(\\?\C:\)"));
    EXPECT_EQ(systemPath(R"(\\server\share\a/b)", files::FileOperation::Inspect),
              LR"(\\?\UNC\server\share\a\b)");
    put(path, "long\n");
    EXPECT_EQ(fs.fileLength(path), 5);
    EXPECT_TRUE(fs.isDirectory(folder) && fs.exists(path) && !fs.isDirectory(path));
    fs.rename(path, path + ".moved");
    EXPECT_FALSE(fs.exists(path));
    EXPECT_EQ(get(path + ".moved"), "long\n");

    // The same file under other spellings, and two files that are not one.
    const std::string a = dir.file("a.bin"), b = dir.file("b.bin");
    put(a, "a");
    put(b, "b");
    std::string slashed = a;
    std::ranges::replace(slashed, '\\', '/');
    for (const std::string& other : {slashed, dir.folder() + "x\\..\\A.BIN", a})
        EXPECT_TRUE(fs.sameFile(a, other)) << other;
    EXPECT_FALSE(fs.sameFile(a, b));
    EXPECT_FALSE(fs.sameFile(a, dir.file("missing")));
    auto first = fs.openRead(a), second = fs.openRead(b);
    EXPECT_NE(first->inode(), second->inode());
    EXPECT_EQ(first->device(), second->device());
}

TEST(WindowsFiles, FailuresCarryTheSystemsTextAndOnlyRegularFilesOpen) {
    TempDir dir;
    const std::string missing = dir.file("missing.bin");
    const auto error = failure([&] { fs.openRead(missing); });
    EXPECT_EQ(error.path(), missing);
    EXPECT_EQ(error.operation(), files::FileOperation::OpenForReading);
    EXPECT_EQ(error.errorCode(), ENOENT);
    EXPECT_FALSE(error.reason().empty());
    EXPECT_FALSE(error.reason().ends_with("\n") || error.reason().ends_with("\r"));
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos);

    put(dir.file("there"), "a longer text");
    put(dir.file("there"), "x"); // emptied first
    EXPECT_EQ(get(dir.file("there")), "x");
    EXPECT_EQ(failure([&] { fs.openWrite(dir.file("there"), WriteMode::CreateNew); }).errorCode(),
              EEXIST);
    EXPECT_EQ(failure([&] { fs.openRead(dir.folder()); }).errorCode(), EISDIR);
    // A device name in a folder opens the device, and a pipe is no file either: both are
    // refused, saying why, before any byte moves.
    HANDLE pipe = ::CreateNamedPipeW(LR"(\\.\pipe\kalvex-test)", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                     1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    for (const auto& open : std::initializer_list<std::function<void()>>{
             [&] { fs.openWrite(dir.file("NUL"), WriteMode::Replace); },
             [&] { fs.openWrite(dir.file("nul.txt"), WriteMode::Keep); },
             [&] {
                 fs.openRead(R"(\\.\pipe\kalvex-test)");
             }})
        EXPECT_TRUE(failure(open).reason().ends_with("not a regular file"));
    ::CloseHandle(pipe);
}

TEST(WindowsFiles, NamesWindowsCannotHoldAreRefused) {
    for (const char* name :
         {"CON", "con", "NUL.txt", "aux.tar.gz", "COM1", "lpt9.bin", "PRN .x", "name.", "name ",
          "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a:b", "a\\b", "a/b", "a\tb"})
        EXPECT_TRUE(files::unsafeFileNameReason(name).has_value()) << name;
    for (const char* name : {"CONSOLE", "COM10", "LPT0", "nul2.txt", "caf\xC3\xA9.bin", ".hidden"})
        EXPECT_FALSE(files::unsafeFileNameReason(name).has_value()) << name;
}

TEST(WindowsFiles, ManifestNamesInTheAnsiCodePage) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the cases are written for code page 1252, the system has " << ::GetACP();
    EXPECT_EQ(files::toCodePage("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    EXPECT_EQ(files::fromCodePage("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    // No look-alikes: c with a circumflex and the Japanese name do not fit.
    for (const char* name : {"\xC4\x89", "\xE6\x97\xA5\xE6\x9C\xAC", "\xFF"})
        EXPECT_FALSE(files::toCodePage(name).has_value()) << name;
}

} // namespace
} // namespace kalvex
