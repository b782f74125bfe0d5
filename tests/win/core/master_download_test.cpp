// Winsock's headers must come before <windows.h>.
#include "list_test_support.h"

#include "serverlist/master_download.h"

#include <string>
#include <vector>

using namespace listtest;
using simworld::masterRequests;
using simworld::setMaster;

namespace {

const std::string previousList = "127.2.0.4:27910\n";
using Counts = std::vector<std::size_t>;

class DownloadTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        ASSERT_TRUE(simworld::ok("game.add address=127.2.0.2:279"));
    }

    // How often each server of the list, the old server and 127.2.0.2 on port 279 were queried.
    static Counts queryCounts() {
        settleQueries();
        Counts counts;
        for (const char* address : {listServers[0], listServers[1], listServers[2], oldServer, "127.2.0.2:279"})
            counts.push_back(simworld::queriesTo(address));
        return counts;
    }

    static void clearLogs() {
        simworld::request("game.clear");
        simworld::request("master.clear");
        recorder::clear();
    }
};

}  // namespace

TEST_F(DownloadTest, ResponseIsStoredByteForByteAndEveryEntryQueried) {
    const std::string response = okHeader + std::string(threeEntries) + "X\r\n127.2.0.4\r\n";
    // Whole at once, and in pieces with pauses of 1.5 s, which the production stall limit
    // must wait out; the request names the URL exactly as given.
    for (const char* url : {masterListUrl, "HTTP://127.0.0.1/serverlist.php?a=b"}) {
        SCOPED_TRACE(url);
        clearLogs();
        const bool whole = url == masterListUrl;
        ASSERT_TRUE(setMaster(whole ? "" : ", \"mode\": \"slow\", \"chunk_size\": 40, \"interval_ms\": 1500", response));
        downloadServerList(url);
        EXPECT_EQ(readFile("templist.txt"), response);
        EXPECT_EQ(queryCounts(), (Counts{1, 1, 1, 0, 0}));
        EXPECT_EQ(masterRequests(), std::vector<std::string>{std::string("GET ") + url + " HTTP/1.0\n\n"});
        EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{});
    }
}

TEST_F(DownloadTest, ResponseEndedEarlyIsStoredAndReadAsFarAsItCame) {
    constexpr unsigned shortStallMs = 300;
    const std::string cut = okHeader + std::string("127.2.0.1:27910\r\n127.2.0.2:279");
    const std::string firstPiece = okHeader + std::string("127.2.0.1:27910\r\n");
    const struct {
        const char* what;
        std::string master;
        std::string response;
        std::string stored;
        Counts queries;
    } cases[] = {
        {"closed without a byte", ", \"mode\": \"close\"", okHeader + std::string(threeEntries), "", {0, 0, 0, 0, 0}},
        // The cut line is queried with what arrived: port 279.
        {"reset in the middle of a line", ", \"mode\": \"reset\", \"cut_after\": " + std::to_string(cut.size()),
         cut + "10\r\n127.2.0.3\r\n", cut, {1, 0, 0, 0, 1}},
        // Then nothing for far longer than the stall limit.
        {"stalled after a first piece",
         ", \"mode\": \"slow\", \"interval_ms\": 60000, \"chunk_size\": " + std::to_string(firstPiece.size()),
         firstPiece + "127.2.0.2:27910\r\n", firstPiece, {1, 0, 0, 0, 0}},
        {"never answered", ", \"mode\": \"hang\"", "", "", {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clearLogs();
        writeFile("templist.txt", previousList);
        ASSERT_TRUE(setMaster(c.master, c.response));
        downloadServerList(masterListUrl, masterConnectLimitMs, shortStallMs);
        EXPECT_NE(GetFileAttributesA("templist.txt"), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(readFile("templist.txt"), c.stored);
        EXPECT_EQ(queryCounts(), c.queries);
        EXPECT_EQ(masterRequests().size(), 1u);
        EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{});
    }
}

TEST_F(DownloadTest, FailuresBeforeTheResponseKeepThePreviousList) {
    constexpr unsigned shortConnectMs = 300;
    const struct {
        const char* url;
        const char* master;  // how the master at 127.0.0.1 behaves, or nothing there
        const char* status;
    } cases[] = {
        {"http://no-such-master.invalid/serverlist.php", nullptr, "Failed to resolve hostname."},
        {"http://127.0.0.9/serverlist.php", nullptr, "Failed to connect."},
        // SYNs that are never answered: the connect limit ends the wait.
        {masterListUrl, ", \"mode\": \"no_accept\"", "Failed to connect."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        if (c.master != nullptr) {
            ASSERT_TRUE(setMaster(c.master, okHeader + std::string(threeEntries)));
        }
        writeFile("templist.txt", previousList);
        recorder::clear();
        downloadServerList(c.url, shortConnectMs);
        EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{c.status});
        EXPECT_EQ(readFile("templist.txt"), previousList);
        EXPECT_EQ(queryCounts(), (Counts{0, 0, 0, 0, 0}));
    }
}

TEST_F(DownloadTest, ListThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(CreateDirectoryA("templist.txt", nullptr));
    ASSERT_TRUE(setMaster("", okHeader + std::string(threeEntries)));
    downloadServerList(masterListUrl);
    EXPECT_EQ(recorder::statusTexts(), std::vector<std::string>{"Failed to open temporary list."});
    EXPECT_EQ(masterRequests().size(), 1u);
    EXPECT_EQ(queryCounts(), (Counts{0, 0, 0, 0, 0}));
}

TEST_F(DownloadTest, RealHttpServerResponseIsStoredWhole) {
    // nginx stamps each response with the time; everything else is the same on every request.
    const auto withoutDate = [](std::string response) {
        const std::size_t date = response.find("\r\nDate: ");
        if (date != std::string::npos) response.erase(date, response.find("\r\n", date + 2) - date);
        return response;
    };
    const std::string list = "127.2.0.1:27910\n127.2.0.2:27910\n127.2.0.3\n";
    ASSERT_TRUE(simworld::ok("{\"op\": \"master.nginx\", \"hex\": \"" + simworld::hex(list) + "\"}"));
    downloadServerList(masterListUrl);
    const std::string stored = readFile("templist.txt");

    simworld::Response fetched;
    ASSERT_TRUE(simworld::ok(
        "{\"op\": \"master.fetch\", \"hex\": \"" + simworld::hex(buildListRequest(masterListUrl)) + "\"}", &fetched));
    EXPECT_EQ(withoutDate(stored), withoutDate(simworld::unhex(fetched.get("hex"))));
    EXPECT_EQ(stored.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(stored.find("\r\nContent-Type: text/plain\r\n"), std::string::npos);
    EXPECT_EQ(stored.substr(stored.size() - list.size()), list);
    EXPECT_EQ(queryCounts(), (Counts{1, 1, 1, 0, 0}));
    simworld::request("master.nginx_stop");
}
