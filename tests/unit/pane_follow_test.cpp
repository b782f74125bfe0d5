// What the details pane shows when the server list reports a changed row, and how it follows
// its own server's replies.
#include <gtest/gtest.h>

#include "ui/pane_follow.h"

TEST(PaneFollow, OnlyASelectionChangePicksWhatThePaneShows) {
    // A new text (no state reported) or a focus change (the selection bit as it was) keeps it.
    EXPECT_EQ(paneChangeFor(false, false, false), PaneChange::keep);
    EXPECT_EQ(paneChangeFor(false, true, true), PaneChange::keep);
    EXPECT_EQ(paneChangeFor(true, true, true), PaneChange::keep);
    EXPECT_EQ(paneChangeFor(true, false, false), PaneChange::keep);
    EXPECT_EQ(paneChangeFor(true, false, true), PaneChange::showRow);
    EXPECT_EQ(paneChangeFor(true, true, false), PaneChange::showMark);
}

TEST(PaneFollow, OnlyThePanesServerSchedulesOneRefillAtATime) {
    PaneFollower follower;
    EXPECT_FALSE(follower.rowUpdated(""));
    follower.showing("10.0.0.1:27910");
    EXPECT_FALSE(follower.rowUpdated("10.0.0.2:27910"));
    EXPECT_TRUE(follower.rowUpdated("10.0.0.1:27910"));
    EXPECT_FALSE(follower.rowUpdated("10.0.0.1:27910"));
    follower.refilled();
    EXPECT_TRUE(follower.rowUpdated("10.0.0.1:27910"));
}
