#include "platform/os/clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

// The clock and sleep hooks set in place of the system's (tests, a replay);
// null hooks use the system clock and sleep. Set from any thread.
struct ClockHooks {
    std::atomic<ClockSource> clockSource{nullptr};
    std::atomic<ClockSourceUs> clockSourceUs{nullptr};
    std::atomic<ClockSourceUs> wallSource{nullptr};
    // Where the calendar stood against the set clock source when it was set.
    std::atomic<std::int64_t> wallAnchorUs{0};
    std::atomic<std::int64_t> clockAnchorUs{0};
    std::atomic<SleepHook> sleepHook{nullptr};
    std::atomic<SleepHook> passHook{nullptr};
};

ClockHooks g_clock;

std::int64_t systemWallUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

void anchorWall()
{
    g_clock.wallAnchorUs = systemWallUs();
    g_clock.clockAnchorUs = ClockUs();
}

bool sourceSet()
{
    return g_clock.clockSource.load() != nullptr || g_clock.clockSourceUs.load() != nullptr;
}
}  // namespace

void SetClockSource(ClockSource source)
{
    g_clock.clockSource.store(source);
    anchorWall();
}

void SetClockSourceUs(ClockSourceUs source)
{
    g_clock.clockSourceUs.store(source);
    anchorWall();
}

void SetWallClockSource(ClockSourceUs source)
{
    g_clock.wallSource.store(source);
}

std::int64_t ClockUs()
{
    if (const ClockSourceUs source = g_clock.clockSourceUs.load()) return source();
    if (const ClockSource source = g_clock.clockSource.load()) return source() * 1000;
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t WallClockUs()
{
    if (const ClockSourceUs source = g_clock.wallSource.load()) return source();
    if (sourceSet()) return g_clock.wallAnchorUs.load() + (ClockUs() - g_clock.clockAnchorUs.load());
    return systemWallUs();
}

std::int64_t WallClockMs()
{
    const std::int64_t us = WallClockUs();
    return us >= 0 ? us / 1000 : (us - 999) / 1000;
}

std::int64_t ClockMs()
{
    return ClockUs() / 1000;
}

void SetSleepHooks(SleepHook sleep, SleepHook pass)
{
    g_clock.sleepHook.store(sleep);
    g_clock.passHook.store(pass);
}

bool SleepHooked()
{
    return g_clock.sleepHook.load() != nullptr;
}

void Sleep(int milliseconds)
{
    if (const SleepHook hook = g_clock.sleepHook.load()) {
        hook(milliseconds);
        return;
    }
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void PassPause(int milliseconds)
{
    if (const SleepHook hook = g_clock.passHook.load()) {
        hook(milliseconds);
        return;
    }
    Sleep(milliseconds);
}

LocalTime LocalTimeAt(std::int64_t wallMs)
{
    // Whole seconds rounded down, so a time before 1970 keeps a positive millisecond.
    const std::int64_t wholeSeconds = wallMs >= 0 ? wallMs / 1000 : (wallMs - 999) / 1000;
    const auto seconds = static_cast<std::time_t>(wholeSeconds);
    std::tm tm{};
    long offsetSeconds = 0;
#ifdef _WIN32
    if (localtime_s(&tm, &seconds) != 0) return {};
    // The broken-down local time read as if it were UTC, less the real time.
    std::tm copy = tm;
    offsetSeconds = static_cast<long>(_mkgmtime(&copy) - seconds);
#else
    if (localtime_r(&seconds, &tm) == nullptr) return {};
    offsetSeconds = tm.tm_gmtoff;
#endif
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(wallMs - wholeSeconds * 1000);
    t.utcOffsetMinutes = static_cast<int>(offsetSeconds / 60);
    return t;
}

std::string IsoLocalTime(std::int64_t wallMs)
{
    const LocalTime t = LocalTimeAt(wallMs);
    const int offset = t.utcOffsetMinutes < 0 ? -t.utcOffsetMinutes : t.utcOffsetMinutes;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond, t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}
