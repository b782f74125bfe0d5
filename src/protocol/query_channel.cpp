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
    const SOCKET opened = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    // Any address, a port of the system's choosing: what the first sendto would give it, but
    // from the start, since Windows fails select and recvfrom on a socket with no local address
    // (the receiver would poll until the first query). Every reply comes back to this port.
    sockaddr_in local;
    std::memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (opened != INVALID_SOCKET) bind(opened, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    channel = opened;
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
