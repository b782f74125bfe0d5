#pragma once

#include <windows.h>

// One browser per signed-in user: a start while the user's copy runs shows that copy's window
// and ends, so that two copies never share one templist.txt or show two tray icons.

// True when this start is the only copy of the user's session and goes on to run; false when
// a copy that was already running has been asked to show its window, and this start ends.
bool becomeOnlyCopy();

// The message a later start sends to the running copy's main window: the window shows itself,
// as the tray menu's Restore does, and answers runningCopyAnswer, which no other window gives.
UINT registerRunningCopyMessage();
constexpr LRESULT runningCopyAnswer = 0x54726E77;
