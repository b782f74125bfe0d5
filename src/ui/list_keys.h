#pragma once

#include <windows.h>

// The window is no dialog box, so nothing moves the keyboard between its lists: Tab and F6
// (Shift for the other way) hand the focus on, server list, player list, info list and round
// again.

// Called by the message loop for every message before the accelerators: true when the message
// was a Tab or F6 pressed in one of the three lists, which has then moved the focus and is
// not to be translated or dispatched (so its Tab character starts no incremental search).
bool takePaneKey(const MSG& message);
