#include "files/ChecksumFile.h"
#include "files/Sha256.h"
#include "support/FailingFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <cstdlib>

namespace kalvex::files {
namespace {

using namespace kalvex::test;

// The values sha256sum prints; the large input is fed in odd chunks that split its blocks
// anywhere. A finished or reset digest starts over.
TEST(Sha256, GivesSha256sumsDigestsWhateverTheChunks) {
    const auto hash = Sha256::create("input");
    EXPECT_EQ(hash->finishHex(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    hash->update(bytes("abc"));
    EXPECT_EQ(hash->finishHex(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    hash->update(bytes("dropped"));
    hash->reset("large");
    const std::string large = patternBytes((1 << 20) + 1);
    for (std::size_t at = 0, chunk = 1; at < large.size(); at += chunk, chunk = chunk * 7 % 4099)
        hash->update(bytes(std::string_view(large).substr(at, chunk)));
    EXPECT_EQ(hash->finishHex(),
              "5769f52bc3eef28afa39c6fc68cadb7d0bd69812ae3a3d71452f519ec3c7aa56");
}

// Names that sha256sum escapes, or that a careless writer would mangle.
const std::string names[] = {"1 two  blanks",
                             "2 back\\slash",
                             "3 line\nfeed",
                             "4 carriage\rreturn",
                             "5 \xC3\xBCnic\xC3\xB6"
                             "de",
                             "6 plain"};

// The real sha256sum prints the same text for the same files, and checks them by it.
TEST(ChecksumFile, IsWhatSha256sumPrintsAndChecks) {
    if (std::system("sha256sum --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sha256sum is not installed here";
    TempDir dir;
    std::string text;
    const auto hash = Sha256::create("");
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const auto content = patternBytes(1000 * static_cast<std::int64_t>(i) + 1, i);
        writeFile(dir.file(names[i]), content);
        hash->update(bytes(content));
        text += ChecksumFile::formatLine(hash->finishHex(), names[i]);
    }
    writeFile(dir.file("movie.split.sha256"), text);
    const auto in = "cd '" + dir.path().string() + "' && ";
    ASSERT_EQ(std::system((in + "sha256sum -- [0-9]* >printed").c_str()), 0);
    EXPECT_EQ(readFile(dir.file("printed")), text);
    EXPECT_EQ(std::system((in + "sha256sum --strict -c movie.split.sha256 >/dev/null").c_str()), 0);
}

TEST(ChecksumFile, ParseReadsWhatFormatWritesAndRefusesTheRest) {
    const std::string digest(64, 'e'), upper(64, 'E');
    std::string text;
    std::vector<ChecksumFile::Entry> entries;
    for (const auto& name : names) {
        entries.push_back({name, digest});
        text += ChecksumFile::formatLine(digest, name);
    }
    EXPECT_EQ(ChecksumFile::parse(text, std::ssize(names)).entries, entries);
    // What sha256sum -b and a trip through Windows make of it, and a backslash left as it is.
    const auto other = ChecksumFile::parse(digest + " *a b\r\n" + digest + "  a\\nb", 2);
    EXPECT_EQ(other.entries, (std::vector<ChecksumFile::Entry>{{"a b", digest}, {"a\\nb", digest}}))
        << other.refusal;
    EXPECT_EQ(ChecksumFile::parse("", 0).refusal, "");

    const std::string longName(ChecksumFile::LongestLine, 'n');
    const std::pair<std::string, std::string> refused[] = {
        {upper + "  a\n", "line 1: the digest is not 64 lower-case hexadecimal digits"},
        {digest + "e  a\n", "line 1: the digest is not 64"},
        {digest.substr(1) + "  a\n", "line 1: the digest is not 64"},
        {digest + " a\n", "line 1: the digest is not followed by two blanks, nor by a blank and"},
        {digest + "\t a\n", "line 1: the digest is not followed"},
        {digest + "  \n", "line 1: the file name is missing"},
        {"\\" + digest + "  a\\tb\n", "line 1: the file name holds a backslash that escapes no"},
        {"\\" + digest + "  a\\\n", "line 1: the file name holds a backslash"},
        {digest + "  a\n\n", "it has 2 lines, not 1, one for each piece"},
        {"", "it has 0 lines, not 1"},
        {digest + "  " + longName + "\n", "bytes long, longer than its lines can be (2109 bytes"},
    };
    for (const auto& [text, reason] : refused) {
        const auto reading = ChecksumFile::parse(text, 1);
        EXPECT_TRUE(reading.entries.empty()) << reason;
        EXPECT_NE(reading.refusal.find(reason), std::string::npos) << reading.refusal;
    }
    EXPECT_EQ(ChecksumFile::parse(digest + "  a\n" + upper + "  b\n", 2).refusal.substr(0, 7),
              "line 2:");
    EXPECT_EQ(ChecksumFile::parse(text, 9).refusal, "it has 6 lines, not 9, one for each piece");
}

// A checksum file longer than its lines can be is refused unread, so that a hostile one cannot
// fill memory; one that fits is read, and a read that fails says so.
TEST(ChecksumFile, IsReadOnlyWithinItsBound) {
    TempDir dir;
    const auto path = dir.file("movie.split.sha256");
    const std::string digest(64, 'a');
    FailingFileSystem faulty;
    faulty.failReadsAfter(".sha256", 0, EIO);
    writeFile(path, std::string(ChecksumFile::LongestLine + 1, 'x'));
    EXPECT_EQ(ChecksumFile::read(faulty, path, 1).refusal,
              "it is 2110 bytes long, longer than its lines can be (2109 bytes at most)");
    writeFile(path, ChecksumFile::formatLine(digest, "movie.split1"));
    const auto error = failure([&] { ChecksumFile::read(faulty, path, 1); });
    EXPECT_EQ(std::string(error.what()), systemError(path, FileOperation::Read, EIO).what());
    EXPECT_EQ(ChecksumFile::read(FileSystem::native(), path, 1).entries,
              (std::vector<ChecksumFile::Entry>{{"movie.split1", digest}}));
    EXPECT_EQ(faulty.openFiles(), 0);
}

} // namespace
} // namespace kalvex::files
