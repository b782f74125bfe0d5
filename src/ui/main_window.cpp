#include "ui/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <initializer_list>
#include <iterator>

#include "core/view.h"
#include "resources/resource.h"
#include "ui/app_messages.h"
#include "ui/commands.h"
#include "ui/details.h"
#include "ui/dpi.h"
#include "ui/layout.h"
#include "ui/list_view.h"
#include "ui/running_copy.h"
#include "ui/server_rows.h"

HINSTANCE instanceHandle = nullptr;
HWND statusBar = nullptr;
HWND serverList = nullptr;
HWND playerList = nullptr;
HWND infoList = nullptr;
int statusHeight = 20;
NOTIFYICONDATAA trayIconRecord = {};
HMENU popupMenus = nullptr;
HMENU trayMenu = nullptr;
HMENU rowMenu = nullptr;

namespace {

// WM_DPICHANGED: Windows 8.1 and later, when the window moves to a screen of another DPI.
constexpr UINT dpiChangedMessage = 0x02E0;

// The DPI the window's sizes were last scaled for, and the font made for it when that is
// not the one the controls start with.
UINT windowScaleDpi = baseDpi;
HFONT dpiFont = nullptr;

// The list that had the keyboard last (window thread); the server list until another list
// takes it.
HWND focusedList = nullptr;

constexpr int resourceTextSize = 100;
constexpr int defaultStatusHeight = 20;

constexpr DWORD statusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_BOTTOM;
// Repainting the rows then leaves the column header alone: under Wine's default theme a
// header paint costs about 7 ms, a paint of the visible rows about 1 ms.
constexpr DWORD listViewStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN | LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE;
constexpr DWORD mainWindowStyle = WS_POPUP | WS_OVERLAPPEDWINDOW;
constexpr int mainWindowX = 100;
constexpr int mainWindowY = 100;
constexpr int mainWindowWidth = 700;
constexpr int mainWindowHeight = 400;
// Every size here is for 96 DPI and scaled to the window's. A list view's place until the
// first WM_SIZE lays it out.
constexpr int initialListWidth = 300;
constexpr int initialListHeight = 200;

// Inserted at this width and at once set to its own; the last column of each view is
// stretched to the view's right edge.
constexpr int insertColumnWidth = 150;
constexpr int stretchColumn = LVSCW_AUTOSIZE_USEHEADER;

struct ColumnDefinition {
    const char* title;
    int width;
};

constexpr ColumnDefinition serverColumns[] = {
    {"Server Name", 300}, {"Map", 80}, {"Players", 50}, {"Ping", 40}, {"Address", stretchColumn}};
constexpr ColumnDefinition playerColumns[] = {{"Name", 200}, {"Score", 60}, {"Ping", stretchColumn}};
constexpr ColumnDefinition infoColumns[] = {{"Variable", 100}, {"Value", stretchColumn}};

constexpr char trayTip[] = "Server Browser";

// A list in report view never shows its window text; it is the list's name for a screen reader.
HWND createListView(HWND parent, const char* name) {
    return CreateWindowExA(0, WC_LISTVIEWA, name, listViewStyle, 0, 0, scaleForDpi(initialListWidth, windowScaleDpi),
                           scaleForDpi(initialListHeight, windowScaleDpi), parent, nullptr, instanceHandle, nullptr);
}

int scaledColumnWidth(int width) { return width == stretchColumn ? width : scaleForDpi(width, windowScaleDpi); }

template <std::size_t N>
bool insertColumns(HWND list, const ColumnDefinition (&columns)[N]) {
    for (std::size_t index = 0; index < N; ++index) {
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = scaleForDpi(insertColumnWidth, windowScaleDpi);
        column.pszText = const_cast<char*>(columns[index].title);
        column.iSubItem = static_cast<int>(index);
        if (SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) == -1) return false;
        setListColumnWidth(list, static_cast<int>(index), scaledColumnWidth(columns[index].width));
    }
    return true;
}

// Registered by the shell: sent to every top-level window when the taskbar is made anew
// (Explorer restarted), after every notification-area icon is gone.
UINT taskbarCreatedMessage = 0;
// Registered: sent by a later start of the program to show this copy instead of its own.
UINT runningCopyMessage = 0;
// The tray icon's image, made for the taskbar's DPI; owned here.
HICON trayIcon = nullptr;
// Whether the tray icon is there: a window minimised without one would have no way back.
bool trayIconShown = false;

void addTrayIcon(HWND window) {
    std::memset(&trayIconRecord, 0, sizeof trayIconRecord);
    // The first form of the record, sized for this build's pointer width.
    trayIconRecord.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIconRecord.hWnd = window;
    trayIconRecord.uID = 0;
    trayIconRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIconRecord.uCallbackMessage = trayCallbackMessage;
    // The taskbar draws the icon at the small-icon size of its own screen, the system DPI's,
    // whichever screen the window is on: loaded once at that size (the resource holds 16 to
    // 256 pixels), the shell never has to scale it, and a move between screens changes nothing.
    if (!trayIcon) LoadIconMetric(instanceHandle, MAKEINTRESOURCEW(IDI_SMALL), LIM_SMALL, &trayIcon);
    trayIconRecord.hIcon = trayIcon;
    std::memcpy(trayIconRecord.szTip, trayTip, sizeof trayTip);
    // Told of a new taskbar that still has the icon, the shell refuses to add it again.
    trayIconShown = Shell_NotifyIconA(NIM_ADD, &trayIconRecord) || Shell_NotifyIconA(NIM_MODIFY, &trayIconRecord);
}

// The status bar's height comes from its font; the default until it has told its own.
void measureStatusBar() {
    statusHeight = scaleForDpi(defaultStatusHeight, windowScaleDpi);
    RECT part = {};
    if (SendMessageA(statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part))) statusHeight = part.bottom;
}

// Columns keep the widths the user gave them, in proportion; the last ones are stretched
// again by the layout that follows.
template <std::size_t N>
void rescaleColumns(HWND list, const ColumnDefinition (&)[N], UINT fromDpi, UINT toDpi) {
    for (int column = 0; column + 1 < static_cast<int>(N); ++column) {
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        setListColumnWidth(list, column, MulDiv(width, static_cast<int>(toDpi), static_cast<int>(fromDpi)));
    }
}

// Gives the children the text size of the DPI and measures the status bar anew.
void setChildrenFont(UINT dpi) {
    if (HFONT font = createFontForDpi(dpi)) {
        for (HWND child : {statusBar, serverList, playerList, infoList})
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (dpiFont) DeleteObject(dpiFont);
        dpiFont = font;
    }
    SendMessageA(statusBar, WM_SIZE, 0, 0);
    measureStatusBar();
}

void moveChild(HWND child, const ChildRect& place) {
    MoveWindow(child, place.x, place.y, place.width, place.height, TRUE);
}

LRESULT onCreate(HWND window, WPARAM, LPARAM) { return createChildren(window) ? 0 : -1; }

LRESULT onDestroy(HWND, WPARAM, LPARAM) {
    endServerRows();
    Shell_NotifyIconA(NIM_DELETE, &trayIconRecord);
    if (trayIcon) DestroyIcon(trayIcon);
    trayIcon = nullptr;
    if (dpiFont) DeleteObject(dpiFont);
    dpiFont = nullptr;
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
    if (wParam == SC_MINIMIZE && trayIconShown)
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

LRESULT onServerRow(HWND, WPARAM, LPARAM lParam) {
    applyServerRowUpdate(lParam);
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
    if (wParam == serverPaintTimer) paintServerRows();
    if (wParam == paneRefillTimer) refillPane(window);
    return 0;
}

// The window moved to a screen of another DPI: the children's text and the column widths
// follow it, and the window takes the place Windows suggests for it.
LRESULT onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    const UINT dpi = HIWORD(wParam);
    if (dpi && dpi != windowScaleDpi) {
        rescaleColumns(serverList, serverColumns, windowScaleDpi, dpi);
        rescaleColumns(playerList, playerColumns, windowScaleDpi, dpi);
        rescaleColumns(infoList, infoColumns, windowScaleDpi, dpi);
        windowScaleDpi = dpi;
        setChildrenFont(dpi);
    }
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

// The scaled first place, on a small screen or at a large scale, could reach under the
// taskbar or off the screen: moved, then shrunk, into the monitor's work area.
void fitToWorkArea(HWND window) {
    RECT frame = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(window, &frame) ||
        !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const ChildRect placed = {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
    const ChildRect fitted =
        fitIntoArea(placed, {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (std::memcmp(&placed, &fitted, sizeof placed) != 0)
        SetWindowPos(window, nullptr, fitted.x, fitted.y, fitted.width, fitted.height, SWP_NOZORDER | SWP_NOACTIVATE);
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
    // Each at the size Windows draws it (the resource holds 16 to 256 pixels).
    windowClass.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SERVERBROWSER), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_SHARED));
    RegisterClassExA(&windowClass);
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    runningCopyMessage = registerRunningCopyMessage();

    instanceHandle = instance;
    // Made at the system's DPI, which is the window's own on most machines; WM_CREATE scales
    // the children by the window's.
    const UINT dpi = systemDpi();
    windowScaleDpi = dpi;
    HWND window = CreateWindowExA(0, className, title, mainWindowStyle, scaleForDpi(mainWindowX, dpi),
                                  scaleForDpi(mainWindowY, dpi), scaleForDpi(mainWindowWidth, dpi),
                                  scaleForDpi(mainWindowHeight, dpi), nullptr, nullptr, instance, nullptr);
    if (window && windowScaleDpi != dpi)
        SetWindowPos(window, nullptr, 0, 0, scaleForDpi(mainWindowWidth, windowScaleDpi),
                     scaleForDpi(mainWindowHeight, windowScaleDpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!window) return nullptr;
    fitToWorkArea(window);
    if (runningCopyMessage) acceptRunningCopyMessage(window, runningCopyMessage);
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
    if (message == taskbarCreatedMessage && message != 0) {
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

bool createChildren(HWND window) {
    windowScaleDpi = windowDpi(window);
    focusedList = nullptr;
    statusBar = CreateStatusWindowA(static_cast<LONG>(statusBarStyle), "Ready.", window, IDC_STATUSBAR);
    ShowWindow(statusBar, SW_SHOW);
    measureStatusBar();

    beginServerRows(window);
    serverList = createListView(window, "Servers");
    SendMessageA(serverList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    if (!insertColumns(serverList, serverColumns)) return false;
    playerList = createListView(window, "Players");
    if (!insertColumns(playerList, playerColumns)) return false;
    infoList = createListView(window, "Server variables");
    if (!insertColumns(infoList, infoColumns)) return false;
    // The controls start with the system DPI's font: a window on a screen of another DPI
    // needs its own from the start.
    if (windowScaleDpi != systemDpi()) setChildrenFont(windowScaleDpi);

    addTrayIcon(window);
    return true;
}

void layoutChildren(HWND window, WPARAM sizeType, int width, int height) {
    if (sizeType == SIZE_MINIMIZED) return;
    RECT client = {};
    GetClientRect(window, &client);
    const ChildLayout layout = computeLayout(client.right, client.bottom, statusHeight);
    moveChild(serverList, layout.serverList);
    moveChild(playerList, layout.playerList);
    moveChild(infoList, layout.infoList);
    autosizeLastColumns();
    // The status bar places itself along the new bottom edge when told of the new size.
    SendMessageA(statusBar, WM_SIZE, sizeType, MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
}

void autosizeLastColumns() {
    setListColumnWidth(serverList, addressColumn, stretchColumn);
    setListColumnWidth(playerList, static_cast<int>(std::size(playerColumns)) - 1, stretchColumn);
    setListColumnWidth(infoList, static_cast<int>(std::size(infoColumns)) - 1, stretchColumn);
}

void setStatusText(const char* text) {
    SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}
