#include "core/server_table.h"

namespace {

// Built on first use, so no other static initializer can see them unbuilt, and never
// destroyed: a list thread or the receiver may still take the lock and touch the table after
// the entry point has returned, while the runtime runs the destructors of statics.
ServerTable& table() {
    static ServerTable* const servers = new ServerTable;
    return *servers;
}

std::mutex& tableMutex() {
    static std::mutex* const mutex = new std::mutex;
    return *mutex;
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
