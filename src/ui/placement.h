#pragma once

// The main window's first place and size: fixed for 96 DPI, scaled for the screen's, and kept
// within its monitor's work area.

#include <windows.h>

#include "ui/layout.h"

// Where the window is made on a screen of the DPI.
ChildRect firstPlace(UINT dpi);
// The window was made at madeAtDpi, and its children have taken the DPI of its own screen:
// the window takes that screen's size too, moved and shrunk into the monitor's work area
// where it would reach under the taskbar or off the screen.
void settleFirstPlace(HWND window, UINT madeAtDpi, UINT windowDpi);
