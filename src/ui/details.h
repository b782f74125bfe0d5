#pragma once

#include <windows.h>
#include <commctrl.h>

// Fills the player list and info list from the server of a server-list row (-1: none).
void showServerDetails(int row);
// Every WM_NOTIFY that reaches the main window; returns the message's result.
LRESULT handleListNotify(HWND window, WPARAM wParam, NMHDR* header);
// The row menu for the server list's selected row, opened at that row; nothing without one.
LRESULT openSelectedRowMenu(HWND window);
