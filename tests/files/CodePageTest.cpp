#include "files/CodePage.h"

#include <gtest/gtest.h>

#include <string>

using namespace kalvex::files;

TEST(CodePage, EveryByteRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const auto utf8 = fromCodePage(one);
        EXPECT_EQ(toCodePage(utf8), one) << byte;
        all += one;
    }
    EXPECT_EQ(toCodePage(fromCodePage(all)), all);
}

TEST(CodePage, MapsWindows1252) {
    const std::pair<std::string, std::string> pairs[] = {
        {"movie.avi", "movie.avi"}, {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\x81", "\xC2\x81"},       // undefined byte, kept as its control character
        {"\x8A", "\xC5\xA0"},       // S with caron
        {"\x99", "\xE2\x84\xA2"},   // trade mark
        {"\x9F", "\xC5\xB8"},       // Y with diaeresis
        {"\xA0", "\xC2\xA0"},       // no-break space
        {"caf\xE9", "caf\xC3\xA9"}, // e with acute
        {"\xFF", "\xC3\xBF"},       // y with diaeresis
    };
    for (const auto& [codePage, utf8] : pairs) {
        EXPECT_EQ(fromCodePage(codePage), utf8);
        EXPECT_EQ(toCodePage(utf8), codePage);
    }
}

TEST(CodePage, CharactersThatDoNotFitAndBrokenUtf8GiveNothing) {
    for (const std::string text : {
             "\xE6\x97\xA5.txt", // CJK
             "\xC2\x80",         // U+0080: byte 0x80 is the euro sign, not this control
             "\xF0\x9F\x98\x80", // emoji
             "\xE9",             // a code page byte, not UTF-8
             "\xC3",             // cut short
         })
        EXPECT_FALSE(toCodePage(text)) << testing::PrintToString(text);
}

TEST(CodePage, RecognisesStrictUtf8WithHighBytes) {
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {"plain.txt", false},
        {"caf\xC3\xA9", true},
        {"\xE2\x82\xAC", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"caf\xE9", false},          // Windows-1252
        {"\x80", false},             // stray continuation byte
        {"\xC0\xAF", false},         // overlong
        {"\xE0\x80\xAF", false},     // overlong
        {"\xF0\x80\x80\xAF", false}, // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", false},
        {"\xE2\x82", false}, // cut short
        {"\xC3\xA9\xC3", false},
        {"\xE2\x28\xA1", false}, // bad continuation
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(isUtf8WithHighBytes(bytes), expected) << testing::PrintToString(bytes);
}
