#pragma once

#include <windows.h>

// User Interface Privilege Isolation: a window of a higher integrity level (a copy run as
// administrator) gets no message above WM_USER from a process of a lower one unless it lets
// that message through. Explorer and a later start of the program both run with fewer rights.

// Lets the message reach the window from a process with fewer rights than this one.
void acceptFromFewerRights(HWND window, UINT message);
