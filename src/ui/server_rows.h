#pragma once

#include <windows.h>

#include <string>

// Server list columns.
constexpr int nameColumn = 0;
constexpr int mapColumn = 1;
constexpr int playersColumn = 2;
constexpr int pingColumn = 3;
constexpr int addressColumn = 4;
constexpr int serverColumnCount = 5;

// Flips the column's sort direction and sorts the server list by it (window thread).
void sortByColumn(int column);
// The server list's comparison while it sorts: rows by row tag, the column as parameter.
int CALLBACK compareRows(LPARAM tag1, LPARAM tag2, LPARAM column);

// The text of one cell of the server list as a buffer of bufferSize characters would hold
// it (cut to bufferSize - 1). A row index that names no row gives an empty text.
std::string readRowText(int row, int column, int bufferSize);
