// The server list's rows as the program holds them: where a new row goes, what a reply changes,
// and the order a sort gives, ties included.
#include <gtest/gtest.h>

#include "ui/row_table.h"

namespace {

constexpr int name = 0, players = 2;

RowTexts row(const std::string& serverName, const std::string& playerCount, const std::string& key) {
    return RowTexts{serverName, "pond", playerCount + " / 16", "40", key};
}

std::vector<std::string> shownKeys(const ServerRows& rows) {
    std::vector<std::string> keys;
    for (int shown = 0; const RowTexts* texts = rowTextsAt(rows, shown); ++shown) keys.push_back((*texts)[4]);
    return keys;
}

TEST(RowTable, SortsStablyAndKeepsEachServerInItsOwnRow) {
    ServerRows rows;
    for (const RowTexts& texts : {row("b", "3", "k1"), row("A", "7", "k2"), row("a", "3", "k3"), row("c", "7", "k4")})
        EXPECT_TRUE(applyRowTexts(rows, texts).added);
    sortRows(rows, players, false);
    EXPECT_EQ(shownKeys(rows), (std::vector<std::string>{"k2", "k4", "k1", "k3"}));  // ties keep their order
    sortRows(rows, name, true);
    EXPECT_EQ(shownKeys(rows), (std::vector<std::string>{"k2", "k3", "k1", "k4"}));

    // A reply finds its server's row wherever the sort put it; its name stays as first shown.
    const RowChange change = applyRowTexts(rows, row("renamed", "9", "k1"));
    EXPECT_EQ((std::vector<int>{change.row, change.added, change.changed}), (std::vector<int>{2, false, true}));
    EXPECT_EQ((*rowTextsAt(rows, 2))[name] + (*rowTextsAt(rows, 2))[players], "b9 / 16");
    EXPECT_FALSE(applyRowTexts(rows, row("b", "9", "k1")).changed);
    // A server seen for the first time goes to the bottom, whatever the order.
    EXPECT_EQ(applyRowTexts(rows, row("0", "1", "k5")).row, 4);
    EXPECT_EQ(rowTextsAt(rows, 5), nullptr);
}

}  // namespace
