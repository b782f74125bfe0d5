#include "ui/commands.h"

#include <cstring>
#include <string>

#include "resources/resource.h"
#include "serverlist/list_jobs.h"
#include "ui/ansi_text.h"
#include "ui/clipboard_text.h"
#include "ui/server_rows.h"
#include "ui/window_state.h"

namespace {

void showMainWindow(HWND window) {
    // A hidden window comes back at its former place and size; one that was minimised (when
    // the tray had no icon for it) is restored there.
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
}

// A movable block with a copy of the bytes, as SetClipboardData takes it; null when memory is short.
HGLOBAL globalCopy(const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* memory = GlobalLock(block);
    if (!memory) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(memory, bytes, size);
    GlobalUnlock(block);
    return block;
}

// Another program (a clipboard history, a remote desktop's sync) may hold the clipboard open
// for a moment; OpenClipboard then fails, so it is tried a few times before the copy fails.
bool openClipboard(HWND window) {
    constexpr int attempts = 5;
    constexpr DWORD pauseMs = 20;
    for (int attempt = 1; attempt < attempts; ++attempt) {
        if (OpenClipboard(window)) return true;
        Sleep(pauseMs);
    }
    return OpenClipboard(window) != FALSE;
}

struct ClipboardBlock {
    UINT format;
    HGLOBAL block;
};

// Hands a text to the clipboard; true when it was handed over. The text is in the ANSI code
// page, but Windows would convert CF_TEXT alone for Unicode readers with the code page of the
// input language (it sets CF_LOCALE to that when the clipboard closes without one): a player
// typing in another language would paste other letters. So the text goes with its Unicode
// form and with the system locale, whose ANSI code page is the one the text is in.
bool putOnClipboard(HWND window, const std::string& text) {
    const std::wstring wide = ansiToWide(text);
    const LCID locale = GetSystemDefaultLCID();
    ClipboardBlock blocks[] = {{CF_TEXT, globalCopy(text.c_str(), text.size() + 1)},
                               {CF_UNICODETEXT, globalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t))},
                               {CF_LOCALE, globalCopy(&locale, sizeof locale)}};
    bool taken = false;
    if (blocks[0].block && blocks[1].block && blocks[2].block && openClipboard(window)) {
        // Replace whatever another program left there, so that a paste in any format gives this text.
        EmptyClipboard();
        taken = true;
        // Once taken, a block belongs to the clipboard; a refused one is still ours to free.
        for (ClipboardBlock& entry : blocks) {
            if (SetClipboardData(entry.format, entry.block))
                entry.block = nullptr;
            else
                taken = false;
        }
        CloseClipboard();
    }
    for (const ClipboardBlock& entry : blocks)
        if (entry.block) GlobalFree(entry.block);
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
