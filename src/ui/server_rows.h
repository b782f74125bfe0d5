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

// The row-count timer (rowCountTimer): tells the server list of the rows made since it was
// last told, which it then shows; nothing when there are none.
void showNewRows();

// Flips the column's sort direction and sorts the server list by it (window thread). The
// selected and focused server and the selection mark stay on their servers.
void sortByColumn(int column);
// Whether a sort is moving the server list's selection with its server: the list reports that
// change as the user's own, and the details pane is not to follow it.
bool movingServerSelection();

// The text of one cell of the server list as a buffer of bufferSize characters would hold
// it (cut to bufferSize - 1). A row index that names no row gives an empty text.
std::string readRowText(int row, int column, int bufferSize);

// The server list asks for the text of a cell it paints, or that another program or a screen
// reader reads (LVN_GETDISPINFOA or LVN_GETDISPINFOW): it is copied into the list's buffer.
void answerCellRequest(NMHDR* header);
// The server list looks for a row by the first letters of its name, typed by the user
// (LVN_ODFINDITEMA or LVN_ODFINDITEMW); returns the row, -1 when none matches.
int findRowByName(const NMHDR* header);
