#include "protocol/query_entry.h"

#include <utility>

#include "core/numbers.h"

QueryTarget parseQueryEntry(const char* entry) {
    // Only the first 255 characters count; a colon beyond them is not seen.
    std::size_t length = 0;
    while (length < maxEntryLength && entry[length] != '\0') ++length;
    std::string host(entry, length);
    QueryTarget target;
    std::size_t colon = host.find(':');
    if (colon != std::string::npos) {
        // The socket address keeps the low 16 bits: -1 is port 65535.
        target.port = static_cast<std::uint16_t>(static_cast<unsigned>(readDecimal(host.c_str() + colon + 1)));
        host.erase(colon);
    }
    target.host = std::move(host);
    return target;
}
