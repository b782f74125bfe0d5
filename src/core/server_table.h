#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct PlayerEntry {
    std::string name;
    std::int32_t score = 0;
    std::int32_t ping = 0;
};

// Every info variable a server has reported. std::string compares bytes as unsigned
// values, so keys order case-sensitively with upper case first.
using ServerInfo = std::map<std::string, std::string>;

struct ServerRecord {
    std::int32_t playerCount = 0;
    std::int32_t maxClients = 0;
    std::uint32_t queryTime = 0;
    std::int32_t ping = 0;
    std::string hostName;
    std::string mapName;
    std::vector<PlayerEntry> players;
    ServerInfo info;
};

// Keyed by address key. A node-based map, so a record stays where it is while others are added.
using ServerTable = std::map<std::string, ServerRecord>;

// One lock serialises every access to the table and to the fields of its records.
// Never hold it while calling setStatusText or updateServerRow: those wait for the window
// thread, which itself takes the lock to fill the details pane.
std::unique_lock<std::mutex> lockServerTable();

// Both require the caller to hold the lock from lockServerTable().
ServerRecord* findServer(const std::string& key);
ServerRecord& findOrAddServer(const std::string& key);

// The fields a server-list row shows, copied out of a record under the lock so that the
// window can be updated after the lock is released.
struct ServerRowFields {
    std::string hostName;
    std::string mapName;
    std::int32_t playerCount = 0;
    std::int32_t maxClients = 0;
    std::int32_t ping = 0;
};

ServerRowFields rowFieldsOf(const ServerRecord& record);
