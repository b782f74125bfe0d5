#include "protocol/query_channel.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "core/clock.h"
#include "core/server_table.h"
#include "core/view.h"
#include "protocol/query_entry.h"
#include "protocol/socket_address.h"

namespace {

constexpr WORD winsockVersion = 0x0101;
// FF FF FF FF "status" LF, sent without a terminating zero.
constexpr char statusQuery[] = "\xff\xff\xff\xffstatus\n";
constexpr int statusQueryLength = sizeof statusQuery - 1;

// Read by the receiver thread on every pass, so that it sees the channel close at shutdown.
std::atomic<SOCKET> channel{INVALID_SOCKET};

}  // namespace

void openQueryChannel() {
    WSADATA data;
    WSAStartup(winsockVersion, &data);
    // Never bound: the first sendto gives it a port, and every reply comes back to it.
    channel = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
}

void closeQueryChannel() {
    SOCKET closing = channel.exchange(INVALID_SOCKET);
    if (closing != INVALID_SOCKET) closesocket(closing);
}

SOCKET queryChannel() { return channel; }

void queryServer(const char* entry) {
    QueryTarget target = parseQueryEntry(entry);

    // The resolver's result lives in a buffer of this thread; take the address out at once.
    const hostent* host = gethostbyname(target.host.c_str());
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr) ||
        host->h_addr_list[0] == nullptr) {
        setStatusText("Failed to resolve hostname.");
        return;
    }
    sockaddr_in destination;
    std::memset(&destination, 0, sizeof destination);
    destination.sin_family = AF_INET;
    std::memcpy(&destination.sin_addr, host->h_addr_list[0], sizeof destination.sin_addr);
    destination.sin_port = htons(target.port);

    std::string key = formatAddressKey(destination);
    {
        auto lock = lockServerTable();
        findOrAddServer(key).queryTime = clockMs();
    }
    sendto(channel, statusQuery, statusQueryLength, 0, reinterpret_cast<const sockaddr*>(&destination),
           sizeof destination);
}
