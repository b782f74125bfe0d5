#include "ui/message_filter.h"

#include "core/module_function.h"

void acceptFromFewerRights(HWND window, UINT message) {
    // Windows 7 and later filter one window's messages; Vista only the whole process's.
    using FilterForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterForProcess = BOOL(WINAPI*)(UINT, DWORD);
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    constexpr DWORD allow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the process's filter
    if (const auto forWindow = moduleFunction<FilterForWindow>(user32, "ChangeWindowMessageFilterEx"))
        forWindow(window, message, allow, nullptr);
    else if (const auto forProcess = moduleFunction<FilterForProcess>(user32, "ChangeWindowMessageFilter"))
        forProcess(message, allow);
}
