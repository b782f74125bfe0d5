#include "ui/server_rows.h"

#include "window_fixture.h"

using namespace testui;

namespace {

using Texts = std::vector<std::string>;

TEST_F(WindowTest, RowsForAnsweringServersAndRefreshesInPlace) {
    showServers({
        {"127.0.30.1:27910", "Alpha", "pond", 12, 16, 45},
        {"127.0.30.2:27910", "", "", 0, 0, -7},
        {"127.0.30.3:27910", "Gamma", "delta", 3, 8, 0},
    });
    EXPECT_EQ(listRows(serverList), (Texts{"Alpha|pond|12 / 16|45|127.0.30.1:27910", "||0 / 0|-7|127.0.30.2:27910",
                                           "Gamma|delta|3 / 8|0|127.0.30.3:27910"}));

    // A later reply rewrites map, players and ping; the name stays as first shown, and no
    // second row appears.
    showServers({{"127.0.30.1:27910", "Renamed", "marsh", 2, 32, 130}});
    ASSERT_EQ(rowCount(serverList), 3);
    EXPECT_EQ(listRows(serverList)[0], "Alpha|marsh|2 / 32|130|127.0.30.1:27910");
}

TEST_F(WindowTest, SortedRowsKeepTheirPlaceAndNewServersGoToTheBottom) {
    showServers({
        {"127.0.31.1:27910", "a", "m", 5, 16, 50},
        {"127.0.31.2:27910", "b", "m", 9, 16, 20},
        {"127.0.31.3:27910", "c", "m", 1, 16, 90},
    });
    sortByColumn(pingColumn);  // ascending
    EXPECT_EQ(columnTexts(pingColumn), (Texts{"20", "50", "90"}));

    // The refreshed row doesn't move although the sort column changed; the newcomer goes last.
    showServers({{"127.0.31.3:27910", "c", "m", 1, 16, 5}, {"127.0.31.4:27910", "d", "m", 0, 8, 1}});
    EXPECT_EQ(columnTexts(addressColumn),
              (Texts{"127.0.31.2:27910", "127.0.31.1:27910", "127.0.31.3:27910", "127.0.31.4:27910"}));
    EXPECT_EQ(columnTexts(pingColumn), (Texts{"20", "50", "5", "1"}));

    // The next sort uses the texts the rows show now.
    sortByColumn(pingColumn);  // descending
    EXPECT_EQ(columnTexts(pingColumn), (Texts{"50", "20", "5", "1"}));
}

TEST_F(WindowTest, EachColumnAlternatesItsOwnDirection) {
    showServers({
        {"127.0.32.10:27910", "charlie", "Marsh", 8, 16, 30},
        {"127.0.32.2:27910", "Bravo", "pond", 12, 16, -4},
        {"127.0.32.3:27910", "alpha", "[x]", 0, 0, 100},
    });
    const Texts before = listRows(serverList);
    // Players starts with the fullest servers; every other column ascending. Map, Players,
    // Map again: each column keeps its own direction.
    const struct {
        int column;
        Texts cells;
    } sorts[] = {
        {mapColumn, {"[x]", "Marsh", "pond"}},
        {playersColumn, {"12 / 16", "8 / 16", "0 / 0"}},
        {mapColumn, {"pond", "Marsh", "[x]"}},
        {playersColumn, {"0 / 0", "8 / 16", "12 / 16"}},
        {nameColumn, {"alpha", "Bravo", "charlie"}},
        {nameColumn, {"charlie", "Bravo", "alpha"}},
        {pingColumn, {"-4", "30", "100"}},
        {pingColumn, {"100", "30", "-4"}},
        {addressColumn, {"127.0.32.10:27910", "127.0.32.2:27910", "127.0.32.3:27910"}},
        {addressColumn, {"127.0.32.3:27910", "127.0.32.2:27910", "127.0.32.10:27910"}},
    };
    for (const auto& sort : sorts) {
        sortByColumn(sort.column);
        EXPECT_EQ(columnTexts(sort.column), sort.cells) << "column " << sort.column;
    }

    // Rows stay whole through the sorts, and a header index out of range changes nothing.
    const Texts sorted = listRows(serverList);
    sortByColumn(serverColumnCount);
    sortByColumn(-1);
    EXPECT_EQ(listRows(serverList), sorted);
    EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), before.begin(), before.end()));
}

}  // namespace
