#include "core/address_key.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Builds the two values as a socket address holds them: bytes in wire order.
std::string keyOf(unsigned char a, unsigned char b, unsigned char c, unsigned char d, unsigned port) {
    const unsigned char addressBytes[4] = {a, b, c, d};
    const unsigned char portBytes[2] = {static_cast<unsigned char>(port >> 8), static_cast<unsigned char>(port)};
    std::uint32_t address;
    std::uint16_t portValue;
    std::memcpy(&address, addressBytes, sizeof address);
    std::memcpy(&portValue, portBytes, sizeof portValue);
    return formatAddressKey(address, portValue);
}

}  // namespace

TEST(AddressKey, FormsDottedAddressAndPort) {
    EXPECT_EQ(keyOf(192, 168, 0, 5, 27910), "192.168.0.5:27910");
    EXPECT_EQ(keyOf(10, 0, 0, 1, 0), "10.0.0.1:0");
    EXPECT_EQ(keyOf(0, 0, 0, 0, 1), "0.0.0.0:1");
    std::string longest = keyOf(255, 255, 255, 255, 65535);
    EXPECT_EQ(longest, "255.255.255.255:65535");
    EXPECT_EQ(longest.size(), maxAddressKeyLength);
}
