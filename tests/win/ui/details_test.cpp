#include "ui/details.h"

#include "window_fixture.h"

using namespace testui;

namespace {

constexpr int playerColumns = 3;
constexpr int infoColumns = 2;

ServerSample lakeServer() {
    ServerSample sample;
    sample.key = "127.0.10.1:27910";
    sample.hostName = "Lake";
    sample.mapName = "pond";
    sample.maxClients = 16;
    sample.ping = 45;
    // Reply order, which is neither name nor score order.
    sample.players = {{"zed", -3, 0}, {"Amy", 12, 104}, {"bob", 7, -1}};
    sample.info = {{"maxclients", "16"}, {"mapname", "pond"}, {"hostname", "Lake"}, {"admin", "low"}, {"Admin", "up"}};
    return sample;
}

ServerSample hillServer() {
    ServerSample sample;
    sample.key = "127.0.10.2:27910";
    sample.hostName = "Hill";
    sample.mapName = "ridge";
    sample.ping = 12;
    sample.info = {{"hostname", "Hill"}, {"mapname", "ridge"}};
    return sample;
}

// Selects a row the way a click does: selection mark first, then the state, whose change
// the server list reports to the window as LVN_ITEMCHANGED.
void selectRow(int row) {
    SendMessageA(serverList, LVM_SETSELECTIONMARK, 0, row);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(serverList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

const std::vector<std::string> lakePlayers = {"zed|-3|0", "Amy|12|104", "bob|7|-1"};
const std::vector<std::string> lakeInfo = {"Admin|up", "admin|low", "hostname|Lake", "mapname|pond",
                                           "maxclients|16"};

}  // namespace

TEST_F(MainWindowTest, SelectingARowShowsPlayersInReplyOrderAndVariablesInByteOrder) {
    addServer(hillServer());
    addServer(lakeServer());
    const int lake = rowOfAddress(lakeServer().key);
    ASSERT_GE(lake, 0);

    selectRow(lake);
    EXPECT_EQ(listRows(playerList, playerColumns), lakePlayers);
    EXPECT_EQ(listRows(infoList, infoColumns), lakeInfo);

    // Another server without players: its variables, an empty player list.
    selectRow(rowOfAddress(hillServer().key));
    EXPECT_TRUE(listRows(playerList, playerColumns).empty());
    EXPECT_EQ(listRows(infoList, infoColumns), (std::vector<std::string>{"hostname|Hill", "mapname|ridge"}));
}

TEST_F(MainWindowTest, MovingTheSelectionWithTheKeyboardShowsTheNewRow) {
    addServer(hillServer());
    addServer(lakeServer());
    const int hill = rowOfAddress(hillServer().key);
    const int lake = rowOfAddress(lakeServer().key);
    ASSERT_EQ(lake, hill + 1);
    selectRow(hill);
    SetFocus(serverList);

    // The list view tells of the new selection before it moves its selection mark there.
    SendMessageA(serverList, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(SendMessageA(serverList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), lake);
    EXPECT_EQ(listRows(playerList, playerColumns), lakePlayers);
    EXPECT_EQ(listRows(infoList, infoColumns), lakeInfo);

    SendMessageA(serverList, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(listRows(playerList, playerColumns).empty());
    EXPECT_EQ(listRows(infoList, infoColumns), (std::vector<std::string>{"hostname|Hill", "mapname|ridge"}));
}

TEST_F(MainWindowTest, ClickOrDoubleClickBesideTheRowsEmptiesThePane) {
    addServer(lakeServer());
    const int lake = rowOfAddress(lakeServer().key);

    sendItemNotify(window, serverList, NM_CLICK, lake);
    ASSERT_EQ(listRows(playerList, playerColumns), lakePlayers);
    sendItemNotify(window, serverList, NM_CLICK, -1);
    EXPECT_EQ(rowCount(playerList), 0);
    EXPECT_EQ(rowCount(infoList), 0);

    // A double-click beside the rows empties the pane too and starts nothing.
    sendItemNotify(window, serverList, NM_CLICK, lake);
    sendItemNotify(window, serverList, NM_DBLCLK, -1);
    EXPECT_EQ(rowCount(playerList), 0);
    EXPECT_EQ(rowCount(infoList), 0);
}

TEST_F(MainWindowTest, NotificationsFromOtherControlsChangeNothing) {
    addServer(hillServer());
    addServer(lakeServer());
    sendItemNotify(window, serverList, NM_CLICK, rowOfAddress(lakeServer().key));
    const std::vector<std::string> serverRows = listRows(serverList, serverColumnCount);

    for (HWND other : {playerList, infoList, statusBar}) {
        sendItemNotify(window, other, NM_CLICK, -1);
        sendItemNotify(window, other, NM_DBLCLK, -1);
        NMLISTVIEW column = {};
        column.hdr.hwndFrom = other;
        column.hdr.code = LVN_COLUMNCLICK;
        column.iSubItem = 0;
        sendNotify(window, column.hdr);
        NMLISTVIEW changed = {};
        changed.hdr.hwndFrom = other;
        changed.hdr.code = LVN_ITEMCHANGED;
        changed.iItem = -1;
        sendNotify(window, changed.hdr);
    }
    EXPECT_EQ(listRows(playerList, playerColumns), lakePlayers);
    EXPECT_EQ(listRows(infoList, infoColumns), lakeInfo);
    EXPECT_EQ(listRows(serverList, serverColumnCount), serverRows);

    // The window answers a missing record with 0, and lets every row draw itself.
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 0, 0), 0);
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = serverList;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(sendNotify(window, draw.nmcd.hdr), CDRF_DODEFAULT);
}

TEST_F(MainWindowTest, ColumnClickOnTheServerListSortsIt) {
    addServer(lakeServer());
    addServer(hillServer());
    NMLISTVIEW column = {};
    column.hdr.hwndFrom = serverList;
    column.hdr.code = LVN_COLUMNCLICK;
    column.iSubItem = addressColumn;
    // Each click flips the direction, so one of two clicks puts Lake (.10.1) above Hill (.10.2).
    sendNotify(window, column.hdr);
    const bool lakeFirst = rowOfAddress(lakeServer().key) < rowOfAddress(hillServer().key);
    sendNotify(window, column.hdr);
    EXPECT_NE(rowOfAddress(lakeServer().key) < rowOfAddress(hillServer().key), lakeFirst);
}
