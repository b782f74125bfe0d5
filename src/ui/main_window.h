#pragma once

// The main window: its creation, its popup menus and its window procedure.

#include <windows.h>

// Loads the title and class name, registers the class and creates the main window with its
// children and tray icon; the window is not shown yet. Null when creation fails.
HWND createMainWindow(HINSTANCE instance);
// Loads menu 129 into popupMenus, trayMenu and rowMenu (window_state.h).
void loadPopupMenus();
// Destroys menu 129 with both submenus.
void destroyPopupMenus();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
