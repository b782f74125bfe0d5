// Winsock's headers must come before <windows.h>.
#include "list_test_support.h"

#include "serverlist/list_jobs.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/server_table.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

using namespace listtest;
using simworld::masterRequests;
using simworld::queriesTo;

namespace {

using Texts = std::vector<std::string>;
using ListJobTest = ListTest;

bool everyListServerQueried(std::size_t times) {
    return std::all_of(std::begin(listServers), std::end(listServers),
                       [&](const char* address) { return queriesTo(address) == times; });
}

HANDLE startJobThread(const char* source) {
    return CreateThread(nullptr, 0, runListJob, const_cast<char*>(source), 0, nullptr);
}

}  // namespace

TEST_F(ListJobTest, OverlappingJobsNeverMixOrHalfReadTheList) {
    writeFile("templist.txt", std::string(oldServer) + "\n");
    const std::string response = okHeader + std::string(threeEntries);
    ASSERT_TRUE(simworld::setMaster(", \"mode\": \"slow\", \"chunk_size\": 8, \"interval_ms\": 30", response));

    // An Update that is receiving, then a Refresh and a second Update.
    HANDLE jobs[3] = {startJobThread(masterListUrl)};
    ASSERT_TRUE(waitUntil([] { return masterRequests().size() == 1; }));
    jobs[1] = startJobThread(tempListFile);
    jobs[2] = startJobThread(masterListUrl);
    ASSERT_EQ(WaitForMultipleObjects(3, jobs, TRUE, waitLimitMs), WAIT_OBJECT_0);
    for (HANDLE job : jobs) CloseHandle(job);

    // Nobody read a half-written list or the one it replaced, and the downloads never mixed.
    EXPECT_EQ(readFile("templist.txt"), response);
    EXPECT_EQ(masterRequests().size(), 2u);
    EXPECT_TRUE(waitUntil([] { return everyListServerQueried(3); }));
    EXPECT_EQ(queriesTo(oldServer), 0u);
    EXPECT_EQ(recorder::statusTexts(), Texts{});
}

TEST_F(ListJobTest, JobsOverlapWhileTheyQuery) {
    // An Update whose list takes seconds to query: the second server first, then servers that
    // nobody runs, then the first server last.
    std::string entries = std::string(listServers[1]) + "\n";
    for (int i = 1; i <= 98; ++i) entries += "127.2.1." + std::to_string(i) + ":27910\n";
    entries += std::string(listServers[0]) + "\n";
    ASSERT_TRUE(simworld::setMaster("", okHeader + entries));
    HANDLE update = startJobThread(masterListUrl);
    ASSERT_TRUE(waitUntil([] { return queriesTo(listServers[1]) == 1; }));

    // Another job meanwhile neither waits for those queries nor disturbs them.
    char missingList[] = "sb-no-such-list.txt";
    runListJob(missingList);
    EXPECT_EQ(queriesTo(listServers[0]), 0u);
    EXPECT_EQ(recorder::statusTexts(), Texts{"Failed to open list file."});

    EXPECT_EQ(WaitForSingleObject(update, waitLimitMs), WAIT_OBJECT_0);
    CloseHandle(update);
    EXPECT_EQ(queriesTo(listServers[0]), 1u);
}

TEST_F(ListJobTest, CommandsShowTheirTextBeforeTheJobsOwn) {
    refreshList();
    ASSERT_TRUE(recorder::waitForStatusText("Failed to open list file."));
    EXPECT_EQ(recorder::statusTexts(), (Texts{"Refreshing List...", "Failed to open list file."}));
    recorder::clear();
    updateList();
    ASSERT_TRUE(recorder::waitForStatusText("Failed to connect."));
    EXPECT_EQ(recorder::statusTexts(), (Texts{"Updating List...", "Failed to connect."}));
}

TEST_F(ListJobTest, SourceIsDownloadedWhenItBeginsWithHttpInAnyCase) {
    ASSERT_TRUE(simworld::setMaster("", okHeader + std::string(threeEntries)));
    char mixedCase[] = "hTTp://MASTER.kestrelforge.net/serverlist.php";
    runListJob(mixedCase);
    EXPECT_EQ(masterRequests(), Texts{std::string("GET ") + mixedCase + " HTTP/1.0\n\n"});
    EXPECT_TRUE(waitUntil([] { return everyListServerQueried(1); }));

    // Anything else is a file name.
    char notAUrl[] = "http:/master.kestrelforge.net/serverlist.php";
    recorder::clear();
    runListJob(notAUrl);
    EXPECT_EQ(recorder::statusTexts(), Texts{"Failed to open list file."});
    EXPECT_EQ(masterRequests().size(), 1u);
}

TEST_F(ListJobTest, QueriesArePacedApart) {
    constexpr int count = 8;
    std::string list;
    std::vector<std::string> servers;
    for (int i = 1; i <= count; ++i) {
        servers.push_back("127.2.2." + std::to_string(i) + ":27910");
        ASSERT_TRUE(simworld::ok("game.add address=" + servers.back()));
        list += servers.back() + "\n";
    }
    writeFile("templist.txt", list);
    readServerList(tempListFile);

    // Each query went out once, at least the pause after the one before: the query times are
    // stamped just before each send, on the list thread's own clock (whole milliseconds).
    std::vector<DWORD> times;
    for (const std::string& server : servers) {
        auto lock = lockServerTable();
        times.push_back(findOrAddServer(server).queryTime);
    }
    for (int i = 1; i < count; ++i) EXPECT_GE(times[i] - times[i - 1], listQueryPacingMs - 1) << servers[i];
    EXPECT_TRUE(waitUntil([&] {
        return std::all_of(servers.begin(), servers.end(), [](const std::string& s) { return queriesTo(s) == 1; });
    }));

    // The servers' own logs show the same spread. They note arrivals a little late, by varying
    // amounts, so only half the paced span is asked of them: queries sent back to back would
    // arrive within a few milliseconds.
    const double first = simworld::queryTimes(servers.front()).at(0);
    const double last = simworld::queryTimes(servers.back()).at(0);
    EXPECT_GE(last - first, (count - 1) * listQueryPacingMs / 2.0);
}
