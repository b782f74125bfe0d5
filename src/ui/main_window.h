#pragma once

#include <windows.h>
#include <shellapi.h>

// Process-wide window state. The entry point writes all of it while and just after it
// creates the main window, before startBrowser starts any worker thread; afterwards it is
// only read, from any thread.
extern HINSTANCE instanceHandle;
extern HWND statusBar;
extern HWND serverList;
extern HWND playerList;
extern HWND infoList;
extern int statusHeight;
extern NOTIFYICONDATAA trayIconRecord;
extern HMENU popupMenus;  // menu 129, owner of the two submenus below
extern HMENU trayMenu;
extern HMENU rowMenu;

// Loads the title and class name, registers the class and creates the main window with its
// children and tray icon; the window is not shown yet. Null when creation fails.
HWND createMainWindow(HINSTANCE instance);
// Loads menu 129 into popupMenus, trayMenu and rowMenu.
void loadPopupMenus();
// Destroys menu 129 with both submenus.
void destroyPopupMenus();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool createChildren(HWND window);
void layoutChildren(HWND window, WPARAM sizeType, int width, int height);
void autosizeLastColumns();
