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

TEST(PaneFollow, AKeptRowIsFoundByNameNearestToWhereItWas) {
    const std::vector<std::string> names = {"Amy", "Bob", "Amy", "cy", "Amy"};
    EXPECT_EQ(keptRow(names, "Bob", 0), 1);   // moved down by a player who joined above
    EXPECT_EQ(keptRow(names, "Amy", 3), 2);   // of equal names, the nearest to its old row
    EXPECT_EQ(keptRow(names, "Amy", 9), 4);
    EXPECT_EQ(keptRow(names, "amy", 0), -1);  // names compare exactly
    EXPECT_EQ(keptRow(names, "Di", 1), -1);   // gone: nothing is selected
}
