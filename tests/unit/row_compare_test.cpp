#include "ui/row_compare.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr int name = 0, map = 1, players = 2;

// The sign of a comparison: -1, 0 or 1.
int order(int column, bool ascending, const std::string& a, const std::string& b) {
    const int result = compareCellTexts(column, ascending, a, b);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

TEST(RowTexts, PlayersTextHoldsAnyTwoNumbers) {
    EXPECT_EQ(playersText(INT_MIN, INT_MAX), "-2147483648 / 2147483647");
}

// Numbers and both directions of every column: the end-to-end window test.
TEST(CompareRows, PlayersCompareAsTheirLeadingNumber) {
    EXPECT_EQ(order(players, true, "12 / 16", "12 / 32"), 0);  // the maximum never counts
}

TEST(CompareRows, TextFoldsOnlyCapitalLetters) {
    EXPECT_EQ(order(name, true, "ALPHA", "alpha"), 0);
    EXPECT_EQ(order(map, true, "\xC4", "z"), 1);  // bytes above 0x7F are unsigned
    EXPECT_EQ(order(map, true, "\xC4", "\xE0"), -1);  // and unfolded
    EXPECT_EQ(order(map, true, "pond", "pondering"), -1);  // the shorter text orders first
}

TEST(CompareRows, OnlyTheFirst63CharactersCount) {
    const std::string base(63, 'x');
    EXPECT_EQ(order(name, true, base + "a", base + "b"), 0);
    EXPECT_EQ(order(name, true, base.substr(0, 62) + "a", base.substr(0, 62) + "b"), -1);
    EXPECT_EQ(order(players, true, std::string(62, ' ') + "5", std::string(63, ' ') + "9"), 1);
}

}  // namespace
