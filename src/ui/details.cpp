#include "ui/details.h"

void showServerDetails(int) {}
LRESULT handleListNotify(HWND window, WPARAM wParam, NMHDR* header) {
    return header ? DefWindowProcA(window, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header)) : 0;
}
