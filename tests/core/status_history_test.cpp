// The plots' history of status values: what a slot keeps, how far back it
// reaches, and the calendar going back.
#include "engine/status_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "engine/traffic_decode.h"
#include "modbus/modbus.h"

namespace {

constexpr std::int64_t kStart = 1'800'000'000'000;  // a calendar time in 2027
constexpr double kVolt = 600.0 / 32767;             // battery voltage (item 1) per count
constexpr std::int64_t kMinuteMs = 60000;

class History : public ::testing::Test {
protected:
    void SetUp() override { fillDataItems(); }

    // One reply with every word 0 but the battery voltage.
    void add(std::int64_t wallMs, int battery)
    {
        std::int16_t words[DATAITEMOR_COUNT] = {};
        words[1] = static_cast<std::int16_t>(battery);
        history->add(wallMs, words);
    }
    std::vector<StatusHistory::Point> battery(std::int64_t fromMs, std::int64_t spanMs = 0)
    {
        std::vector<StatusHistory::Point> out;
        history->points(1, fromMs, spanMs, &out);
        return out;
    }

    std::unique_ptr<StatusHistory> history = std::make_unique<StatusHistory>();
};

}  // namespace

TEST_F(History, SlotKeepsItsLowestAndHighestInTheOrderTheyCame)
{
    add(kStart + 10, 100);   // one reply in its slot: one point
    add(kStart + 110, 100);  // a rise, a peak and a fall within one slot
    add(kStart + 130, 400);
    add(kStart + 150, 250);
    add(kStart + 210, 300);  // a fall within one slot
    add(kStart + 290, 50);
    add(kStart + 310, 500);  // a fall within one millisecond
    add(kStart + 310, 40);
    const auto points = battery(kStart);
    ASSERT_EQ(points.size(), 7U);
    EXPECT_EQ(points[0].wallMs, kStart + 10);
    EXPECT_DOUBLE_EQ(points[0].value, 100 * kVolt);
    EXPECT_EQ(points[1].wallMs, kStart + 110);
    EXPECT_DOUBLE_EQ(points[1].value, 100 * kVolt);
    EXPECT_EQ(points[2].wallMs, kStart + 150);
    EXPECT_DOUBLE_EQ(points[2].value, 400 * kVolt);
    EXPECT_DOUBLE_EQ(points[3].value, 300 * kVolt);
    EXPECT_DOUBLE_EQ(points[4].value, 50 * kVolt);
    EXPECT_DOUBLE_EQ(points[5].value, 500 * kVolt);
    EXPECT_DOUBLE_EQ(points[6].value, 40 * kVolt);
    // Items that did not move keep one point per slot.
    std::vector<StatusHistory::Point> speed;
    history->points(10, kStart, 0, &speed);
    EXPECT_EQ(speed.size(), 4U);
}

TEST_F(History, KeepsTenMinutesWhateverThePollingRate)
{
    // Fifteen minutes at 200 replies a second.
    const std::int64_t end = kStart + 15 * kMinuteMs;
    for (std::int64_t t = kStart; t < end; t += 5) add(t, static_cast<int>((t / 5) % 1000));
    const auto points = battery(kStart);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().wallMs, end - 10 * kMinuteMs);
    EXPECT_EQ(points.back().wallMs, end - 5);
    EXPECT_EQ(points.size(), 2U * StatusHistory::kSlots);
    EXPECT_EQ(history->newestMs(), end - 5);
    // The plot's window asks for less.
    EXPECT_EQ(battery(end - kMinuteMs).front().wallMs, end - kMinuteMs);
    // A plot of a second per pixel gets a low and a high a second, in order,
    // and still the lowest and the highest word.
    const auto perSecond = battery(kStart, 1000);
    EXPECT_EQ(perSecond.size(), 2U * 600);
    EXPECT_TRUE(std::is_sorted(perSecond.begin(), perSecond.end(),
                               [](const auto& a, const auto& b) { return a.wallMs < b.wallMs; }));
    const auto [lowest, highest] = std::minmax_element(
        perSecond.begin(), perSecond.end(), [](const auto& a, const auto& b) { return a.value < b.value; });
    EXPECT_DOUBLE_EQ(lowest->value, 0.0);
    EXPECT_DOUBLE_EQ(highest->value, 999 * kVolt);
}

TEST_F(History, CalendarSetBackBeyondTheHistoryStartsItAgain)
{
    add(kStart, 100);
    add(kStart + 5000, 200);
    add(kStart + 3000, 150);  // a little back: kept with the rest
    EXPECT_EQ(battery(kStart).size(), 3U);

    add(kStart - 3600000, 300);  // an hour back: the future is forgotten
    const auto points = battery(kStart - 3600000);
    ASSERT_EQ(points.size(), 1U);
    EXPECT_DOUBLE_EQ(points[0].value, 300 * kVolt);
    EXPECT_EQ(history->newestMs(), kStart - 3600000);
}

TEST(StatusWords, OnlyAnAcceptedReadOfTheWholeStatusBlock)
{
    LineEvent e;
    e.kind = LineEventKind::ReplyAccepted;
    e.result = MODBUS_READ_ACCEPTED;
    const unsigned char request[] = {0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A, 0x00, 0x00};
    std::copy(std::begin(request), std::end(request), e.request);
    e.requestLength = 8;
    e.length = 3 + 2 * DATAITEMOR_COUNT + 2;
    e.bytes[3 + 2] = 0xFF;  // item 1: -2
    e.bytes[4 + 2] = 0xFE;
    std::int16_t words[DATAITEMOR_COUNT] = {};
    ASSERT_TRUE(StatusReplyWords(e, words));
    EXPECT_EQ(words[1], -2);

    LineEvent rejected = e;
    rejected.kind = LineEventKind::ReplyRejected;
    rejected.result = MODBUS_BAD_CRC;
    LineEvent page = e;  // a page read at 2548
    page.request[2] = 0x09;
    page.request[3] = 0xF4;
    LineEvent part = e;  // fewer registers than the block
    part.request[5] = 0x10;
    LineEvent cut = e;
    cut.length = 20;
    for (const LineEvent& other : {rejected, page, part, cut}) {
        std::int16_t untouched[DATAITEMOR_COUNT] = {7};
        EXPECT_FALSE(StatusReplyWords(other, untouched));
        EXPECT_EQ(untouched[0], 7);
    }
}
