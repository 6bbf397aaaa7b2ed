#include "support/FaultyFileSystem.h"
#include "files/FileError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace kalvex::files;
using kalvex::test::FaultyFileSystem;
using kalvex::test::patternBytes;
using kalvex::test::readFile;
using kalvex::test::TempDir;
using kalvex::test::writeFile;
using kalvex::test::writePattern;

namespace {
std::span<const std::byte> bytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

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

TEST(FaultyFileSystem, FillsUpLikeADiskAfterTheGivenBytes) {
    TempDir dir;
    const auto piece = dir.file("movie.split2");
    FaultyFileSystem faulty;
    faulty.failWritesAfter(".split2", 10, ENOSPC);
    auto file = faulty.openWrite(piece, WriteMode::Replace);
    file->write(1, bytes("123456"));
    auto error = failureOf([&] { file->write(7, bytes("789abc")); });
    EXPECT_EQ(error.path(), piece);
    EXPECT_EQ(error.operation(), FileOperation::Write);
    EXPECT_EQ(error.reason(), "No space left on device");
    EXPECT_THROW(file->write(11, bytes("d")), FileError);
    file->close();
    EXPECT_EQ(readFile(piece), "123456789a");

    // Other files are untouched by the rule.
    auto other = faulty.openWrite(dir.file("movie.split1"), WriteMode::Replace);
    other->write(1, bytes("0123456789abcdef"));
    other->close();
}

TEST(FaultyFileSystem, FailsTheChosenOperationsAndCountsOpens) {
    TempDir dir;
    const auto a = dir.file("a.bin");
    const auto b = dir.file("b.bin");
    writeFile(a, "abcdef");
    FaultyFileSystem faulty;
    faulty.failOpen("b.bin", EACCES);
    faulty.failReadsAfter("a.bin", 4, EIO);
    faulty.failClose("c.bin", EIO);
    faulty.failRename("d.bin", EROFS);
    faulty.failLength("a.bin", EIO);

    EXPECT_EQ(failureOf([&] { faulty.openWrite(b, WriteMode::Keep); }).operation(),
              FileOperation::OpenForWriting);
    EXPECT_FALSE(faulty.exists(b));
    EXPECT_EQ(failureOf([&] { faulty.fileLength(a); }).operation(), FileOperation::MeasureLength);

    auto in = faulty.openRead(a);
    std::byte buffer[3];
    in->read(buffer);
    EXPECT_EQ(failureOf([&] { in->read(buffer); }).reason(), "Input/output error");
    EXPECT_EQ(faulty.openFiles(), 1);
    in->close();
    EXPECT_EQ(faulty.openFiles(), 0);

    auto c = faulty.openWrite(dir.file("c.bin"), WriteMode::Replace);
    EXPECT_EQ(failureOf([&] { c->close(); }).operation(), FileOperation::Close);
    EXPECT_FALSE(c->isOpen());
    EXPECT_NO_THROW(c->close());

    EXPECT_EQ(failureOf([&] { faulty.rename(a, dir.file("d.bin")); }).path(), a);
    EXPECT_EQ(readFile(a), "abcdef");

    EXPECT_EQ(faulty.opens(".bin"), 3);
    EXPECT_EQ(faulty.opens("a.bin"), 1);
    EXPECT_EQ(faulty.openFiles(), 0);
}

TEST(FaultyFileSystem, CopiesThroughFaultyFilesFailAtTheFault) {
    TempDir dir;
    const auto source = dir.file("piece3");
    const auto target = dir.file("out.tmp");
    writePattern(source, 3 << 20);
    FaultyFileSystem faulty;
    faulty.failReadsAfter("piece3", 2 << 20, EIO);
    auto from = faulty.openRead(source);
    auto to = faulty.openWrite(target, WriteMode::Replace);
    const auto error = failureOf([&] { faulty.copy(*from, *to, 1, 3 << 20, {}); });
    EXPECT_EQ(error.path(), source);
    EXPECT_EQ(error.operation(), FileOperation::Read);
    const auto expected = patternBytes(2 << 20);
    EXPECT_TRUE(readFile(target) == std::string(expected.begin(), expected.end()));
}
