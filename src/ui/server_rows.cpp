#include "ui/server_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "core/server_table.h"
#include "core/view.h"
#include "ui/ansi_text.h"
#include "ui/app_messages.h"
#include "ui/list_view.h"
#include "ui/row_table.h"
#include "ui/window_state.h"

namespace {

// Each column's direction for its next sort is the flipped flag: 1 ascending, 0 descending.
// Players starts at 1 so that its first click shows the fullest servers first.
constexpr std::array<int, serverColumnCount> initialSortFlags = {0, 0, 1, 0, 0};

// The window that updateServerRow sends to; null before the window exists and after it is
// destroyed, so that a late reply from the receiver thread changes nothing.
std::atomic<HWND> rowWindow{nullptr};

// The update that updateServerRow is sending at this moment. serverRowMessage carries a
// pointer, and any thread or process can send the window that message: only this one is
// taken. A single thread (the receiver) sends row updates.
std::atomic<const ServerRowUpdate*> sendingUpdate{nullptr};

// Window thread only, as is everything below: the rows, held once, which the server list
// shows by asking for their cells.
ServerRows rows;
std::array<int, serverColumnCount> sortFlags = initialSortFlags;

// How many rows the server list has been told of: the rows after them wait for the row-count
// timer. Under Wine a visible list view redraws its vertical scroll bar twice whenever its item
// count changes, about 10 ms of the window thread's CPU (a new row takes 0.1 ms besides), while
// the next reply waits in the socket and its ping grows: told of one by one, 1,000 new rows
// kept the window thread busy 11 ms each (bench/row_bench). So new rows are told of together.
// One that would show at once is told of within newRowInterval. Rows that all lie below the
// view change only the scroll bar's thumb, by a smaller share the more rows the list holds:
// they wait longer as it grows, 4 ms for each row it holds, from 400 ms up to 5 s. A first pass
// of 5,000 servers (150 s) then changes the count about 50 times; told of every second, it cost
// the window thread 1.5 s of CPU (bench/ping_accuracy).
int countedRows = 0;
constexpr UINT newRowInterval = 80;
constexpr UINT belowViewWaitPerRow = 4;
constexpr UINT shortestBelowViewWait = 400;
constexpr UINT longestBelowViewWait = 5000;
// The interval the row-count timer runs at; 0 while it does not run.
UINT countInterval = 0;

// Set while a sort moves the selection, the focus and the mark to where their servers went.
bool movingSelection = false;

// Whether a row lies where the list shows rows, even in part: the window is shown and the
// row is between the top row and the one below the last whole row.
bool rowInView(int row) {
    if (!IsWindowVisible(serverList)) return false;
    const int top = listTopRow(serverList);
    return row >= top && row <= top + static_cast<int>(SendMessageA(serverList, LVM_GETCOUNTPERPAGE, 0, 0));
}

// A new row waits for the row-count timer, at the shorter interval when it would show.
void countLater(int row) {
    if (countInterval == newRowInterval) return;
    const UINT interval = rowInView(row) ? newRowInterval
                                         : std::clamp(static_cast<UINT>(countedRows) * belowViewWaitPerRow,
                                                      shortestBelowViewWait, longestBelowViewWait);
    if (countInterval != 0 && countInterval <= interval) return;
    // Setting the timer again replaces the longer wait.
    countInterval = interval;
    if (!SetTimer(rowWindow.load(), rowCountTimer, interval, nullptr)) showNewRows();
}

void applyRow(RowTexts texts) {
    const RowChange change = applyRowTexts(rows, std::move(texts));
    if (change.added) {
        countLater(change.row);
        return;
    }
    // A row out of view costs nothing more: the list asks for its cells when it shows them.
    if (change.changed && change.row < countedRows && rowInView(change.row))
        SendMessageA(serverList, LVM_REDRAWITEMS, static_cast<WPARAM>(change.row), change.row);
}

// The row tag of a row the list knows; -1 for none.
int tagOfRow(int row) {
    if (row < 0 || row >= countedRows) return -1;
    return rows.tagAtRow[static_cast<std::size_t>(row)];
}

int rowOfTag(int tag) { return tag < 0 ? -1 : rows.rowOfTag[static_cast<std::size_t>(tag)]; }

// A cell of a row the list knows; null for a row or column that is not there.
const std::string* cellText(int row, int column) {
    if (row >= countedRows || column < 0 || column >= serverColumnCount) return nullptr;
    const RowTexts* texts = rowTextsAt(rows, row);
    return texts ? &(*texts)[static_cast<std::size_t>(column)] : nullptr;
}

// Where the user's selection, focus and mark were, by server, before the rows moved.
struct SelectionPlace {
    int selectedRow = -1;
    int selected = -1;
    int focused = -1;
    int mark = -1;
};

SelectionPlace selectionPlace() {
    SelectionPlace place;
    place.selectedRow = nextListRow(serverList, -1, LVNI_SELECTED);
    place.selected = tagOfRow(place.selectedRow);
    place.focused = tagOfRow(nextListRow(serverList, -1, LVNI_FOCUSED));
    place.mark = tagOfRow(listSelectionMark(serverList));
    return place;
}

// A virtual list keeps its selection by row index: the program moves it with the rows. The
// list reports each step as a change of the selection, which the pane does not follow.
void moveSelection(const SelectionPlace& place) {
    movingSelection = true;
    if (place.selectedRow >= 0) setListRowState(serverList, place.selectedRow, LVIS_SELECTED, 0);
    if (place.selected >= 0) setListRowState(serverList, rowOfTag(place.selected), LVIS_SELECTED, LVIS_SELECTED);
    if (place.focused >= 0) setListRowState(serverList, rowOfTag(place.focused), LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(serverList, LVM_SETSELECTIONMARK, 0, rowOfTag(place.mark));
    movingSelection = false;
}

}  // namespace

void beginServerRows(HWND mainWindow) {
    rows = ServerRows{};
    countedRows = 0;
    countInterval = 0;
    sortFlags = initialSortFlags;
    rowWindow.store(mainWindow);
}

void endServerRows() {
    KillTimer(rowWindow.load(), rowCountTimer);
    countInterval = 0;
    rowWindow.store(nullptr);
}

void updateServerRow(const std::string& key, const ServerRowFields& fields) {
    const HWND window = rowWindow.load();
    if (!window) return;
    const ServerRowUpdate update{&key, &fields};
    sendingUpdate.store(&update);
    SendMessageA(window, serverRowMessage, 0, reinterpret_cast<LPARAM>(&update));
    sendingUpdate.store(nullptr);
}

const std::string* applyServerRowUpdate(LPARAM message) {
    const auto* update = reinterpret_cast<const ServerRowUpdate*>(message);
    // Also none once the window is being destroyed: a reply that waited meanwhile makes no row.
    if (!update || update != sendingUpdate.load() || !rowWindow.load()) return nullptr;
    try {
        applyRow(rowTextsOf(*update->key, *update->fields));
    } catch (const std::bad_alloc&) {
        // The row keeps what it showed, or is not made; the server's next reply tries again.
    }
    return update->key;
}

void showNewRows() {
    // KillTimer leaves a WM_TIMER already posted in the queue: that one finds nothing to do.
    if (countInterval != 0) KillTimer(rowWindow.load(), rowCountTimer);
    countInterval = 0;
    const int count = static_cast<int>(rows.tagAtRow.size());
    if (count == countedRows) return;
    countedRows = count;
    // Only new rows in view are painted, and the list stays where the user scrolled it.
    SendMessageA(serverList, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // The vertical scroll bar may have come, narrowing the view: Address fills it again.
    stretchLastColumn(serverList);
}

void sortByColumn(int column) {
    if (column < 0 || column >= serverColumnCount) return;
    int& flag = sortFlags[static_cast<std::size_t>(column)];
    flag = flag ? 0 : 1;
    // Every row takes part, and none may move to where the list does not know it yet.
    showNewRows();
    const int top = listTopRow(serverList);
    const SelectionPlace place = selectionPlace();
    try {
        sortRows(rows, column, flag != 0);
    } catch (const std::bad_alloc&) {
        // Out of memory for the sort: the rows keep their order, and the column its direction.
        flag = flag ? 0 : 1;
        return;
    }
    moveSelection(place);
    // Focusing a row may scroll it into view; the list shows the same stretch as before.
    scrollListToRow(serverList, top);
    // Every row may have moved: the new order shows at once.
    InvalidateRect(serverList, nullptr, FALSE);
    UpdateWindow(serverList);
}

bool movingServerSelection() { return movingSelection; }

std::string readRowText(int row, int column, int bufferSize) {
    const std::string* cell = cellText(row, column);
    if (!cell || bufferSize <= 0) return {};
    return cell->substr(0, ansiCutLength(*cell, static_cast<std::size_t>(bufferSize) - 1));
}

void answerCellRequest(NMHDR* header) {
    static const std::string empty;
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
        // Copied straight from the row: the list asks for every cell it paints.
        const std::string* cell = cellText(item.iItem, item.iSubItem);
        const std::size_t length = cell ? ansiCutLength(*cell, static_cast<std::size_t>(item.cchTextMax) - 1) : 0;
        if (length) std::memcpy(item.pszText, cell->data(), length);
        item.pszText[length] = '\0';
        return;
    }
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const std::string* cell = cellText(item.iItem, item.iSubItem);
    const std::wstring text = ansiToWide(cell ? *cell : empty).substr(0, static_cast<std::size_t>(item.cchTextMax) - 1);
    std::memcpy(item.pszText, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

int findRowByName(const NMHDR* header) {
    // Windows sends the ANSI form to this window, which takes ANSI notifications; Wine always
    // sends the Unicode one.
    std::wstring wanted;
    UINT flags = 0;
    int start = 0;
    if (header->code == LVN_ODFINDITEMA) {
        const NMLVFINDITEMA& item = *reinterpret_cast<const NMLVFINDITEMA*>(header);
        flags = item.lvfi.flags;
        if (item.lvfi.psz) wanted = ansiToWide(item.lvfi.psz);
        start = item.iStart;
    } else {
        const NMLVFINDITEMW& item = *reinterpret_cast<const NMLVFINDITEMW*>(header);
        flags = item.lvfi.flags;
        if (item.lvfi.psz) wanted = item.lvfi.psz;
        start = item.iStart;
    }
    // Rows are found by their name only: a place on screen or an item parameter means nothing
    // here. LVFI_SUBSTRING is LVFI_PARTIAL's other name, and LVFI_WRAP alone asks for a string.
    constexpr UINT findSubstring = 0x0004;  // LVFI_SUBSTRING, which mingw's header lacks
    constexpr UINT byString = LVFI_STRING | LVFI_PARTIAL | findSubstring | LVFI_WRAP;
    if (!(flags & byString) || (flags & LVFI_NEARESTXY) || wanted.empty() || countedRows == 0) return -1;
    const bool partial = (flags & (LVFI_PARTIAL | findSubstring)) != 0;
    if (start < 0 || start >= countedRows) start = 0;
    for (int step = 0; step < countedRows; ++step) {
        const int row = start + step;
        if (row >= countedRows && !(flags & LVFI_WRAP)) break;
        std::wstring name = ansiToWide(*cellText(row % countedRows, nameColumn));
        if (partial) name = name.substr(0, wanted.size());
        // Case is ignored, as the list view ignores it when it searches its own rows.
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), static_cast<int>(name.size()),
                           wanted.c_str(), static_cast<int>(wanted.size())) == CSTR_EQUAL)
            return row % countedRows;
    }
    return -1;
}
