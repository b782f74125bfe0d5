#pragma once

#include <windows.h>

// Background list jobs behind Update and Refresh. All but runListJob run on the window thread.

DWORD WINAPI runListJob(void* source);
void startListJob(const char* source);
void updateList();
void refreshList();
