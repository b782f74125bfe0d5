#include "ui/list_view.h"

#include <commctrl.h>

int insertListRow(HWND list, int index, const std::string& text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void setListCellText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int nextListRow(HWND list, int after, UINT flags) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(flags, 0)));
}

void setListRowState(HWND list, int row, UINT mask, UINT state) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void setListColumnWidth(HWND list, int column, int width) {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(static_cast<WORD>(width), 0));
}

void stretchLastColumn(HWND list) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int last = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) - 1;
    if (last < 0) return;
    RECT client = {};
    GetClientRect(list, &client);
    int left = 0;
    for (int column = 0; column < last; ++column)
        left += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    if (SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(last), 0) == client.right - left) return;
    setListColumnWidth(list, last, LVSCW_AUTOSIZE_USEHEADER);
}

bool listRowRect(HWND list, int row, int part, RECT& rect) {
    rect = {};
    rect.left = part;
    if (SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect))) return true;
    rect = {};
    return false;
}

int listTopRow(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)); }

void scrollListToRow(HWND list, int row) {
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    RECT wanted;
    RECT now;
    if (listRowRect(list, row < count ? row : count - 1, LVIR_BOUNDS, wanted) &&
        listRowRect(list, listTopRow(list), LVIR_BOUNDS, now) && wanted.top != now.top)
        SendMessageA(list, LVM_SCROLL, 0, wanted.top - now.top);
}

int listSelectionMark(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0)); }
