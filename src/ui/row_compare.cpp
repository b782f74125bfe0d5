#include "ui/row_compare.h"

#include <cstdio>

#include "core/numbers.h"
#include "core/server_table.h"

namespace {

constexpr int playersColumnIndex = 2;
constexpr int pingColumnIndex = 3;

int fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

int sign(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

std::string playersText(int playerCount, int maxClients) {
    char text[32];
    std::snprintf(text, sizeof text, "%d / %d", playerCount, maxClients);
    return text;
}

std::string pingText(int ping) { return std::to_string(ping); }

RowTexts rowTextsOf(const std::string& key, const ServerRowFields& fields) {
    // The list view keeps a text up to its first NUL, so the side copy does the same.
    return RowTexts{fields.hostName.c_str(), fields.mapName.c_str(),
                    playersText(fields.playerCount, fields.maxClients), pingText(fields.ping), key.c_str()};
}

CellOrder cellOrderOf(int column, const std::string& cell) {
    CellOrder order;
    const std::size_t length = cell.size() < compareTextLimit ? cell.size() : compareTextLimit;
    if (column == playersColumnIndex || column == pingColumnIndex) {
        // Read from the cut text too, so that a cell orders by what a 64-character read of it
        // would hold.
        order.number = length == cell.size() ? readDecimal(cell.c_str()) : readDecimal(cell.substr(0, length).c_str());
        return order;
    }
    order.folded.resize(length);
    for (std::size_t i = 0; i < length; ++i) order.folded[i] = static_cast<char>(fold(static_cast<unsigned char>(cell[i])));
    return order;
}

int compareCellOrders(const CellOrder& a, const CellOrder& b) {
    if (a.number != b.number) return sign(a.number, b.number);
    // Compared as unsigned bytes; the shorter of two texts that agree so far orders first.
    const int text = a.folded.compare(b.folded);
    return text < 0 ? -1 : (text > 0 ? 1 : 0);
}

int compareCellTexts(int column, bool ascending, const std::string& a, const std::string& b) {
    const CellOrder first = cellOrderOf(column, ascending ? a : b);
    const CellOrder second = cellOrderOf(column, ascending ? b : a);
    return compareCellOrders(first, second);
}
