#pragma once

#include <windows.h>

// Background list jobs behind Update and Refresh. All but runListJob run on the window thread.

// A list thread: source is masterListUrl (download the list, then query it) or tempListFile
// (query the servers of the kept list).
DWORD WINAPI runListJob(void* source);
void startListJob(const char* source);
void updateList();
void refreshList();
