#pragma once

#include <windows.h>
#include <commctrl.h>

// What the server list tells the main window, and what the user does on its rows: the cells
// it asks for, a typed name, a header click, a change of its selection (which the details
// pane follows), Enter, a click, a double-click and a right-click.

// Every WM_NOTIFY that reaches the main window; returns the message's result.
LRESULT handleListNotify(HWND window, WPARAM wParam, NMHDR* header);
// The row menu for the server list's selected row, opened at that row; nothing without one.
LRESULT openSelectedRowMenu(HWND window);
