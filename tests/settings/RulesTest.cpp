// The size rules where the windows cannot reach: sizes and lengths far past 32 bits.
#include "settings/SizeRules.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace kalvex {
namespace {

TEST(SizeRules, TypedSizesAndTheRemainderRuleInSixtyFourBits) {
    constexpr std::int64_t Cap = std::int64_t{1} << 53, Mb = 1048576;
    struct Case {
        std::string digits;
        const char* unit;
        std::int64_t length, count;
    };
    for (const Case& c :
         {Case{"0012", "Kb", 12 * 1024 + 1, 2}, Case{"700", "Mb", 5LL << 32, 30},
          Case{"2048", "Mb", (1LL << 32) + 1, 3},
          // Just below the cap the size is still exact.
          Case{std::to_string(Cap / Mb - 1), "Mb", Cap, 2},
          Case{std::to_string(Cap / 1024 + 1), "Kb", 1LL << 62, 512},
          Case{std::string(5000, '9'), "Mb", std::numeric_limits<std::int64_t>::max(), 1024},
          Case{"5", "kb", 100, 0}, Case{"0", "Mb", 100, 0}, Case{"1", "Kb", 0, 0}})
        EXPECT_EQ(SizeRules::pieceCount(
                      c.length, SizeRules::typedBytes(c.digits, SizeRules::unitBytes(c.unit))),
                  c.count)
            << c.digits.substr(0, 20) << " " << c.unit << " for " << c.length << " bytes";
}

} // namespace
} // namespace kalvex
