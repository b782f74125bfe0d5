#include "ui/layout.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 12> flatten(const ChildLayout& l) {
    return {l.serverList.x, l.serverList.y, l.serverList.width, l.serverList.height,
            l.playerList.x, l.playerList.y, l.playerList.width, l.playerList.height,
            l.infoList.x,   l.infoList.y,   l.infoList.width,   l.infoList.height};
}

TEST(Layout, Examples) {
    using Rects = std::array<int, 12>;  // server, player, info list: x, y, width, height each
    EXPECT_EQ(flatten(computeLayout(600, 300, 20)), (Rects{0, 0, 600, 141, 0, 140, 301, 140, 300, 140, 300, 140}));
    EXPECT_EQ(flatten(computeLayout(601, 301, 20)), (Rects{0, 0, 601, 142, 0, 141, 302, 140, 301, 141, 300, 140}));
    // A client lower than the status bar (H = -10): every halving truncates toward zero.
    EXPECT_EQ(flatten(computeLayout(100, 10, 20)), (Rects{0, 0, 100, -3, 0, -4, 51, -5, 50, -4, 50, -5}));
}

}  // namespace
