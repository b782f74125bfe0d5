#pragma once

// The texts of a server-list row and the order of two rows under a column, kept apart from
// the list view so that sorting never has to query the control while it reorders rows.

#include <array>
#include <string>

struct ServerRowFields;

constexpr int rowTextColumns = 5;

// The five cell texts of a row, indexed by server-list column, as the row shows them.
using RowTexts = std::array<std::string, rowTextColumns>;

// "12 / 16": the player count out of the maximum.
std::string playersText(int playerCount, int maxClients);
// The ping in decimal, with a minus sign when negative.
std::string pingText(int ping);
// Every cell of the row for a server: name, map, players, ping, address key.
RowTexts rowTextsOf(const std::string& key, const ServerRowFields& fields);

// Only this many characters of a cell take part in a comparison (a 64-character read
// buffer): texts that agree up to there compare equal.
constexpr std::size_t compareTextLimit = 63;

// Orders two cell texts of a column. Players and Ping compare as the numbers at the start
// of their texts, every other column as text with A-Z folded to a-z and bytes compared as
// unsigned values. ascending selects smaller first; otherwise the order is reversed.
// Negative when a goes first, positive when b does, 0 when they tie.
int compareCellTexts(int column, bool ascending, const std::string& a, const std::string& b);

// What a cell orders by under its column, worked out once per cell so that a sort of
// thousands of rows compares plain values: the number its text starts with (Players, Ping),
// or its first 63 characters with A-Z folded to a-z (the other columns), whose bytes compare
// as unsigned values, the way _stricmp compares without a locale.
struct CellOrder {
    int number = 0;
    std::string folded;
};
CellOrder cellOrderOf(int column, const std::string& cell);
// Negative when a goes first in ascending order, positive when b does, 0 when they tie.
int compareCellOrders(const CellOrder& a, const CellOrder& b);
