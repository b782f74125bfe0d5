#include "protocol/query_entry.h"

#include <gtest/gtest.h>

#include <string>

TEST(QueryEntry, HostAndPort) {
    const std::string host250(250, 'h');
    const std::string host255(255, 'h');
    const struct {
        std::string entry;
        std::string host;
        int port;
    } cases[] = {
        {"10.1.2.3", "10.1.2.3", 27910},
        {"10.1.2.3:", "10.1.2.3", 0},
        {"10.1.2.3:27910x", "10.1.2.3", 27910},  // the port reads like atoi
        {"host.example: 27911", "host.example", 27911},
        {"a:b:c", "a", 0},
        {":27960", "", 27960},
        {"h:-1", "h", 65535},  // the port keeps its low 16 bits
        {"h:93446", "h", 27910},
        {host255 + ":1234", host255, 27910},  // only the first 255 characters count
        {host250 + ":12345", host250, 1234},
    };
    for (const auto& c : cases) {
        const QueryTarget target = parseQueryEntry(c.entry.c_str());
        EXPECT_EQ(target.host, c.host) << c.entry;
        EXPECT_EQ(target.port, c.port) << c.entry;
    }
}
