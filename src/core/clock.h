#pragma once

#include <cstdint>

// The millisecond clock that pings are measured with: timeGetTime of winmm.dll. That DLL is
// not one of Windows' known DLLs, so an import of it would be looked for in the program's own
// folder first (a downloads folder, say) before the system folder; it is loaded from the
// system folder by name instead.

// Loads the clock's functions from the system folder and asks for 1 ms resolution until the
// process ends. Once, at start-up, before any thread that reads the clock starts.
void startClock();
// Milliseconds since some moment, wrapping at 2^32: the unsigned difference of two readings
// is the time between them.
std::uint32_t clockMs();
