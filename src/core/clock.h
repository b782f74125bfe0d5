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

// While it lives the system timer runs at 1 ms, so that the Sleep that paces a list job's
// queries waits 30 ms, not two or three ticks of about 16 ms. Windows counts the requests:
// jobs that overlap each hold their own.
class FineTimerPeriod {
public:
    FineTimerPeriod();
    ~FineTimerPeriod();
    FineTimerPeriod(const FineTimerPeriod&) = delete;
    FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;

private:
    bool held_;
};
