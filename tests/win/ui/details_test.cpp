#include "ui/details.h"

#include "window_fixture.h"

using namespace testui;

namespace {

using Texts = std::vector<std::string>;

// Hill's row, then Lake's, whose players come in reply order (neither name nor score order).
void showHillAndLake() {
    showServers({
        {"127.0.10.2:27910", "Hill", "ridge", 0, 0, 12, {}, {{"hostname", "Hill"}, {"mapname", "ridge"}}},
        {"127.0.10.1:27910", "Lake", "pond", 0, 16, 45, {{"zed", -3, 0}, {"Amy", 12, 104}, {"bob", 7, -1}},
         {{"maxclients", "16"}, {"mapname", "pond"}, {"hostname", "Lake"}, {"admin", "low"}, {"Admin", "up"}}},
    });
}
constexpr int hill = 0;
constexpr int lake = 1;
const Texts lakePlayers = {"zed|-3|0", "Amy|12|104", "bob|7|-1"};
const Texts lakeInfo = {"Admin|up", "admin|low", "hostname|Lake", "mapname|pond", "maxclients|16"};
const Texts hillInfo = {"hostname|Hill", "mapname|ridge"};

// Selects a row the way a click does: selection mark first, then the state, whose change
// the server list reports to the window as LVN_ITEMCHANGED.
void selectRow(int row) {
    SendMessageA(serverList, LVM_SETSELECTIONMARK, 0, row);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(serverList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

TEST_F(WindowTest, TheSelectedServerShowsPlayersInReplyOrderAndVariablesInByteOrder) {
    showHillAndLake();
    selectRow(lake);
    EXPECT_EQ(listRows(playerList), lakePlayers);
    EXPECT_EQ(listRows(infoList), lakeInfo);

    // A server without players: its variables and an empty player list.
    selectRow(hill);
    EXPECT_EQ(listRows(playerList), Texts{});
    EXPECT_EQ(listRows(infoList), hillInfo);

    // The list view tells of a selection moved by the keyboard before it moves its
    // selection mark there.
    SetFocus(serverList);
    SendMessageA(serverList, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(SendMessageA(serverList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), lake);
    EXPECT_EQ(listRows(playerList), lakePlayers);
    EXPECT_EQ(listRows(infoList), lakeInfo);
    SendMessageA(serverList, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(listRows(playerList), Texts{});
    EXPECT_EQ(listRows(infoList), hillInfo);

    // A click or a double-click beside the rows empties the pane (and starts nothing).
    for (UINT besideRows : {UINT(NM_CLICK), UINT(NM_DBLCLK)}) {
        sendItemNotify(window, serverList, NM_CLICK, lake);
        ASSERT_EQ(listRows(playerList), lakePlayers);
        sendItemNotify(window, serverList, besideRows, -1);
        EXPECT_EQ(rowCount(playerList), 0);
        EXPECT_EQ(rowCount(infoList), 0);
    }
}

TEST_F(WindowTest, NotificationsFromOtherControlsChangeNothing) {
    showHillAndLake();
    sendItemNotify(window, serverList, NM_CLICK, lake);
    const Texts serverRows = listRows(serverList);

    for (HWND other : {playerList, infoList, statusBar}) {
        sendItemNotify(window, other, NM_CLICK, -1);
        sendItemNotify(window, other, NM_DBLCLK, -1);
        NMLISTVIEW change = {};
        change.hdr.hwndFrom = other;
        change.iItem = -1;
        change.hdr.code = LVN_COLUMNCLICK;
        sendNotify(window, change.hdr);
        change.hdr.code = LVN_ITEMCHANGED;
        sendNotify(window, change.hdr);
    }
    EXPECT_EQ(listRows(playerList), lakePlayers);
    EXPECT_EQ(listRows(infoList), lakeInfo);
    EXPECT_EQ(listRows(serverList), serverRows);

    // The window answers a missing record with 0, and lets every row draw itself.
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 0, 0), 0);
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = serverList;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(sendNotify(window, draw.nmcd.hdr), CDRF_DODEFAULT);
}

}  // namespace
