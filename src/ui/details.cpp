#include "ui/details.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/server_table.h"
#include "ui/app_messages.h"
#include "ui/list_view.h"
#include "ui/pane_follow.h"
#include "ui/server_rows.h"
#include "ui/window_state.h"

namespace {

// The Address cell is read into a buffer of this size; an address key has at most 21 characters.
constexpr int detailsAddressSize = 128;

struct ServerDetails {
    std::vector<PlayerEntry> players;
    ServerInfo info;
};

// Copies what the pane shows out of the server's record. The lock is released before the
// lists are touched: a worker that waits for the window thread inside a row update must
// never find the window thread waiting for the lock in turn.
bool copyServerDetails(const std::string& key, ServerDetails& out) {
    auto lock = lockServerTable();
    const ServerRecord* record = findServer(key);
    if (!record) return false;
    out.players = record->players;
    out.info = record->info;
    return true;
}

void fillPlayerList(const std::vector<PlayerEntry>& players) {
    int index = 0;
    for (const PlayerEntry& player : players) {
        const int row = insertListRow(playerList, index++, player.name);
        if (row < 0) continue;
        setListCellText(playerList, row, 1, std::to_string(player.score));
        setListCellText(playerList, row, 2, std::to_string(player.ping));
    }
}

void fillInfoList(const ServerInfo& info) {
    int index = 0;
    for (const auto& variable : info) {
        const int row = insertListRow(infoList, index++, variable.first);
        if (row < 0) continue;
        setListCellText(infoList, row, 1, variable.second);
    }
}

// Window thread only.
PaneFollower paneFollower;

// Where the keyboard and the scroll bar were in one pane list, kept while its server is shown
// again: a refill empties the list, and a keyboard or screen-reader user would lose the row.
struct ListPlace {
    int top = 0;
    int selected = -1;
    std::string selectedName;
    int focused = -1;
    std::string focusedName;
};

// Window thread only. The names of the rows of each pane list (players', variables') as the
// last fill wrote them: a name read back from the list could come back changed, since a list
// view keeps its texts in Unicode and not every byte sequence survives a double-byte code page.
std::vector<std::string> shownNames[2];

std::vector<std::string>& shownNamesOf(HWND list) { return shownNames[list == playerList ? 0 : 1]; }

// A row with the flags (LVNI_SELECTED, LVNI_FOCUSED) and its name; -1 for none.
int flaggedRow(HWND list, UINT flags, std::string& name) {
    const std::vector<std::string>& names = shownNamesOf(list);
    const int row = nextListRow(list, -1, flags);
    if (row < 0 || row >= static_cast<int>(names.size())) return -1;
    name = names[static_cast<std::size_t>(row)];
    return row;
}

ListPlace placeOf(HWND list) {
    ListPlace place;
    place.top = listTopRow(list);
    place.selected = flaggedRow(list, LVNI_SELECTED, place.selectedName);
    place.focused = flaggedRow(list, LVNI_FOCUSED, place.focusedName);
    return place;
}

// Selects and focuses the rows of the names that were, and scrolls the refilled list back to
// the row that was at its top.
void restorePlace(HWND list, const ListPlace& place) {
    const std::vector<std::string>& names = shownNamesOf(list);
    const int selected = place.selected < 0 ? -1 : keptRow(names, place.selectedName, place.selected);
    const int focused = place.focused < 0 ? -1 : keptRow(names, place.focusedName, place.focused);
    if (selected >= 0) {
        setListRowState(list, selected, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageA(list, LVM_SETSELECTIONMARK, 0, selected);
    }
    if (focused >= 0) setListRowState(list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
    // Scrolled last: the focus may have scrolled its row into view (it does under Wine).
    scrollListToRow(list, place.top);
}

std::vector<std::string> namesOf(const ServerDetails& details, HWND list) {
    std::vector<std::string> names;
    if (list == playerList)
        for (const PlayerEntry& player : details.players) names.push_back(player.name);
    else
        for (const auto& variable : details.info) names.push_back(variable.first);
    return names;
}

// Fills the pane with the server of the address key (none when empty or unknown). Showing
// the same server again keeps each list's place: where it was scrolled to and its rows.
void showServerKey(const std::string& key) {
    const bool again = !key.empty() && key == paneFollower.shown();
    const ListPlace kept[] = {again ? placeOf(playerList) : ListPlace{}, again ? placeOf(infoList) : ListPlace{}};
    paneFollower.showing(key);

    // A visible list view paints and updates its scroll bar on every inserted row: under Wine
    // a pane of 63 rows took about 1.8 s that way. Held, the rows are painted once, at the end.
    for (HWND list : {playerList, infoList}) {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    }

    ServerDetails details;
    if (copyServerDetails(key, details)) {
        fillPlayerList(details.players);
        fillInfoList(details.info);
    }
    // Redraw on first, so that the scroll bar shows and the stretch fits the narrower view.
    for (HWND list : {playerList, infoList}) {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        stretchLastColumn(list);
        shownNamesOf(list) = namesOf(details, list);
        if (again) restorePlace(list, kept[list == playerList ? 0 : 1]);
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
}

}  // namespace

void showServerDetails(int row) { showServerKey(readRowText(row, addressColumn, detailsAddressSize)); }

void followServerRow(HWND window, const std::string& key) {
    if (paneFollower.rowUpdated(key)) SetTimer(window, paneRefillTimer, paneRefillInterval, nullptr);
}

void refillPane(HWND window) {
    KillTimer(window, paneRefillTimer);
    paneFollower.refilled();
    showServerKey(paneFollower.shown());
}

void followSelection(const NMLISTVIEW& change) {
    switch (paneChangeFor((change.uChanged & LVIF_STATE) != 0, (change.uOldState & LVIS_SELECTED) != 0,
                          (change.uNewState & LVIS_SELECTED) != 0)) {
    case PaneChange::showRow:
        showServerDetails(change.iItem);
        break;
    case PaneChange::showMark: {
        // A virtual list may report a deselection of every row (row -1) before it selects the
        // next: the pane already shows the mark's server then, and is not filled twice.
        const std::string key = readRowText(listSelectionMark(serverList), addressColumn, detailsAddressSize);
        if (key != paneFollower.shown()) showServerKey(key);
        break;
    }
    case PaneChange::keep:
        break;
    }
}
