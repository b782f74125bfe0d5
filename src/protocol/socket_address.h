#pragma once

#include <winsock2.h>

#include <string>

#include "core/address_key.h"

inline std::string formatAddressKey(const sockaddr_in& address) {
    return formatAddressKey(address.sin_addr.s_addr, address.sin_port);
}
