#include "protocol/name_translation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The table written out as rules by ranges, to hold the hand-typed table against.
unsigned char expectedTranslation(int c) {
    static const char lowControls[] = "\0---_*t.N-\n#.>**[]@@@@@@<>.-*---";
    static const char highControls[] = "(=)^!....CR#?>**[]@@@@@@<>*X*---";
    if (c < 32) return static_cast<unsigned char>(lowControls[c]);
    if (c < 127) return static_cast<unsigned char>(c);
    if (c == 127 || c == 255) return '<';
    if (c < 160) return static_cast<unsigned char>(highControls[c - 128]);
    if (c >= 225 && c <= 250) return static_cast<unsigned char>(c - 160);
    return static_cast<unsigned char>(c - 128);
}

std::string translate(const std::string& in, std::size_t outSize = 256) {
    std::string out(outSize, '\x7f');
    translateName(in.c_str(), &out[0], outSize);
    return out.substr(0, out.find('\0'));
}

}  // namespace

TEST(NameTranslation, TableMatchesTheRulesForEveryByte) {
    for (int c = 0; c < 256; ++c) {
        if (c >= 133 && c <= 136) continue;  // removed before any lookup
        EXPECT_EQ(nameTranslationTable[c], expectedTranslation(c)) << "byte " << c;
        if (c != 0) EXPECT_NE(nameTranslationTable[c], 0) << "byte " << c;
    }
    EXPECT_EQ(translate("A\xe1\xc1"), "AAA");
    EXPECT_EQ(translate("a"), "a");
    EXPECT_EQ(translate("\x01\x7f\x80\x9b\xa0\xfb\xff"), "-<(X {<");
}

TEST(NameTranslation, PrintableTextPassesUnchanged) {
    std::string printable;
    for (int c = 32; c < 127; ++c) printable += static_cast<char>(c);
    EXPECT_EQ(translate(printable), printable);
    EXPECT_EQ(translate(""), "");
    EXPECT_EQ(translate("Bob\""), "Bob\"");
}

TEST(NameTranslation, Bytes133To136AreRemoved) {
    EXPECT_EQ(translate("a\x85\x86\x87z"), "az");
    EXPECT_EQ(translate("a\x88" "Az"), "az");        // 136 takes the byte after it along
    EXPECT_EQ(translate("a\x88"), "a");              // and ends the text when it is last
    EXPECT_EQ(translate("a\x88\x88" "Bz"), "aBz");   // the second 136 is the first one's follower
    EXPECT_EQ(translate("\x88\x85x"), "x");          // a follower is skipped untranslated
}

TEST(NameTranslation, OutputIsCutToTheBufferAndAlwaysTerminated) {
    std::string longName(100, 'x');
    EXPECT_EQ(translate(longName, 64), std::string(63, 'x'));
    EXPECT_EQ(translate("abc", 1), "");
    EXPECT_EQ(translate("abc", 4), "abc");
    // Removed bytes take no room: the cut counts output characters.
    EXPECT_EQ(translate("\x85\x85\x85" "abcdef", 4), "abc");

    char untouched = 'q';
    translateName("abc", &untouched, 0);
    EXPECT_EQ(untouched, 'q');
}
