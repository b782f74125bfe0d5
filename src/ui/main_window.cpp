#include "ui/main_window.h"

// The main window: its class, its creation, its popup menus and its window procedure, whose
// message table hands each message to a handler here. The handlers only route: the work is in
// the files of the children (controls), the first place (placement), the rows (server_rows),
// the server list's notifications (server_list_notify), the pane (details), the commands
// (commands) and the tray icon.

#include <commctrl.h>
#include <windowsx.h>

#include <initializer_list>
#include <string>

#include "resources/resource.h"
#include "ui/app_messages.h"
#include "ui/commands.h"
#include "ui/controls.h"
#include "ui/details.h"
#include "ui/dpi.h"
#include "ui/message_filter.h"
#include "ui/placement.h"
#include "ui/running_copy.h"
#include "ui/server_list_notify.h"
#include "ui/server_rows.h"
#include "ui/tray_icon.h"
#include "ui/window_state.h"

namespace {

// WM_DPICHANGED: Windows 8.1 and later, when the window moves to a screen of another DPI.
constexpr UINT dpiChangedMessage = 0x02E0;

// The list that had the keyboard last (window thread); the server list until another list
// takes it.
HWND focusedList = nullptr;
// Registered: sent by a later start of the program to show this copy instead of its own.
UINT runningCopyMessage = 0;

constexpr int resourceTextSize = 100;
constexpr DWORD mainWindowStyle = WS_POPUP | WS_OVERLAPPEDWINDOW;

LRESULT onCreate(HWND window, WPARAM, LPARAM) {
    focusedList = nullptr;
    if (!createChildren(window)) return -1;
    addTrayIcon(window);
    return 0;
}

LRESULT onDestroy(HWND, WPARAM, LPARAM) {
    endServerRows();
    removeTrayIcon();
    releaseChildren();
    PostQuitMessage(0);
    return 0;
}

LRESULT onSize(HWND window, WPARAM wParam, LPARAM lParam) {
    layoutChildren(window, wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

// The children cover the whole client area, so erasing it first would only flicker.
LRESULT onEraseBackground(HWND, WPARAM, LPARAM) { return 1; }

LRESULT onNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == NM_SETFOCUS &&
        (header->hwndFrom == serverList || header->hwndFrom == playerList || header->hwndFrom == infoList))
        focusedList = header->hwndFrom;
    return handleListNotify(window, wParam, header);
}

LRESULT onCommand(HWND window, WPARAM wParam, LPARAM) {
    dispatchCommand(LOWORD(wParam), window, HIWORD(wParam));
    return 0;
}

// Minimising hides the window instead, leaving only the tray icon. The whole value is
// compared: only the plain minimise command hides. Without the icon (the shell refused it and
// has not been restarted since) the window is minimised as usual, so it can still come back.
LRESULT onSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam == SC_MINIMIZE && hasTrayIcon())
        ShowWindow(window, SW_HIDE);
    else
        DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
    return 0;
}

// Shift+F10 or the Menu key in the server list: the row menu for the selected row. A right
// click has opened its menu on NM_RCLICK already and arrives here with the mouse's position.
LRESULT onContextMenu(HWND window, WPARAM wParam, LPARAM lParam) {
    const bool fromKeyboard = GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1;
    if (reinterpret_cast<HWND>(wParam) == serverList && fromKeyboard) return openSelectedRowMenu(window);
    return DefWindowProcA(window, WM_CONTEXTMENU, wParam, lParam);
}

LRESULT onTrayCallback(HWND window, WPARAM, LPARAM lParam) {
    return handleTrayMessage(static_cast<UINT>(lParam), window);
}

// A server's row first, then the pane, which follows its own server's replies.
LRESULT onServerRow(HWND window, WPARAM, LPARAM lParam) {
    if (const std::string* key = applyServerRowUpdate(lParam)) followServerRow(window, *key);
    return 0;
}

// The frame itself takes nothing from the keyboard: whenever it gets the focus (shown,
// activated, back from the tray, after a dialog box or a menu) the focus goes on to the list
// that had it last, so the arrow keys and Enter work without a click.
LRESULT onSetFocus(HWND, WPARAM, LPARAM) {
    SetFocus(focusedList ? focusedList : serverList);
    return 0;
}

LRESULT onTimer(HWND window, WPARAM wParam, LPARAM) {
    if (wParam == rowCountTimer) showNewRows();
    if (wParam == paneRefillTimer) refillPane(window);
    return 0;
}

// The window moved to a screen of another DPI: the children's text and the column widths
// follow it, and the window takes the place Windows suggests for it.
LRESULT onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    followDpi(HIWORD(wParam));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// A theme change: the common controls repaint in the new colours only when told.
LRESULT onSysColorChange(HWND, WPARAM wParam, LPARAM lParam) {
    for (HWND child : {serverList, playerList, infoList, statusBar}) SendMessageA(child, WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}

struct MessageHandler {
    UINT message;
    LRESULT (*handle)(HWND window, WPARAM wParam, LPARAM lParam);
};

constexpr MessageHandler messageTable[] = {
    {WM_CREATE, onCreate},
    {WM_DESTROY, onDestroy},
    {WM_SIZE, onSize},
    {WM_ERASEBKGND, onEraseBackground},
    {WM_NOTIFY, onNotify},
    {WM_COMMAND, onCommand},
    {WM_SYSCOMMAND, onSysCommand},
    {WM_CONTEXTMENU, onContextMenu},
    {trayCallbackMessage, onTrayCallback},
    {serverRowMessage, onServerRow},
    {WM_SETFOCUS, onSetFocus},
    {WM_TIMER, onTimer},
    {WM_SYSCOLORCHANGE, onSysColorChange},
    {dpiChangedMessage, onDpiChanged},
};

}  // namespace

HWND createMainWindow(HINSTANCE instance) {
    // The list view and status bar classes must exist before WM_CREATE builds the children.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    char title[resourceTextSize] = "";
    char className[resourceTextSize] = "";
    LoadStringA(instance, IDS_APP_TITLE, title, resourceTextSize);
    LoadStringA(instance, IDC_SERVERBROWSER, className, resourceTextSize);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    // Each at the size Windows draws it, scaled down from the resource's larger images where
    // 32 and 16 pixels do not match. They last as long as the class, which is the process.
    windowClass.hIcon = loadIconForSystemDpi(instance, IDI_SERVERBROWSER, LIM_LARGE);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = loadIconForSystemDpi(instance, IDI_SMALL, LIM_SMALL);
    RegisterClassExA(&windowClass);
    const UINT taskbarCreated = registerTaskbarCreated();
    runningCopyMessage = registerRunningCopyMessage();

    instanceHandle = instance;
    // Made at the system's DPI, which is the window's own on most machines; WM_CREATE scales
    // the children by the window's, and the window follows them.
    const UINT dpi = systemDpi();
    const ChildRect place = firstPlace(dpi);
    HWND window = CreateWindowExA(0, className, title, mainWindowStyle, place.x, place.y, place.width, place.height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    settleFirstPlace(window, dpi, childrenDpi());
    // Both come from processes with fewer rights than a copy run as administrator: the shell,
    // which would otherwise never tell it of a new taskbar, and a later start of the program.
    for (const UINT message : {taskbarCreated, runningCopyMessage})
        if (message) acceptFromFewerRights(window, message);
    return window;
}

void loadPopupMenus() {
    popupMenus = LoadMenuA(instanceHandle, MAKEINTRESOURCEA(IDR_POPUPMENUS));
    trayMenu = GetSubMenu(popupMenus, 0);
    rowMenu = GetSubMenu(popupMenus, 1);
}

void destroyPopupMenus() {
    if (popupMenus) DestroyMenu(popupMenus);
    popupMenus = trayMenu = rowMenu = nullptr;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Their numbers are only known at run time, so they cannot stand in the table.
    if (isTaskbarCreated(message)) {
        addTrayIcon(window);
        return 0;
    }
    if (message == runningCopyMessage && message != 0) {
        dispatchCommand(ID_TRAY_RESTORE, window, 0);
        return runningCopyAnswer;
    }
    for (const MessageHandler& entry : messageTable)
        if (entry.message == message) return entry.handle(window, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
