#pragma once

#include <windows.h>

// Messages private to the main window.

// Sent by the shell for mouse events over the tray icon; lParam: the mouse message.
// Its value is fixed by the tray icon record.
constexpr UINT trayCallbackMessage = WM_USER + 1;

// Sent (never posted) by updateServerRow from the receiver thread, so that the whole row
// update runs on the window thread as one step and no sort can fall between finding a
// server's row and writing its texts. wParam: 0. lParam: const ServerRowUpdate*, owned by
// the sender and valid until SendMessageA returns; the window takes no other pointer than
// the one being sent at that moment. Result: 0.
constexpr UINT serverRowMessage = WM_APP + 1;

// The main window's timer that tells the server list of its new rows (server_rows.cpp).
constexpr UINT_PTR rowCountTimer = 1;
// The main window's timer that shows the details pane's server again after its reply (details.cpp).
constexpr UINT_PTR paneRefillTimer = 2;
