#pragma once

// Where the three list views of the main window go, worked out from the client area
// alone so that the arithmetic can be checked without a window.

struct ChildRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ChildLayout {
    ChildRect serverList;  // the upper half, full width
    ChildRect playerList;  // lower left
    ChildRect infoList;    // lower right
};

// clientWidth is the client rectangle's right edge, clientBottom its bottom edge, and the
// status bar keeps the bottom statusHeight pixels. Every halving truncates toward zero, so
// neighbouring views share one line of pixels for their borders; a client area lower than
// the status bar gives negative heights, which the window manager clamps.
ChildLayout computeLayout(int clientWidth, int clientBottom, int statusHeight);

// The window's place moved, then shrunk, into the area (a monitor's work area, in screen
// coordinates) where it does not fit; unchanged where it does.
ChildRect fitIntoArea(ChildRect window, const ChildRect& area);
