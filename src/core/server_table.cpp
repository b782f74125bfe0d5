#include "core/server_table.h"

namespace {

// Function-local statics: built on first use, so no other static initializer can see them unbuilt.
ServerTable& table() {
    static ServerTable servers;
    return servers;
}

std::mutex& tableMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

std::unique_lock<std::mutex> lockServerTable() { return std::unique_lock<std::mutex>(tableMutex()); }

ServerRecord* findServer(const std::string& key) {
    auto found = table().find(key);
    return found == table().end() ? nullptr : &found->second;
}

ServerRecord& findOrAddServer(const std::string& key) { return table()[key]; }

ServerRowFields rowFieldsOf(const ServerRecord& record) {
    return ServerRowFields{record.hostName, record.mapName, record.playerCount, record.maxClients, record.ping};
}
