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

static void record(HMODULE self, const wchar_t* logName, const char* line) {
    wchar_t log[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameW(self, log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t* name = log;
    for (wchar_t* c = log; *c; ++c)
        if (*c == L'\\') name = c + 1;
    lstrcpyW(name, logName);
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
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
        record(self, L"planted.log", lstrcatA(path, "\r\n"));
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI timeGetTime(void) { return GetTickCount(); }
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT period) { return period ? 0 : 97; }
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT period) { return period ? 0 : 97; }
#else
int WINAPI WinMain(HINSTANCE self, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    wchar_t directory[MAX_PATH] = L"";
    wchar_t wide[4096];
    char line[3 * 4096];
    (void)previous;
    (void)commandLine;
    GetCurrentDirectoryW(MAX_PATH, directory);
    _snwprintf(wide, 4096, L"%ls\t%ls\t%d\n", GetCommandLineW(), directory, showCommand);
    wide[4095] = L'\0';
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, line, sizeof line, NULL, NULL) == 0) return 1;
    record(self, L"launches.log", line);
    return 0;
}
#endif
