// The query channel and the receiver thread against simulated game servers, over real UDP
// on loopback. Every server address is used by one test only: the table keeps its records
// for the whole process.

#include "protocol/query_channel.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/server_table.h"
#include "core_environment.h"
#include "simworld_client.h"

namespace {

const std::string replyHeader("\xff\xff\xff\xffprint\n");

// Sends one datagram to the query channel from `from`, as a game server would.
void sendToChannel(const std::string& from, const std::string& bytes) {
    const std::string channel = queryChannelAddress();
    ASSERT_FALSE(channel.empty()) << "the query channel has not sent anything yet";
    ASSERT_TRUE(simworld::ok(R"({"op":"game.send","from":)" + simworld::quote(from) + R"(,"to":)" +
                             simworld::quote(channel) + R"(,"hex":")" + simworld::hex(bytes) + "\"}"));
}

// Waits until a server's count of datagrams "sent" or "received" reaches `count`. Loopback
// delivers as it sends, so sent datagrams are then queued on the query channel, ahead of
// anything sent later.
bool waitForCount(const std::string& address, const char* which, double count) {
    return waitUntil([&] {
        const simworld::Response listing = simworld::request("game.list");
        const std::vector<std::string> addresses = listing.all("address");
        const std::vector<std::string> counts = listing.all(which);
        for (std::size_t i = 0; i < addresses.size() && i < counts.size(); ++i)
            if (addresses[i] == address && std::atof(counts[i].c_str()) >= count) return true;
        return false;
    });
}

std::optional<ServerRecord> recordOf(const std::string& key) {
    auto lock = lockServerTable();
    const ServerRecord* record = findServer(key);
    return record != nullptr ? std::optional<ServerRecord>(*record) : std::nullopt;
}

// Queries a server of its own and waits for its reply, so that everything queued on the
// channel before it has been handled once this returns.
void drainChannel(const std::string& address) {
    ASSERT_TRUE(simworld::ok("game.add address=" + address));
    queryServer(address.c_str());
    ASSERT_TRUE(recorder::waitForRows(address, 1));
}

}  // namespace

TEST(StatusQuery, ReplyLandsInTheTableWithItsPing) {
    constexpr int delayMs = 150;
    ASSERT_TRUE(simworld::ok(R"({"op":"game.add","address":"127.2.0.1:27910","delay_ms":150,)"
                             R"("info":[["hostname","Alpha"],["mapname","pond"],["maxclients","16"],["Admin","x"]],)"
                             R"("players":[[3,45,"Bob"],[-1,999,"\u00e1\u0088zq\u0085"]]})"));
    const DWORD before = timeGetTime();
    queryServer("127.2.0.1");
    ServerRowFields row;
    ASSERT_TRUE(recorder::waitForRows("127.2.0.1:27910", 1, &row));
    const DWORD after = timeGetTime();

    EXPECT_EQ(row.hostName, "Alpha");
    EXPECT_EQ(row.mapName, "pond");
    EXPECT_EQ(row.playerCount, 2);
    EXPECT_EQ(row.maxClients, 16);
    EXPECT_GE(row.ping, delayMs);

    const ServerRecord record = recordOf("127.2.0.1:27910").value();
    EXPECT_LE(record.queryTime - before, after - before);
    EXPECT_LE(record.queryTime + static_cast<DWORD>(record.ping) - before, after - before);
    ASSERT_EQ(record.players.size(), 2u);
    EXPECT_EQ(record.players[0].name, "Bob");
    EXPECT_EQ(record.players[0].score, 3);
    EXPECT_EQ(record.players[0].ping, 45);
    EXPECT_EQ(record.players[1].name, "Aq");
    EXPECT_EQ(record.players[1].score, -1);
    EXPECT_EQ(record.info.at("Admin"), "x");

    // The server saw exactly the 11-byte status query, from the query channel.
    simworld::Response log;
    ASSERT_TRUE(simworld::ok("game.log 127.2.0.1:27910", &log));
    EXPECT_EQ(log.all("hex"), std::vector<std::string>{"ffffffff7374617475730a"});
    EXPECT_EQ(log.all("from"), std::vector<std::string>{queryChannelAddress()});
}

TEST(StatusQuery, NameAndDottedAddressOfOneServerShareOneRecord) {
    ASSERT_TRUE(simworld::ok("game.add address=127.0.0.1:27921"));
    queryServer("localhost:27921");
    ASSERT_TRUE(recorder::waitForRows("127.0.0.1:27921", 1));
    queryServer("127.0.0.1:27921");
    ASSERT_TRUE(recorder::waitForRows("127.0.0.1:27921", 2));
    EXPECT_EQ(simworld::queriesTo("127.0.0.1:27921"), 2u);
}

TEST(StatusQuery, UnresolvableHostIsReportedAndNotQueried) {
    queryServer("no-such-server.invalid:27910");
    EXPECT_TRUE(recorder::waitForStatusText("Failed to resolve hostname."));
}

TEST(StatusReplyIntake, RepliesFromAnotherPortOrAnUnqueriedAddressAreDropped) {
    simworld::Response added;
    ASSERT_TRUE(simworld::ok(R"({"op":"game.add","address":"127.2.0.3:27910","reply_from":"127.2.0.3:0",)"
                             R"("info":{"hostname":"Wrong port"}})",
                             &added));
    const std::string otherPort = added.get("reply_from");
    queryServer("127.2.0.3");
    ASSERT_TRUE(waitForCount("127.2.0.3:27910", "sent", 1));
    sendToChannel("127.2.0.9:27910", replyHeader + "\\hostname\\Stranger\n");
    drainChannel("127.2.0.4:27910");

    for (const std::string& key : {std::string("127.2.0.3:27910"), otherPort, std::string("127.2.0.9:27910")})
        EXPECT_TRUE(recorder::rowsOf(key).empty()) << key;
    EXPECT_FALSE(recordOf(otherPort));
    EXPECT_FALSE(recordOf("127.2.0.9:27910"));
    EXPECT_TRUE(recordOf("127.2.0.3:27910").value().hostName.empty());

    // From the queried address and port the same reply is taken.
    sendToChannel("127.2.0.3:27910", replyHeader + "\\hostname\\Right port\n");
    ServerRowFields row;
    ASSERT_TRUE(recorder::waitForRows("127.2.0.3:27910", 1, &row));
    EXPECT_EQ(row.hostName, "Right port");
}

TEST(StatusReplyIntake, ReplyAfterANewerQueryMeasuresFromTheNewerOne) {
    const std::string key = "127.2.0.5:27910";
    ASSERT_TRUE(simworld::ok(R"({"op":"game.add","address":"127.2.0.5:27910","info":{"hostname":"First"},)"
                             R"("players":[[1,2,"Bob"]]})"));
    queryServer(key.c_str());
    ASSERT_TRUE(recorder::waitForRows(key, 1));

    // The server goes quiet; a new query changes nothing but the query time.
    ASSERT_TRUE(simworld::ok(R"({"op":"game.add","address":"127.2.0.5:27910","silent":true})"));
    const ServerRecord answered = recordOf(key).value();
    // Let the tick count move well past the first query time.
    waitUntil([&] { return timeGetTime() - answered.queryTime >= 1000; });
    queryServer(key.c_str());
    ASSERT_TRUE(waitForCount(key, "received", 2));
    const ServerRecord requeried = recordOf(key).value();
    EXPECT_GE(requeried.queryTime - answered.queryTime, 1000u);
    EXPECT_EQ(requeried.hostName, "First");
    EXPECT_EQ(requeried.playerCount, 1);
    EXPECT_EQ(requeried.players.size(), 1u);
    EXPECT_EQ(requeried.ping, answered.ping);

    // A late answer arrives now: its ping counts from the newer query.
    const DWORD beforeReply = timeGetTime();
    sendToChannel(key, replyHeader + "\\hostname\\Late\n");
    ServerRowFields row;
    ASSERT_TRUE(recorder::waitForRows(key, 2, &row));
    const DWORD afterReply = timeGetTime();
    const DWORD handled = requeried.queryTime + static_cast<DWORD>(row.ping);
    EXPECT_LE(handled - beforeReply, afterReply - beforeReply) << "ping " << row.ping;
    EXPECT_EQ(row.hostName, "Late");
    EXPECT_EQ(row.playerCount, 0);
}

TEST(StatusReplyIntake, MalformedDatagramsLeaveTheReceiverAndTheTableIntact) {
    const std::string key = "127.2.0.6:27910";
    ASSERT_TRUE(simworld::ok(R"({"op":"game.add","address":"127.2.0.6:27910",)"
                             R"("info":{"hostname":"Kept","maxclients":"8"},"players":[[1,2,"Bob"]]})"));
    queryServer(key.c_str());
    ASSERT_TRUE(recorder::waitForRows(key, 1));

    for (const std::string& datagram : {
             std::string(), std::string("\xff\xff\xff\xff"),
             std::string("\xff\xff\xff\xffprint"),  // one byte short of the header
             std::string("\xff\xff\xff\xffprinX\n\\hostname\\Wrong header\n"),
             std::string("\x00\x01\x02garbage\xfe\xff", 12),
             // Larger than the receive buffer: dropped whole, even with a good header.
             replyHeader + "\\hostname\\Oversized\\pad\\" + std::string(1500, 'p') + "\n"})
        sendToChannel(key, datagram);
    drainChannel("127.2.0.7:27910");
    EXPECT_EQ(recorder::rowsOf(key).size(), 1u);
    EXPECT_EQ(recordOf(key).value().hostName, "Kept");
    EXPECT_EQ(recordOf(key).value().info.count("pad"), 0u);

    // The bare header is a reply: it empties the players and keeps everything else.
    sendToChannel(key, replyHeader);
    ServerRowFields row;
    ASSERT_TRUE(recorder::waitForRows(key, 2, &row));
    EXPECT_EQ(row.hostName, "Kept");
    EXPECT_EQ(row.maxClients, 8);
    EXPECT_EQ(row.playerCount, 0);

    // A reply that fills the buffer exactly is still taken whole.
    const std::string body = "\\hostname\\Full\\pad\\";
    const std::string full = replyHeader + body + std::string(1024 - replyHeader.size() - body.size(), 'f');
    sendToChannel(key, full);
    ASSERT_TRUE(recorder::waitForRows(key, 3, &row));
    EXPECT_EQ(row.hostName, "Full");
    EXPECT_EQ(recordOf(key).value().info.at("pad").size(), 1024u - replyHeader.size() - body.size());
}
