#pragma once

#include <cstdint>

// The millisecond clock that pings are measured with: the performance counter. It keeps its
// full resolution whether the program's windows are shown or hidden, and needs no timer
// resolution of its own, so the program does not raise the whole system's timer rate for it.

// Reads the counter's frequency and loads winmm.dll's timer functions from the system folder
// (winmm is not one of Windows' known DLLs: an import of it would be looked for in the
// program's own folder first). Once, at start-up, before any thread that reads the clock.
void startClock();
// Milliseconds since some moment, wrapping at 2^32: the unsigned difference of two readings
// is the time between them.
std::uint32_t clockMs();

// Paces a list job's status queries. Its pause waits with a high-resolution waitable timer
// (Windows 10 version 1803 and later), which keeps its own resolution and does not depend on
// the system timer's: on Windows 11 a process whose windows are minimised, hidden or covered
// is not guaranteed the finer system timer it asked for with timeBeginPeriod. Where there is
// no such timer, the system timer runs at 1 ms while the pacer lives, so that Sleep waits
// 30 ms, not two or three ticks of about 16 ms (Windows counts the requests: jobs that overlap
// each hold their own).
class QueryPacer {
public:
    QueryPacer();
    ~QueryPacer();
    QueryPacer(const QueryPacer&) = delete;
    QueryPacer& operator=(const QueryPacer&) = delete;

    // Returns after at least ms milliseconds.
    void pause(unsigned ms);

private:
    void* timer_;  // the high-resolution timer's handle, or null
    bool periodHeld_;
};
