#include "ui/row_table.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int nameCell = 0;
constexpr int addressCell = rowTextColumns - 1;

}  // namespace

RowChange applyRowTexts(ServerRows& rows, const RowTexts& texts) {
    RowChange change;
    const auto known = rows.tagOfKey.find(texts[addressCell]);
    if (known == rows.tagOfKey.end()) {
        const int tag = static_cast<int>(rows.texts.size());
        change.row = static_cast<int>(rows.tagAtRow.size());
        change.added = true;
        rows.texts.push_back(texts);
        rows.tagAtRow.push_back(tag);
        rows.rowOfTag.push_back(change.row);
        rows.tagOfKey.emplace(texts[addressCell], tag);
        return change;
    }
    const std::size_t tag = static_cast<std::size_t>(known->second);
    change.row = rows.rowOfTag[tag];
    RowTexts& shown = rows.texts[tag];
    for (int column = nameCell + 1; column < rowTextColumns; ++column) {
        const std::size_t cell = static_cast<std::size_t>(column);
        if (shown[cell] == texts[cell]) continue;
        shown[cell] = texts[cell];
        change.changed = true;
    }
    return change;
}

void sortRows(ServerRows& rows, int column, bool ascending) {
    if (column < 0 || column >= rowTextColumns) return;
    // Each cell's order worked out once: a comparison then compares two plain values.
    std::vector<CellOrder> orders;
    orders.reserve(rows.tagAtRow.size());
    for (int tag : rows.tagAtRow)
        orders.push_back(cellOrderOf(column, rows.texts[static_cast<std::size_t>(tag)][static_cast<std::size_t>(column)]));
    std::vector<std::size_t> shown(rows.tagAtRow.size());
    std::iota(shown.begin(), shown.end(), std::size_t{0});
    std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? compareCellOrders(orders[a], orders[b]) < 0 : compareCellOrders(orders[b], orders[a]) < 0;
    });
    std::vector<int> sorted;
    sorted.reserve(shown.size());
    for (std::size_t index : shown) sorted.push_back(rows.tagAtRow[index]);
    rows.tagAtRow.swap(sorted);
    for (std::size_t row = 0; row < rows.tagAtRow.size(); ++row)
        rows.rowOfTag[static_cast<std::size_t>(rows.tagAtRow[row])] = static_cast<int>(row);
}

const RowTexts* rowTextsAt(const ServerRows& rows, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.tagAtRow.size()) return nullptr;
    return &rows.texts[static_cast<std::size_t>(rows.tagAtRow[static_cast<std::size_t>(row)])];
}
