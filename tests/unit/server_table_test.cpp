#include "core/server_table.h"

#include <gtest/gtest.h>

#include <string>

// The table is one per process and only grows, so the keys here are used by no other test.
TEST(ServerTable, FindNeverInsertsAndRecordsStayInPlace) {
    auto lock = lockServerTable();
    EXPECT_EQ(findServer("10.9.0.1:27910"), nullptr);
    EXPECT_EQ(findServer("10.9.0.1:27910"), nullptr);

    ServerRecord& added = findOrAddServer("10.9.0.1:27910");
    EXPECT_EQ(added.queryTime, 0u);
    EXPECT_TRUE(added.hostName.empty() && added.players.empty() && added.info.empty());
    added.hostName = "Alpha";
    for (int i = 0; i < 500; ++i) findOrAddServer("10.9.2." + std::to_string(i) + ":27910");
    EXPECT_EQ(findServer("10.9.0.1:27910"), &added);
    EXPECT_EQ(&findOrAddServer("10.9.0.1:27910"), &added);
    EXPECT_EQ(added.hostName, "Alpha");
}
