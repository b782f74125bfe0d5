#pragma once

#include <windows.h>

// Every command of the menu bar, accelerators, tray menu and row menu. row is read only by
// the copy commands. Returns 1 when a command ran, the copy's result for the copy
// commands, 0 for any other identifier.
LRESULT dispatchCommand(int commandId, HWND window, int row);
// Puts a row's address (kind 0), tarnwick:// URL (1) or one-line summary (2) on the
// clipboard; 1 when the text was handed over, 0 otherwise.
int copyServerText(HWND window, int row, int kind);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
