#pragma once

// The notification-area icon: adding it, its image at the taskbar's size, adding it again when
// Explorer restarts, the mouse messages over it and the tray menu.

#include <windows.h>

// Registers the message a new taskbar sends (Explorer restarted) and returns it, 0 when it
// cannot be registered; before the window exists.
UINT registerTaskbarCreated();
// Whether a message is the new taskbar's: the icon is then added again.
bool isTaskbarCreated(UINT message);

// Adds the main window's icon (or updates it, when the shell still has it).
void addTrayIcon(HWND window);
// Removes the icon and frees its image, as the main window is destroyed.
void removeTrayIcon();
// Whether the icon is there: a window minimised without one would have no way back.
bool hasTrayIcon();

// Mouse messages over the icon: the left button shows the window, the right opens the tray
// menu. Returns the message's result.
LRESULT handleTrayMessage(UINT mouseMessage, HWND window);
