#include "ui/tray_icon.h"

#include <shellapi.h>
#include <commctrl.h>

#include <cstring>

#include "resources/resource.h"
#include "ui/app_messages.h"
#include "ui/commands.h"
#include "ui/dpi.h"
#include "ui/window_state.h"

namespace {

constexpr char trayTip[] = "Server Browser";

// Registered by the shell: sent to every top-level window when the taskbar is made anew
// (Explorer restarted), after every notification-area icon is gone.
UINT taskbarCreatedMessage = 0;
NOTIFYICONDATAA trayIconRecord = {};
// The icon's image, made for the taskbar's DPI; owned here.
HICON trayIcon = nullptr;
bool trayIconShown = false;

}  // namespace

UINT registerTaskbarCreated() { return taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated"); }

bool isTaskbarCreated(UINT message) { return message != 0 && message == taskbarCreatedMessage; }

void addTrayIcon(HWND window) {
    std::memset(&trayIconRecord, 0, sizeof trayIconRecord);
    // The first form of the record, sized for this build's pointer width.
    trayIconRecord.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIconRecord.hWnd = window;
    trayIconRecord.uID = 0;
    trayIconRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIconRecord.uCallbackMessage = trayCallbackMessage;
    // The taskbar draws the icon at the small-icon size of its own screen, the system DPI's,
    // whichever screen the window is on: loaded once at that size (scaled down from the
    // resource's 32 or 48 pixels where 16 do not match), the shell never has to scale it, and a
    // move between screens changes nothing.
    if (!trayIcon) trayIcon = loadIconForSystemDpi(instanceHandle, IDI_SMALL, LIM_SMALL);
    trayIconRecord.hIcon = trayIcon;
    std::memcpy(trayIconRecord.szTip, trayTip, sizeof trayTip);
    // Told of a new taskbar that still has the icon, the shell refuses to add it again.
    trayIconShown = Shell_NotifyIconA(NIM_ADD, &trayIconRecord) || Shell_NotifyIconA(NIM_MODIFY, &trayIconRecord);
}

void removeTrayIcon() {
    Shell_NotifyIconA(NIM_DELETE, &trayIconRecord);
    trayIconShown = false;
    if (trayIcon) DestroyIcon(trayIcon);
    trayIcon = nullptr;
}

bool hasTrayIcon() { return trayIconShown; }

LRESULT handleTrayMessage(UINT mouseMessage, HWND window) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        dispatchCommand(ID_TRAY_RESTORE, window, 0);
        return 1;
    case WM_RBUTTONDOWN: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        // A menu opened for the notification area closes on a click elsewhere only when its
        // owner is the foreground window; the main window is usually hidden at this point.
        SetForegroundWindow(window);
        const int commandId = TrackPopupMenu(trayMenu, TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr);
        // Switches the foreground task away from the menu, as TrackPopupMenu's documentation
        // asks: without it the next tray menu can close as soon as it opens.
        PostMessageA(window, WM_NULL, 0, 0);
        return dispatchCommand(commandId, window, 0);
    }
    default:
        return 0;
    }
}
