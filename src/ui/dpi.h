#pragma once

#include <windows.h>

// Pixel sizes in this program are given for 96 dots per inch; a window on a screen that
// Windows scales (125 %, 150 %, ...) multiplies them by its own DPI over 96.

constexpr UINT baseDpi = 96;

// Until Windows 10 there is only the system's DPI; 96 wherever neither is known.
UINT systemDpi();
UINT windowDpi(HWND window);

int scaleForDpi(int pixels, UINT dpi);

// The font that the list views and the status bar use at a DPI, the system's message font
// drawn for that DPI; the caller owns it. Null where the system cannot make one.
HFONT createFontForDpi(UINT dpi);

// Icon iconId of the instance at the system DPI's large or small icon size (LIM_LARGE,
// LIM_SMALL), scaled down from a larger image where the resource lacks that size, as at 125 %
// and more; the caller owns it. Null where it cannot be loaded.
HICON loadIconForSystemDpi(HINSTANCE instance, int iconId, int metric);
