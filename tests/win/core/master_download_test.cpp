#include "serverlist/master_download.h"

#include "protocol/query_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list_test_support.h"

using namespace listtest;

namespace {

const std::string okHeader = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-Servers: 3\r\n\r\n";
const std::string threeEntries = "127.2.0.1:27910\r\n127.2.0.2:27910\r\n127.2.0.3\r\n";
const std::string previousList = "127.2.0.4:27910\n";

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(worldOk("reset"));
        for (const char* address : {"127.2.0.1:27910", "127.2.0.2:27910", "127.2.0.2:279", "127.2.0.3:27910",
                                    "127.2.0.4:27910", sentinelServer})
            ASSERT_TRUE(worldOk(std::string("game.add address=") + address));
        recorder::clear();
    }
    void TearDown() override { simworld::request("reset"); }

    // Queries travel by UDP; once the sentinel's own query has arrived, so have all before it.
    static void settleQueries() {
        const std::size_t before = queriesTo(sentinelServer);
        queryServer(sentinelServer);
        ASSERT_TRUE(waitUntil([&] { return queriesTo(sentinelServer) > before; }));
    }

    // How often each of the four list servers (and 127.2.0.2 on port 279) was queried.
    static std::vector<std::size_t> queryCounts() {
        settleQueries();
        return {queriesTo("127.2.0.1:27910"), queriesTo("127.2.0.2:27910"), queriesTo("127.2.0.3:27910"),
                queriesTo("127.2.0.4:27910"), queriesTo("127.2.0.2:279")};
    }

    static void clearLogs() {
        simworld::request("game.clear");
        simworld::request("master.clear");
        recorder::clear();
    }

    ScratchDirectory scratch;
};

using Counts = std::vector<std::size_t>;

}  // namespace

TEST_F(DownloadTest, ResponseIsStoredByteForByteAndEveryEntryQueried) {
    const std::string response = okHeader + threeEntries + "X\r\n127.2.0.4\r\n";
    struct Case {
        const char* url;
        const char* master;
    };
    // Whole at once and in small slow pieces; the request names the URL exactly as given.
    for (const Case& c : {Case{masterListUrl, ""}, Case{"HTTP://127.0.0.1/serverlist.php?a=b",
                                                         ", \"mode\": \"slow\", \"chunk_size\": 7, \"interval_ms\": 5"}}) {
        SCOPED_TRACE(c.url);
        clearLogs();
        ASSERT_TRUE(setMaster(c.master, response));
        downloadServerList(c.url);
        EXPECT_EQ(readFile("templist.txt"), response);
        EXPECT_EQ(queryCounts(), (Counts{1, 1, 1, 0, 0}));
        EXPECT_EQ(masterRequests(), std::vector<std::string>{std::string("GET ") + c.url + " HTTP/1.0\n\n"});
        EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{});
    }
}

TEST_F(DownloadTest, ResponseCutShortIsStoredAndReadAsFarAsItCame) {
    writeFile("templist.txt", previousList);

    // Closed without a byte: an empty list, and no message.
    ASSERT_TRUE(setMaster(", \"mode\": \"close\"", okHeader + threeEntries));
    downloadServerList(masterListUrl);
    EXPECT_TRUE(fileExists("templist.txt"));
    EXPECT_EQ(readFile("templist.txt"), "");
    EXPECT_EQ(queryCounts(), (Counts{0, 0, 0, 0, 0}));

    // Reset in the middle of a line: that line is queried with what arrived (port 279).
    clearLogs();
    const std::string arrived = okHeader + "127.2.0.1:27910\r\n127.2.0.2:279";
    ASSERT_TRUE(setMaster(", \"mode\": \"reset\", \"cut_after\": " + std::to_string(arrived.size()),
                          arrived + "10\r\n127.2.0.3\r\n"));
    downloadServerList(masterListUrl);
    EXPECT_EQ(readFile("templist.txt"), arrived);
    EXPECT_EQ(queryCounts(), (Counts{1, 0, 0, 0, 1}));
    EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{});
}

TEST_F(DownloadTest, StalledResponseEndsAfterTheStallLimit) {
    constexpr unsigned shortStallMs = 300;
    writeFile("templist.txt", previousList);

    // The first piece arrives, then nothing for far longer than the limit.
    const std::string firstPiece = okHeader + "127.2.0.1:27910\r\n";
    ASSERT_TRUE(setMaster(", \"mode\": \"slow\", \"interval_ms\": 60000, \"chunk_size\": " +
                              std::to_string(firstPiece.size()),
                          firstPiece + "127.2.0.2:27910\r\n"));
    downloadServerList(masterListUrl, masterConnectLimitMs, shortStallMs);
    EXPECT_EQ(readFile("templist.txt"), firstPiece);
    EXPECT_EQ(queryCounts(), (Counts{1, 0, 0, 0, 0}));

    // A master that reads the request and never answers: an empty list.
    clearLogs();
    ASSERT_TRUE(setMaster(", \"mode\": \"hang\"", ""));
    downloadServerList(masterListUrl, masterConnectLimitMs, shortStallMs);
    EXPECT_EQ(masterRequests().size(), 1u);
    EXPECT_EQ(readFile("templist.txt"), "");
    EXPECT_EQ(queryCounts(), (Counts{0, 0, 0, 0, 0}));
    EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{});
}

TEST_F(DownloadTest, FailuresBeforeTheResponseKeepThePreviousList) {
    constexpr unsigned shortConnectMs = 300;
    struct Case {
        const char* url;
        const char* master;  // how the master at 127.0.0.1 behaves, or nothing there
        const char* status;
    };
    const Case cases[] = {
        {"http://no-such-master.invalid/serverlist.php", nullptr, "Failed to resolve hostname."},
        {"http://127.0.0.9/serverlist.php", nullptr, "Failed to connect."},
        // SYNs that are never answered: the connect limit ends the wait.
        {masterListUrl, ", \"mode\": \"no_accept\"", "Failed to connect."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        simworld::request("reset");
        for (const char* address : {"127.2.0.4:27910", sentinelServer})
            ASSERT_TRUE(worldOk(std::string("game.add address=") + address));
        if (c.master != nullptr) {
            ASSERT_TRUE(setMaster(c.master, okHeader + threeEntries));
        }
        writeFile("templist.txt", previousList);
        recorder::clear();
        downloadServerList(c.url, shortConnectMs);
        EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{c.status});
        EXPECT_EQ(readFile("templist.txt"), previousList);
        settleQueries();
        EXPECT_EQ(queriesTo("127.2.0.4:27910"), 0u);
    }
}

TEST_F(DownloadTest, ListThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(CreateDirectoryA("templist.txt", nullptr));
    ASSERT_TRUE(setMaster("", okHeader + threeEntries));
    downloadServerList(masterListUrl);
    EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{"Failed to open temporary list."});
    EXPECT_EQ(masterRequests().size(), 1u);
    EXPECT_EQ(queryCounts(), (Counts{0, 0, 0, 0, 0}));
}

namespace {
// nginx stamps each response with the time; everything else is the same on every request.
std::string withoutDate(std::string response) {
    const std::size_t date = response.find("\r\nDate: ");
    if (date != std::string::npos) response.erase(date, response.find("\r\n", date + 2) - date);
    return response;
}
}  // namespace

TEST_F(DownloadTest, RealHttpServerResponseIsStoredWhole) {
    const std::string list = "127.2.0.1:27910\n127.2.0.2:27910\n127.2.0.3\n";
    ASSERT_TRUE(worldOk("{\"op\": \"master.nginx\", \"hex\": \"" + simworld::hex(list) + "\"}"));
    downloadServerList(masterListUrl);
    const std::string stored = readFile("templist.txt");

    const std::string request = buildListRequest(masterListUrl);
    const simworld::Json fetched =
        simworld::request("{\"op\": \"master.fetch\", \"hex\": \"" + simworld::hex(request) + "\"}");
    ASSERT_TRUE(simworld::ok(fetched));
    EXPECT_EQ(withoutDate(stored), withoutDate(fromHex(fetched["hex"].text)));
    EXPECT_EQ(stored.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(stored.find("\r\nContent-Type: text/plain\r\n"), std::string::npos);
    EXPECT_EQ(stored.substr(stored.size() - list.size()), list);
    EXPECT_EQ(queryCounts(), (Counts{1, 1, 1, 0, 0}));
    simworld::request("master.nginx_stop");
}
