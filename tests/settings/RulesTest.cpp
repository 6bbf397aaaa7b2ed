// The size, count and name rules on their own.
#include "settings/PieceName.h"
#include "settings/SizeRules.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace kalvex {
namespace {

TEST(SizeRules, OnlyExactUnitTextsCount) {
    EXPECT_EQ(SizeRules::unitBytes("Kb"), 1024);
    EXPECT_EQ(SizeRules::unitBytes("Mb"), 1048576);
    for (const char* text : {"kb", "KB", "kB", "mb", "MB", "Mb ", " Kb", "K", "", "Gb"})
        EXPECT_EQ(SizeRules::unitBytes(text), 0) << '"' << text << '"';
}

TEST(SizeRules, TypedSizesInBytes) {
    EXPECT_EQ(SizeRules::typedBytes("1423", 1024), 1457152);
    EXPECT_EQ(SizeRules::typedBytes("700", 1048576), 734003200);
    EXPECT_EQ(SizeRules::typedBytes("0012", 1024), 12 * 1024);
    EXPECT_EQ(SizeRules::typedBytes("0", 1048576), 0);
    EXPECT_EQ(SizeRules::typedBytes("000", 1024), 0);
    // Past the old signed 32-bit limit the bytes are still exact.
    EXPECT_EQ(SizeRules::typedBytes("2048", 1048576), std::int64_t{1} << 31);
    EXPECT_EQ(SizeRules::typedBytes("4097", 1048576), std::int64_t{4097} << 20);
    EXPECT_EQ(SizeRules::typedBytes("2097152", 1024), std::int64_t{1} << 31);
}

TEST(SizeRules, HugeTypedSizesStopAtTheCap) {
    const std::int64_t cap = std::int64_t{1} << 53;
    // Exactly at the cap, one unit over it, and far beyond what 64 bits hold.
    EXPECT_EQ(SizeRules::typedBytes(std::to_string(cap / 1048576), 1048576), cap);
    EXPECT_EQ(SizeRules::typedBytes(std::to_string(cap / 1048576 - 1), 1048576), cap - 1048576);
    EXPECT_EQ(SizeRules::typedBytes(std::to_string(cap / 1024 + 1), 1024), cap);
    EXPECT_EQ(SizeRules::typedBytes("99999999999999999999999999999999", 1024), cap);
    EXPECT_EQ(SizeRules::typedBytes(std::string(5000, '9'), 1048576), cap);
    EXPECT_EQ(static_cast<std::int64_t>(static_cast<double>(cap)), cap);
    EXPECT_EQ(SizeRules::pieceCount(std::int64_t{1} << 62, cap), 512);
    EXPECT_EQ(SizeRules::pieceCount(std::numeric_limits<std::int64_t>::max(), cap), 1024);
}

TEST(SizeRules, RemainderRuleCountsTheLastShortPieceOnly) {
    constexpr std::int64_t floppy = SizeRules::FloppyBytes;
    struct Case {
        std::int64_t length, size, count;
    };
    for (const Case& c :
         {Case{0, floppy, 0}, Case{1, floppy, 1}, Case{floppy - 1, floppy, 1},
          Case{floppy, floppy, 1}, Case{floppy + 1, floppy, 2}, Case{2 * floppy, floppy, 2},
          Case{3 * floppy, floppy, 3}, Case{3 * floppy + 1, floppy, 4}, Case{1025, 1024, 2},
          Case{std::int64_t{5} << 32, SizeRules::CdBytes, 30},
          Case{(std::int64_t{1} << 32) + 1, std::int64_t{1} << 31, 3}, Case{100, 0, 0},
          Case{100, -1024, 0}})
        EXPECT_EQ(SizeRules::pieceCount(c.length, c.size), c.count)
            << c.length << " bytes in pieces of " << c.size;
}

TEST(PieceName, OfferedNameStopsAtTheFirstDot) {
    struct Case {
        const char* title;
        const char* name;
    };
    for (const Case& c : {Case{"movie.avi", "movie.split"}, Case{"a.b.c", "a.split"},
                          Case{"archive.tar.gz", "archive.split"}, Case{".profile", ".split"},
                          Case{"README", "README.split"}, Case{"trailing.", "trailing.split"},
                          Case{"Übersicht.doc", "Übersicht.split"}, Case{"", ".split"}})
        EXPECT_EQ(PieceName::fromTitle(c.title), c.name) << c.title;
}

TEST(PieceName, SuffixTestIgnoresLetterCaseOfTheLastSixCharacters) {
    for (const char* name : {"movie.split", "movie.SPLIT", "movie.Split", ".split", "x.sPlIt"})
        EXPECT_TRUE(PieceName::hasSuffix(name)) << name;
    for (const char* name : {"movie", "split", "movie.split.txt", "movie.spli", "movie_split",
                             "movie.splits", "", "plit", "movie.spl\xC4\xB1t"})
        EXPECT_FALSE(PieceName::hasSuffix(name)) << name;
}

} // namespace
} // namespace kalvex
