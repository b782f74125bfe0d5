#include "ui/commands.h"

LRESULT dispatchCommand(int, HWND, int) { return 0; }
LRESULT handleTrayMessage(UINT, HWND) { return 0; }
int copyServerText(HWND, int, int) { return 0; }
INT_PTR CALLBACK aboutDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
