#include "core/numbers.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ReadDecimal, ReadsLikeAtoi) {
    EXPECT_EQ(readDecimal(""), 0);
    EXPECT_EQ(readDecimal("abc"), 0);
    EXPECT_EQ(readDecimal("  \t42x"), 42);
    EXPECT_EQ(readDecimal("-17"), -17);
    EXPECT_EQ(readDecimal("+5"), 5);
    EXPECT_EQ(readDecimal("12 / 16"), 12);
    EXPECT_EQ(readDecimal("- 3"), 0);
}

TEST(ReadDecimal, ClampsOutOfRangeValues) {
    EXPECT_EQ(readDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(readDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(readDecimal("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(readDecimal("-99999999999999999999999"), INT_MIN);
}
