#include "files/FileError.h"
#include "files/TextInput.h"
#include "files/TextOutput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kalvex::files;
using kalvex::test::readFile;
using kalvex::test::TempDir;
using kalvex::test::writeFile;

namespace {
FileSystem& fs() {
    return FileSystem::native();
}

std::vector<std::string> linesOf(const std::string& path) {
    TextInput input(fs(), path);
    std::vector<std::string> lines;
    while (auto line = input.readLine())
        lines.push_back(*line);
    EXPECT_FALSE(input.readLine()) << "the end stays the end";
    input.close();
    return lines;
}
} // namespace

TEST(TextOutput, WritesNumberAndTextLinesByteForByte) {
    TempDir dir;
    const auto path = dir.file("movie.splitMain");
    writeFile(path, std::string(100, 'x'));
    {
        TextOutput output(fs(), path);
        output.writeNumberLine(3);
        output.writeTextLine("movie.avi");
        output.close();
    }
    EXPECT_EQ(readFile(path), " 3 \r\nmovie.avi\r\n") << "an existing file is emptied first";

    const std::pair<std::int64_t, std::string> numbers[] = {
        {0, " 0 \r\n"},
        {-3, "-3 \r\n"},
        {10, " 10 \r\n"},
        {5000000000, " 5000000000 \r\n"},
        {INT64_MIN, "-9223372036854775808 \r\n"},
    };
    for (const auto& [number, text] : numbers) {
        TextOutput output(fs(), path);
        output.writeNumberLine(number);
        output.writeTextLine(std::string("\xE9t\xE9\0", 4));
        output.writeTextLine("");
        output.close();
        EXPECT_EQ(readFile(path), text + std::string("\xE9t\xE9\0\r\n\r\n", 8));
    }
}

TEST(TextOutput, FailuresAreThoseOfTextOutput) {
    TempDir dir;
    try {
        TextOutput output(fs(), dir.path().string());
        ADD_FAILURE() << "a folder opened for text output";
    } catch (const FileError& error) {
        EXPECT_EQ(error.operation(), FileOperation::OpenForTextOutput);
        EXPECT_EQ(error.reason(), "Is a directory");
    }
    TextOutput full(fs(), "/dev/full");
    EXPECT_THROW(full.writeNumberLine(1), FileError);
}

TEST(TextInput, LinesEndAtCrLfCrOrLf) {
    TempDir dir;
    const auto path = dir.file("text");
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {" 3 \r\nmovie.avi\r\n", {" 3 ", "movie.avi"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb\r\r\n", {"a", "", "b", ""}},
        {"", {}},
        {"\r\n", {""}},
        {"no ending", {"no ending"}},
        {std::string("\xE9t\xE9\0\xFF\r\n", 7), {std::string("\xE9t\xE9\0\xFF", 5)}},
    };
    for (const auto& [content, lines] : cases) {
        writeFile(path, content);
        EXPECT_EQ(linesOf(path), lines) << testing::PrintToString(content);
    }
}

TEST(TextInput, LongLinesAndLineEndsAcrossBufferBoundaries) {
    TempDir dir;
    const auto path = dir.file("text");
    for (const std::size_t length : {65534u, 65535u, 65536u, 65537u, 200000u}) {
        const std::string line(length, 'x');
        writeFile(path, line + "\r\n" + "next\r\n" + line);
        EXPECT_EQ(linesOf(path), (std::vector<std::string>{line, "next", line})) << length;
    }
}

TEST(TextInput, AMissingFileFailsToOpenForTextInput) {
    TempDir dir;
    const auto path = dir.file("missing.splitMain");
    try {
        TextInput input(fs(), path);
        ADD_FAILURE() << "a missing file opened";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path);
        EXPECT_EQ(error.operation(), FileOperation::OpenForTextInput);
        EXPECT_EQ(error.reason(), "No such file or directory");
    }
}
