#pragma once

#include <windows.h>

// The window is no dialog box, so nothing moves the keyboard between its lists: each list
// takes Tab and F6 itself (Shift for the other way) and hands the focus on, server list,
// player list, info list and round again.
void takePaneKeys(HWND list);
