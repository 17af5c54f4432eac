// Wall-clock times as the journals and the monitor write them, in the
// system's time zone, on every system.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/os/clock.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#define tzset _tzset
#endif

namespace {

// Runs the test in a time zone one hour east of UTC, with no summer time.
class LocalTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        saved_ = tz != nullptr ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "XXX-1", 1);
        tzset();
    }
    void TearDown() override
    {
        if (hadTz_) {
            setenv("TZ", saved_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string saved_;
    bool hadTz_ = false;
};

}  // namespace

TEST_F(LocalTimeTest, CarriesMillisecondsAndTheZoneOffset)
{
    // 2026-12-08 13:02:11.123 UTC
    const std::int64_t ms = 1796734931123LL;
    EXPECT_EQ(IsoLocalTime(ms), "2026-12-08T14:02:11.123+01:00");
    const LocalTime t = LocalTimeAt(ms);
    EXPECT_EQ(t.hour, 14);
    EXPECT_EQ(t.millisecond, 123);
    EXPECT_EQ(t.utcOffsetMinutes, 60);
    EXPECT_EQ(IsoLocalTime(ms - 124), "2026-12-08T14:02:10.999+01:00");
}
