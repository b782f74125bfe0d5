#pragma once

// The main window's children: the status bar and the three list views, their columns, their
// text size for the window's DPI and their places in the client area.

#include <windows.h>

// Makes the children of a new main window, at its DPI; false when a list refuses a column.
bool createChildren(HWND window);
// Gives the children their places for the client area's new size (nothing when minimised).
void layoutChildren(HWND window, WPARAM sizeType, int width, int height);
// The window moved to a screen of another DPI: the columns keep their widths in proportion
// and the children take the text size of the new DPI.
void followDpi(UINT dpi);
// The DPI the children were last sized for.
UINT childrenDpi();
// Frees what the children's creation made beside them (their font), as the window is destroyed.
void releaseChildren();
