#pragma once

// The texts of a server-list row and the order of two rows under a column, kept apart from
// the list view so that sorting never has to query the control while it reorders rows.

#include <array>
#include <string>
#include <string_view>

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

// What a sort of thousands of rows works out once per cell, so that it compares plain values:
// Players and Ping order by the number at the start of a cell's first 63 characters; the
// other columns by those characters with A-Z folded to a-z, the way _stricmp compares without
// a locale.
bool numericColumn(int column);
int cellNumber(const std::string& cell);
// Appends the folded characters of a cell to out.
void appendFoldedCell(std::string& out, const std::string& cell);
// Orders two folded texts: bytes as unsigned values, and of two texts that agree as far as the
// shorter goes, the shorter first. Negative when a goes first, positive when b does, 0 for a tie.
int compareFolded(std::string_view a, std::string_view b);
