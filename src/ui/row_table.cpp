#include "ui/row_table.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

constexpr int nameCell = 0;
constexpr int addressCell = rowTextColumns - 1;

// What a row orders by under the sort's column, worked out once per sort: a number, or the
// place of its folded text in a buffer that all rows share.
struct SortEntry {
    int number;
    std::size_t offset;
    std::size_t length;
    int tag;
};

// Room for size elements, growing by half again as much as it holds, as push_back would.
template <typename T>
void makeRoom(std::vector<T>& elements, std::size_t size) {
    if (size > elements.capacity()) elements.reserve(std::max(size, elements.capacity() + elements.capacity() / 2));
}

}  // namespace

RowChange applyRowTexts(ServerRows& rows, RowTexts texts) {
    RowChange change;
    const auto known = rows.tagOfKey.find(texts[addressCell]);
    if (known == rows.tagOfKey.end()) {
        const int tag = static_cast<int>(rows.texts.size());
        change.row = static_cast<int>(rows.tagAtRow.size());
        change.added = true;
        // Everything that may run out of memory comes first, so that a row is made whole or
        // not at all: the table's parts stay in step.
        const std::size_t size = rows.texts.size() + 1;
        makeRoom(rows.texts, size);
        makeRoom(rows.tagAtRow, size);
        makeRoom(rows.rowOfTag, size);
        rows.tagOfKey.emplace(texts[addressCell], tag);
        rows.texts.push_back(std::move(texts));
        rows.tagAtRow.push_back(tag);
        rows.rowOfTag.push_back(change.row);
        return change;
    }
    const std::size_t tag = static_cast<std::size_t>(known->second);
    change.row = rows.rowOfTag[tag];
    RowTexts& shown = rows.texts[tag];
    for (int column = nameCell + 1; column < rowTextColumns; ++column) {
        const std::size_t cell = static_cast<std::size_t>(column);
        if (shown[cell] == texts[cell]) continue;
        shown[cell] = std::move(texts[cell]);
        change.changed = true;
    }
    return change;
}

void sortRows(ServerRows& rows, int column, bool ascending) {
    if (column < 0 || column >= rowTextColumns) return;
    const std::size_t cell = static_cast<std::size_t>(column);
    const bool numeric = numericColumn(column);
    std::string folded;
    std::vector<SortEntry> entries;
    entries.reserve(rows.tagAtRow.size());
    if (!numeric) folded.reserve(rows.tagAtRow.size() * 24);
    for (int tag : rows.tagAtRow) {
        const std::string& text = rows.texts[static_cast<std::size_t>(tag)][cell];
        if (numeric) {
            entries.push_back({cellNumber(text), 0, 0, tag});
            continue;
        }
        const std::size_t offset = folded.size();
        appendFoldedCell(folded, text);
        entries.push_back({0, offset, folded.size() - offset, tag});
    }
    const char* const base = folded.data();
    const auto textOf = [base](const SortEntry& entry) { return std::string_view(base + entry.offset, entry.length); };
    const auto before = [&](const SortEntry& a, const SortEntry& b) {
        return numeric ? a.number < b.number : compareFolded(textOf(a), textOf(b)) < 0;
    };
    // Stable: rows that tie keep the order they had.
    if (ascending)
        std::stable_sort(entries.begin(), entries.end(), before);
    else
        std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) { return before(b, a); });
    for (std::size_t row = 0; row < entries.size(); ++row) {
        rows.tagAtRow[row] = entries[row].tag;
        rows.rowOfTag[static_cast<std::size_t>(entries[row].tag)] = static_cast<int>(row);
    }
}

const RowTexts* rowTextsAt(const ServerRows& rows, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.tagAtRow.size()) return nullptr;
    return &rows.texts[static_cast<std::size_t>(rows.tagAtRow[static_cast<std::size_t>(row)])];
}
