#include "ui/list_keys.h"

#include "ui/window_state.h"

namespace {

HWND nextList(HWND list, bool backwards) {
    const HWND order[] = {serverList, playerList, infoList};
    constexpr int count = static_cast<int>(sizeof order / sizeof order[0]);
    for (int index = 0; index < count; ++index)
        if (order[index] == list) return order[(index + (backwards ? count - 1 : 1)) % count];
    return nullptr;
}

}  // namespace

// Looked at in the message loop rather than in a subclass of each list: a subclass's data is
// looked up on every message the list gets (a window property, under Wine a round trip to its
// server), and a row update or a pane refill sends the lists hundreds of them.
bool takePaneKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_TAB && message.wParam != VK_F6)) return false;
    const HWND next = nextList(message.hwnd, GetKeyState(VK_SHIFT) < 0);
    if (!next) return false;
    // Moving the focus leaves every list's selection as it was: the pane keeps its server.
    SetFocus(next);
    // As the dialog manager does for Tab: the focused row's rectangle shows from now on, even
    // where the window hid it because the mouse was used.
    SendMessageA(GetAncestor(next, GA_ROOT), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}
