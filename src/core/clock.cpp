#include "core/clock.h"

#include <windows.h>

#include "core/module_function.h"

namespace {

using TimeGetTime = DWORD(WINAPI*)();
using TimePeriod = UINT(WINAPI*)(UINT);

// Pings are differences of clock readings, which are coarse (about 16 ms) unless the process
// asks for 1 ms.
constexpr UINT timerResolutionMs = 1;

// Written once by startClock before any other thread runs; GetTickCount stands in if the
// system's winmm.dll cannot be had (pings are then only as fine as the system tick).
TimeGetTime readClock = GetTickCount;

HMODULE loadSystemWinmm() {
    // Windows 7 without its 2011 loader update refuses the flag: the full path does the same.
    if (HMODULE module = LoadLibraryExA("winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof "\\winmm.dll" > MAX_PATH) return nullptr;
    lstrcatA(path, "\\winmm.dll");
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void startClock() {
    // Kept loaded for the process's lifetime, like the resolution it asks for.
    const HMODULE winmm = loadSystemWinmm();
    if (!winmm) return;
    const auto timeGetTime = moduleFunction<TimeGetTime>(winmm, "timeGetTime");
    const auto timeBeginPeriod = moduleFunction<TimePeriod>(winmm, "timeBeginPeriod");
    if (!timeGetTime) return;
    readClock = timeGetTime;
    if (timeBeginPeriod) timeBeginPeriod(timerResolutionMs);
}

std::uint32_t clockMs() { return readClock(); }
