#include "serverlist/master_download.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/unique_file.h"
#include "core/view.h"
#include "serverlist/list_reader.h"

namespace {

// The response moves from the socket to the file in pieces of this size.
constexpr int transferBufferSize = 1024;

class Socket {
public:
    explicit Socket(SOCKET handle) : handle_(handle) {}
    ~Socket() {
        if (handle_ != INVALID_SOCKET) closesocket(handle_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET get() const { return handle_; }

private:
    SOCKET handle_;
};

timeval timevalOf(unsigned ms) {
    timeval time{};
    time.tv_sec = static_cast<long>(ms / 1000);
    time.tv_usec = static_cast<long>(ms % 1000 * 1000);
    return time;
}

// A blocking connect may wait minutes for a host that does not answer; this one connects
// without blocking and waits for the outcome at most limitMs. The socket is blocking again
// afterwards.
bool connectWithin(SOCKET socket, const sockaddr_in& address, unsigned limitMs) {
    u_long nonBlocking = 1;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) return false;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        fd_set connected;
        fd_set failed;
        FD_ZERO(&connected);
        FD_ZERO(&failed);
        FD_SET(socket, &connected);
        FD_SET(socket, &failed);
        timeval limit = timevalOf(limitMs);
        if (select(0, nullptr, &connected, &failed, &limit) <= 0) return false;
        if (FD_ISSET(socket, &failed)) return false;
        int error = 0;
        int length = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
            error != 0)
            return false;
    }
    u_long blocking = 0;
    return ioctlsocket(socket, FIONBIO, &blocking) == 0;
}

// True when the next piece of the response (or the end of the connection) is there within limitMs.
bool readableWithin(SOCKET socket, unsigned limitMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval limit = timevalOf(limitMs);
    return select(0, &readable, nullptr, nullptr, &limit) > 0;
}

// Connects, sends the request and stores the whole response in templist.txt. False, with the
// failure shown, when nothing was stored; the socket and the file are closed on every path.
bool storeResponse(const char* url, const in_addr& serverAddress, unsigned connectLimitMs, unsigned stallLimitMs,
                   unsigned downloadLimitMs) {
    const DWORD start = GetTickCount();
    const Socket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(masterListPort);
    address.sin_addr = serverAddress;
    if (connection.get() == INVALID_SOCKET || !connectWithin(connection.get(), address, connectLimitMs)) {
        setStatusText("Failed to connect.");
        return false;
    }

    const std::string request = buildListRequest(url);
    const int requestLength = static_cast<int>(request.size());
    if (send(connection.get(), request.data(), requestLength, 0) != requestLength) {
        setStatusText("HTTP connection rejected.");
        return false;
    }

    // Opened only now, so that a download that fails before this point keeps the last list.
    const UniqueFile file = openFile(tempListFile, "wb");
    if (!file) {
        setStatusText("Failed to open temporary list.");
        return false;
    }
    char buffer[transferBufferSize];
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= downloadLimitMs) {
            setStatusText("List download took too long.");
            return false;
        }
        const unsigned wait = std::min(stallLimitMs, static_cast<unsigned>(downloadLimitMs - elapsed));
        if (!readableWithin(connection.get(), wait)) {
            // A whole stall limit of quiet ends the response; quiet to the end of the download's
            // limit fails it, at the top of the loop.
            if (wait == stallLimitMs) return true;
            continue;
        }
        const int received = recv(connection.get(), buffer, transferBufferSize, 0);
        if (received <= 0) return true;
        std::fwrite(buffer, 1, static_cast<std::size_t>(received), file.get());
    }
}

}  // namespace

void downloadServerList(const char* url, unsigned connectLimitMs, unsigned stallLimitMs, unsigned downloadLimitMs) {
    const std::string host = hostOfUrl(url);
    const hostent* resolved = gethostbyname(host.c_str());
    if (resolved == nullptr || resolved->h_addrtype != AF_INET || resolved->h_addr_list[0] == nullptr) {
        setStatusText("Failed to resolve hostname.");
        return;
    }
    in_addr serverAddress{};
    std::memcpy(&serverAddress, resolved->h_addr_list[0], sizeof serverAddress);

    // The list this download stored is the one it reads: no other job writes templist.txt
    // between the two.
    std::vector<std::string> entries;
    {
        const auto listFile = lockListFile();
        if (!storeResponse(url, serverAddress, connectLimitMs, stallLimitMs, downloadLimitMs)) return;
        if (!loadListEntries(tempListFile, entries)) return;
    }
    queryListEntries(entries);
}
