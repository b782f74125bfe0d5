// The reference for bench/ping_accuracy: the least a client can do to measure a ping under
// the same Wine. It sends the status query to every server of a list 30 ms apart, stamps the
// time just before each sendto and when recvfrom returns on a thread of its own, and prints
// "address ping" for each first answer. No window, no table, no parsing.
//
//   ping_reference LIST_FILE      lines of "a.b.c.d:port"; ends 1.5 s after the last query
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "protocol/socket_address.h"

namespace {

constexpr char statusQuery[] = "\xff\xff\xff\xffstatus\n";
constexpr DWORD queryPause = 30;
constexpr DWORD lastAnswerWait = 1500;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* list = std::fopen(argv[1], "r");
    if (!list) return 2;
    std::vector<sockaddr_in> servers;
    char line[64];
    unsigned a, b, c, d, port;
    while (std::fgets(line, sizeof line, list))
        if (std::sscanf(line, "%u.%u.%u.%u:%u", &a, &b, &c, &d, &port) == 5) {
            sockaddr_in address = {};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<u_short>(port));
            address.sin_addr.s_addr = htonl((a << 24) | (b << 16) | (c << 8) | d);
            servers.push_back(address);
        }
    std::fclose(list);

    timeBeginPeriod(1);
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const SOCKET channel = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    std::map<std::string, DWORD> sentAt;
    std::map<std::string, DWORD> pings;
    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    std::atomic<bool> stop{false};

    std::thread receiver([&] {
        char buffer[1400];
        while (!stop) {
            sockaddr_in from = {};
            int fromLength = sizeof from;
            const int received = recvfrom(channel, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            const DWORD now = timeGetTime();
            if (received <= 0) continue;
            EnterCriticalSection(&lock);
            const std::string key = formatAddressKey(from);
            auto sent = sentAt.find(key);
            if (sent != sentAt.end() && !pings.count(key)) pings[key] = now - sent->second;
            LeaveCriticalSection(&lock);
        }
    });

    for (const sockaddr_in& server : servers) {
        EnterCriticalSection(&lock);
        sentAt[formatAddressKey(server)] = timeGetTime();
        LeaveCriticalSection(&lock);
        sendto(channel, statusQuery, sizeof statusQuery - 1, 0, reinterpret_cast<const sockaddr*>(&server), sizeof server);
        Sleep(queryPause);
    }
    Sleep(lastAnswerWait);
    stop = true;
    closesocket(channel);
    receiver.join();
    for (const auto& ping : pings) std::printf("%s %lu\n", ping.first.c_str(), static_cast<unsigned long>(ping.second));
    return 0;
}
