#include "ui/dpi.h"

#include <commctrl.h>

#include "core/module_function.h"

namespace {

// Looked up at run time: Windows Vista to 8.1 have none of these, and the program must
// still start there.
template <typename Function>
Function user32Function(const char* name) {
    return moduleFunction<Function>(GetModuleHandleA("user32.dll"), name);
}

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

UINT screenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return baseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : baseDpi;
}

}  // namespace

UINT systemDpi() {
    static const auto forSystem = user32Function<DpiForSystem>("GetDpiForSystem");
    const UINT dpi = forSystem ? forSystem() : screenDpi();
    return dpi ? dpi : baseDpi;
}

UINT windowDpi(HWND window) {
    static const auto forWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = forWindow ? forWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int scaleForDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(baseDpi)); }

HFONT createFontForDpi(UINT dpi) {
    static const auto forDpi = user32Function<ParametersForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (forDpi) {
        if (!forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return nullptr;
    } else {
        // Before Windows 10 the metrics are the system DPI's: scale the height from there.
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                                static_cast<int>(systemDpi()));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

HICON loadIconForSystemDpi(HINSTANCE instance, int iconId, int metric) {
    HICON icon = nullptr;
    if (SUCCEEDED(LoadIconMetric(instance, MAKEINTRESOURCEW(iconId), metric, &icon))) return icon;
    // The same size from LoadImage, which scales the nearest image, up where it must.
    const bool small = metric == LIM_SMALL;
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                         GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON),
                                         GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON), 0));
}
