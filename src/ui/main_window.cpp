#include "ui/main_window.h"

#include "core/view.h"

HINSTANCE instanceHandle = nullptr;
HWND statusBar = nullptr;
HWND serverList = nullptr;
HWND playerList = nullptr;
HWND infoList = nullptr;
int statusHeight = 20;
NOTIFYICONDATAA trayIconRecord = {};
HMENU popupMenus = nullptr;
HMENU trayMenu = nullptr;
HMENU rowMenu = nullptr;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
bool createChildren(HWND) { return true; }
void layoutChildren(HWND, WPARAM, int, int) {}
void autosizeLastColumns() {}
void setStatusText(const char*) {}
