#include <windows.h>
#include <objbase.h>

#include "app/browser.h"
#include "core/clock.h"
#include "core/module_function.h"
#include "resources/resource.h"
#include "ui/list_keys.h"
#include "ui/main_window.h"
#include "ui/running_copy.h"

namespace {

// Players run the program from their downloads folder, which Windows would search first for
// any DLL that is not one of its known DLLs: every DLL loaded from now on, by the program or
// on its behalf, comes from the system folder. SetDefaultDllDirectories is looked up at run
// time (Windows 7 has it only with its 2011 loader update); without it the current folder at
// least is left out of the search.
void restrictDllSearch() {
    using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        moduleFunction<SetDefaultDllDirectories>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    restrictDllSearch();
    // A start while the user's copy runs shows that copy and ends here, having made nothing.
    if (!becomeOnlyCopy()) return 0;
    // Before any thread that reads the clock.
    startClock();
    // The shell may start the game through COM objects: ShellExecute wants COM on its thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

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
        if (takePaneKey(message)) continue;
        if (TranslateAcceleratorA(window, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    destroyPopupMenus();
    stopBrowser();
    if (SUCCEEDED(com)) CoUninitialize();
    return static_cast<int>(message.wParam);
}
