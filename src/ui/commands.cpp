#include "ui/commands.h"

#include <cstring>
#include <string>

#include "resources/resource.h"
#include "serverlist/list_jobs.h"
#include "ui/clipboard_text.h"
#include "ui/main_window.h"
#include "ui/server_rows.h"

namespace {

void showMainWindow(HWND window) {
    // A hidden window comes back at its former place and size; one that was minimised (when
    // the tray had no icon for it) is restored there.
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
}

// Hands a text to the clipboard as CF_TEXT; true when it was handed over.
bool putOnClipboard(HWND window, const std::string& text) {
    if (!OpenClipboard(window)) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) {
        CloseClipboard();
        return false;
    }
    void* memory = GlobalLock(block);
    if (!memory) {
        GlobalFree(block);
        CloseClipboard();
        return false;
    }
    std::memcpy(memory, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    // Replace whatever another program left there, so that a paste in any format gives this text.
    EmptyClipboard();
    // Once taken, the block belongs to the clipboard; a refused one is still ours to free.
    const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!taken) GlobalFree(block);
    CloseClipboard();
    return taken;
}

}  // namespace

LRESULT dispatchCommand(int commandId, HWND window, int row) {
    switch (commandId) {
    case IDM_ABOUT:
        DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUTBOX), window, aboutDialogProc, 0);
        return 1;
    case IDM_EXIT:
    case ID_TRAY_EXIT:
        DestroyWindow(window);
        return 1;
    case ID_LIST_UPDATE:
        updateList();
        return 1;
    case ID_LIST_REFRESH:
        refreshList();
        return 1;
    case ID_TRAY_RESTORE:
        showMainWindow(window);
        return 1;
    case ID_ROW_COPYADDRESS:
        return copyServerText(window, row, copyAddressKind);
    case ID_ROW_COPYURL:
        return copyServerText(window, row, copyUrlKind);
    case ID_ROW_COPYFULLINFO:
        return copyServerText(window, row, copyFullInfoKind);
    default:
        return 0;
    }
}

LRESULT handleTrayMessage(UINT mouseMessage, HWND window) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        showMainWindow(window);
        return 1;
    case WM_RBUTTONDOWN: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        // A menu opened for the notification area closes on a click elsewhere only when its
        // owner is the foreground window; the main window is usually hidden at this point.
        SetForegroundWindow(window);
        const int commandId =
            TrackPopupMenu(trayMenu, TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr);
        // Switches the foreground task away from the menu, as TrackPopupMenu's documentation
        // asks: without it the next tray menu can close as soon as it opens.
        PostMessageA(window, WM_NULL, 0, 0);
        return dispatchCommand(commandId, window, 0);
    }
    default:
        return 0;
    }
}

int copyServerText(HWND window, int row, int kind) {
    if (kind != copyAddressKind && kind != copyUrlKind && kind != copyFullInfoKind) return 0;
    ClipboardCells texts;
    texts.address = readRowText(row, addressColumn, addressTextSize);
    if (kind == copyFullInfoKind) {
        texts.serverName = readRowText(row, nameColumn, serverNameTextSize);
        texts.ping = readRowText(row, pingColumn, pingTextSize);
        texts.map = readRowText(row, mapColumn, mapTextSize);
        texts.players = readRowText(row, playersColumn, playersTextSize);
    }
    const std::string text = buildClipboardText(kind, texts);
    if (text.empty()) return 0;
    return putOnClipboard(window, text) ? 1 : 0;
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // Let the dialog manager put the focus on the OK button.
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL) return FALSE;
        EndDialog(dialog, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
