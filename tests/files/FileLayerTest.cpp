#include "files/CodePage.h"
#include "files/TextInput.h"
#include "files/TextOutput.h"
#include "support/FaultyFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <deque>

namespace kalvex::files {
namespace {

using namespace kalvex::test;

FileSystem& fs = FileSystem::native();

std::string read(File& file, std::size_t count, std::optional<std::int64_t> at = {}) {
    std::string text(count, '\0');
    file.read(std::as_writable_bytes(std::span(text)), at);
    return text;
}

// The error that action throws; the test fails when it throws none.
// Failures name the path, the operation and the reason; what is not a regular file is refused
// without waiting (a FIFO would block the open), and no link is written through.
TEST(FileLayer, FailuresAndRefusalsSayWhatAndWhy) {
    TempDir dir;
    const auto file = dir.file("file"), missing = dir.file("missing"), fifo = dir.file("fifo");
    const auto folder = dir.path().string(), link = dir.file("link");
    writeFile(file, "12345");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(file, link);
    std::filesystem::create_symlink(missing, dir.file("dangling"));
    auto open = fs.openRead(file);
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { fs.openRead(folder); }, "open for reading \"" + folder + "\": Is a directory"},
        {[&] { fs.fileLength(folder); }, "measure the length of \"" + folder + "\": Is a direc"},
        {[&] { TextInput(fs, missing); }, "text input \"" + missing + "\": No such file or"},
        {[&] { fs.openWrite(file, WriteMode::CreateNew); },
         "writing \"" + file + "\": File exists"},
        {[&] { TextOutput(fs, "/dev/full").writeNumberLine(1); },
         "Cannot write \"/dev/full\": No space left on device"},
        {[&] { read(*open, 6); }, "read \"" + file + "\": the file ends before the expected bytes"},
        {[&] { read(*open, 1, 0); }, "position 0 is before the first byte"},
        {[&] { fs.openRead(fifo); }, "reading \"" + fifo + "\": it is a FIFO, not a regular"},
        {[&] { fs.openWrite(fifo, WriteMode::Keep); }, "writing \"" + fifo + "\": it is a FIFO"},
        {[&] { fs.openRead("/proc/self/status"); }, "made up by the kernel"},
        {[&] { fs.openWrite(link, WriteMode::Replace); },
         "writing \"" + link + "\": it is a symbolic link, which Kalvex never writes through"},
    };
    for (const auto& [action, says] : cases) {
        const std::string message = failure(action).what();
        EXPECT_NE(message.find(says), std::string::npos) << message;
    }
    EXPECT_EQ(readFile(file), "12345");
    EXPECT_EQ(fs.openRead(link)->length(), 5) << "a link the user chose is read";
    EXPECT_TRUE(fs.sameFile(file, link) && !fs.sameFile(missing, missing));
    EXPECT_TRUE(fs.exists(dir.file("dangling")) && !fs.exists(missing)) << "a link to nothing";
}

// What the next reads and writes do: a byte count cuts the call short, a negative number
// fails it with that errno. Calls past the script go through whole.
std::deque<int> script;
int closes = 0;

template <class Data, ssize_t (*call)(int, Data, size_t, off_t)>
ssize_t scripted(int descriptor, Data data, size_t size, off_t offset) {
    const int step = script.empty() ? INT_MAX : script.front();
    script.erase(script.begin(), script.begin() + !script.empty()); // the step is taken
    if (step < 0)
        return errno = -step, -1;
    return call(descriptor, data, std::min<size_t>(size, step), offset);
}

// Closes the descriptor, then reports a failure, as Linux may.
int failingClose(int descriptor) {
    ++closes;
    ::close(descriptor);
    return errno = EIO, -1;
}

TEST(PosixFile, RetriesShortCountsAndInterruptionsAtOneBased64BitPositions) {
    TempDir dir;
    const auto path = dir.file("f");
    const std::string text = "The quick brown fox";
    auto out = fs.openWrite(path, WriteMode::Replace);
    auto in = fs.openRead(path);
    {
        system::ReplaceCalls replaced({scripted<void*, ::pread>, scripted<const void*, ::pwrite>,
                                       failingClose, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr});
        script = {-EINTR, 3, -EINTR, 1, 5};
        out->write(5, bytes(text));
        script = {2, -EINTR, 7};
        EXPECT_EQ(read(*in, text.size(), 5), text);
        script = {4, 0};
        EXPECT_EQ(failure([&] { out->write(1, bytes("123456789")); }).reason(),
                  "No space left on device")
            << "a write that makes no progress fails rather than spins";
        script = {2, -EIO};
        EXPECT_EQ(failure([&] { out->write(30, bytes("abcdef")); }).reason(), "Input/output error");
        EXPECT_EQ(failure([&] { out->close(); }).operation(), FileOperation::Close);
        out.reset();
        EXPECT_EQ(closes, 1) << "a descriptor is closed once, whatever close said";
    }
    EXPECT_EQ(readFile(path), "1234" + text + std::string(6, '\0') + "ab")
        << "no byte lost or written twice; what came before a failure stays";
    // Positions are 1-based and 64-bit: 2^32 wraps in 32 bits. A sparse file.
    const std::int64_t far = (std::int64_t{1} << 32) + 1;
    fs.openWrite(path, WriteMode::Keep)->write(far, bytes("high"));
    EXPECT_EQ(fs.fileLength(path), far + 3);
    EXPECT_EQ(read(*in, 5, far - 1), std::string("\0high", 5));
    EXPECT_EQ(read(*in, 2, 1), "12");
    EXPECT_EQ(read(*in, 1), "3") << "a positioned read moves the position";
    fs.openWrite(path, WriteMode::Replace)->write(2, bytes("z"));
    ASSERT_EQ(fs.fileLength(path), 2) << "emptied before the write";
    EXPECT_EQ(readFile(path), std::string("\0z", 2));
}

TEST(Copy, KernelCopyAndPlainLoopMoveTheSameBytesAndReportFailures) {
    const std::int64_t count = (std::int64_t{5} << 19) + 7; // three chunks of the plain loop
    // The kernel's copy refuses after some bytes: the plain loop goes on, unless the refusal is
    // a real failure.
    for (const int error : {EXDEV, EPERM, EIO}) {
        SCOPED_TRACE(error);
        TempDir dir;
        const auto source = dir.file("source"), target = dir.file("target");
        writePattern(source, count + 200);
        writeFile(target, "0123456789");
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(error, 12345);
        auto from = faulty.openRead(source);
        auto to = faulty.openWrite(target, WriteMode::Keep);
        read(*from, 100);
        if (error == EIO) {
            EXPECT_EQ(failure([&] { faulty.copy(*from, *to, 4, count); }).what(),
                      "Cannot copy into \"" + target + "\": Input/output error");
            continue;
        }
        faulty.copy(*from, *to, 4, count);
        EXPECT_EQ(read(*from, 3), patternBytes(3, 100 + count)) << "source position";
        EXPECT_TRUE(readFile(target) == "012" + patternBytes(count, 100));
        EXPECT_EQ(failure([&] { faulty.copy(*from, *to, 1, 1000); }).path(), source)
            << "a source that ends early";
    }
}

TEST(CodePage, Windows1252BothWaysAndStrictUtf8) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(toCodePage(fromCodePage(all)), all);
    // The euro sign, an undefined byte kept as its control character, S with caron, OE, Y
    // with diaeresis, e with acute.
    EXPECT_EQ(fromCodePage("\x80\x81\x8A\x8C\x9F\xE9"),
              "\xE2\x82\xAC\xC2\x81\xC5\xA0\xC5\x92\xC5\xB8\xC3\xA9");
    // CJK, U+0080 (byte 0x80 is the euro sign), an emoji, a code page byte, a cut sequence.
    for (const std::string text : {"\xE6\x97\xA5", "\xC2\x80", "\xF0\x9F\x98\x80", "\xE9", "\xC3"})
        EXPECT_FALSE(toCodePage(text)) << testing::PrintToString(text);
    EXPECT_TRUE(isUtf8WithHighBytes("caf\xC3\xA9") && isUtf8WithHighBytes("\xF4\x8F\xBF\xBF"));
    // Plain ASCII; Windows-1252; overlong forms; a surrogate; past U+10FFFF; cut short.
    for (const std::string no : {"plain.txt", "caf\xE9", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                 "\xF4\x90\x80\x80", "\xC3\xA9\xC3"})
        EXPECT_FALSE(isUtf8WithHighBytes(no)) << testing::PrintToString(no);
}

} // namespace
} // namespace kalvex::files
