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

// Whatever the size, the views share one line of pixels with their neighbours, the lower
// views end exactly at the status bar and the info list exactly at the right edge.
TEST(Layout, ViewsMeetWithoutGaps) {
    for (int width = 0; width < 40; ++width) {
        for (int bottom = 20; bottom < 60; ++bottom) {
            const ChildLayout layout = computeLayout(width, bottom, 20);
            const int h = bottom - 20;
            EXPECT_EQ(layout.serverList.height, layout.playerList.y + 1);
            EXPECT_EQ(layout.playerList.y + layout.playerList.height, h);
            EXPECT_EQ(layout.infoList.y + layout.infoList.height, h);
            EXPECT_EQ(layout.playerList.width, layout.infoList.x + 1);
            EXPECT_EQ(layout.infoList.x + layout.infoList.width, width);
        }
    }
}

}  // namespace
