#include "protocol/query_entry.h"

#include <gtest/gtest.h>

#include <string>

TEST(QueryEntry, PortDefaultsAndIsReadLikeAtoi) {
    QueryTarget plain = parseQueryEntry("10.1.2.3");
    EXPECT_EQ(plain.host, "10.1.2.3");
    EXPECT_EQ(plain.port, 27910);

    EXPECT_EQ(parseQueryEntry("10.1.2.3:").port, 0);
    EXPECT_EQ(parseQueryEntry("10.1.2.3:27910x").port, 27910);
    EXPECT_EQ(parseQueryEntry("host.example: 27911").port, 27911);
    EXPECT_EQ(parseQueryEntry("host.example: 27911").host, "host.example");

    QueryTarget twoColons = parseQueryEntry("a:b:c");
    EXPECT_EQ(twoColons.host, "a");
    EXPECT_EQ(twoColons.port, 0);

    QueryTarget emptyHost = parseQueryEntry(":27960");
    EXPECT_EQ(emptyHost.host, "");
    EXPECT_EQ(emptyHost.port, 27960);
}

TEST(QueryEntry, PortKeepsItsLow16Bits) {
    EXPECT_EQ(parseQueryEntry("h:-1").port, 65535);
    EXPECT_EQ(parseQueryEntry("h:93446").port, 27910);  // 65536 + 27910
    EXPECT_EQ(parseQueryEntry("h:65535").port, 65535);
}

TEST(QueryEntry, OnlyTheFirst255CharactersCount) {
    std::string host(255, 'h');
    QueryTarget cut = parseQueryEntry((host + ":1234").c_str());
    EXPECT_EQ(cut.host, host);
    EXPECT_EQ(cut.port, 27910);  // the colon lies beyond the cut

    std::string shorter(250, 'h');
    QueryTarget portCut = parseQueryEntry((shorter + ":12345").c_str());
    EXPECT_EQ(portCut.host, shorter);
    EXPECT_EQ(portCut.port, 1234);  // "12345" cut to "1234"
}
