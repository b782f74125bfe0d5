// The query channel and the receiver thread against simulated game servers, over real UDP
// on loopback. Every server address is used by one test only: the table keeps its records
// for the whole process.

#include "protocol/query_channel.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/server_table.h"
#include "core_environment.h"
#include "recorder.h"
#include "simworld_client.h"

namespace {

const std::string replyHeader("\xff\xff\xff\xffprint\n");

void worldRequest(const std::string& line, simworld::Json* response = nullptr) {
    simworld::Json answer = simworld::request(line);
    std::string why;
    ASSERT_TRUE(simworld::ok(answer, &why)) << line << ": " << why;
    if (response != nullptr) *response = answer;
}

// Sends one datagram to the query channel from `from`, as a game server would.
void sendToChannel(const std::string& from, const std::string& bytes) {
    std::string channel = queryChannelAddress();
    ASSERT_FALSE(channel.empty()) << "the query channel has not sent anything yet";
    worldRequest(R"({"op":"game.send","from":)" + simworld::quote(from) + R"(,"to":)" + simworld::quote(channel) +
                 R"(,"hex":)" + simworld::quote(simworld::hex(bytes)) + "}");
}

// Waits until a server's count of datagrams "sent" or "received" reaches `count`. Loopback
// delivers as it sends, so sent datagrams are then queued on the query channel, ahead of
// anything sent later.
bool waitForCount(const std::string& address, const char* which, double count) {
    for (int attempt = 0; attempt < 400; ++attempt) {
        simworld::Json listing = simworld::request(R"({"op":"game.list"})");
        for (const simworld::Json& server : listing["servers"].items) {
            if (server["address"].text == address && server[which].number >= count) return true;
        }
        Sleep(25);
    }
    return false;
}

bool hasRecord(const std::string& key) {
    auto lock = lockServerTable();
    return findServer(key) != nullptr;
}

ServerRecord recordOf(const std::string& key) {
    auto lock = lockServerTable();
    ServerRecord* record = findServer(key);
    return record != nullptr ? *record : ServerRecord{};
}

// Queries a server of its own and waits for its reply, so that everything queued on the
// channel before it has been handled once this returns.
void drainChannel(const std::string& address) {
    worldRequest(R"({"op":"game.add","address":")" + address + R"(","info":{"hostname":"drain"}})");
    std::size_t seen = recorder::rowUpdatesOf(address).size();
    queryServer(address.c_str());
    ASSERT_TRUE(recorder::waitForRowUpdates(address, seen + 1));
}

}  // namespace

TEST(StatusQuery, ReplyLandsInTheTableWithItsPing) {
    constexpr int delayMs = 150;
    worldRequest(R"({"op":"game.add","address":"127.2.0.1:27910","delay_ms":150,)"
                 R"("info":[["hostname","Alpha"],["mapname","pond"],["maxclients","16"],["Admin","x"]],)"
                 R"("players":[[3,45,"Bob"],[-1,999,"\u00e1\u0088zq\u0085"]]})");
    DWORD before = timeGetTime();
    queryServer("127.2.0.1");
    RecordedRow row;
    ASSERT_TRUE(recorder::waitForRowUpdates("127.2.0.1:27910", 1, recorder::defaultWait, &row));
    DWORD after = timeGetTime();

    EXPECT_EQ(row.fields.hostName, "Alpha");
    EXPECT_EQ(row.fields.mapName, "pond");
    EXPECT_EQ(row.fields.playerCount, 2);
    EXPECT_EQ(row.fields.maxClients, 16);
    EXPECT_GE(row.fields.ping, delayMs);

    ServerRecord record = recordOf("127.2.0.1:27910");
    EXPECT_LE(record.queryTime - before, after - before);
    EXPECT_LE(record.queryTime + static_cast<DWORD>(record.ping) - before, after - before);
    ASSERT_EQ(record.players.size(), 2u);
    EXPECT_EQ(record.players[0].name, "Bob");
    EXPECT_EQ(record.players[0].score, 3);
    EXPECT_EQ(record.players[0].ping, 45);
    EXPECT_EQ(record.players[1].name, "Aq");
    EXPECT_EQ(record.players[1].score, -1);
    EXPECT_EQ(record.info["Admin"], "x");

    // The server saw exactly the 11-byte status query, from the query channel.
    simworld::Json log;
    worldRequest("game.log 127.2.0.1:27910", &log);
    ASSERT_EQ(log["log"].size(), 1u);
    EXPECT_EQ(log["log"][0]["hex"].text, "ffffffff7374617475730a");
    EXPECT_EQ(log["log"][0]["from"].text, queryChannelAddress());
}

TEST(StatusQuery, NameAndDottedAddressOfOneServerShareOneRecord) {
    worldRequest(R"({"op":"game.add","address":"127.0.0.1:27921","info":{"hostname":"Local"}})");
    queryServer("localhost:27921");
    ASSERT_TRUE(recorder::waitForRowUpdates("127.0.0.1:27921", 1));
    queryServer("127.0.0.1:27921");
    ASSERT_TRUE(recorder::waitForRowUpdates("127.0.0.1:27921", 2));
    simworld::Json log;
    worldRequest("game.log 127.0.0.1:27921", &log);
    EXPECT_EQ(log["log"].size(), 2u);
}

TEST(StatusQuery, UnresolvableHostIsReportedAndNotQueried) {
    queryServer("no-such-server.invalid:27910");
    EXPECT_TRUE(recorder::waitForStatusText("Failed to resolve hostname."));
}

TEST(StatusReplyIntake, RepliesFromAnotherPortOrAnUnqueriedAddressAreDropped) {
    simworld::Json added;
    worldRequest(R"({"op":"game.add","address":"127.2.0.3:27910","reply_from":"127.2.0.3:0",)"
                 R"("info":{"hostname":"Wrong port"}})",
                 &added);
    std::string otherPort = added["reply_from"].text;
    queryServer("127.2.0.3");
    ASSERT_TRUE(waitForCount("127.2.0.3:27910", "sent", 1));
    sendToChannel("127.2.0.9:27910", replyHeader + "\\hostname\\Stranger\n");
    drainChannel("127.2.0.4:27910");

    EXPECT_TRUE(recorder::rowUpdatesOf("127.2.0.3:27910").empty());
    EXPECT_TRUE(recorder::rowUpdatesOf(otherPort).empty());
    EXPECT_TRUE(recorder::rowUpdatesOf("127.2.0.9:27910").empty());
    EXPECT_FALSE(hasRecord(otherPort));
    EXPECT_FALSE(hasRecord("127.2.0.9:27910"));
    EXPECT_TRUE(recordOf("127.2.0.3:27910").hostName.empty());

    // From the queried address and port the same reply is taken.
    sendToChannel("127.2.0.3:27910", replyHeader + "\\hostname\\Right port\n");
    RecordedRow row;
    ASSERT_TRUE(recorder::waitForRowUpdates("127.2.0.3:27910", 1, recorder::defaultWait, &row));
    EXPECT_EQ(row.fields.hostName, "Right port");
}

TEST(StatusReplyIntake, ReplyAfterANewerQueryMeasuresFromTheNewerOne) {
    const std::string key = "127.2.0.5:27910";
    worldRequest(R"({"op":"game.add","address":"127.2.0.5:27910","info":{"hostname":"First"},)"
                 R"("players":[[1,2,"Bob"]]})");
    queryServer(key.c_str());
    ASSERT_TRUE(recorder::waitForRowUpdates(key, 1));

    // The server goes quiet; a new query changes nothing but the query time.
    worldRequest(R"({"op":"game.add","address":"127.2.0.5:27910","silent":true})");
    ServerRecord answered = recordOf(key);
    // Let the tick count move well past the first query time; bounded by the loop count.
    for (int i = 0; i < 300 && timeGetTime() - answered.queryTime < 1000; ++i) Sleep(10);
    queryServer(key.c_str());
    ASSERT_TRUE(waitForCount(key, "received", 2));
    ServerRecord requeried = recordOf(key);
    EXPECT_GE(requeried.queryTime - answered.queryTime, 1000u);
    EXPECT_EQ(requeried.hostName, "First");
    EXPECT_EQ(requeried.playerCount, 1);
    EXPECT_EQ(requeried.players.size(), 1u);
    EXPECT_EQ(requeried.ping, answered.ping);

    // A late answer arrives now: its ping counts from the newer query.
    DWORD beforeReply = timeGetTime();
    sendToChannel(key, replyHeader + "\\hostname\\Late\n");
    RecordedRow row;
    ASSERT_TRUE(recorder::waitForRowUpdates(key, 2, recorder::defaultWait, &row));
    DWORD afterReply = timeGetTime();
    DWORD handled = requeried.queryTime + static_cast<DWORD>(row.fields.ping);
    EXPECT_LE(handled - beforeReply, afterReply - beforeReply) << "ping " << row.fields.ping;
    EXPECT_EQ(row.fields.hostName, "Late");
    EXPECT_EQ(row.fields.playerCount, 0);
}

TEST(StatusReplyIntake, MalformedDatagramsLeaveTheReceiverAndTheTableIntact) {
    const std::string key = "127.2.0.6:27910";
    worldRequest(R"({"op":"game.add","address":"127.2.0.6:27910","info":{"hostname":"Kept","maxclients":"8"},)"
                 R"("players":[[1,2,"Bob"]]})");
    queryServer(key.c_str());
    ASSERT_TRUE(recorder::waitForRowUpdates(key, 1));

    sendToChannel(key, "");
    sendToChannel(key, "\xff\xff\xff\xff");
    sendToChannel(key, "\xff\xff\xff\xffprint");  // one byte short of the header
    sendToChannel(key, "\xff\xff\xff\xffprinX\n\\hostname\\Wrong header\n");
    sendToChannel(key, std::string("\x00\x01\x02garbage\xfe\xff", 12));
    // Larger than the receive buffer: dropped whole, even with a good header.
    sendToChannel(key, replyHeader + "\\hostname\\Oversized\\pad\\" + std::string(1500, 'p') + "\n");
    drainChannel("127.2.0.7:27910");
    EXPECT_EQ(recorder::rowUpdatesOf(key).size(), 1u);
    ServerRecord record = recordOf(key);
    EXPECT_EQ(record.hostName, "Kept");
    EXPECT_EQ(record.info.count("pad"), 0u);

    // The bare header is a reply: it empties the players and keeps everything else.
    sendToChannel(key, replyHeader);
    RecordedRow row;
    ASSERT_TRUE(recorder::waitForRowUpdates(key, 2, recorder::defaultWait, &row));
    EXPECT_EQ(row.fields.hostName, "Kept");
    EXPECT_EQ(row.fields.maxClients, 8);
    EXPECT_EQ(row.fields.playerCount, 0);
    EXPECT_TRUE(recordOf(key).players.empty());

    // A reply that fills the buffer exactly is still taken whole.
    std::string body = "\\hostname\\Full\\pad\\";
    std::string full = replyHeader + body + std::string(1024 - replyHeader.size() - body.size(), 'f');
    ASSERT_EQ(full.size(), 1024u);
    sendToChannel(key, full);
    ASSERT_TRUE(recorder::waitForRowUpdates(key, 3, recorder::defaultWait, &row));
    EXPECT_EQ(row.fields.hostName, "Full");
    EXPECT_EQ(recordOf(key).info["pad"].size(), 1024u - replyHeader.size() - body.size());
}
