#include "join/JoinManifest.h"

#include "files/FileError.h"
#include "join/JoinFailure.h"
#include "join/JoinTestFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kalvex {
namespace {

using test::TempDir;

TEST(JoinManifest, CountLineIsANumberOnlyWhenItReadsAsOne) {
    struct Case {
        const char* line;
        double count;
    };
    for (const Case& c : {Case{" 3 ", 3}, Case{"3", 3}, Case{"\t 12\t ", 12}, Case{"+3", 3},
                          Case{" -2 ", -2}, Case{"2.5", 2.5}, Case{"0", 0}, Case{"007", 7},
                          Case{"-0.75", -0.75}, Case{" 32768 ", 32768}}) {
        const auto parsed = JoinManifest::parseCount(c.line);
        ASSERT_TRUE(parsed.has_value()) << '"' << c.line << '"';
        EXPECT_EQ(*parsed, c.count) << '"' << c.line << '"';
    }
    for (const char* line :
         {"", "   ", "3abc", "1e3", "3,5", "abc", "3 4", "+", "-", "--3", "3.", ".5", "0x10", "3\v",
          "\xA0"
          "3",
          "inf", "nan"})
        EXPECT_FALSE(JoinManifest::parseCount(line).has_value()) << '"' << line << '"';
}

TEST(JoinManifest, LinesEndAtCrLfCrOrLfAndTheTitleIsVerbatim) {
    TempDir dir;
    const std::string path = dir.file("movie.splitMain");
    for (const char* ending : {"\r\n", "\r", "\n"}) {
        test::writeManifest(path, " 3 ", "  my movie.avi ", ending);
        const auto manifest = JoinManifest::read(files::FileSystem::current(), path);
        EXPECT_EQ(manifest.count, 3);
        EXPECT_EQ(manifest.title, "  my movie.avi ");
        EXPECT_EQ(manifest.basePath, dir.file("movie.split"));
    }
    // Nothing after line 2 is read.
    test::writeFile(path, " 2 \r\nname.bin\r\nrubbish\r\n");
    EXPECT_EQ(JoinManifest::read(files::FileSystem::current(), path).title, "name.bin");
}

TEST(JoinManifest, TitleIsUtf8OnlyWhenItLooksLikeIt) {
    // Windows-1252 bytes: é is E9, the euro sign 80.
    EXPECT_EQ(JoinManifest::decodeTitle("caf\xE9 \x80.txt"), "caf\xC3\xA9 \xE2\x82\xAC.txt");
    EXPECT_EQ(JoinManifest::decodeTitle("caf\xC3\xA9.txt"), "caf\xC3\xA9.txt");
    EXPECT_EQ(JoinManifest::decodeTitle("plain.txt"), "plain.txt");
}

TEST(JoinManifest, BrokenManifestsFailNamingTheManifest) {
    TempDir dir;
    const std::string path = dir.file("x.splitMain");
    for (const char* first : {"", "3abc", "1e3", "3,5"}) {
        test::writeManifest(path, first, "x.bin");
        try {
            (void)JoinManifest::read(files::FileSystem::current(), path);
            ADD_FAILURE() << "accepted line 1 \"" << first << '"';
        } catch (const JoinFailure& failure) {
            EXPECT_EQ(failure.file(), path);
            EXPECT_NE(std::string(failure.what()).find("not a number"), std::string::npos);
            EXPECT_NE(std::string(failure.what()).find(path), std::string::npos);
        }
    }
    for (const char* text : {" 3 \r\n", " 3 ", ""}) {
        test::writeFile(path, text);
        EXPECT_THROW((void)JoinManifest::read(files::FileSystem::current(), path), JoinFailure)
            << '"' << text << '"';
    }
    EXPECT_THROW((void)JoinManifest::read(files::FileSystem::current(), dir.file("absent")),
                 files::FileError);
}

TEST(JoinManifest, BasePathDropsFourCharactersNotBytes) {
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("/p/holiday.splitMain"), "/p/holiday.split");
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("/p/holiday.splitmain"), "/p/holiday.split");
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("/p/h.split1234"), "/p/h.split");
    // Four two-, three- and four-byte characters.
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("/p/d\xC3\xA9j\xC3\xA0.split\xC3\x84\xC3\x96"
                                                  "\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "/p/d\xC3\xA9j\xC3\xA0.split");
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("/p/\xC3\xA9t\xC3\xA9Main"),
              "/p/\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(JoinManifest::cutLastFourCharacters("abc"), "");
}

} // namespace
} // namespace kalvex
