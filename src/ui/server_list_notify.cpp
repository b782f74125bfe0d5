#include "ui/server_list_notify.h"

#include <new>
#include <string>

#include "launch/launch.h"
#include "ui/commands.h"
#include "ui/details.h"
#include "ui/list_view.h"
#include "ui/server_rows.h"
#include "ui/window_state.h"

namespace {

// The Address cell, read for the game's start, into a buffer of this size.
constexpr int launchAddressSize = 64;

// Starts the game for the server of a server-list row. Every row shows its address; an empty
// one means the index named no row (Enter without a selection, a double-click beside the
// rows), so nothing starts.
void launchRow(int row) {
    const std::string address = readRowText(row, addressColumn, launchAddressSize);
    if (!address.empty()) launchGame(address.c_str());
}

LRESULT defaultNotify(HWND window, WPARAM wParam, NMHDR* header) {
    return DefWindowProcA(window, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header));
}

// Shows the row's server and runs the command chosen from the row menu, opened at the
// screen point, on that row.
LRESULT runRowMenu(HWND window, int row, POINT at) {
    showServerDetails(row);
    const int commandId = TrackPopupMenu(rowMenu, TPM_RETURNCMD, at.x, at.y, 0, window, nullptr);
    return dispatchCommand(commandId, window, row);
}

LRESULT runRowMenuAtCursor(HWND window, int row) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    return runRowMenu(window, row, cursor);
}

LRESULT serverListNotify(HWND window, WPARAM wParam, NMHDR* header) {
    switch (header->code) {
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
        answerCellRequest(header);
        return 0;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
        return findRowByName(header);
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_RETURN) launchRow(listSelectionMark(serverList));
        break;
    case LVN_COLUMNCLICK:
        sortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        break;
    case LVN_ITEMCHANGED:
        if (!movingServerSelection()) followSelection(*reinterpret_cast<NMLISTVIEW*>(header));
        break;
    case NM_CUSTOMDRAW:
        return CDRF_DODEFAULT;
    case NM_RCLICK:
        return runRowMenuAtCursor(window, reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
    case NM_DBLCLK: {
        const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        showServerDetails(row);
        launchRow(row);
        break;
    }
    case NM_CLICK:
        showServerDetails(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        break;
    default:
        break;
    }
    return defaultNotify(window, wParam, header);
}

}  // namespace

LRESULT handleListNotify(HWND window, WPARAM wParam, NMHDR* header) {
    if (!header) return 0;
    if (header->hwndFrom != serverList) return defaultNotify(window, wParam, header);
    try {
        return serverListNotify(window, wParam, header);
    } catch (const std::bad_alloc&) {
        // Memory ran out on the way (a text, the pane's rows): no exception may cross the
        // list's own code back into it. Nothing is found, and the cell stays empty.
        return header->code == LVN_ODFINDITEMA || header->code == LVN_ODFINDITEMW ? -1 : 0;
    }
}

LRESULT openSelectedRowMenu(HWND window) {
    const int row = nextListRow(serverList, -1, LVNI_SELECTED);
    if (row < 0) return 0;
    // At the row's first cell, scrolled into view if it is not, where the keyboard user looks.
    SendMessageA(serverList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT bounds;
    listRowRect(serverList, row, LVIR_LABEL, bounds);
    POINT at = {bounds.left > 0 ? bounds.left : 0, bounds.bottom};
    ClientToScreen(serverList, &at);
    return runRowMenu(window, row, at);
}
