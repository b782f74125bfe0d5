#include "core/clock.h"

#include <windows.h>

#include "core/module_function.h"

namespace {

using TimePeriod = UINT(WINAPI*)(UINT);

constexpr UINT fineTimerPeriodMs = 1;
// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION: Windows 10 version 1803 and later; older systems
// refuse the flag, and the pacer falls back on the finer system timer.
constexpr DWORD createHighResolutionTimer = 0x00000002;

// Written once by startClock before any other thread runs. Windows XP and later always have
// a performance counter; a frequency of 0 cannot happen there, 1 keeps the division safe.
LONGLONG counterFrequency = 1;
TimePeriod beginTimerPeriod = nullptr;
TimePeriod endTimerPeriod = nullptr;

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
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) counterFrequency = frequency.QuadPart;
    // Kept loaded for the process's lifetime; without it the pacing is only as fine as the tick.
    if (const HMODULE winmm = loadSystemWinmm()) {
        beginTimerPeriod = moduleFunction<TimePeriod>(winmm, "timeBeginPeriod");
        endTimerPeriod = moduleFunction<TimePeriod>(winmm, "timeEndPeriod");
    }
}

std::uint32_t clockMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Whole seconds and the rest apart: the product cannot overflow however long Windows has run.
    const LONGLONG seconds = now.QuadPart / counterFrequency;
    const LONGLONG rest = now.QuadPart % counterFrequency;
    return static_cast<std::uint32_t>(seconds * 1000 + rest * 1000 / counterFrequency);
}

QueryPacer::QueryPacer()
    : timer_(CreateWaitableTimerExW(nullptr, nullptr, createHighResolutionTimer, TIMER_MODIFY_STATE | SYNCHRONIZE)),
      periodHeld_(!timer_ && beginTimerPeriod && endTimerPeriod && beginTimerPeriod(fineTimerPeriodMs) == TIMERR_NOERROR) {}

QueryPacer::~QueryPacer() {
    if (timer_) CloseHandle(timer_);
    if (periodHeld_) endTimerPeriod(fineTimerPeriodMs);
}

void QueryPacer::pause(unsigned ms) {
    if (timer_) {
        // Relative to now, in units of 100 ns.
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(ms) * 10000;
        if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) && WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0)
            return;
    }
    Sleep(ms);
}
