#pragma once

#include <windows.h>

#include <string>

struct ServerRowFields;

// Server list columns.
constexpr int nameColumn = 0;
constexpr int mapColumn = 1;
constexpr int playersColumn = 2;
constexpr int pingColumn = 3;
constexpr int addressColumn = 4;
constexpr int serverColumnCount = 5;

// What updateServerRow carries to the window thread (see serverRowMessage).
struct ServerRowUpdate {
    const std::string* key;
    const ServerRowFields* fields;
};

// Ties the rows to a newly created main window: forgets every earlier row and resets the
// sort directions. Called while the server list is built.
void beginServerRows(HWND mainWindow);
// From here on updateServerRow has no effect (the main window is being destroyed).
void endServerRows();
// Creates or refreshes a server's row; window thread, for serverRowMessage. Takes only the
// update that updateServerRow is sending at that moment and returns its address key (valid
// while the message is handled); anything else is ignored, with null.
const std::string* applyServerRowUpdate(LPARAM message);

// Paints what changed in the server list while its painting was held back (window thread);
// does nothing when nothing is held.
void paintServerRows();
// The paint timer (serverPaintTimer): paints what is held, unless only rows below the view
// are, and not for long.
void paintHeldRowsOnTimer();
// Called by the message loop for every message before it is dispatched: input for the server
// list (a key, a button, the wheel) first paints what is held, so that it acts on what shows.
void paintBeforeInput(const MSG& message);

// Flips the column's sort direction and sorts the server list by it (window thread).
void sortByColumn(int column);
// The server list's comparison while it sorts: rows by row tag, the column as parameter.
int CALLBACK compareRows(LPARAM tag1, LPARAM tag2, LPARAM column);

// The text of one cell of the server list as a buffer of bufferSize characters would hold
// it (cut to bufferSize - 1). A row index that names no row gives an empty text.
std::string readRowText(int row, int column, int bufferSize);
