#include "ui/clipboard_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ClipboardCells alphaRow() { return {"10.0.0.5:27910", "Alpha", "45", "pond", "3 / 16"}; }

}  // namespace

TEST(ClipboardText, ThreeKindsOfARow) {
    EXPECT_EQ(buildClipboardText(copyAddressKind, alphaRow()), "10.0.0.5:27910");
    EXPECT_EQ(buildClipboardText(copyUrlKind, alphaRow()), "tarnwick://10.0.0.5:27910");
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, alphaRow()), "10.0.0.5:27910 Alpha 45 pond 3 / 16");
}

TEST(ClipboardText, FullInfoCutsEachCellToItsBuffer) {
    ClipboardCells row = alphaRow();
    row.serverName = std::string(63, 'n') + "1234567";
    row.map = std::string(31, 'm') + "123456789";
    row.ping = std::string(20, '7');
    row.players = std::string(20, '5');
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, row), "10.0.0.5:27910 " + std::string(63, 'n') + " " +
                                                             std::string(15, '7') + " " + std::string(31, 'm') +
                                                             " " + std::string(15, '5'));
}

TEST(ClipboardText, EmptyCellsKeepTheirBlanks) {
    ClipboardCells row = alphaRow();
    row.serverName.clear();
    row.map.clear();
    EXPECT_EQ(buildClipboardText(copyFullInfoKind, row), "10.0.0.5:27910  45  3 / 16");
}

TEST(ClipboardText, NothingToCopyWithoutAnAddressOrForAnUnknownKind) {
    ClipboardCells noRow;
    for (int kind : {copyAddressKind, copyUrlKind, copyFullInfoKind}) {
        EXPECT_EQ(buildClipboardText(kind, noRow), "") << "kind " << kind;
    }
    EXPECT_EQ(buildClipboardText(3, alphaRow()), "");
    EXPECT_EQ(buildClipboardText(-1, alphaRow()), "");
}
