// Elapsed time, sleeping and the local time. The worker threads are in
// threads.h, included here for the callers that take both.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/threads.h"

// Milliseconds of a monotonic clock; only differences mean anything.
std::int64_t ClockMs();
// The same clock in microseconds, for intervals that must not be rounded down
// to whole milliseconds ("more than 200 ms" is 200.3 ms, not 200 ms).
std::int64_t ClockUs();
// Test hook: while a source is set, ClockMs returns what it returns (and
// ClockUs that times 1000), so that
// timing code can be driven without waiting. nullptr restores the real clock.
using ClockSource = std::int64_t (*)();
void SetClockSource(ClockSource source);
void Sleep(int milliseconds);
// The pause between two passes of the worker that keeps the line's time (the
// communication thread): a Sleep, unless a test steps time.
void PassPause(int milliseconds);
// Test hook: while set, Sleep calls `sleep` and PassPause calls `pass`
// instead of waiting, so that a test clock (SetClockSource) moves on with the
// passes of the communication thread rather than with real time. nullptr
// for both restores real waiting.
using SleepHook = void (*)(int milliseconds);
void SetSleepHooks(SleepHook sleep, SleepHook pass);
// True while such hooks are set: waits that would block on something else
// with a time limit (a signal, an event) wait with Sleep instead.
bool SleepHooked();

// A wall-clock time in the system's time zone.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0;  // east of UTC positive
};
// The local time of `wallMs`, milliseconds since 1970-01-01 00:00 UTC.
LocalTime LocalTimeAt(std::int64_t wallMs);
// ISO 8601 with milliseconds and the zone offset: "2026-12-07T21:43:22.123+01:00".
std::string IsoLocalTime(std::int64_t wallMs);
