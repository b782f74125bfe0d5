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

bool numericColumn(int column) { return column == playersColumnIndex || column == pingColumnIndex; }

int cellNumber(const std::string& cell) {
    // Read from the cut text, so that a cell orders by what a 64-character read of it holds.
    return cell.size() <= compareTextLimit ? readDecimal(cell.c_str()) : readDecimal(cell.substr(0, compareTextLimit).c_str());
}

void appendFoldedCell(std::string& out, const std::string& cell) {
    const std::size_t length = cell.size() < compareTextLimit ? cell.size() : compareTextLimit;
    const std::size_t start = out.size();
    out.resize(start + length);
    for (std::size_t i = 0; i < length; ++i) out[start + i] = static_cast<char>(fold(static_cast<unsigned char>(cell[i])));
}

int compareFolded(std::string_view a, std::string_view b) {
    // A loop of its own: the C runtime's memcmp is a call per comparison, and a sort makes
    // tens of thousands of them.
    const std::size_t length = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < length; ++i)
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
    return sign(static_cast<int>(a.size()), static_cast<int>(b.size()));
}

int compareCellTexts(int column, bool ascending, const std::string& a, const std::string& b) {
    const std::string& first = ascending ? a : b;
    const std::string& second = ascending ? b : a;
    if (numericColumn(column)) return sign(cellNumber(first), cellNumber(second));
    std::string foldedFirst;
    std::string foldedSecond;
    appendFoldedCell(foldedFirst, first);
    appendFoldedCell(foldedSecond, second);
    return compareFolded(foldedFirst, foldedSecond);
}
