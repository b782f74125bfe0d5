#include "ui/server_rows.h"

#include <commctrl.h>

#include <vector>

#include "core/server_table.h"
#include "core/view.h"
#include "ui/main_window.h"

void updateServerRow(const std::string&, const ServerRowFields&) {}
void sortByColumn(int) {}
int CALLBACK compareRows(LPARAM, LPARAM, LPARAM) { return 0; }

std::string readRowText(int row, int column, int bufferSize) {
    if (row < 0 || bufferSize <= 0) return {};
    if (row >= static_cast<int>(SendMessageA(serverList, LVM_GETITEMCOUNT, 0, 0))) return {};
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = bufferSize;
    SendMessageA(serverList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    buffer.back() = '\0';
    return buffer.data();
}
