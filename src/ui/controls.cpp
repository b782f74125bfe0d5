#include "ui/controls.h"

#include <commctrl.h>

#include <initializer_list>
#include <iterator>

#include "core/view.h"
#include "resources/resource.h"
#include "ui/dpi.h"
#include "ui/layout.h"
#include "ui/list_view.h"
#include "ui/server_rows.h"
#include "ui/window_state.h"

namespace {

// The DPI the window's sizes were last scaled for, and the font made for it when that is
// not the one the controls start with.
UINT windowScaleDpi = baseDpi;
HFONT dpiFont = nullptr;
// The status bar's height, which the lists leave free at the bottom.
int statusHeight = 20;

constexpr int defaultStatusHeight = 20;

constexpr DWORD statusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_BOTTOM;
// Repainting the rows then leaves the column header alone: under Wine's default theme a
// header paint costs about 7 ms, a paint of the visible rows about 1 ms.
constexpr DWORD listViewStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN | LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE;
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

// The server list is virtual: its rows live in the program's row table, and it asks for the
// cells it paints (server_rows.cpp).
constexpr DWORD serverListStyle = listViewStyle | LVS_OWNERDATA;

// A list in report view never shows its window text; it is the list's name for a screen reader.
HWND createListView(HWND parent, const char* name, DWORD style) {
    return CreateWindowExA(0, WC_LISTVIEWA, name, style, 0, 0, scaleForDpi(initialListWidth, windowScaleDpi),
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

void autosizeLastColumns() {
    setListColumnWidth(serverList, addressColumn, stretchColumn);
    setListColumnWidth(playerList, static_cast<int>(std::size(playerColumns)) - 1, stretchColumn);
    setListColumnWidth(infoList, static_cast<int>(std::size(infoColumns)) - 1, stretchColumn);
}

}  // namespace

bool createChildren(HWND window) {
    windowScaleDpi = windowDpi(window);
    statusBar = CreateStatusWindowA(static_cast<LONG>(statusBarStyle), "Ready.", window, IDC_STATUSBAR);
    ShowWindow(statusBar, SW_SHOW);
    measureStatusBar();

    beginServerRows(window);
    serverList = createListView(window, "Servers", serverListStyle);
    SendMessageA(serverList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    if (!insertColumns(serverList, serverColumns)) return false;
    playerList = createListView(window, "Players", listViewStyle);
    if (!insertColumns(playerList, playerColumns)) return false;
    infoList = createListView(window, "Server variables", listViewStyle);
    if (!insertColumns(infoList, infoColumns)) return false;
    // The controls start with the system DPI's font: a window on a screen of another DPI
    // needs its own from the start.
    if (windowScaleDpi != systemDpi()) setChildrenFont(windowScaleDpi);
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

void followDpi(UINT dpi) {
    if (!dpi || dpi == windowScaleDpi) return;
    rescaleColumns(serverList, serverColumns, windowScaleDpi, dpi);
    rescaleColumns(playerList, playerColumns, windowScaleDpi, dpi);
    rescaleColumns(infoList, infoColumns, windowScaleDpi, dpi);
    windowScaleDpi = dpi;
    setChildrenFont(dpi);
}

UINT childrenDpi() { return windowScaleDpi; }

void releaseChildren() {
    if (dpiFont) DeleteObject(dpiFont);
    dpiFont = nullptr;
}

void setStatusText(const char* text) {
    SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}
