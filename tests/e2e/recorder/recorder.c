/* Records how it was started or loaded in a log file beside itself, and does nothing else.
   Built twice:
   - tarnwick.exe, the game's stand-in: appends to launches.log its command line, working
     directory and show command, separated by TABs;
   - planted.dll, copied under the names of DLLs that a program may load from its own folder:
     appends its own path to planted.log. It exports the clock functions of winmm.dll, so that
     a program importing that DLL still runs with it in its place. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>

static void record(HMODULE self, const char* logName, const char* line) {
    char log[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameA(self, log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* name = log;
    for (char* c = log; *c; ++c)
        if (*c == '\\') name = c + 1;
    lstrcpyA(name, logName);
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)lstrlenA(line), &written, NULL);
    CloseHandle(file);
}

#ifdef PLANTED
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID unused) {
    char path[MAX_PATH + 2];
    (void)unused;
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(self, path, MAX_PATH) < MAX_PATH)
        record(self, "planted.log", lstrcatA(path, "\r\n"));
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI timeGetTime(void) { return GetTickCount(); }
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT period) { return period ? 0 : 97; }
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT period) { return period ? 0 : 97; }
#else
int WINAPI WinMain(HINSTANCE self, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    char directory[MAX_PATH] = "";
    char line[4096];
    (void)previous;
    (void)commandLine;
    GetCurrentDirectoryA(MAX_PATH, directory);
    snprintf(line, sizeof line, "%s\t%s\t%d\n", GetCommandLineA(), directory, showCommand);
    record(self, "launches.log", line);
    return 0;
}
#endif
