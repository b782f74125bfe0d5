#pragma once

#include <cstdint>
#include <string>

constexpr std::uint16_t defaultGamePort = 27910;
// A server list entry is used up to this many characters.
constexpr std::size_t maxEntryLength = 255;

struct QueryTarget {
    std::string host;
    std::uint16_t port = defaultGamePort;  // host byte order
};

// Splits a server list entry "host" or "host:port" the way a query reads it: the entry is
// cut at 255 characters, the host ends at the first colon and the port is the low 16 bits
// of the number after it.
QueryTarget parseQueryEntry(const char* entry);
