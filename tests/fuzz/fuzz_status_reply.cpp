// Feeds arbitrary datagrams to the status reply parser and applies them to a record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/status_reply.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Player names are translated to printable characters only.
bool printable(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 32 || c > 126) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The receiver never hands over more than its buffer holds.
    const int length = static_cast<int>(size < receiveBufferSize ? size : receiveBufferSize);
    std::vector<char> datagram(data, data + length);
    StatusReply reply;
    bool accepted = parseStatusReply(datagram.data(), length, reply);
    check(accepted == (length >= statusReplyHeaderLength &&
                       std::memcmp(datagram.data(), "\xff\xff\xff\xffprint\n", statusReplyHeaderLength) == 0));
    if (!accepted) return 0;

    for (const PlayerEntry& player : reply.players) {
        check(player.name.size() < playerNameBufferSize);
        check(printable(player.name));
    }
    for (const auto& pair : reply.infoPairs) {
        check(pair.first.find('\0') == std::string::npos && pair.second.find('\0') == std::string::npos);
        check(pair.first.find('\n') == std::string::npos && pair.second.find('\n') == std::string::npos);
    }

    ServerRecord record;
    record.queryTime = 0xFFFFFF00u;
    record.info["kept"] = "yes";
    applyStatusReply(record, reply, 0x100u);
    check(record.ping == 0x200);
    check(record.playerCount == static_cast<std::int32_t>(record.players.size()));
    check(record.players.size() == reply.players.size());
    check(!record.info.empty());
    for (const auto& pair : reply.infoPairs) check(record.info.count(pair.first) == 1);
    return 0;
}
