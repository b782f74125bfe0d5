#pragma once

#include <windows.h>

// Messages private to the main window.

// Sent by the shell for mouse events over the tray icon; lParam: the mouse message.
// Its value is fixed by the tray icon record.
constexpr UINT trayCallbackMessage = WM_USER + 1;
