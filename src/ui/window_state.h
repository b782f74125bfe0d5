#pragma once

// The main window's process-wide handles: its instance, its children and its popup menus.
// The entry point and the window's creation write them while and just after the main window
// is made, before startBrowser starts any worker thread; afterwards they are only read, from
// any thread. Every handler that talks to a control includes this, and only the window
// procedure's file includes the handlers.

#include <windows.h>

extern HINSTANCE instanceHandle;
extern HWND statusBar;
extern HWND serverList;
extern HWND playerList;
extern HWND infoList;
extern HMENU popupMenus;  // menu 129, owner of the two submenus below
extern HMENU trayMenu;
extern HMENU rowMenu;
