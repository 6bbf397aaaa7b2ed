#include "files/FileError.h"
#include "files/FileSystem.h"
#include "files/SystemCalls.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace kalvex::files;
using kalvex::test::readFile;
using kalvex::test::TempDir;
using kalvex::test::writeFile;

namespace {

std::span<const std::byte> bytes(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

std::string readAt(File& file, std::size_t count, std::optional<std::int64_t> position = {}) {
    std::string text(count, '\0');
    file.read(std::as_writable_bytes(std::span(text.data(), text.size())), position);
    return text;
}

FileSystem& fs() {
    return FileSystem::native();
}

// Runs action and returns the FileError it throws; fails the test if none comes.
template <typename Action> FileError failureOf(Action action) {
    try {
        action();
    } catch (const FileError& error) {
        return error;
    }
    ADD_FAILURE() << "no FileError";
    return FileError("", FileOperation::Inspect, "none");
}

} // namespace

TEST(PosixFile, ReadsAndWritesAtOneBasedPositions) {
    TempDir dir;
    const auto path = dir.file("data");
    writeFile(path, "abcdefghij");

    auto file = fs().openRead(path);
    EXPECT_EQ(file->length(), 10);
    EXPECT_EQ(readAt(*file, 3), "abc");
    EXPECT_EQ(readAt(*file, 2), "de") << "reads go on from the current position";
    EXPECT_EQ(readAt(*file, 2, 9), "ij");
    EXPECT_EQ(readAt(*file, 1, 1), "a");
    EXPECT_EQ(readAt(*file, 1), "b") << "a positioned read moves the current position";
    file->close();

    auto out = fs().openWrite(path, WriteMode::Keep);
    out->write(1, bytes("AB"));
    out->write(10, bytes("JK"));
    out->write(14, bytes("N"));
    out->close();
    EXPECT_EQ(readFile(path), std::string("ABcdefghiJK\0\0N", 14));
}

TEST(PosixFile, PositionsBeyondFourGibibytes) {
    TempDir dir;
    const auto path = dir.file("sparse");
    const std::int64_t far = (std::int64_t{1} << 32) + 1;
    {
        auto out = fs().openWrite(path, WriteMode::CreateNew);
        out->write(far, bytes("high"));
        out->write(far - 2, bytes("lo"));
        EXPECT_EQ(out->length(), far + 3);
        out->close();
    }
    EXPECT_EQ(fs().fileLength(path), far + 3);
    auto in = fs().openRead(path);
    EXPECT_EQ(readAt(*in, 6, far - 2), "lohigh");
    EXPECT_EQ(readAt(*in, 2, std::int64_t{1} << 31), std::string(2, '\0'));
    EXPECT_EQ(readAt(*in, 1, far + 3), "h");
}

TEST(PosixFile, ReadsExactlyOrFails) {
    TempDir dir;
    const auto path = dir.file("short");
    writeFile(path, "12345");
    auto file = fs().openRead(path);

    auto error = failureOf([&] { readAt(*file, 6); });
    EXPECT_EQ(error.path(), path);
    EXPECT_EQ(error.operation(), FileOperation::Read);
    EXPECT_NE(error.reason().find("ends before"), std::string::npos) << error.reason();

    error = failureOf([&] { readAt(*file, 1, 6); });
    EXPECT_EQ(error.operation(), FileOperation::Read);
    error = failureOf([&] { readAt(*file, 1, 0); });
    EXPECT_EQ(error.operation(), FileOperation::Read) << "positions start at 1";
    EXPECT_EQ(readAt(*file, 5, 1), "12345");
}

TEST(PosixFile, FailuresNameThePathTheOperationAndTheReason) {
    TempDir dir;
    const auto file = dir.file("file.txt");
    writeFile(file, "x");
    const auto through = file + "/x";
    const auto missing = dir.file("missing");
    const auto folder = dir.path().string();

    struct Case {
        std::string path;
        FileOperation operation;
        std::string reason;
        std::function<void()> action;
    };
    const Case cases[] = {
        {folder, FileOperation::OpenForReading, "Is a directory",
         [&] {
             fs().openRead(folder);
         }},
        {folder, FileOperation::OpenForWriting, "Is a directory",
         [&] {
             fs().openWrite(folder, WriteMode::Keep);
         }},
        {folder, FileOperation::MeasureLength, "Is a directory",
         [&] {
             fs().fileLength(folder);
         }},
        {through, FileOperation::OpenForWriting, "Not a directory",
         [&] {
             fs().openWrite(through, WriteMode::Replace);
         }},
        {through, FileOperation::OpenForReading, "Not a directory",
         [&] {
             fs().openRead(through);
         }},
        {missing, FileOperation::OpenForReading, "No such file or directory",
         [&] {
             fs().openRead(missing);
         }},
        {missing, FileOperation::MeasureLength, "No such file or directory",
         [&] {
             fs().fileLength(missing);
         }},
        {file, FileOperation::OpenForWriting, "File exists",
         [&] {
             fs().openWrite(file, WriteMode::CreateNew);
         }},
        {missing, FileOperation::Rename, "No such file or directory",
         [&] {
             fs().rename(missing, file);
         }},
        {"/dev/full", FileOperation::Write, "No space left on device",
         [&] {
             fs().openWrite("/dev/full", WriteMode::Keep)->write(1, bytes("data"));
         }},
    };
    for (const auto& c : cases) {
        const auto error = failureOf(c.action);
        EXPECT_EQ(error.path(), c.path);
        EXPECT_EQ(error.operation(), c.operation) << c.path;
        EXPECT_EQ(error.reason(), c.reason) << c.path;
        EXPECT_EQ(std::string(error.what()), "Cannot " + std::string(operationName(c.operation)) +
                                                 " \"" + c.path + "\": " + c.reason);
    }
    EXPECT_EQ(readFile(file), "x") << "a failed CreateNew leaves the file alone";
}

TEST(PosixFile, WriteModesKeepReplaceOrRefuse) {
    TempDir dir;
    const auto path = dir.file("f");
    writeFile(path, "0123456789");

    fs().openWrite(path, WriteMode::Keep)->write(3, bytes("ab"));
    EXPECT_EQ(readFile(path), "01ab456789");
    fs().openWrite(path, WriteMode::Replace)->write(2, bytes("z"));
    EXPECT_EQ(readFile(path), std::string("\0z", 2));
    EXPECT_THROW(fs().openWrite(path, WriteMode::CreateNew), FileError);
    EXPECT_EQ(readFile(path), std::string("\0z", 2));

    const auto fresh = dir.file("new");
    for (auto mode : {WriteMode::Keep, WriteMode::Replace, WriteMode::CreateNew}) {
        std::filesystem::remove(fresh);
        fs().openWrite(fresh, mode)->close();
        EXPECT_EQ(fs().fileLength(fresh), 0);
    }
}

TEST(PosixFileSystem, NamesIdentitiesAndRenames) {
    TempDir dir;
    const auto a = dir.file("a");
    const auto b = dir.file("b");
    const auto link = dir.file("link");
    writeFile(a, "A");
    writeFile(b, "B");
    std::filesystem::create_symlink(a, link);

    EXPECT_TRUE(fs().sameFile(a, link));
    EXPECT_TRUE(fs().sameFile(a, dir.folder() + "./a"));
    EXPECT_FALSE(fs().sameFile(a, b));
    EXPECT_FALSE(fs().sameFile(a, dir.file("missing")));
    auto first = fs().openRead(a);
    auto second = fs().openRead(link);
    EXPECT_EQ(first->device(), second->device());
    EXPECT_EQ(first->inode(), second->inode());

    EXPECT_TRUE(fs().isDirectory(dir.path().string()));
    EXPECT_FALSE(fs().isDirectory(a));
    EXPECT_TRUE(fs().exists(a));
    EXPECT_FALSE(fs().exists(dir.file("missing")));

    fs().rename(b, a);
    EXPECT_EQ(readFile(a), "B");
    EXPECT_FALSE(fs().exists(b));
}

TEST(FileSystem, OverrideIsScoped) {
    EXPECT_EQ(&FileSystem::current(), &FileSystem::native());
    EXPECT_EQ(FileSystem::separator(), '/');
    struct Other : FileSystem {
        std::int64_t fileLength(const std::string&) override { return 7; }
        std::unique_ptr<File> openRead(const std::string&) override { return nullptr; }
        std::unique_ptr<File> openWrite(const std::string&, WriteMode) override { return nullptr; }
        bool isDirectory(const std::string&) override { return false; }
        bool exists(const std::string&) override { return false; }
        bool sameFile(const std::string&, const std::string&) override { return false; }
        void rename(const std::string&, const std::string&) override {}
        void copy(File&, File&, std::int64_t, std::int64_t, const std::function<void()>&) override {
        }
    } one, two;
    {
        FileSystem::Override outer(one);
        {
            FileSystem::Override inner(two);
            EXPECT_EQ(&FileSystem::current(), &two);
        }
        EXPECT_EQ(&FileSystem::current(), &one);
    }
    EXPECT_EQ(&FileSystem::current(), &FileSystem::native());
}

// Calls the system would make whole are cut short or interrupted here, to prove that no
// byte is lost or written twice.
namespace {
int callCount = 0;

ssize_t choppyPwrite(int descriptor, const void* data, size_t size, off_t offset) {
    ++callCount;
    if (callCount % 3 == 1) {
        errno = EINTR;
        return -1;
    }
    return ::pwrite(descriptor, data, std::min<size_t>(size, 3), offset);
}

ssize_t choppyPread(int descriptor, void* data, size_t size, off_t offset) {
    ++callCount;
    if (callCount % 3 == 1) {
        errno = EINTR;
        return -1;
    }
    return ::pread(descriptor, data, std::min<size_t>(size, 2), offset);
}

ssize_t stalledPwrite(int, const void*, size_t, off_t) {
    return 0;
}

ssize_t ioErrorAfterSomePwrite(int descriptor, const void* data, size_t size, off_t offset) {
    if (++callCount > 1) {
        errno = EIO;
        return -1;
    }
    return ::pwrite(descriptor, data, std::min<size_t>(size, 4), offset);
}

int failingClose(int descriptor) {
    ++callCount;
    ::close(descriptor);
    errno = EIO;
    return -1;
}
} // namespace

TEST(PosixFile, RetriesShortCountsAndInterruptions) {
    TempDir dir;
    const auto path = dir.file("f");
    const std::string text = "The quick brown fox jumps over the lazy dog";
    auto file = fs().openWrite(path, WriteMode::Replace);
    {
        auto calls = system::calls();
        calls.pwrite = choppyPwrite;
        calls.pread = choppyPread;
        system::ReplaceCalls replaced(calls);
        callCount = 0;
        file->write(5, bytes(text));
        EXPECT_GT(callCount, static_cast<int>(text.size() / 3));
        file->close();

        auto in = fs().openRead(path);
        callCount = 0;
        EXPECT_EQ(readAt(*in, text.size(), 5), text);
        EXPECT_GT(callCount, static_cast<int>(text.size() / 2));
    }
    EXPECT_EQ(readFile(path), std::string(4, '\0') + text);
}

TEST(PosixFile, WriteThatStopsOrFailsIsReported) {
    TempDir dir;
    const auto path = dir.file("f");
    auto file = fs().openWrite(path, WriteMode::Replace);
    auto calls = system::calls();

    calls.pwrite = stalledPwrite;
    {
        system::ReplaceCalls replaced(calls);
        const auto error = failureOf([&] { file->write(1, bytes("data")); });
        EXPECT_EQ(error.operation(), FileOperation::Write);
        EXPECT_EQ(error.path(), path);
    }
    calls.pwrite = ioErrorAfterSomePwrite;
    {
        system::ReplaceCalls replaced(calls);
        callCount = 0;
        const auto error = failureOf([&] { file->write(1, bytes("123456789")); });
        EXPECT_EQ(error.reason(), "Input/output error");
        EXPECT_EQ(error.errorCode(), EIO);
    }
    file->close();
    EXPECT_EQ(readFile(path), "1234") << "what was written before the failure stays";
}

TEST(PosixFile, CloseIsCheckedAndHappensOnce) {
    TempDir dir;
    const auto path = dir.file("f");
    auto file = fs().openWrite(path, WriteMode::Replace);
    auto calls = system::calls();
    calls.close = failingClose;
    {
        system::ReplaceCalls replaced(calls);
        callCount = 0;
        const auto error = failureOf([&] { file->close(); });
        EXPECT_EQ(error.operation(), FileOperation::Close);
        EXPECT_EQ(error.path(), path);
        EXPECT_EQ(error.reason(), "Input/output error");
        EXPECT_FALSE(file->isOpen());
        EXPECT_NO_THROW(file->close());
        file.reset();
        EXPECT_EQ(callCount, 1) << "a descriptor is never closed twice";
    }
    auto open = fs().openRead(path);
    open->close();
    EXPECT_FALSE(open->isOpen());
    const auto error = failureOf([&] { readAt(*open, 1, 1); });
    EXPECT_EQ(error.operation(), FileOperation::Read);
}
