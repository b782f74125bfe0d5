#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// Fills the player list and info list from the server of a server-list row (-1: none).
void showServerDetails(int row);
// A reply has updated the row of the server with this address key: the pane's own server is
// shown anew on the pane's timer (paneRefillTimer), at most once per refill interval.
void followServerRow(HWND window, const std::string& key);
// The pane's timer: shows the pane's server again, keeping where its lists are scrolled to.
void refillPane(HWND window);
// Every WM_NOTIFY that reaches the main window; returns the message's result.
LRESULT handleListNotify(HWND window, WPARAM wParam, NMHDR* header);
// The row menu for the server list's selected row, opened at that row; nothing without one.
LRESULT openSelectedRowMenu(HWND window);
