#include "ui/layout.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const ChildRect& rect, int x, int y, int width, int height) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(Layout, EvenClientArea) {
    const ChildLayout layout = computeLayout(600, 300, 20);
    expectRect(layout.serverList, 0, 0, 600, 141);
    expectRect(layout.playerList, 0, 140, 301, 140);
    expectRect(layout.infoList, 300, 140, 300, 140);
}

TEST(Layout, OddClientArea) {
    const ChildLayout layout = computeLayout(601, 301, 20);
    expectRect(layout.serverList, 0, 0, 601, 142);
    expectRect(layout.playerList, 0, 141, 302, 140);
    expectRect(layout.infoList, 301, 141, 300, 140);
}

TEST(Layout, ClientLowerThanStatusBarTruncatesTowardZero) {
    const ChildLayout layout = computeLayout(100, 10, 20);  // H = -10
    expectRect(layout.serverList, 0, 0, 100, -3);
    expectRect(layout.playerList, 0, -4, 51, -5);
    expectRect(layout.infoList, 50, -4, 50, -5);
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
