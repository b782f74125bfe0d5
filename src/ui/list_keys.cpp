#include "ui/list_keys.h"

#include <commctrl.h>

#include "ui/main_window.h"

namespace {

constexpr UINT_PTR paneKeysSubclass = 1;

HWND nextList(HWND list, bool backwards) {
    const HWND order[] = {serverList, playerList, infoList};
    constexpr int count = static_cast<int>(sizeof order / sizeof order[0]);
    for (int index = 0; index < count; ++index)
        if (order[index] == list) return order[(index + (backwards ? count - 1 : 1)) % count];
    return serverList;
}

bool isPaneKey(WPARAM key) { return key == VK_TAB || key == VK_F6; }

// Moving the focus leaves every list's selection as it was: the pane keeps its server.
LRESULT CALLBACK paneKeysProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_KEYDOWN:
        if (!isPaneKey(wParam)) break;
        SetFocus(nextList(list, GetKeyState(VK_SHIFT) < 0));
        return 0;
    case WM_CHAR:
        // The Tab character that follows the key is no letter to search the rows by.
        if (wParam == '\t') return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, paneKeysProc, paneKeysSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void takePaneKeys(HWND list) { SetWindowSubclass(list, paneKeysProc, paneKeysSubclass, 0); }
