#include "protocol/name_translation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string translate(const std::string& in, std::size_t outSize = 256) {
    std::string out(outSize, '\x7f');
    translateName(in.c_str(), &out[0], outSize);
    return out.substr(0, out.find('\0'));
}

}  // namespace

TEST(NameTranslation, EveryRangeOfTheTable) {
    for (int c = 1; c < 256; ++c) {
        if (c >= 133 && c <= 136) continue;  // removed before any lookup
        const int t = nameTranslationTable[c];
        SCOPED_TRACE(c);
        if (c >= 32 && c < 127) {
            EXPECT_EQ(t, c);
        } else if (c == 127 || c == 255) {
            EXPECT_EQ(t, '<');
        } else if (c >= 225 && c <= 250) {
            EXPECT_EQ(t, c - 160);  // A-Z
        } else if (c >= 160) {
            EXPECT_EQ(t, c - 128);
        }
    }
    // Control codes get printable stand-ins (the reply fuzzer checks every one).
    EXPECT_EQ(translate("A\xe1\xc1\n\x01\x04\x7f\x80\x9b\xa0\xfb\xff"), "AAA\n-_<(X {<");
}

TEST(NameTranslation, Bytes133To136AreRemoved) {
    EXPECT_EQ(translate("a\x85\x86\x87z"), "az");
    EXPECT_EQ(translate("a\x88xz"), "az");          // 136 takes the byte after it along
    EXPECT_EQ(translate("a\x88"), "a");              // and ends the text when it is last
    EXPECT_EQ(translate("a\x88\x88" "Bz"), "aBz");   // the second 136 is the first one's follower
    EXPECT_EQ(translate("\x88\x85x"), "x");          // a follower is skipped untranslated
}

TEST(NameTranslation, OutputIsCutToTheBufferAndAlwaysTerminated) {
    EXPECT_EQ(translate(std::string(100, 'x'), 64), std::string(63, 'x'));
    // Removed bytes take no room: the cut counts output characters.
    EXPECT_EQ(translate("\x85\x85\x85" "abcdef", 4), "abc");
}
