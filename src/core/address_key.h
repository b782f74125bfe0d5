#pragma once

#include <cstdint>
#include <string>

// The longest address key, "255.255.255.255:65535", has 21 characters.
constexpr std::size_t maxAddressKeyLength = 21;

// The text that names one server everywhere: "%d.%d.%d.%d:%d" of its IPv4 address and
// port. Both values are given as the socket layer holds them, in network byte order.
std::string formatAddressKey(std::uint32_t addressNetworkOrder, std::uint16_t portNetworkOrder);
