#include "ui/server_rows.h"

#include <atomic>
#include <algorithm>
#include <thread>

#include "window_fixture.h"

using namespace testui;

namespace {

struct Reply {
    std::string key;
    ServerRowFields fields;
};

Reply reply(const std::string& key, const std::string& name, const std::string& map, int players, int maxClients,
            int ping) {
    Reply r;
    r.key = key;
    r.fields.hostName = name;
    r.fields.mapName = map;
    r.fields.playerCount = players;
    r.fields.maxClients = maxClients;
    r.fields.ping = ping;
    return r;
}

// Sends the replies from another thread, as the receiver thread does, while this thread
// serves the window; bounded in rounds so that a lost message cannot hang the test.
void updateFromWorker(const std::vector<Reply>& replies) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (const Reply& r : replies) updateServerRow(r.key, r.fields);
        done = true;
    });
    for (int round = 0; round < 2000 && !done; ++round) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    EXPECT_TRUE(done) << "the worker's updates were never served";
    worker.join();
}

std::string row(int index) { return listRows(serverList, serverColumnCount).at(static_cast<std::size_t>(index)); }

std::vector<std::string> column(int index) {
    std::vector<std::string> cells;
    for (int r = 0; r < rowCount(serverList); ++r) cells.push_back(cellText(serverList, r, index));
    return cells;
}

// A fresh window for each test: the sort directions start from their initial values and
// the list holds only this test's rows.
class ServerRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        pumpMessages();
    }
    void TearDown() override {
        DestroyWindow(window);
        pumpMessages();
    }

    HWND window = nullptr;
};

TEST_F(ServerRowsTest, RowsForAnsweringServersAndRefreshesInPlace) {
    updateFromWorker({
        reply("127.0.30.1:27910", "Alpha", "pond", 12, 16, 45),
        reply("127.0.30.2:27910", "", "", 0, 0, -7),
        reply("127.0.30.3:27910", "Gamma", "delta", 3, 8, 0),
    });
    ASSERT_EQ(rowCount(serverList), 3);
    EXPECT_EQ(row(0), "Alpha|pond|12 / 16|45|127.0.30.1:27910");
    EXPECT_EQ(row(1), "||0 / 0|-7|127.0.30.2:27910");
    EXPECT_EQ(row(2), "Gamma|delta|3 / 8|0|127.0.30.3:27910");

    // A later reply rewrites map, players and ping; the name stays as first shown, and no
    // second row appears.
    updateFromWorker({reply("127.0.30.1:27910", "Renamed", "marsh", 2, 32, 130)});
    ASSERT_EQ(rowCount(serverList), 3);
    EXPECT_EQ(row(0), "Alpha|marsh|2 / 32|130|127.0.30.1:27910");
}

TEST_F(ServerRowsTest, SortedRowsKeepTheirPlaceAndNewServersGoToTheBottom) {
    updateFromWorker({
        reply("127.0.31.1:27910", "a", "m", 5, 16, 50),
        reply("127.0.31.2:27910", "b", "m", 9, 16, 20),
        reply("127.0.31.3:27910", "c", "m", 1, 16, 90),
    });
    sortByColumn(pingColumn);  // ascending: 20, 50, 90
    EXPECT_EQ(column(pingColumn), (std::vector<std::string>{"20", "50", "90"}));

    // The refreshed row doesn't move although the sort column changed; the newcomer goes last.
    updateFromWorker({reply("127.0.31.3:27910", "c", "m", 1, 16, 5), reply("127.0.31.4:27910", "d", "m", 0, 8, 1)});
    EXPECT_EQ(column(addressColumn), (std::vector<std::string>{"127.0.31.2:27910", "127.0.31.1:27910",
                                                               "127.0.31.3:27910", "127.0.31.4:27910"}));
    EXPECT_EQ(column(pingColumn), (std::vector<std::string>{"20", "50", "5", "1"}));

    // The next sort uses the texts the rows show now.
    sortByColumn(pingColumn);  // descending
    EXPECT_EQ(column(pingColumn), (std::vector<std::string>{"50", "20", "5", "1"}));
    // The Address column still fills the view after rows were added.
    RECT client = {};
    GetClientRect(serverList, &client);
    int widths = 0;
    for (int c = 0; c < serverColumnCount; ++c)
        widths += static_cast<int>(SendMessageA(serverList, LVM_GETCOLUMNWIDTH, c, 0));
    EXPECT_EQ(widths, client.right);
}

TEST_F(ServerRowsTest, EachColumnAlternatesItsOwnDirection) {
    updateFromWorker({
        reply("127.0.32.10:27910", "charlie", "Marsh", 8, 16, 30),
        reply("127.0.32.2:27910", "Bravo", "pond", 12, 16, -4),
        reply("127.0.32.3:27910", "alpha", "[x]", 0, 0, 100),
    });
    const std::vector<std::string> nameAscending{"alpha", "Bravo", "charlie"};
    const std::vector<std::string> mapAscending{"[x]", "Marsh", "pond"};
    const std::vector<std::string> playersDescending{"12 / 16", "8 / 16", "0 / 0"};
    const std::vector<std::string> pingAscending{"-4", "30", "100"};
    const std::vector<std::string> addressAscending{"127.0.32.10:27910", "127.0.32.2:27910", "127.0.32.3:27910"};
    auto reversed = [](std::vector<std::string> cells) { return std::vector<std::string>(cells.rbegin(), cells.rend()); };

    // Map, then Players, then Map again: each keeps its own direction.
    sortByColumn(mapColumn);
    EXPECT_EQ(column(mapColumn), mapAscending);
    sortByColumn(playersColumn);
    EXPECT_EQ(column(playersColumn), playersDescending);
    sortByColumn(mapColumn);
    EXPECT_EQ(column(mapColumn), reversed(mapAscending));
    sortByColumn(playersColumn);
    EXPECT_EQ(column(playersColumn), reversed(playersDescending));

    sortByColumn(nameColumn);
    EXPECT_EQ(column(nameColumn), nameAscending);
    sortByColumn(nameColumn);
    EXPECT_EQ(column(nameColumn), reversed(nameAscending));
    sortByColumn(pingColumn);
    EXPECT_EQ(column(pingColumn), pingAscending);
    sortByColumn(pingColumn);
    EXPECT_EQ(column(pingColumn), reversed(pingAscending));
    sortByColumn(addressColumn);
    EXPECT_EQ(column(addressColumn), addressAscending);
    sortByColumn(addressColumn);
    EXPECT_EQ(column(addressColumn), reversed(addressAscending));

    // Rows stay whole through the sorts, and a header index out of range changes nothing.
    const std::vector<std::string> before = listRows(serverList, serverColumnCount);
    sortByColumn(serverColumnCount);
    sortByColumn(-1);
    EXPECT_EQ(listRows(serverList, serverColumnCount), before);
    EXPECT_NE(std::find(before.begin(), before.end(), "Bravo|pond|12 / 16|-4|127.0.32.2:27910"), before.end());
}

}  // namespace
