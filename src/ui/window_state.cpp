#include "ui/window_state.h"

HINSTANCE instanceHandle = nullptr;
HWND statusBar = nullptr;
HWND serverList = nullptr;
HWND playerList = nullptr;
HWND infoList = nullptr;
HMENU popupMenus = nullptr;
HMENU trayMenu = nullptr;
HMENU rowMenu = nullptr;
