#pragma once

// The server list's rows as the program holds them: each row's five texts once, by row tag (the
// order in which servers first answered), the order in which the list shows them, and each
// server's row tag by address key. The list view keeps no copy: it asks for the cells it
// paints. Platform-neutral, so that the order of rows is tested natively.

#include <string>
#include <unordered_map>
#include <vector>

#include "ui/row_compare.h"

struct ServerRows {
    std::vector<RowTexts> texts;  // by row tag
    std::vector<int> tagAtRow;    // the shown order: the row tag of each row
    std::vector<int> rowOfTag;    // and back: the row of each row tag
    std::unordered_map<std::string, int> tagOfKey;
};

// What a reply did to its server's row.
struct RowChange {
    int row = -1;
    bool added = false;    // a new row, at the bottom
    bool changed = false;  // a cell of an existing row shows another text
};

// Creates the server's row at the bottom on its first reply, whatever the order, or brings its
// cells up to date; the name stays as the first reply gave it. texts[addressColumn] is the key.
RowChange applyRowTexts(ServerRows& rows, RowTexts texts);

// Puts the rows in the column's order, ascending or not; rows that tie keep the order they had
// (a stable sort, as the list view's own sort was).
void sortRows(ServerRows& rows, int column, bool ascending);

// The texts of a row of the shown order; null for an index that names no row.
const RowTexts* rowTextsAt(const ServerRows& rows, int row);
