#include "ui/list_view.h"

#include <commctrl.h>

namespace {

int insertRow(HWND list, LVITEMA& item, int index, const std::string& text) {
    item.mask |= LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

int insertListRow(HWND list, int index, const std::string& text) {
    LVITEMA item = {};
    return insertRow(list, item, index, text);
}

int insertTaggedListRow(HWND list, int index, const std::string& text, LPARAM tag) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.lParam = tag;
    return insertRow(list, item, index, text);
}

void setListCellText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void setListColumnWidth(HWND list, int column, int width) {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(static_cast<WORD>(width), 0));
}
