#include "protocol/status_reply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string header("\xff\xff\xff\xffprint\n", 10);

using Texts = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

StatusReply parse(const std::string& body) {
    StatusReply reply;
    const std::string datagram = header + body;
    EXPECT_TRUE(parseStatusReply(datagram.data(), static_cast<int>(datagram.size()), reply));
    return reply;
}

// Each player as "score ping name".
Texts playersOf(const std::string& body) {
    Texts players;
    for (const PlayerEntry& p : parse(body).players)
        players.push_back(std::to_string(p.score) + " " + std::to_string(p.ping) + " " + p.name);
    return players;
}

}  // namespace

TEST(StatusReplyParse, InfoLineIsReadTwoTokensAtATime) {
    EXPECT_EQ(parse("\\hostname\\Alpha\\mapname\\pond\n").infoPairs,
              (Pairs{{"hostname", "Alpha"}, {"mapname", "pond"}}));
    // Its first character is skipped whatever it is.
    EXPECT_EQ(parse("xhostname\\Alpha").infoPairs, (Pairs{{"hostname", "Alpha"}}));
    // An odd last token is ignored.
    EXPECT_EQ(parse("\\a\\1\\b\n").infoPairs, (Pairs{{"a", "1"}}));
    // An empty value shifts the pairing by one.
    EXPECT_EQ(parse("\\a\\\\b\\2\\c\n").infoPairs, (Pairs{{"a", "\\b"}, {"2", "c"}}));
    // An empty info line takes the first player line: without its first character, one token.
    EXPECT_TRUE(parse("\n3 45 \"Bob\"\n7 80 \"Eve\"\n").infoPairs.empty());
    EXPECT_EQ(playersOf("\n3 45 \"Bob\"\n7 80 \"Eve\"\n"), Texts{"7 80 Eve"});
}

TEST(StatusReplyParse, PlayerLines) {
    EXPECT_EQ(playersOf("\\hostname\\x\n"
                        "3 45 \"Bob\"\n"
                        "nospace\n"
                        "-2 999 noquote\n"
                        "5 6 \"\n"
                        "x y \"Al\"\n"
                        "8 9 \"Hi\xe1\x88\x01\x85\"\n"
                        "4 5 \"Cy\""),  // the last line may lack its line feed
              (Texts{"3 45 Bob", "-2 999 unknown", "5 6 ", "0 0 Al", "8 9 HiA", "4 5 Cy"}));
    // A line that ends in a line feed gives an empty last line, which has no space.
    EXPECT_EQ(playersOf("\\a\\b\n1 2 \"P\"\n"), Texts{"1 2 P"});
    // The name takes the rest of the line without its last character, not up to the
    // closing quote; the quote is looked for after the first space only.
    EXPECT_EQ(playersOf("\\a\\b\n1 2 \"Bo\"b\"\n1 2 \"Bob\" x\n\"1 2 \"Q\"\n"), (Texts{"1 2 Bo\"b", "1 2 Bob\" ", "0 2 Q"}));
}

TEST(StatusReplyParse, LongNamesAreCutTo63Characters) {
    for (std::size_t length : {62, 63, 70, receiveBufferSize - 30}) {
        const std::string name(length, 'n');
        EXPECT_EQ(parse("\\a\\b\n1 2 \"" + name + "\"").players.at(0).name, name.substr(0, 63)) << length;
    }
}

TEST(StatusReplyApply, LaterRepliesMergeUpToTheCap) {
    ServerRecord record;
    // The fields of a first reply and the ping: the end-to-end window test and the fuzzer.
    applyStatusReply(record, parse("\\hostname\\Alpha\\mapname\\pond\\maxclients\\16x\\Admin\\A\n1 2 \"Bob\"\n"), 1045);
    // A later reply replaces the players and merges the variables; names it leaves out stay,
    // and the later of two values wins.
    applyStatusReply(record, parse("\\admin\\a\\mapname\\lake\\mapname\\hill\n1 2 \"C\"\n3 4 \"D\"\n"), 1100);
    EXPECT_EQ(record.hostName, "Alpha");
    EXPECT_EQ(record.mapName, "hill");
    EXPECT_EQ(record.maxClients, 16);
    ASSERT_EQ(record.playerCount, 2);
    EXPECT_EQ(record.players[1].name, "D");
    EXPECT_EQ(record.info, (ServerInfo{{"Admin", "A"}, {"admin", "a"}, {"hostname", "Alpha"}, {"mapname", "hill"},
                                       {"maxclients", "16x"}}));

    // Beyond the cap new names are dropped; known names still take new values.
    std::string many;
    for (std::size_t i = 0; i < maxServerInfoKeys; ++i) many += "\\k" + std::to_string(i) + "\\v";
    applyStatusReply(record, parse(many + "\\hostname\\Beta\\k1\\w\n"), 0);
    EXPECT_EQ(record.info.size(), maxServerInfoKeys);
    EXPECT_EQ(record.info["hostname"], "Beta");
    EXPECT_EQ(record.info["k1"], "w");
    EXPECT_EQ(record.info.count("k" + std::to_string(maxServerInfoKeys - 1)), 0u);
}
