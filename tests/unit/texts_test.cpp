// The short texts the program builds and reads: numbers, address keys, query entries, the
// game's command line and the clipboard texts.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>

#include "core/address_key.h"
#include "core/install_dir.h"
#include "core/numbers.h"
#include "launch/launch_text.h"
#include "protocol/query_entry.h"
#include "ui/clipboard_text.h"

TEST(Numbers, ReadLikeAtoiAndClamp) {
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"abc", 0}, {"  \t42x", 42}, {"-17", -17}, {"+5", 5}, {"12 / 16", 12}, {"- 3", 0},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN}};
    for (const auto& [text, value] : cases) EXPECT_EQ(readDecimal(text), value) << text;
}

TEST(AddressKey, DottedAddressAndPortFromNetworkOrder) {
    EXPECT_EQ(formatAddressKey(htonl(0xFFFE0005u), htons(27910)), "255.254.0.5:27910");
}

TEST(QueryEntry, HostAndPort) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"10.1.2.3", "10.1.2.3", 27910},
        {"10.1.2.3:", "10.1.2.3", 0},
        {"10.1.2.3:27910x", "10.1.2.3", 27910},  // the port reads like atoi
        {"host.example: 27911", "host.example", 27911},
        {"a:b:c", "a", 0},
        {":27960", "", 27960},
        {"h:-1", "h", 65535},  // the port keeps its low 16 bits
        {"h:93446", "h", 27910},
    };
    for (const auto& [entry, host, port] : cases) {
        const QueryTarget target = parseQueryEntry(entry);
        EXPECT_EQ(target.host, host) << entry;
        EXPECT_EQ(target.port, port) << entry;
    }
}

TEST(LaunchText, GamePathAndConnectParametersAreCutTo255Characters) {
    EXPECT_EQ(buildGamePath(L"c:\\games\\"), L"c:\\games\\\\tarnwick.exe");
    // An install directory without a value gives the bare file name after a backslash.
    EXPECT_EQ(buildGamePath(L""), L"\\tarnwick.exe");
    EXPECT_EQ(buildGamePath(std::wstring(250, L'\u0416')), std::wstring(250, L'\u0416') + L"\\tarn");

    // The registry's value: 255 characters fit, with or without their terminating zero; cut,
    // a longer value would name another directory, so it gives none.
    const std::wstring d255(255, L'\u904a'), d256(256, L'd');
    EXPECT_EQ(installDirOfValue(d255.c_str(), 256), d255);
    EXPECT_EQ(installDirOfValue(d255.data(), 255), d255);
    EXPECT_EQ(installDirOfValue(d256.data(), 256), L"");
    EXPECT_EQ(installDirOfValue(L"C:\\T\0x", 6), L"C:\\T");
}

TEST(ClipboardText, ThreeKindsEachCellCutToItsBuffer) {
    // Control characters from the network become blanks.
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, {"a", "x\r\ndel\x01\x1f", "1", "m\tq", "2"}), "a x  del   1 m q 2");
    // Empty cells keep their blanks.
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, {"a", "", "45", "", "3 / 16"}), "a  45  3 / 16");
    const ClipboardCells longCells = {"a", std::string(70, 'n'), std::string(20, '7'), std::string(40, 'm'),
                                      std::string(20, '5')};
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, longCells), "a " + std::string(63, 'n') + " " +
                                                                   std::string(15, '7') + " " + std::string(31, 'm') +
                                                                   " " + std::string(15, '5'));
    // Nothing for no row (no address).
    for (int kind : {copyAddressKind, copyUrlKind, copyFullInfoKind}) EXPECT_EQ(buildClipboardText(kind, {}), "");
}
