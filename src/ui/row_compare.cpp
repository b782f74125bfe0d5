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

int compareFoldedText(const std::string& a, const std::string& b, std::size_t limit) {
    const std::size_t lengthA = a.size() < limit ? a.size() : limit;
    const std::size_t lengthB = b.size() < limit ? b.size() : limit;
    for (std::size_t i = 0; i < lengthA && i < lengthB; ++i) {
        const int difference = fold(static_cast<unsigned char>(a[i])) - fold(static_cast<unsigned char>(b[i]));
        if (difference != 0) return difference < 0 ? -1 : 1;
    }
    return sign(static_cast<int>(lengthA), static_cast<int>(lengthB));
}

int compareCellTexts(int column, bool ascending, const std::string& a, const std::string& b) {
    const std::string& first = ascending ? a : b;
    const std::string& second = ascending ? b : a;
    if (column == playersColumnIndex || column == pingColumnIndex) {
        // Numbers are read from the cut texts too, so that a cell compares by what a
        // 64-character read of it would hold.
        return sign(readDecimal(first.substr(0, compareTextLimit).c_str()),
                    readDecimal(second.substr(0, compareTextLimit).c_str()));
    }
    return compareFoldedText(first, second, compareTextLimit);
}
