#include "ui/server_rows.h"

#include <commctrl.h>

#include <array>
#include <atomic>
#include <map>
#include <new>
#include <vector>

#include "core/server_table.h"
#include "core/view.h"
#include "ui/app_messages.h"
#include "ui/list_view.h"
#include "ui/row_compare.h"
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

// Window thread only. The texts of every row by row tag, exactly as the list view shows
// them, and each server's row tag by address key: a reply finds its row without reading
// the list, and a sort compares rows without querying the control while it reorders them.
std::vector<RowTexts> rowTexts;
std::map<std::string, int> rowTagByKey;
// Window thread only. Each row tag's row as last found (see rowOfTag).
std::vector<int> rowByTag;
std::array<int, serverColumnCount> sortFlags = initialSortFlags;

// Window thread only. Whether the server list's painting is held back (see holdPainting);
// only a new row holds it, so a held paint always has rows that may need the Address
// column stretched.
bool paintingHeld = false;
// Window thread only. The first and last row written while the painting was held: the band
// that its end repaints (the list view invalidates nothing while its redraw is off).
int heldFirstRow = 0;
int heldLastRow = -1;

void noteHeldRow(int row) {
    if (!paintingHeld) return;
    if (heldLastRow < heldFirstRow) heldFirstRow = heldLastRow = row;
    if (row < heldFirstRow) heldFirstRow = row;
    if (row > heldLastRow) heldLastRow = row;
}

// Under Wine a visible list view recomputes and repaints its scroll bar synchronously on every
// new row (about 5 ms with Wine's default theme, twice per row with the Address column's
// stretch), while the next reply waits in the socket and its ping grows. With the list's
// redraw off a new row costs a few microseconds, so the first new row holds the painting
// back and the paint timer shows every row made meanwhile at once: one scroll-bar update
// and one paint per interval instead of one per row. A refreshed row only invalidates its
// cells, which the list paints when the queue is idle, so it holds nothing back. The
// interval and one paint (about 7 ms under Wine) leave a new row on screen within 100 ms of
// its reply; a shorter one costs more paints (bench/row_bench and bench/ping_accuracy show
// the figures: at 60 ms the first pass's p99 ping error was 13 ms, at 80 ms 8 ms).
constexpr UINT paintInterval = 80;
// New rows wholly below the visible ones change only the scroll bar. Under Wine the end of a
// held paint costs about 19 ms whatever it shows (12 ms for turning redraw back on, which
// recomputes and repaints both scroll bars, 7 ms for the paint), and during a first pass
// nearly every new row lands below the view: ended every interval, the held paints took
// about 13 % of a core there. So a hold of hidden rows ends at most this often, and at once
// when input for the list arrives (paintBeforeInput), so that nothing the user does waits.
constexpr DWORD hiddenRowsPaintInterval = 400;
// When the painting was held back (GetTickCount).
DWORD heldSince = 0;

// Whether every row written while held lies below the last row the list shows, even in part.
bool heldRowsHidden() {
    const int top = static_cast<int>(SendMessageA(serverList, LVM_GETTOPINDEX, 0, 0));
    const int fullyShown = static_cast<int>(SendMessageA(serverList, LVM_GETCOUNTPERPAGE, 0, 0));
    return heldLastRow >= heldFirstRow && heldFirstRow > top + fullyShown;
}

void holdPainting() {
    if (paintingHeld) return;
    paintingHeld = true;
    heldSince = GetTickCount();
    heldFirstRow = 0;
    heldLastRow = -1;
    SendMessageA(serverList, WM_SETREDRAW, FALSE, 0);
    // The default handling of WM_SETREDRAW clears WS_VISIBLE, and a window without it is
    // passed over by hit testing: clicks would fall through to the main window. Painting
    // stays held by the list's own redraw flag.
    const LONG_PTR style = GetWindowLongPtrA(serverList, GWL_STYLE);
    if (!(style & WS_VISIBLE)) SetWindowLongPtrA(serverList, GWL_STYLE, style | WS_VISIBLE);
    SetTimer(rowWindow.load(), serverPaintTimer, paintInterval, nullptr);
}

// The band of held rows and the list's frame (borders and scroll bars) as one region in the
// list's client coordinates, redrawn: RDW_FRAME repaints the part of the frame it covers.
void redrawHeldBand() {
    RECT client = {};
    RECT frame = {};
    GetClientRect(serverList, &client);
    GetWindowRect(serverList, &frame);
    MapWindowPoints(nullptr, serverList, reinterpret_cast<POINT*>(&frame), 2);
    RECT band = client;
    RECT first;
    RECT last;
    if (listRowRect(serverList, heldFirstRow, LVIR_BOUNDS, first) && listRowRect(serverList, heldLastRow, LVIR_BOUNDS, last)) {
        band.top = first.top;
        band.bottom = last.bottom;
    }
    const HRGN region = CreateRectRgnIndirect(&frame);
    const HRGN part = CreateRectRgnIndirect(&client);
    if (region && part) {
        CombineRgn(region, region, part, RGN_DIFF);
        SetRectRgn(part, client.left, band.top, client.right, band.bottom);
        CombineRgn(region, region, part, RGN_OR);
        RedrawWindow(serverList, nullptr, region, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    } else {
        RedrawWindow(serverList, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    if (part) DeleteObject(part);
    if (region) DeleteObject(region);
}

// The row tag of a row; -1 for an index that names no row.
LPARAM tagOfRow(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = -1;
    if (!SendMessageA(serverList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.lParam;
}

// The row of a row tag. Rows are only ever added at the bottom, so only a sort moves one: the
// row last found is checked first (one message), and a moved row is looked for by its tag
// once. The search alone walks the rows, about 0.2 us each under Wine: at 5,000 rows a
// refreshed row took three times as long as at 1,000 (bench/row_bench).
int rowOfTag(int tag) {
    int& known = rowByTag[static_cast<std::size_t>(tag)];
    if (known >= 0 && tagOfRow(known) == tag) return known;
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = tag;
    known = static_cast<int>(SendMessageA(serverList, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(&find)));
    return known;
}

// Adds the server's row at the bottom, tagged with the number of rows before it; returns
// its index, -1 when the list refused it (the next reply from the server tries again).
int insertRow(int count, const RowTexts& texts) {
    holdPainting();
    const int row = insertTaggedListRow(serverList, count, texts[nameColumn], count);
    if (row < 0) return -1;
    noteHeldRow(row);
    if (rowTexts.size() <= static_cast<std::size_t>(count)) {
        rowTexts.resize(static_cast<std::size_t>(count) + 1);
        rowByTag.resize(static_cast<std::size_t>(count) + 1, -1);
    }
    rowByTag[static_cast<std::size_t>(count)] = row;
    rowTexts[static_cast<std::size_t>(count)][nameColumn] = texts[nameColumn];
    rowTagByKey[texts[addressColumn]] = count;
    return row;
}

const std::string& cellOfTag(LPARAM tag, int column) {
    static const std::string empty;
    if (tag < 0 || static_cast<std::size_t>(tag) >= rowTexts.size()) return empty;
    return rowTexts[static_cast<std::size_t>(tag)][static_cast<std::size_t>(column)];
}

// Creates the server's row on its first update and brings its cells up to date.
void applyRowTexts(const RowTexts& texts) {
    auto known = rowTagByKey.find(texts[addressColumn]);
    int row = known == rowTagByKey.end() ? -1 : rowOfTag(known->second);
    int tag = known == rowTagByKey.end() ? -1 : known->second;
    if (row < 0) {
        tag = static_cast<int>(SendMessageA(serverList, LVM_GETITEMCOUNT, 0, 0));
        row = insertRow(tag, texts);
        if (row < 0) return;
    }
    // The name stays as the first reply gave it; the other cells follow every reply. A cell
    // that already shows its text is left alone: under Wine each write invalidates the cell
    // through the server (about 50 us), and a refresh mostly changes only the ping.
    for (int column = mapColumn; column <= addressColumn; ++column) {
        std::string& shown = rowTexts[static_cast<std::size_t>(tag)][static_cast<std::size_t>(column)];
        const std::string& text = texts[static_cast<std::size_t>(column)];
        if (shown == text) continue;
        setListCellText(serverList, row, column, text);
        noteHeldRow(row);
        shown = text;
    }
}

}  // namespace

void beginServerRows(HWND mainWindow) {
    rowTexts.clear();
    rowByTag.clear();
    rowTagByKey.clear();
    sortFlags = initialSortFlags;
    paintingHeld = false;
    rowWindow.store(mainWindow);
}

void endServerRows() {
    if (paintingHeld) KillTimer(rowWindow.load(), serverPaintTimer);
    paintingHeld = false;
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
    if (!update || update != sendingUpdate.load()) return nullptr;
    try {
        applyRowTexts(rowTextsOf(*update->key, *update->fields));
    } catch (const std::bad_alloc&) {
        // The row keeps what it showed; the server's next reply tries again.
    }
    return update->key;
}

void paintServerRows() {
    if (!paintingHeld) return;
    KillTimer(rowWindow.load(), serverPaintTimer);
    paintingHeld = false;
    // Redraw on first, so that the scroll bar shows and the stretch fits the narrower view.
    SendMessageA(serverList, WM_SETREDRAW, TRUE, 0);
    stretchLastColumn(serverList);
    // Turned back on, redraw repaints nothing by itself: what changed meanwhile is redrawn, as
    // WM_SETREDRAW asks, with its frame and children. Only the band of rows written while held
    // and the frame, whose scroll bars follow the new rows: during a first pass the new rows
    // are mostly below the view, and a whole list repainted every interval cost the window
    // thread enough to raise the pings (bench/ping_accuracy). Painted now rather than at the
    // next idle moment, since a new row arriving first would hold the painting back again.
    redrawHeldBand();
    UpdateWindow(serverList);
}

void paintHeldRowsOnTimer() {
    if (!paintingHeld) return;
    if (GetTickCount() - heldSince < hiddenRowsPaintInterval && heldRowsHidden()) return;
    paintServerRows();
}

void paintBeforeInput(const MSG& message) {
    if (!paintingHeld || message.hwnd != serverList) return;
    const UINT input = message.message;
    // Keys, mouse buttons and the wheel, on the rows or on the scroll bars; not mere moves.
    if ((input >= WM_KEYFIRST && input <= WM_KEYLAST) || (input > WM_MOUSEMOVE && input <= WM_MOUSELAST) ||
        (input > WM_NCMOUSEMOVE && input <= WM_NCMBUTTONDBLCLK))
        paintServerRows();
}

void sortByColumn(int column) {
    if (column < 0 || column >= serverColumnCount) return;
    int& flag = sortFlags[static_cast<std::size_t>(column)];
    flag = flag ? 0 : 1;
    SendMessageA(serverList, LVM_SORTITEMS, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(compareRows));
    // The new order shows at once, not at the end of the interval: every row may have moved.
    noteHeldRow(0);
    noteHeldRow(static_cast<int>(SendMessageA(serverList, LVM_GETITEMCOUNT, 0, 0)) - 1);
    paintServerRows();
}

int CALLBACK compareRows(LPARAM tag1, LPARAM tag2, LPARAM column) {
    if (column < 0 || column >= serverColumnCount) return 0;
    const int index = static_cast<int>(column);
    return compareCellTexts(index, sortFlags[static_cast<std::size_t>(index)] != 0, cellOfTag(tag1, index),
                            cellOfTag(tag2, index));
}

std::string readRowText(int row, int column, int bufferSize) {
    if (row < 0 || bufferSize <= 0) return {};
    if (row >= static_cast<int>(SendMessageA(serverList, LVM_GETITEMCOUNT, 0, 0))) return {};
    return listCellText(serverList, row, column, bufferSize);
}
