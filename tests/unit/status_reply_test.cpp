#include "protocol/status_reply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string header("\xff\xff\xff\xffprint\n", 10);

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> fields{"left over"};
    int count = splitFields(text, separator, fields);
    EXPECT_EQ(count, static_cast<int>(fields.size()));
    return fields;
}

StatusReply parse(const std::string& body) {
    StatusReply reply;
    std::string datagram = header + body;
    EXPECT_TRUE(parseStatusReply(datagram.data(), static_cast<int>(datagram.size()), reply));
    return reply;
}

template <std::size_t N>
std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

using Fields = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST(SplitFields, FieldsAndTheirConsequences) {
    EXPECT_EQ(split("a\\b\\c", '\\'), (Fields{"a", "b", "c"}));
    EXPECT_EQ(split("", '\\'), (Fields{""}));
    EXPECT_EQ(split("a\\", '\\'), (Fields{"a", ""}));
    // A separator at the start stays in the first field.
    EXPECT_EQ(split("\\a\\b", '\\'), (Fields{"\\a", "b"}));
    // Two in a row give no empty field: the second starts the next one.
    EXPECT_EQ(split("a\\\\b", '\\'), (Fields{"a", "\\b"}));
    EXPECT_EQ(split("\\", '\\'), (Fields{"\\"}));
    EXPECT_EQ(split("\\\\", '\\'), (Fields{"\\", ""}));
    EXPECT_EQ(split("one\ntwo\n", '\n'), (Fields{"one", "two", ""}));
}

TEST(StatusReplyParse, OnlyTheWholeHeaderMakesAReply) {
    StatusReply reply;
    EXPECT_FALSE(parseStatusReply(header.data(), 9, reply));
    EXPECT_FALSE(parseStatusReply(header.data(), 0, reply));
    EXPECT_FALSE(parseStatusReply(header.data(), -1, reply));
    for (std::string other : {"\xff\xff\xff\xffprinT\n\\a\\b", "\xff\xff\xff\xffstatus\n"})
        EXPECT_FALSE(parseStatusReply(other.data(), static_cast<int>(other.size()), reply)) << other;
    // The header alone is a reply with nothing in it.
    reply = parse("");
    EXPECT_TRUE(reply.players.empty());
    EXPECT_TRUE(reply.infoPairs.empty());
}

TEST(StatusReplyParse, InfoLineIsReadTwoTokensAtATime) {
    EXPECT_EQ(parse("\\hostname\\Alpha\\mapname\\pond\n").infoPairs,
              (Pairs{{"hostname", "Alpha"}, {"mapname", "pond"}}));
    // Its first character is skipped whatever it is.
    EXPECT_EQ(parse("xhostname\\Alpha").infoPairs, (Pairs{{"hostname", "Alpha"}}));
    // An odd last token is ignored.
    EXPECT_EQ(parse("\\a\\1\\b\n").infoPairs, (Pairs{{"a", "1"}}));
    // An empty value shifts the pairing by one.
    EXPECT_EQ(parse("\\a\\\\b\\2\\c\n").infoPairs, (Pairs{{"a", "\\b"}, {"2", "c"}}));
}

TEST(StatusReplyParse, EmptyInfoLineTakesTheFirstPlayerLine) {
    StatusReply reply = parse("\n3 45 \"Bob\"\n7 80 \"Eve\"\n");
    // "\n3 45 \"Bob\"" is the info line; without its first character it is one token.
    EXPECT_TRUE(reply.infoPairs.empty());
    ASSERT_EQ(reply.players.size(), 1u);
    EXPECT_EQ(reply.players[0].name, "Eve");
}

TEST(StatusReplyParse, PlayerLines) {
    StatusReply reply = parse("\\hostname\\x\n"
                              "3 45 \"Bob\"\n"
                              "nospace\n"
                              "-2 999 noquote\n"
                              "5 6 \"\n"
                              "x y \"Al\"\n"
                              "8 9 \"Hi\xe1\x88\x01\x85\"\n"
                              "4 5 \"Cy\"");  // the last line may lack its line feed
    ASSERT_EQ(reply.players.size(), 6u);
    EXPECT_EQ(reply.players[0].name, "Bob");
    EXPECT_EQ(reply.players[0].score, 3);
    EXPECT_EQ(reply.players[0].ping, 45);
    EXPECT_EQ(reply.players[1].name, "unknown");
    EXPECT_EQ(reply.players[1].score, -2);
    EXPECT_EQ(reply.players[1].ping, 999);
    EXPECT_EQ(reply.players[2].name, "");
    EXPECT_EQ(reply.players[3].name, "Al");
    EXPECT_EQ(reply.players[3].score, 0);
    EXPECT_EQ(reply.players[3].ping, 0);
    EXPECT_EQ(reply.players[4].name, "HiA");
    EXPECT_EQ(reply.players[5].name, "Cy");
    // A line that ends in a line feed gives an empty last line, which has no space.
    EXPECT_EQ(parse("\\a\\b\n1 2 \"P\"\n").players.size(), 1u);
}

TEST(StatusReplyParse, NameTakesTheWholeRestWithoutItsLastCharacter) {
    // The name ends with the line, not at the closing quote.
    EXPECT_EQ(parse("\\a\\b\n1 2 \"Bo\"b\"\n").players.at(0).name, "Bo\"b");
    EXPECT_EQ(parse("\\a\\b\n1 2 \"Bob\" x\n").players.at(0).name, "Bob\" ");
    // The quote is looked for after the first space only.
    EXPECT_EQ(parse("\\a\\b\n\"1 2 \"Q\"\n").players.at(0).name, "Q");
}

TEST(StatusReplyParse, LongNamesAreCutTo63Characters) {
    for (std::size_t length : {62, 63, 70, receiveBufferSize - 30}) {
        const std::string name(length, 'n');
        EXPECT_EQ(parse("\\a\\b\n1 2 \"" + name + "\"").players.at(0).name, name.substr(0, 63)) << length;
    }
}

TEST(StatusReplyParse, ZeroByteEndsTheBody) {
    StatusReply reply = parse(bytes("\\hostname\\Al\0pha\\mapname\\pond\n1 2 \"Bob\"\n"));
    EXPECT_EQ(reply.infoPairs, (Pairs{{"hostname", "Al"}}));
    EXPECT_TRUE(reply.players.empty());

    reply = parse(bytes("\\hostname\\Alpha\n1 2 \"B\0ob\"\n"));
    EXPECT_EQ(reply.infoPairs, (Pairs{{"hostname", "Alpha"}}));
    ASSERT_EQ(reply.players.size(), 1u);
    EXPECT_EQ(reply.players[0].name, "");  // "B" without its last character
}

TEST(StatusReplyApply, PingPlayersAndInfo) {
    ServerRecord record;
    record.queryTime = 1000;
    applyStatusReply(record, parse("\\hostname\\Alpha\\mapname\\pond\\maxclients\\16x\\Admin\\A\n1 2 \"Bob\"\n"), 1045);
    EXPECT_EQ(record.ping, 45);
    EXPECT_EQ(record.hostName, "Alpha");
    EXPECT_EQ(record.mapName, "pond");
    EXPECT_EQ(record.maxClients, 16);
    EXPECT_EQ(record.playerCount, 1);

    // A later reply replaces the players and merges the variables; names it leaves out stay.
    applyStatusReply(record, parse("\\admin\\a\\mapname\\lake\\mapname\\hill\n1 2 \"C\"\n3 4 \"D\"\n"), 1100);
    EXPECT_EQ(record.ping, 100);
    EXPECT_EQ(record.hostName, "Alpha");
    EXPECT_EQ(record.mapName, "hill");  // the later of two values wins
    EXPECT_EQ(record.maxClients, 16);
    ASSERT_EQ(record.playerCount, 2);
    EXPECT_EQ(record.players[1].name, "D");
    std::vector<std::string> keys;
    for (const auto& variable : record.info) keys.push_back(variable.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Admin", "admin", "hostname", "mapname", "maxclients"}));
    EXPECT_EQ(record.info["Admin"], "A");
    EXPECT_EQ(record.info["admin"], "a");
}

TEST(StatusReplyApply, HeaderOnlyReplyEmptiesPlayersAndKeepsTheRest) {
    ServerRecord record;
    record.queryTime = 10;
    applyStatusReply(record, parse("\\hostname\\Alpha\\maxclients\\8\n1 2 \"Bob\"\n"), 20);
    applyStatusReply(record, parse(""), 30);
    EXPECT_EQ(record.ping, 20);
    EXPECT_EQ(record.playerCount, 0);
    EXPECT_TRUE(record.players.empty());
    EXPECT_EQ(record.hostName, "Alpha");
    EXPECT_EQ(record.maxClients, 8);
    EXPECT_EQ(record.info.size(), 2u);
}

TEST(StatusReplyApply, PingSurvivesTheTickCountWrap) {
    ServerRecord record;
    record.queryTime = 0xFFFFFFF0u;
    applyStatusReply(record, parse(""), 0x10);
    EXPECT_EQ(record.ping, 0x20);
}
