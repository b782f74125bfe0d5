#include "protocol/status_reply.h"

#include <cstring>

#include "core/numbers.h"
#include "protocol/name_translation.h"

namespace {

constexpr char statusReplyHeader[statusReplyHeaderLength + 1] = "\xff\xff\xff\xffprint\n";
constexpr char unknownPlayerName[] = "unknown";

// A player line: score, a space, ping, a space, then the name in double quotes.
// Returns false for a line without a space, which names no player.
bool parsePlayerLine(const std::string& line, PlayerEntry& player) {
    std::size_t space = line.find(' ');
    if (space == std::string::npos) return false;
    player.score = readDecimal(line.c_str());
    player.ping = readDecimal(line.c_str() + space + 1);
    std::size_t quote = line.find('"', space + 1);
    if (quote == std::string::npos) {
        player.name = unknownPlayerName;
        return true;
    }
    // One byte more than a name can hold, so that a cut translation shows: its closing
    // quote lies beyond the cut, and all of its 63 characters are name.
    char translated[playerNameBufferSize + 1];
    translateName(line.c_str() + quote + 1, translated, sizeof translated);
    std::size_t length = std::strlen(translated);
    if (length > playerNameBufferSize - 1) {
        length = playerNameBufferSize - 1;
    } else if (length > 0) {
        --length;  // the closing quote, in a well-formed line
    }
    player.name.assign(translated, length);
    return true;
}

}  // namespace

int splitFields(const std::string& text, char separator, std::vector<std::string>& out) {
    out.clear();
    std::size_t start = 0;
    for (;;) {
        if (start == text.size()) {
            out.emplace_back();
            break;
        }
        // The first character of the rest is never a separator.
        std::size_t found = text.find(separator, start + 1);
        if (found == std::string::npos) {
            out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, found - start));
        start = found + 1;
    }
    return static_cast<int>(out.size());
}

bool parseStatusReply(const char* bytes, int length, StatusReply& out) {
    out = StatusReply{};
    if (length < statusReplyHeaderLength) return false;
    if (std::memcmp(bytes, statusReplyHeader, statusReplyHeaderLength) != 0) return false;

    // The body ends at the end of the datagram or at its first zero byte.
    const char* zero = static_cast<const char*>(std::memchr(bytes, '\0', static_cast<std::size_t>(length)));
    std::string text(bytes, zero ? static_cast<std::size_t>(zero - bytes) : static_cast<std::size_t>(length));

    std::vector<std::string> lines;
    if (splitFields(text, '\n', lines) < 2) return false;

    // Line 0 is the header, line 1 the info line: its first character is skipped whatever it is.
    std::vector<std::string> tokens;
    splitFields(lines[1].empty() ? std::string() : lines[1].substr(1), '\\', tokens);
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) out.infoPairs.emplace_back(tokens[i], tokens[i + 1]);

    for (std::size_t i = 2; i < lines.size(); ++i) {
        PlayerEntry player;
        if (parsePlayerLine(lines[i], player)) out.players.push_back(std::move(player));
    }
    return true;
}

void applyStatusReply(ServerRecord& record, const StatusReply& reply, std::uint32_t now) {
    // Unsigned difference, so the wrap of the tick count does no harm.
    record.ping = static_cast<std::int32_t>(now - record.queryTime);
    record.players = reply.players;
    record.playerCount = static_cast<std::int32_t>(record.players.size());
    for (const auto& [key, value] : reply.infoPairs) {
        const auto known = record.info.find(key);
        if (known != record.info.end())
            known->second = value;
        else if (record.info.size() < maxServerInfoKeys)
            record.info.emplace(key, value);
        if (key == "mapname") {
            record.mapName = value;
        } else if (key == "hostname") {
            record.hostName = value;
        } else if (key == "maxclients") {
            record.maxClients = readDecimal(value.c_str());
        }
    }
}
