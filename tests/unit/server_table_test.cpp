#include "core/server_table.h"

#include <gtest/gtest.h>

// The table is one per process and only grows, so each test uses keys of its own.

TEST(ServerTable, FindNeverInsertsAndNewRecordsAreEmpty) {
    auto lock = lockServerTable();
    EXPECT_EQ(findServer("10.9.0.1:27910"), nullptr);
    EXPECT_EQ(findServer("10.9.0.1:27910"), nullptr);

    ServerRecord& added = findOrAddServer("10.9.0.1:27910");
    EXPECT_EQ(added.playerCount, 0);
    EXPECT_EQ(added.maxClients, 0);
    EXPECT_EQ(added.queryTime, 0u);
    EXPECT_EQ(added.ping, 0);
    EXPECT_TRUE(added.hostName.empty());
    EXPECT_TRUE(added.mapName.empty());
    EXPECT_TRUE(added.players.empty());
    EXPECT_TRUE(added.info.empty());
    EXPECT_EQ(findServer("10.9.0.1:27910"), &added);
}

TEST(ServerTable, RecordsStayInPlaceAndKeepTheirData) {
    auto lock = lockServerTable();
    ServerRecord& first = findOrAddServer("10.9.1.1:27910");
    first.hostName = "Alpha";
    first.queryTime = 5;
    for (int i = 0; i < 500; ++i) findOrAddServer("10.9.2." + std::to_string(i) + ":27910");

    ServerRecord& again = findOrAddServer("10.9.1.1:27910");
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.hostName, "Alpha");
    EXPECT_EQ(again.queryTime, 5u);
}
