#include "core/address_key.h"

#include <cstdio>
#include <cstring>

std::string formatAddressKey(std::uint32_t addressNetworkOrder, std::uint16_t portNetworkOrder) {
    // Network order is memory order: the first byte in memory is the first on the wire.
    unsigned char address[4];
    unsigned char port[2];
    std::memcpy(address, &addressNetworkOrder, sizeof address);
    std::memcpy(port, &portNetworkOrder, sizeof port);
    char key[maxAddressKeyLength + 1];
    std::snprintf(key, sizeof key, "%u.%u.%u.%u:%u", unsigned{address[0]}, unsigned{address[1]},
                  unsigned{address[2]}, unsigned{address[3]}, static_cast<unsigned>(port[0] << 8 | port[1]));
    return key;
}
