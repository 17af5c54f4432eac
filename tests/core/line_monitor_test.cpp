// The line-event source, its counters, the decoded traffic and the status
// recording, against the simulated controller. The simulator's request log is
// the independent tap: it holds every request it received and every byte it
// sent back, so what the console counted can be checked against the line.
// The console's clock is stepped, except where a reply's timing is the
// subject (see LineMonitorOnRealTime).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "engine/ems.h"
#include "engine/status_recorder.h"
#include "engine/traffic_decode.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/os/clock.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::WaitFor;

namespace {

constexpr int kStatus = 2748;

// What the tap saw, classified without the console's parser.
struct TapCounts {
    std::uint64_t requests = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReplied = 0;
    std::uint64_t unanswered = 0;  // no reply, or a reply later than the console waits
    std::uint64_t badCrc = 0;
    std::uint64_t exceptions = 0;
    std::uint64_t passwordWrites = 0;
};

TapCounts countTap(const std::vector<sim::RequestRecord>& log)
{
    TapCounts t;
    for (const sim::RequestRecord& r : log) {
        ++t.requests;
        t.bytesSent += r.raw.size();
        t.bytesReplied += r.reply.size();
        if (r.function == 6 && r.address == PASSWORD_REGISTER) ++t.passwordWrites;
        if (r.repliedMs < 0 || r.repliedMs - r.receivedMs > REPLY_TIMEOUT_MS) {
            ++t.unanswered;
        } else if (r.reply.size() >= 2 && (r.reply[1] & 0x80) != 0) {
            ++t.exceptions;
        } else if (r.reply.size() >= 4) {
            const int n = static_cast<int>(r.reply.size()) - 2;
            const int crc = (r.reply[n] << 8) | r.reply[n + 1];
            if (modrtuChecksum(r.reply.data(), n) != crc) ++t.badCrc;
        }
    }
    return t;
}

class LineMonitor : public ::testing::Test {
protected:
    explicit LineMonitor(testsupport::LineClock clock = testsupport::LineClock::Stepped)
        : line(clock), sim(line.sim())
    {
    }

    void SetUp() override { ASSERT_TRUE(line.started()) << line.error(); }

    void startPolling() { ASSERT_TRUE(line.open()); }

    bool waitForStatusReplies(std::uint64_t count, std::chrono::milliseconds timeout = 20000ms)
    {
        return WaitFor(
            [&] {
                std::uint64_t n = 0;
                for (const auto& r : sim.requests()) n += r.address == kStatus && r.repliedMs >= 0 ? 1 : 0;
                return n >= count;
            },
            timeout);
    }

    // Stops asking for reads, lets the exchange on the line finish and stops
    // the thread: afterwards the console and the tap have seen the same line.
    void settle()
    {
        query_enable_flag = 0;
        ASSERT_TRUE(WaitFor(
            [&] {
                const LinkCounters c = ReadLinkCounters();
                return com_idle.load() == 1 && c.requests == sim.requestCount() &&
                       c.bytesReceived == countTap(sim.requests()).bytesReplied;
            },
            10000ms))
            << "idle " << com_idle.load() << "; requests " << ReadLinkCounters().requests << " sent, "
            << sim.requestCount() << " taken; reply bytes " << ReadLinkCounters().bytesReceived << " read, "
            << countTap(sim.requests()).bytesReplied << " written";
        line.stop();
    }

    std::vector<LineEvent> drain(LineEventReader& reader)
    {
        std::vector<LineEvent> all;
        std::vector<LineEvent> batch(64);
        for (;;) {
            const int n = reader.read(batch.data(), 64);
            all.insert(all.end(), batch.begin(), batch.begin() + n);
            if (n < 64) return all;
        }
    }

    // Runs polling with `fault` on the status block once, and checks the
    // counters against the tap. Returns the events seen.
    std::vector<LineEvent> runWithFault(const sim::Fault& fault)
    {
        LineEventReader reader;
        startPolling();
        EXPECT_TRUE(waitForStatusReplies(2));
        sim.setFault(kStatus, fault);
        const std::size_t faultAt = sim.requestCount();
        EXPECT_TRUE(WaitFor([&] { return sim.requestCount() >= faultAt + 3; }, 20000ms));
        settle();
        const TapCounts tap = countTap(sim.requests());
        const LinkCounters c = ReadLinkCounters();
        EXPECT_EQ(c.requests, tap.requests);
        EXPECT_EQ(c.bytesSent, tap.bytesSent);
        EXPECT_EQ(c.bytesReceived, tap.bytesReplied);
        EXPECT_EQ(c.timeouts, tap.unanswered);
        EXPECT_EQ(c.crcErrors, tap.badCrc);
        EXPECT_EQ(c.exceptions, tap.exceptions);
        EXPECT_EQ(c.passwordWrites, tap.passwordWrites);
        // One outcome per request, except that a password write sent again
        // before the first echo was parsed shares that echo's frame.
        const std::uint64_t outcomes = c.repliesOk + c.timeouts + c.crcErrors + c.exceptions + c.otherRejects;
        EXPECT_LE(outcomes, c.requests);
        EXPECT_GE(outcomes + c.passwordWrites - 1, c.requests);

        // Every request the tap received was reported with exactly its bytes.
        std::vector<LineEvent> events = drain(reader);
        std::vector<std::vector<std::uint8_t>> sent;
        for (const LineEvent& e : events) {
            if (e.kind == LineEventKind::RequestSent) sent.emplace_back(e.bytes, e.bytes + e.length);
        }
        std::vector<std::vector<std::uint8_t>> received;
        for (const auto& r : sim.requests()) received.push_back(r.raw);
        EXPECT_EQ(sent, received);
        return events;
    }

    static std::vector<std::string> decoded(const std::vector<LineEvent>& events, LineEventKind kind)
    {
        std::vector<std::string> lines;
        for (const LineEvent& e : events) {
            if (e.kind == kind) lines.push_back(DecodeLineEvent(e));
        }
        return lines;
    }

    testsupport::SimulatedLine line;
    sim::Simulator& sim;
};

// The cases about a reply's timing: the simulator holds a delay or a gap on
// real time and the stepped line waits for what it owes, so on the stepped
// clock the console would never see a reply late or in two parts.
class LineMonitorOnRealTime : public LineMonitor {
protected:
    LineMonitorOnRealTime() : LineMonitor(testsupport::LineClock::Real) {}
};

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST_F(LineMonitor, DroppedReplyIsOneTimeoutAndPollingGoesOn)
{
    sim::Fault drop;
    drop.silent = true;
    drop.times = 1;
    const auto events = runWithFault(drop);
    EXPECT_EQ(ReadLinkCounters().timeouts, 1u);
    EXPECT_EQ(decoded(events, LineEventKind::Timeout),
              std::vector<std::string>{"R 2748..2773 (26) → ✗ no reply in time"});
    EXPECT_TRUE(contains(decoded(events, LineEventKind::ReplyAccepted), "R 2748..2773 (26) → 57 bytes ✓"));
}

TEST_F(LineMonitorOnRealTime, ReplyLaterThanTheTimeoutCountsAsTimeout)
{
    sim::Fault late;
    late.delayMs = REPLY_TIMEOUT_MS + 600;
    late.times = 1;
    runWithFault(late);
    EXPECT_EQ(ReadLinkCounters().timeouts, 1u);
}

TEST_F(LineMonitor, BadCrcIsRejectedInWords)
{
    sim::Fault crc;
    crc.corruptCrc = true;
    crc.times = 1;
    const auto events = runWithFault(crc);
    const LinkCounters c = ReadLinkCounters();
    EXPECT_EQ(c.crcErrors, 1u);
    EXPECT_EQ(decoded(events, LineEventKind::ReplyRejected),
              std::vector<std::string>{"R 2748..2773 (26) → ✗ CRC or length wrong"});
    // A rejected reply still has its response time; the last good reply does not move.
    // (The password echo shared by two writes has none.)
    EXPECT_LE(c.responses, c.repliesOk + c.crcErrors);
    EXPECT_GE(c.responses + 1, c.repliesOk + c.crcErrors);
    EXPECT_GT(c.lastGoodReplyWallMs, 0);
}

TEST_F(LineMonitor, ExceptionReplyIsCountedWithItsCode)
{
    sim::Fault exception;
    exception.exceptionCode = 2;
    exception.times = 1;
    const auto events = runWithFault(exception);
    EXPECT_EQ(ReadLinkCounters().exceptions, 1u);
    EXPECT_EQ(decoded(events, LineEventKind::ReplyRejected),
              std::vector<std::string>{"R 2748..2773 (26) → ✗ exception 2: illegal data address"});
}

TEST_F(LineMonitorOnRealTime, ReplySplitInsideTheSilenceIsOneGoodFrame)
{
    sim::Fault split;
    split.splitGapMs = FRAME_END_SILENCE_MS / 4;
    split.times = 3;
    const auto events = runWithFault(split);
    const LinkCounters c = ReadLinkCounters();
    EXPECT_EQ(c.timeouts + c.crcErrors + c.exceptions + c.otherRejects, 0u);
    EXPECT_GE(c.repliesOk, 10u);
    EXPECT_TRUE(decoded(events, LineEventKind::ReplyRejected).empty());
}

TEST_F(LineMonitor, WritesAndPasswordDecodeWithTheirPanelNames)
{
    LineEventReader reader;
    startPolling();
    ASSERT_TRUE(waitForStatusReplies(1));
    dataItem1[2].value = 58.0;
    dataItem1[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return sim.registerValue(2550) == 58; }, 5000ms));
    settle();
    const auto events = drain(reader);
    const auto replies = decoded(events, LineEventKind::ReplyAccepted);
    EXPECT_TRUE(contains(replies, "W 2550 Over volt = 58 → echo ✓"));
    EXPECT_TRUE(contains(replies, "W 4039 Password = 22823 → password accepted ✓"));
    EXPECT_GE(ReadLinkCounters().passwordWrites, 1u);
}

// A reader that falls behind loses its oldest events, is told how many, and
// never holds up the reporting side.
TEST(LineEvents, SlowReaderLosesTheOldestAndIsToldHowMany)
{
    ResetLinkCounters();
    LineEventReader slow;
    const unsigned char frame[8] = {0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A, 0x87, 0xD2};
    const int total = kLineEventCapacity + 905;
    for (int i = 0; i < total; ++i) LineRequestSent(frame, 8);
    std::vector<LineEvent> got(kLineEventCapacity + 10);
    const int n = slow.read(got.data(), static_cast<int>(got.size()));
    ASSERT_EQ(n, kLineEventCapacity);
    EXPECT_EQ(slow.lost(), 905u);
    for (int i = 1; i < n; ++i) ASSERT_EQ(got[i].sequence, got[i - 1].sequence + 1);
    EXPECT_EQ(ReadLinkCounters().requests, static_cast<std::uint64_t>(total));
    EXPECT_EQ(slow.read(got.data(), 1), 0);
}

// The response time runs from the end of the request to the last reply byte,
// not to the moment the silence after it ended the frame. A reply to one of
// two requests on the line at once gets none.
TEST(LineEvents, ResponseTimeEndsWithTheLastReplyByte)
{
    static std::int64_t now = 1000;
    SetClockSource([] { return now; });
    LineReplyTimeout(nullptr, 0);  // nothing left awaiting a reply
    ResetLinkCounters();
    const unsigned char request[8] = {0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A, 0x06, 0x3D};
    const unsigned char reply[5] = {0x01, 0x83, 0x02, 0xC0, 0xF1};
    for (const std::int64_t lastByteAfter : {40, 25, 90}) {
        LineRequestSent(request, 8);
        now += lastByteAfter;
        LineBytesReceived(5);
        now += 300;
        LineReplyParsed(reply, 5, MODBUS_EXCEPTION_2);
    }
    LinkCounters c = ReadLinkCounters();
    EXPECT_EQ(c.responseLastUs, 90000);
    EXPECT_EQ(c.responseMinUs, 25000);
    EXPECT_EQ(c.responseMaxUs, 90000);
    EXPECT_DOUBLE_EQ(c.responseMeanUs(), 155000.0 / 3);
    EXPECT_EQ(c.exceptions, 3u);
    EXPECT_EQ(c.lastGoodReplyWallMs, -1);

    LineRequestSent(request, 8);
    LineRequestSent(request, 8);  // before the first was answered
    now += 10;
    LineBytesReceived(5);
    LineReplyParsed(reply, 5, MODBUS_EXCEPTION_2);
    c = ReadLinkCounters();
    EXPECT_EQ(c.responses, 3u);
    EXPECT_EQ(c.responseMinUs, 25000);
    ResetLinkCounters();
    EXPECT_EQ(ReadLinkCounters().requests, 0u);
    EXPECT_EQ(ReadLinkCounters().responseMinUs, -1);
    SetClockSource(nullptr);
}

// A request was on the line when the port closed: nothing of it carries over
// to the port opened again, so the first reply there has its response time
// (it used to count as overlapping the lost request, and had none). "Reset
// counters" with a request on the line leaves nothing of it either: the
// counters start from nothing, and its late answer counts for nothing.
TEST(LineEvents, NothingAwaitedSurvivesAReopenOrAResetOfTheCounters)
{
    static std::int64_t now = 5000;
    SetClockSource([] { return now; });
    const unsigned char request[8] = {0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A, 0x06, 0x3D};
    const unsigned char reply[5] = {0x01, 0x83, 0x02, 0xC0, 0xF1};
    LineEventReader reader;
    const auto exchange = [&](std::int64_t lastByteAfter) {
        LineRequestSent(request, 8);
        now += lastByteAfter;
        LineBytesReceived(5);
        LineReplyParsed(reply, 5, MODBUS_EXCEPTION_2);
    };
    const auto lastReply = [&] {
        LineEvent events[16];
        LineEvent last;
        for (int n; (n = reader.read(events, 16)) > 0;) {
            for (int i = 0; i < n; ++i) {
                if (events[i].kind == LineEventKind::ReplyRejected) last = events[i];
            }
        }
        return last;
    };

    LineRequestSent(request, 8);
    TheLine().portClosed("closed by the operator");
    TheLine().portOpened("port opened again");
    exchange(30);
    EXPECT_EQ(lastReply().responseUs, 30000);
    LinkCounters c = ReadLinkCounters();
    EXPECT_EQ(c.responses, 1u);
    EXPECT_EQ(c.responseLastUs, 30000);

    LineRequestSent(request, 8);
    ResetLinkCounters();
    now += 50;
    LineBytesReceived(5);
    LineReplyParsed(reply, 5, MODBUS_EXCEPTION_2);
    c = ReadLinkCounters();
    EXPECT_EQ(c.requests + c.exceptions + c.bytesReceived + c.responses, 0u)
        << "the answer to a request before";
    EXPECT_EQ(c.responseMinUs, -1);
    EXPECT_EQ(lastReply().responseUs, -1);
    exchange(20);
    c = ReadLinkCounters();
    EXPECT_EQ(c.requests, 1u);
    EXPECT_EQ(c.exceptions, 1u);
    EXPECT_EQ(c.bytesReceived, 5u);
    EXPECT_EQ(c.bytesSent, 8u);
    EXPECT_EQ(c.responses, 1u);
    EXPECT_EQ(c.responseMinUs, 20000);
    EXPECT_EQ(c.responseMaxUs, 20000);
    EXPECT_EQ(lastReply().responseUs, 20000);
    SetClockSource(nullptr);
}

// A monitor stuck in its own work (here: between two reads, for as long as
// the test likes) and one that never reads at all do not hold the line: the
// requests keep coming at the same pace. A reporting side that waited for the
// monitor would stop the passes, and with them the stepped clock.
TEST_F(LineMonitor, StalledMonitorDoesNotSlowPolling)
{
    LineEventReader neverRead;
    startPolling();
    ASSERT_TRUE(waitForStatusReplies(4));
    const auto spacing = [&](std::size_t from) {
        std::vector<std::int64_t> gaps;
        const auto log = sim.requests();
        for (std::size_t i = from + 1; i < log.size(); ++i) {
            if (log[i].address == kStatus && log[i - 1].address == kStatus) {
                gaps.push_back(log[i].receivedMs - log[i - 1].receivedMs);
            }
        }
        std::sort(gaps.begin(), gaps.end());
        return gaps.empty() ? std::int64_t{-1} : gaps[gaps.size() / 2];
    };
    const std::int64_t before = spacing(0);

    std::atomic<bool> stalled{false};
    std::atomic<bool> release{false};
    std::atomic<int> readsWhileStalled{0};
    std::thread monitor([&] {
        LineEventReader reader;
        std::vector<LineEvent> batch(16);
        while (reader.read(batch.data(), 16) == 0) std::this_thread::sleep_for(5ms);
        stalled = true;
        while (!release) std::this_thread::sleep_for(5ms);  // stuck with a batch in hand
        readsWhileStalled = reader.read(batch.data(), 16);
    });
    // The requests counted are those sent while the monitor is stuck.
    const bool stuck = WaitFor([&] { return stalled.load(); }, 10000ms);
    const std::size_t stallStart = sim.requestCount();
    const bool progressed = WaitFor([&] { return sim.requestCount() >= stallStart + 8; }, 20000ms);
    const std::int64_t during = spacing(stallStart);
    release = true;
    monitor.join();
    ASSERT_TRUE(stuck);
    ASSERT_TRUE(progressed);
    EXPECT_GT(readsWhileStalled.load(), 0);
    // Same cadence, give or take one pass of the communication thread.
    EXPECT_LE(during, before + 100) << "median request spacing before " << before << " ms, during " << during;
    EXPECT_EQ(neverRead.lost(), 0u);
}

namespace {

std::string tempPath(const char* name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/" + name + std::to_string(getpid()) + ".csv";
}

}  // namespace

TEST_F(LineMonitor, RecordingHasOneRowPerStatusReplyInPhysicalUnits)
{
    // Fixed register contents, negative and scaled ones among them.
    const std::vector<std::pair<int, std::uint16_t>> pinned = {
        {2749, 20000}, {2750, 0xFF38 /* -200 */}, {2756, 32767}, {2759, 1234}, {2758, 0x8000}};
    for (const auto& [reg, value] : pinned) ASSERT_TRUE(sim.setRegister(reg, value));
    const std::string file = tempPath("record");
    StatusRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(file, &error)) << error;
    startPolling();
    ASSERT_TRUE(waitForStatusReplies(4));
    settle();
    recorder.stop();
    EXPECT_TRUE(recorder.takeError().empty());

    const auto rows = testsupport::ReadCsv(file);
    std::remove(file.c_str());
    ASSERT_FALSE(rows.empty());
    const auto& header = rows.front();
    ASSERT_EQ(header.size(), 27u);
    EXPECT_EQ(header[0], "time");
    EXPECT_EQ(header[2], "Battery voltage (V)");
    std::uint64_t statusReplies = 0;
    for (const auto& r : sim.requests()) statusReplies += r.address == kStatus && r.repliedMs >= 0 ? 1 : 0;
    EXPECT_EQ(rows.size() - 1, statusReplies);
    EXPECT_EQ(recorder.rows(), statusReplies);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 27u) << i;
        // 2026-12-08T07:41:05.123+01:00
        EXPECT_EQ(rows[i][0].size(), 29u) << rows[i][0];
        EXPECT_EQ(rows[i][0][10], 'T');
        EXPECT_EQ(rows[i][0][19], '.');
        for (const auto& [reg, value] : pinned) {
            const DataItem& item = dataItemOR[reg - kStatus];
            const int raw = value >= 0x8000 ? value - 0x10000 : value;
            const double expected = static_cast<double>(raw) * item.scale_num.load() / item.scale_den.load();
            EXPECT_NEAR(std::stod(rows[i][1 + reg - kStatus]), expected,
                        1e-6 * std::max(1.0, std::abs(expected)))
                << "register " << reg;
        }
    }
}

TEST_F(LineMonitor, UnwritableRecordingIsReportedAndPollingGoesOn)
{
    StatusRecorder recorder;
    std::string error;
    EXPECT_FALSE(recorder.start("/dev/full", &error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
    EXPECT_FALSE(recorder.start("/nonexistent-folder/x.csv", &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;

    // A disk that fills up while recording: the file may not grow past the
    // header and a few rows.
    const std::string file = tempPath("full");
    const testsupport::FileSizeLimit full(StatusRecorder::HeaderLine().size() + 600);
    ASSERT_TRUE(full.set());
    ASSERT_TRUE(recorder.start(file, &error)) << error;
    startPolling();
    ASSERT_TRUE(WaitFor([&] { return !recorder.recording(); }, 30000ms));
    const std::string message = recorder.takeError();
    EXPECT_NE(message.find("Recording stopped"), std::string::npos) << message;
    EXPECT_TRUE(recorder.takeError().empty());
    const std::size_t after = sim.requestCount();
    EXPECT_TRUE(WaitFor([&] { return sim.requestCount() >= after + 3; }, 10000ms));
    recorder.stop();
    std::remove(file.c_str());
}
