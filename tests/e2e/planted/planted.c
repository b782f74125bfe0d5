/* Planted beside a program under the name of a DLL that the program may load: once loaded,
   it appends its own path to planted.log in its folder. It exports the clock functions of
   winmm.dll, so that a program importing that DLL still runs with it in its place. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID unused) {
    (void)unused;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    char log[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcpyA(log, path);
    char* name = log;
    for (char* c = log; *c; ++c)
        if (*c == '\\') name = c + 1;
    lstrcpyA(name, "planted.log");
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, path, length, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI timeGetTime(void) { return GetTickCount(); }
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT period) { return period ? 0 : 97; }
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT period) { return period ? 0 : 97; }
