#include "ui/layout.h"

ChildLayout computeLayout(int clientWidth, int clientBottom, int statusHeight) {
    const int w = clientWidth;
    const int h = clientBottom - statusHeight;
    ChildLayout layout;
    // (h + 3) / 2 is always (h + 1) / 2 + 1: the server list overlaps the lower views by one
    // row so that their borders meet on one line.
    layout.serverList = {0, 0, w, (h + 3) / 2};
    layout.playerList = {0, (h + 1) / 2, (w + 3) / 2, h / 2};
    layout.infoList = {(w + 1) / 2, (h + 1) / 2, w / 2, h / 2};
    return layout;
}

ChildRect fitIntoArea(ChildRect window, const ChildRect& area) {
    if (window.width > area.width) window.width = area.width;
    if (window.height > area.height) window.height = area.height;
    if (window.x + window.width > area.x + area.width) window.x = area.x + area.width - window.width;
    if (window.y + window.height > area.y + area.height) window.y = area.y + area.height - window.height;
    if (window.x < area.x) window.x = area.x;
    if (window.y < area.y) window.y = area.y;
    return window;
}
