// The fault history: against the simulated controller over a pseudo-terminal
// with the fault words on a timetable, and with the feed and the journal fed
// by hand. The console's clock is stepped throughout (each pass comes as soon
// as the simulator has answered the one before, and the simulator's
// timetable runs on the same time), so the 3 s of silence that lose a fault
// cost nothing. The simulator's request log is the independent tap: it holds
// the words of every reply it sent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>

#include "engine/ems.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "engine/fault_tracker.h"
#include "modbus/line_events.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "platform/os/clock.h"
#include "platform/os/csv_file.h"
#include "serial/line_machine.h"
#include "tests/support/line_script.h"
#include "tests/support/sim_line.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr int kFirstWord = 2762;
constexpr int kOverVolt = 1;    // 2762 bit 1
constexpr int kOverSpeed = 17;  // 2763 bit 1
constexpr int kHallFault = 12;  // 2762 bit 12
constexpr int kLastWordBit0 = 32;
// The status read interval of the 100 ms passes; how long after a reply's
// last byte the console may take it (more than 200 ms of silence counted on
// the passes); and how far apart the simulator's clock and the console's may
// read at one moment.
constexpr double kReadS = 0.5;
constexpr double kFrameEndS = 0.6;
constexpr std::int64_t kSameMomentMs = 5;

struct Collector : FaultObserver {
    void faultEvent(const FaultEvent& e) override { events.push_back(e); }
    std::vector<FaultEvent> events;
};

struct Seen {
    FaultEventKind kind;
    int bit;
    bool first;
    bool operator==(const Seen& o) const { return kind == o.kind && bit == o.bit && first == o.first; }
};

// Whether fault `bit` is on in a status reply of the tap.
bool bitOf(const sim::RequestRecord& r, int bit);

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << FaultEventName(s.kind) << " " << s.bit << (s.first ? " first" : "");
}

std::vector<Seen> seen(const std::vector<FaultEvent>& events)
{
    std::vector<Seen> out;
    out.reserve(events.size());
    for (const FaultEvent& e : events)
        out.push_back({e.kind, e.bit, e.kind == FaultEventKind::On && e.first});
    return out;
}

// The words of a status reply in the tap; empty for anything else.
std::vector<std::int16_t> replyWords(const sim::RequestRecord& r)
{
    if (r.function != 3 || r.address != sim::kStatusFirst || r.reply.size() < 3 + 2 * 26) return {};
    std::vector<std::int16_t> words;
    words.reserve(26);
    for (int i = 0; i < 26; ++i)
        words.push_back(static_cast<std::int16_t>(r.reply[3 + 2 * i] << 8 | r.reply[4 + 2 * i]));
    return words;
}

bool bitOf(const sim::RequestRecord& r, int bit)
{
    const std::vector<std::int16_t> w = replyWords(r);
    StatusWords words{};
    std::copy(w.begin(), w.end(), words.begin());
    return !w.empty() && FaultBitSet(words, bit);
}

class FaultsOnTheLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        // The simulator's own passing faults stay out of the way.
        for (int reg = kFirstWord; reg < kFirstWord + 3; ++reg) line.sim().setRegister(reg, 0);
        stepped.emplace(line.sim());
        tracker.addObserver(&collected);
    }
    void TearDown() override
    {
        StopCommThread();
        stepped.reset();
    }

    // Pumps the feed as the window does until `count` events have come.
    bool waitForEvents(std::size_t count, std::chrono::milliseconds timeout = 8000ms)
    {
        return testsupport::WaitFor(
            [&] {
                feed.pump();
                return collected.events.size() >= count;
            },
            timeout);
    }

    // Simulated time (ms) and ClockMs() at one moment.
    struct Now {
        std::int64_t sim;
        std::int64_t clock;
    };
    Now now() { return {line.sim().timeMs(), ClockMs()}; }

    // Pumps the feed until the console's clock has moved on by `ms`.
    bool waitMs(std::int64_t ms)
    {
        const std::int64_t until = ClockMs() + ms;
        return testsupport::WaitFor(
            [&] {
                feed.pump();
                return ClockMs() >= until;
            },
            8000ms);
    }

    testsupport::SimulatedLine line;
    std::optional<testsupport::SteppedSimulator> stepped;
    FaultTracker tracker;
    FaultFeed feed{tracker, TheLine().observers()};
    Collector collected;
};

}  // namespace

TEST_F(FaultsOnTheLine, OnsetsClearsAndFirstOutFollowTheTimetable)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            feed.pump();
            return tracker.tracking();
        },
        8000ms));
    const Now t = now();
    // overVolt for 2 s; overSpeed comes on while it is on; then hall fault and
    // the first bit of the third word together for 1 s.
    struct Step {
        std::int64_t atMs;
        int reg;
        std::uint16_t value;
    };
    const Step steps[] = {{1000, 2762, 0x0002}, {2000, 2763, 0x0002}, {3000, 2762, 0}, {3500, 2763, 0},
                          {4500, 2762, 0x1000}, {4500, 2764, 0x0001}, {5500, 2762, 0}, {5500, 2764, 0}};
    std::vector<sim::ScheduleStep> timetable;
    for (const Step& s : steps) timetable.push_back({t.sim + s.atMs, s.reg, s.value});
    ASSERT_TRUE(line.sim().schedule(timetable));
    ASSERT_TRUE(waitForEvents(8, 12000ms));

    const std::vector<Seen> expected = {
        {FaultEventKind::On, kOverVolt, true},    {FaultEventKind::On, kOverSpeed, false},
        {FaultEventKind::Off, kOverVolt, false},  {FaultEventKind::Off, kOverSpeed, false},
        {FaultEventKind::On, kHallFault, true},   {FaultEventKind::On, kLastWordBit0, true},
        {FaultEventKind::Off, kHallFault, false}, {FaultEventKind::Off, kLastWordBit0, false},
    };
    ASSERT_EQ(seen(collected.events), expected);
    // Each event against the tap: it comes from the first status read after
    // its switch (so at most one read interval late), it carries that reply's
    // time, an onset carries that reply's words (not those of the one before),
    // and a clear's duration is the time between the two replies.
    const std::int64_t switchedAtMs[] = {1000, 2000, 3000, 3500, 4500, 4500, 5500, 5500};
    const double scheduled[] = {0, 0, 2.0, 1.5, 0, 0, 1.0, 1.0};
    const std::vector<sim::RequestRecord> requests = line.sim().requests();
    std::vector<const sim::RequestRecord*> reads;  // the status reads among them
    for (const sim::RequestRecord& r : requests) {
        if (!replyWords(r).empty()) reads.push_back(&r);
    }
    std::map<int, const sim::RequestRecord*> onsetReply;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FaultEvent& e = collected.events[i];
        SCOPED_TRACE(i);
        const bool on = e.kind == FaultEventKind::On;
        std::size_t k = 0;
        while (k < reads.size() && (reads[k]->receivedMs < t.clock + switchedAtMs[i] - kSameMomentMs ||
                                    bitOf(*reads[k], e.bit) != on))
            ++k;
        ASSERT_LT(k, reads.size());
        ASSERT_GT(k, 0u);
        EXPECT_LT(reads[k - 1]->receivedMs, t.clock + switchedAtMs[i] + kSameMomentMs)
            << "a status read after the switch did not show it";
        const double lateS =
            static_cast<double>(e.clockUs) / 1e6 - static_cast<double>(reads[k]->repliedMs) / 1e3;
        EXPECT_GE(lateS, 0.0);
        EXPECT_LE(lateS, kFrameEndS);
        if (on) {
            EXPECT_EQ(std::vector<std::int16_t>(e.frame.begin(), e.frame.end()), replyWords(*reads[k]));
            EXPECT_NE(replyWords(*reads[k - 1]), replyWords(*reads[k]));
            onsetReply[e.bit] = reads[k];
        } else {
            const double tapS =
                static_cast<double>(reads[k]->repliedMs - onsetReply[e.bit]->repliedMs) / 1000;
            EXPECT_NEAR(e.durationS, tapS, kFrameEndS);
            EXPECT_NEAR(e.durationS, scheduled[i], kReadS + kFrameEndS);
        }
    }
}

TEST_F(FaultsOnTheLine, FaultsOnAtTheFirstReplyAfterEachOpenAreFirstAndCountedAgain)
{
    line.sim().setRegister(2762, 0x0006);  // overVolt, lackVolt
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(seen(collected.events),
              (std::vector<Seen>{{FaultEventKind::On, 1, true}, {FaultEventKind::On, 2, true}}));
    EXPECT_EQ(collected.events[0].occurrence, 1);
    EXPECT_EQ(collected.events[0].frame[14], 0x0006);

    // Closing the port loses them, at the close; the counts start again with
    // the next open.
    ASSERT_TRUE(waitMs(1000));
    const std::int64_t closing = ClockUs();
    line.close();
    const std::int64_t closed = ClockUs();
    ASSERT_TRUE(waitForEvents(4));
    for (int i : {2, 3}) {
        const FaultEvent& lost = collected.events[static_cast<std::size_t>(i)];
        EXPECT_EQ(lost.kind, FaultEventKind::Lost);
        EXPECT_GE(lost.clockUs, closing);
        EXPECT_LE(lost.clockUs, closed);
        EXPECT_DOUBLE_EQ(lost.durationS,
                         static_cast<double>(lost.clockUs - collected.events[0].clockUs) / 1e6);
    }
    // A reply the close cut off is written off while the port is still
    // closed, so that the passes on the reopened line do not wait for it.
    ASSERT_TRUE(testsupport::WaitFor([&] { return !line.sim().traffic().busy; }, 2000ms));
    ASSERT_TRUE(waitMs(200));
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(waitForEvents(6));
    EXPECT_EQ(collected.events[4].kind, FaultEventKind::On);
    EXPECT_TRUE(collected.events[4].first);
    EXPECT_EQ(collected.events[4].occurrence, 1);
}

TEST_F(FaultsOnTheLine, PullingTheLineLosesTheFaultsOnWithTheirDurationSoFar)
{
    line.sim().setRegister(2762, 0x0080);  // overcurrent Fault
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_TRUE(waitMs(1500));
    const std::int64_t pulledUs = ClockUs();
    line.sim().stop();
    ASSERT_TRUE(waitForEvents(2));
    // Lost at the last reply before the pull, or at the port error after it.
    const FaultEvent& lost = collected.events[1];
    EXPECT_EQ(lost.kind, FaultEventKind::Lost);
    EXPECT_EQ(lost.bit, 7);
    EXPECT_NEAR(static_cast<double>(lost.clockUs - pulledUs) / 1e6, 0.0, kReadS + kFrameEndS);
    EXPECT_DOUBLE_EQ(lost.durationS, static_cast<double>(lost.clockUs - collected.events[0].clockUs) / 1e6);
    EXPECT_EQ(lost.frame, collected.events[0].frame);
}

// --- The feed and the journal on the stepped clock ----------------------------

namespace {

std::int64_t g_nowMs = 100000;

class SteppedFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
        fillDataItems();
        SetClockSource([] { return g_nowMs; });
        tracker.addObserver(&collected);
    }
    void TearDown() override { SetClockSource(nullptr); }

    void after(std::int64_t ms)
    {
        g_nowMs += ms;
        feed.pump();
    }

    FaultTracker tracker;
    FaultFeed feed{tracker, TheLine().observers()};
    Collector collected;
};

}  // namespace

TEST_F(SteppedFaults, SilenceOfMoreThanThreeSecondsLosesTheFaultsAtTheLastReply)
{
    testsupport::ReportFaultWords(0x0002);
    after(500);
    testsupport::ReportFaultWords(0x0002);
    after(3000);
    ASSERT_EQ(collected.events.size(), 1u) << "3 s exactly is not yet a loss";
    after(1);
    ASSERT_EQ(collected.events.size(), 2u);
    EXPECT_EQ(collected.events[1].kind, FaultEventKind::Lost);
    EXPECT_DOUBLE_EQ(collected.events[1].durationS, 0.5);
    EXPECT_EQ(collected.events[1].clockUs, (g_nowMs - 3001) * 1000);

    // Back without a new open: on again, first-out (nothing known was on
    // before), and counted as the second onset.
    testsupport::ReportFaultWords(0x0002);
    after(100);
    ASSERT_EQ(collected.events.size(), 3u);
    EXPECT_EQ(collected.events[2].kind, FaultEventKind::On);
    EXPECT_TRUE(collected.events[2].first);
    EXPECT_EQ(collected.events[2].occurrence, 2);
}

// The tracker's own rule, without the feed's stale check in between: both
// replies reach it in one pump, the second more than 3 s after the first.
TEST_F(SteppedFaults, AReplyAfterAGapOfMoreThanThreeSecondsLosesTheFaultsAtTheReplyBeforeIt)
{
    testsupport::ReportFaultWords(0x0002);
    after(500);
    testsupport::ReportFaultWords(0x0002);
    const std::int64_t lastBeforeGapUs = g_nowMs * 1000;
    g_nowMs += 3000;  // exactly 3 s: still the same link
    testsupport::ReportFaultWords(0x0002);
    g_nowMs += 3001;
    testsupport::ReportFaultWords(0x0002);
    after(0);
    ASSERT_EQ(seen(collected.events), (std::vector<Seen>{{FaultEventKind::On, kOverVolt, true},
                                                         {FaultEventKind::Lost, kOverVolt, false},
                                                         {FaultEventKind::On, kOverVolt, true}}));
    EXPECT_EQ(collected.events[1].clockUs, lastBeforeGapUs + 3000 * 1000)
        << "at the last reply before the gap";
    EXPECT_DOUBLE_EQ(collected.events[1].durationS, 3.5);
    EXPECT_EQ(collected.events[2].clockUs, g_nowMs * 1000);
    EXPECT_EQ(collected.events[2].occurrence, 2);
}

// One bit clears and another comes on in the same reply: the reply before had
// a fault on, so the newcomer is not first-out.
TEST_F(SteppedFaults, ABitThatComesOnAsAnotherClearsIsNotFirstOut)
{
    testsupport::ReportFaultWords(0x0002);
    after(500);
    testsupport::ReportFaultWords(0x0000, 0x0002);
    after(500);
    testsupport::ReportFaultWords(0x0000);
    after(500);
    testsupport::ReportFaultWords(0x1000);
    after(500);
    EXPECT_EQ(seen(collected.events), (std::vector<Seen>{{FaultEventKind::On, kOverVolt, true},
                                                         {FaultEventKind::Off, kOverVolt, false},
                                                         {FaultEventKind::On, kOverSpeed, false},
                                                         {FaultEventKind::Off, kOverSpeed, false},
                                                         {FaultEventKind::On, kHallFault, true}}));
}

// Replies that found the feed's queue full are not known: the fault on before
// them is lost, not cleared by the reply that was dropped.
TEST_F(SteppedFaults, RepliesTheFeedHadNoRoomForCountAsALoss)
{
    for (std::size_t i = 0; i < kFaultFeedQueue; ++i) testsupport::ReportFaultWords(0x0002);
    testsupport::ReportFaultWords(0x0000);
    after(100);
    ASSERT_EQ(collected.events.size(), 2u);
    EXPECT_EQ(collected.events[0].kind, FaultEventKind::On);
    EXPECT_EQ(collected.events[1].kind, FaultEventKind::Lost);
    EXPECT_FALSE(tracker.tracking());
    testsupport::ReportFaultWords(0x0000);
    after(100);
    EXPECT_EQ(collected.events.size(), 2u);
}

TEST_F(SteppedFaults, JournalHasOneCompleteLinePerEventAndReportsAFailureOnce)
{
    const std::string path = testing::TempDir() + "/faults-" + std::to_string(::getpid()) + ".csv";
    std::remove(path.c_str());
    FaultJournal journal(path, {});
    int failures = 0;
    FaultJournal blocked("/dev/null/faults.csv", [&](const std::string&) { ++failures; });
    tracker.addObserver(&journal);
    tracker.addObserver(&blocked);

    std::array<std::uint16_t, 26> words{};
    words[0] = 24;     // the system status ring's item 24
    words[1] = 32767;  // 600 V: the full scale of 600/32767 V per count
    words[14] = 0x0002;
    testsupport::ReportStatusReply(words);
    after(500);
    testsupport::ReportFaultWords(0x0000);
    after(500);
    journal.drain();
    blocked.drain();

    const std::vector<std::vector<std::string>> file = testsupport::ReadCsv(path);
    ASSERT_EQ(file.size(), 3u);
    const std::vector<std::string>& header = file[0];
    ASSERT_EQ(header.size(), 7u + 26u);
    EXPECT_EQ(std::vector<std::string>(header.begin(), header.begin() + 9),
              (std::vector<std::string>{"time", "event", "register", "bit", "caption", "duration_s", "first",
                                        "System status", "Battery voltage (V)"}));

    const std::vector<std::string>& on = file[1];
    ASSERT_EQ(on.size(), header.size());
    EXPECT_TRUE(std::regex_match(on[0], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)")))
        << on[0];
    EXPECT_EQ(std::vector<std::string>(on.begin() + 1, on.begin() + 7),
              (std::vector<std::string>{"ON", "2762", "1", "overVolt", "", "yes"}));
    // As the main panel shows them: a ring's item text, a read-out's decimals.
    const RegisterControl* ring = Catalogue().statusRegisters()[0].on(RegisterPanel::Main);
    ASSERT_NE(ring, nullptr);
    EXPECT_FALSE(ring->itemCaption(24).empty());
    EXPECT_EQ(on[7], ring->itemCaption(24));
    EXPECT_EQ(on[8], "600.00");
    EXPECT_EQ(on[7 + 14], "0x0002 (overVolt)");

    const std::vector<std::string>& off = file[2];
    ASSERT_EQ(off.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(off.begin() + 1, off.begin() + 7),
              (std::vector<std::string>{"OFF", "2762", "1", "overVolt", "0.5", ""}));
    for (std::size_t i = 7; i < off.size(); ++i) EXPECT_EQ(off[i], "") << i;

    EXPECT_EQ(blocked.unwritten(), 2u) << "kept, to be written once the file can be";
    EXPECT_EQ(failures, 1) << "reported once, not once a line";
    std::remove(path.c_str());
}

TEST_F(SteppedFaults, JournalQuotesAFieldWithACommaAQuoteOrALineBreak)
{
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(CsvField("plain text"), "plain text");

    // A ring text of the panel resources with a comma in it, in the freeze frame.
    testsupport::EditedResources uir;
    const std::string ringText = "24:system running, flux weaken off";
    ASSERT_TRUE(uir.replace("mainwin.uir", "24:system runing(flux weaken disable)", ringText));
    const std::string path = testing::TempDir() + "/quoted-" + std::to_string(::getpid()) + ".csv";
    std::remove(path.c_str());
    FaultJournal journal(path, {});
    tracker.addObserver(&journal);
    std::array<std::uint16_t, 26> words{};
    words[0] = 24;
    words[14] = 0x0002;
    testsupport::ReportStatusReply(words);
    after(500);
    journal.drain();

    const std::vector<std::vector<std::string>> file = testsupport::ReadCsv(path);
    ASSERT_EQ(file.size(), 2u);
    ASSERT_EQ(file[1].size(), file[0].size()) << "the comma did not split the field";
    EXPECT_EQ(file[1][7], ringText);
    EXPECT_EQ(file[1][1], "ON");
    std::remove(path.c_str());
}
