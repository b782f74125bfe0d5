#include "ui/placement.h"

#include <cstring>

#include "ui/dpi.h"

namespace {

// For 96 DPI, scaled to the window's.
constexpr int mainWindowX = 100;
constexpr int mainWindowY = 100;
constexpr int mainWindowWidth = 700;
constexpr int mainWindowHeight = 400;

}  // namespace

ChildRect firstPlace(UINT dpi) {
    return {scaleForDpi(mainWindowX, dpi), scaleForDpi(mainWindowY, dpi), scaleForDpi(mainWindowWidth, dpi),
            scaleForDpi(mainWindowHeight, dpi)};
}

void settleFirstPlace(HWND window, UINT madeAtDpi, UINT windowDpi) {
    if (windowDpi != madeAtDpi) {
        const ChildRect place = firstPlace(windowDpi);
        SetWindowPos(window, nullptr, 0, 0, place.width, place.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(window, &frame) ||
        !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const ChildRect placed = {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
    const ChildRect fitted =
        fitIntoArea(placed, {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (std::memcmp(&placed, &fitted, sizeof placed) != 0)
        SetWindowPos(window, nullptr, fitted.x, fitted.y, fitted.width, fitted.height, SWP_NOZORDER | SWP_NOACTIVATE);
}
