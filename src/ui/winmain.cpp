#include <windows.h>

#include "core/browser.h"
#include "resources/resource.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    const HWND window = createMainWindow(instance);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    const HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    loadPopupMenus();
    // After the window is visible, so that the first Update's status text and rows show.
    startBrowser();

    MSG message = {};
    // GetMessageA gives -1 on an error: that ends the loop too rather than spinning on it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(window, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    destroyPopupMenus();
    stopBrowser();
    return static_cast<int>(message.wParam);
}
