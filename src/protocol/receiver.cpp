#include "protocol/receiver.h"

#include <windows.h>

#include <new>
#include <string>

#include "core/clock.h"
#include "core/server_table.h"
#include "core/view.h"
#include "protocol/query_channel.h"
#include "protocol/socket_address.h"
#include "protocol/status_reply.h"

namespace {

// A wait that fails has nothing to read; pausing keeps a broken channel from spinning a core.
// A failed receive is retried at once: it is often just a port-unreachable notice from a
// server that is down, and the next datagram may be a reply whose ping counts.
constexpr DWORD failedWaitPause = 10;

}  // namespace

DWORD WINAPI runReceiver(void*) {
    char buffer[receiveBufferSize];
    for (;;) {
        SOCKET channel = queryChannel();
        // Closed at shutdown (or never opened): nothing will arrive any more.
        if (channel == INVALID_SOCKET) return 0;

        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(channel, &readable);
        if (select(0, &readable, nullptr, nullptr, nullptr) == SOCKET_ERROR) {
            Sleep(failedWaitPause);
            continue;
        }

        sockaddr_in from;
        int fromLength = sizeof from;
        int received = recvfrom(channel, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received < 0) {
            // Also how a datagram larger than the buffer shows: it is dropped whole.
            WSAGetLastError();
            continue;
        }
        handleStatusReply(received, from, buffer);
    }
}

namespace {

void takeStatusReply(int length, const sockaddr_in& from, const char* bytes) {
    StatusReply reply;
    if (!parseStatusReply(bytes, length, reply)) return;
    std::string key = formatAddressKey(from);

    // Parsed outside the lock; applied and copied under it; shown after it is released,
    // because updateServerRow waits for the window thread, which takes the lock itself.
    ServerRowFields fields;
    {
        auto lock = lockServerTable();
        ServerRecord* record = findServer(key);
        if (record == nullptr) return;
        applyStatusReply(*record, reply, clockMs());
        fields = rowFieldsOf(*record);
    }
    updateServerRow(key, fields);
}

}  // namespace

void handleStatusReply(int length, const sockaddr_in& from, const char* bytes) {
    try {
        takeStatusReply(length, from, bytes);
    } catch (const std::bad_alloc&) {
        // Memory ran out somewhere on the way: this reply is dropped, and the receiver goes on.
    }
}
