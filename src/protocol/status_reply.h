#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/server_table.h"

// Size of the receive buffer: a larger datagram is dropped whole by the socket layer.
constexpr int receiveBufferSize = 1024;
// Bytes FF FF FF FF "print" LF that begin every status reply.
constexpr int statusReplyHeaderLength = 10;
// Translated player names are built in a buffer of this size: 63 characters and a zero.
constexpr std::size_t playerNameBufferSize = 64;

// Splits text at separator; the first character of the remaining text is never taken as
// a separator, and an empty remainder gives one empty field. Returns the number of fields.
int splitFields(const std::string& text, char separator, std::vector<std::string>& out);

// What one status reply carries, parsed without reference to any record.
struct StatusReply {
    std::vector<PlayerEntry> players;
    std::vector<std::pair<std::string, std::string>> infoPairs;  // in reply order
};

// Parses a received datagram. False when it is not a status reply to be handled
// (shorter than the header, another header, or fewer than two lines).
bool parseStatusReply(const char* bytes, int length, StatusReply& out);

// The most info variables kept per server. Variables are merged and never removed, so without
// a bound any sender could add a hundred new names with every datagram; real servers report
// a few dozen, and the details pane still fills at once with this many.
constexpr std::size_t maxServerInfoKeys = 1024;

// Merges a parsed reply into the server's record: ping from now - queryTime, the players
// replaced, the info variables merged (a new name beyond maxServerInfoKeys is dropped; known
// names still update) and hostName, mapName and maxClients taken from them.
void applyStatusReply(ServerRecord& record, const StatusReply& reply, std::uint32_t now);
