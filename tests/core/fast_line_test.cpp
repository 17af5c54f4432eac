// Line-rate polling: the framing rules on their own, then the communication
// thread against the simulated controller over a pseudo-terminal, its replies
// paced as a 19200 bit/s line would carry them.
#include "serial/fast_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "engine/ems.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/password_timers.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "tests/support/fake_serial.h"
#include "tests/support/scripted_port.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::FromHex;
using testsupport::WaitFor;
using Bytes = std::vector<unsigned char>;

namespace {

// The sanitizers slow every step; the rate floor is lower under them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double kMinStatusReadsPerSecond = 8.0;
#else
constexpr double kMinStatusReadsPerSecond = 15.0;
#endif

using testsupport::kMainPanel;
using testsupport::kPortPanel;
constexpr int kStatus = sim::kStatusFirst;
constexpr int kBatteryRegister = kStatus + 1;  // dataItemOR[1]

Bytes withCrc(Bytes frame)
{
    const int crc = modrtuChecksum(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<unsigned char>(crc >> 8));
    frame.push_back(static_cast<unsigned char>(crc & 0xFF));
    return frame;
}

}  // namespace

TEST(FastLineFraming, ReplyIsCompleteAtItsImpliedLengthWithAGoodCrc)
{
    const Bytes statusRead = FromHex("01030abc001a063d");  // 26 registers
    const Bytes write = FromHex("01060fc759274169");
    Bytes reply = {0x01, 0x03, 52};
    reply.resize(3 + 52, 0x11);
    reply = withCrc(reply);
    ASSERT_EQ(reply.size(), 57u);

    EXPECT_EQ(ImpliedReplyLength(statusRead.data(), reply.data(), 1), 57);
    EXPECT_EQ(CompleteReplyLength(statusRead.data(), reply.data(), 56), 0);
    EXPECT_EQ(CompleteReplyLength(statusRead.data(), reply.data(), 57), 57);
    Bytes tail = reply;
    tail.insert(tail.end(), {0xde, 0xad});
    EXPECT_EQ(CompleteReplyLength(statusRead.data(), tail.data(), 59), 57) << "bytes after the frame";
    Bytes damaged = reply;
    damaged[10] ^= 0x40;
    EXPECT_EQ(CompleteReplyLength(statusRead.data(), damaged.data(), 57), 0);

    EXPECT_EQ(CompleteReplyLength(write.data(), write.data(), 8), 8) << "a write echo";
    const Bytes exception = withCrc({0x01, 0x83, 0x02});
    EXPECT_EQ(ImpliedReplyLength(statusRead.data(), exception.data(), 2), 5);
    EXPECT_EQ(CompleteReplyLength(statusRead.data(), exception.data(), 5), 5);
    EXPECT_EQ(CompleteReplyLength(write.data(), exception.data(), 5), 5);

    // A request the console never sends, or a read too long for a frame, has
    // no implied length: only silence ends its reply.
    const Bytes other = FromHex("0110000000010000");
    EXPECT_EQ(ImpliedReplyLength(other.data(), reply.data(), 57), 0);
    const Bytes huge = FromHex("01030abc00ff0000");
    EXPECT_EQ(ImpliedReplyLength(huge.data(), reply.data(), 57), 0);
    EXPECT_EQ(ImpliedReplyLength(nullptr, reply.data(), 57), 0);
}

TEST(FastLineFraming, SilenceIsThreeAndAHalfCharactersOrFixedAboveNineteenTwoHundred)
{
    EXPECT_EQ(InterFrameSilenceUs(19200, 1, 8, 1), 2006);  // 11 bits: 2005.2 us, rounded up
    EXPECT_EQ(InterFrameSilenceUs(9600, 0, 8, 1), 3646);   // 10 bits
    EXPECT_EQ(InterFrameSilenceUs(1200, 2, 8, 2), 35000);  // 12 bits
    EXPECT_EQ(InterFrameSilenceUs(115200, 1, 8, 1), 1750);
    EXPECT_GT(InterFrameSilenceUs(0, 0, 0, 0), 0);
    EXPECT_GT(InterFrameSilenceUs(-5, 0, 8, 1), 0);

    EXPECT_EQ(ClampReplyTimeoutMs(50), 100);
    EXPECT_EQ(ClampReplyTimeoutMs(750), 750);
    EXPECT_EQ(ClampReplyTimeoutMs(1e9), 2000);
    EXPECT_EQ(ClampReplyTimeoutMs(-1e9), 100);
    EXPECT_EQ(ClampReplyTimeoutMs(std::nan("")), 500);
}

TEST(FastLineFraming, ThePanelsReplyTimeOutLengthensTheWaitOnPassesOnlyOnANetworkLine)
{
    // Line-rate polling takes the panel's value up to 2 s; on a network line
    // the framing on passes waits the longer of it and 2 s.
    struct Case {
        bool lineRate;
        double panelMs;
        bool network;
        int lineRateMs;
        int passesMs;
    };
    const Case cases[] = {{false, 500, false, 500, 2000},  {false, 6000, false, 2000, 2000},
                          {false, 6000, true, 2000, 6000}, {false, 500, true, 500, 2000},
                          {true, 1e9, true, 2000, 10000},  {false, std::nan(""), true, 500, 2000}};
    for (const Case& c : cases) {
        ArmFastLine({c.lineRate, ClampPanelReplyTimeoutMs(c.panelMs)}, 19200, 1, 8, 1, c.network);
        EXPECT_EQ(TheLine().replyTimeoutMs(), c.lineRateMs) << c.panelMs << " network " << c.network;
        EXPECT_EQ(TheLine().passesTimeoutMs(), c.passesMs) << c.panelMs << " network " << c.network;
    }
}

namespace {

// The receive step alone, on a scripted port and a clock the test moves.
std::atomic<std::int64_t> g_nowMs{1000};
std::int64_t testClock()
{
    return g_nowMs.load();
}

class FastLineReceiveStep : public testsupport::ScriptedPortTest {
protected:
    void SetUp() override
    {
        SetClockSource(testClock);
        ScriptedPortTest::SetUp();
        panelMain = kMainPanel;
        ArmFastLine({true, 300}, 19200, 1, 8, 1);  // t3.5 = 2006 us
        modbus_package(0, kStatus, 3, 26);
        com_idle = 0;  // the request is on the line
        TheLine().receive();
    }
    void TearDown() override
    {
        ScriptedPortTest::TearDown();
        SetClockSource(nullptr);
    }

    static Bytes statusReply(int base) { return testsupport::ReadReply(26, base); }
    static void advanceMs(int ms) { g_nowMs += ms; }
};

}  // namespace

TEST_F(FastLineReceiveStep, ACompleteReplyEndsAtOnceAndWhatFollowsItIsDiscarded)
{
    Bytes bytes = statusReply(700);
    bytes.insert(bytes.end(), {0x01, 0x03, 0x34});
    const int flushesBefore = driver.inputFlushes();
    driver.arrive(bytes);
    TheLine().receive();  // no time passes
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(receive_frame_length, 57);
    EXPECT_EQ(dataItemOR[3].value.load(), 703.0);
    EXPECT_EQ(recieveLedON.load(), 1);
    EXPECT_GT(driver.inputFlushes(), flushesBefore);
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(TheLine().guardUntilUs(), g_nowMs.load() * 1000 + 2006) << "the next request waits t3.5";
}

TEST_F(FastLineReceiveStep, APartOfAReplyEndsAsAFrameOfItsOwnAfterMoreThanThreeAndAHalfCharacters)
{
    const Bytes reply = statusReply(700);
    driver.arrive(Bytes(reply.begin(), reply.begin() + 20));
    TheLine().receive();
    advanceMs(2);  // 2000 us: not yet t3.5
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 0);
    driver.arrive(Bytes(reply.begin() + 20, reply.end()));
    advanceMs(1);
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 1) << "bytes within t3.5 belong to the same frame";
    EXPECT_EQ(dataItemOR[3].value.load(), 703.0);

    modbus_package(0, kStatus, 3, 26);
    com_idle = 0;
    TheLine().receive();
    driver.arrive(Bytes(reply.begin(), reply.begin() + 20));
    TheLine().receive();
    advanceMs(3);
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(receive_frame_length, 20);
    EXPECT_EQ(recieveLedON.load(), 0) << "rejected by the parser";
}

TEST_F(FastLineReceiveStep, AReplyOfTheRightLengthWithABadCrcEndsOnlyBySilenceAndIsRejectedWhole)
{
    Bytes reply = statusReply(700);
    reply[20] ^= 0x40;  // damaged on the way: the CRC no longer matches
    const LinkCounters before = ReadLinkCounters();
    LineEventReader events;
    driver.arrive(reply);
    TheLine().receive();  // no time passes
    EXPECT_EQ(com_idle.load(), 0) << "57 bytes with a bad CRC are not a complete reply";
    advanceMs(2);  // 2000 us: not yet t3.5
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 0);
    advanceMs(1);
    TheLine().receive();
    ASSERT_EQ(com_idle.load(), 1) << "ended by t3.5 of silence";
    EXPECT_EQ(receive_frame_length, 57);
    EXPECT_EQ(recieveLedON.load(), 0) << "rejected by the parser";
    EXPECT_NE(dataItemOR[3].value.load(), 703.0) << "nothing of it stored";

    const LinkCounters after = ReadLinkCounters();
    EXPECT_EQ(after.crcErrors - before.crcErrors, 1u);
    EXPECT_EQ(after.repliesOk, before.repliesOk);
    EXPECT_EQ(after.bytesReceived - before.bytesReceived, 57u);
    std::vector<LineEvent> seen(8);
    seen.resize(static_cast<std::size_t>(events.read(seen.data(), 8)));
    const auto rejected = std::find_if(
        seen.begin(), seen.end(), [](const LineEvent& e) { return e.kind == LineEventKind::ReplyRejected; });
    ASSERT_NE(rejected, seen.end());
    EXPECT_EQ(rejected->length, 57) << "the whole frame, as it arrived";
    EXPECT_EQ(rejected->result, MODBUS_BAD_CRC);
}

TEST_F(FastLineReceiveStep, WithoutAReplyTheLineIsFreedAfterTheSetTimeout)
{
    advanceMs(300);
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 0) << "300 ms is not more than 300 ms";
    driver.arrive({0x01, 0x03});  // a stray start, then nothing
    advanceMs(1);
    TheLine().receive();
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(receive_count, 0);
    EXPECT_EQ(recieveLedON.load(), 0);
    EXPECT_TRUE(ui.popups().empty());
}

namespace {

class FastLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        ui.setInt(kPortPanel, uir::panel_com::FAST_LINE, 1);
        ui.setDouble(kPortPanel, uir::panel_com::FAST_LINE_TIMEOUT, 500.0);
    }

    // Opens the port and waits until every page was read and status polling runs.
    void startPolling()
    {
        ASSERT_TRUE(line.open());
        ASSERT_TRUE(FastLineActive());
        ASSERT_TRUE(WaitFor(
            [&] {
                const auto reads = statusReads();
                return std::any_of(reads.begin(), reads.end(),
                                   [](const auto& r) { return r.repliedMs >= 0; });
            },
            10000ms));
    }

    // Pins a status register and waits until the console shows the value.
    bool statusArrives(std::uint16_t battery, std::chrono::milliseconds within)
    {
        sim.setRegister(kBatteryRegister, battery);
        return WaitFor([&] { return dataItemOR[1].value.load() == battery; }, within);
    }

    std::vector<sim::RequestRecord> statusReads()
    {
        std::vector<sim::RequestRecord> out;
        for (const auto& r : sim.requests()) {
            if (r.function == 3 && r.address == kStatus) out.push_back(r);
        }
        return out;
    }

    double statusReadsPerSecond(std::chrono::milliseconds window)
    {
        const std::size_t before = statusReads().size();
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(window);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        return static_cast<double>(statusReads().size() - before) / seconds;
    }

    // Replies paced as a 19200 bit/s line carries them; the rate is the subject.
    testsupport::SimulatedLine line{testsupport::LineClock::Real, 19200};
    sim::Simulator& sim = line.sim();
    testsupport::RecordingUi& ui = line.ui();
};

// Two requests are never on the line at once: each arrives after the
// previous one was answered, or after the reply time-out when it was not.
void expectOneAtATime(const std::vector<sim::RequestRecord>& log, int timeoutMs)
{
    for (size_t i = 1; i < log.size(); ++i) {
        const auto& prev = log[i - 1];
        const std::int64_t freeFrom = prev.repliedMs >= 0 ? prev.repliedMs : prev.receivedMs + timeoutMs;
        EXPECT_GE(log[i].receivedMs, freeFrom) << "request " << i << " overlapped its predecessor";
    }
}

std::vector<std::int64_t> intervals(const std::vector<sim::RequestRecord>& reads)
{
    std::vector<std::int64_t> out;
    for (size_t i = 1; i < reads.size(); ++i) out.push_back(reads[i].receivedMs - reads[i - 1].receivedMs);
    return out;
}

}  // namespace

TEST_F(FastLine, StatusRefreshesAtLineRateOneRequestAtATime)
{
    startPolling();
    sim.clearRequests();
    const double rate = statusReadsPerSecond(3000ms);
    EXPECT_GE(rate, kMinStatusReadsPerSecond);
    // The line itself allows about 25 a second (37 ms a reply, t3.5, handling).
    EXPECT_LE(rate, 30.0);
    const auto log = sim.requests();
    expectOneAtATime(log, 500);
    // Every request but the one on the line now was answered.
    for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_GE(log[i].repliedMs, 0) << i;
    EXPECT_TRUE(statusArrives(1234, 1000ms));
    EXPECT_TRUE(ui.popups().empty());
}

struct FaultCase {
    const char* name;
    sim::Fault fault;
    bool acceptedWhileOn;  // replies are still taken while the fault lasts
};

class FastLineFaults : public FastLine, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FastLineFaults, PollingRecoversWhenTheFaultEnds)
{
    const FaultCase& c = GetParam();
    startPolling();
    sim.setFault(kStatus, c.fault);
    sim.clearRequests();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(statusArrives(4321, 1500ms), c.acceptedWhileOn);
    sim.clearFault(kStatus);
    EXPECT_TRUE(statusArrives(5678, 2000ms)) << "recovered";
    sim.clearRequests();
    EXPECT_GE(statusReadsPerSecond(2000ms), kMinStatusReadsPerSecond) << "back at line rate";
    expectOneAtATime(sim.requests(), 500);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_TRUE(ui.popups().empty());
}

sim::Fault makeFault(void (*set)(sim::Fault&))
{
    sim::Fault f;
    set(f);
    return f;
}

// A reply split by 150 ms is one frame on 100 ms passes; here the gap
// exceeds t3.5, so each half is a frame of its own and neither is taken.
INSTANTIATE_TEST_SUITE_P(
    Faults, FastLineFaults,
    ::testing::Values(
        FaultCase{"Silent", makeFault([](sim::Fault& f) { f.silent = true; }), false},
        FaultCase{"SplitBy150ms", makeFault([](sim::Fault& f) { f.splitGapMs = 150; }), false},
        FaultCase{"BadCrc", makeFault([](sim::Fault& f) { f.corruptCrc = true; }), false},
        FaultCase{"LateBeyondTheTimeout", makeFault([](sim::Fault& f) { f.delayMs = 700; }), false},
        FaultCase{"TrailingGarbage", makeFault([](sim::Fault& f) { f.trailingBytes = 9; }), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FastLine, SilentControllerIsGivenUpAfterTheReplyTimeoutAndALateReplyAwaitedAsLong)
{
    ui.setDouble(kPortPanel, uir::panel_com::FAST_LINE_TIMEOUT, 300.0);
    startPolling();
    sim.setFault(kStatus, makeFault([](sim::Fault& f) { f.silent = true; }));
    sim.clearRequests();
    ASSERT_TRUE(WaitFor([&] { return statusReads().size() >= 5; }, 5000ms));
    // The simulator stamps each request when its poll notices it, a few
    // milliseconds late at worst on a busy machine; without the quiet wait
    // the gap would be about 300 ms.
    for (std::int64_t gap : intervals(statusReads())) {
        EXPECT_GE(gap, 2 * 300 - 10);
        EXPECT_LT(gap, 2 * 300 + 150);
    }
}

// A reply that comes after the time-out must not be taken for the next
// request's: every request after it would get its predecessor's reply.
TEST_F(FastLine, AfterALateReplyEachRequestGetsItsOwnReply)
{
    startPolling();
    sim.setRegister(2549, 77);
    sim::Fault late;
    late.delayMs = 700;
    late.times = 1;
    sim.setFault(kStatus, late);
    std::this_thread::sleep_for(2000ms);  // the late reply, and what follows it
    dataItem1[0].query_flag = 1;          // read the first page again, between status reads
    EXPECT_TRUE(WaitFor([] { return dataItem1[1].value.load() == 77.0; }, 2000ms));
    EXPECT_TRUE(statusArrives(2468, 1000ms));
}

TEST_F(FastLine, PendingWriteGoesBeforeTheNextReadExactlyOnce)
{
    startPolling();
    dataItem1[2].value = 58.0;
    dataItem1[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return sim.registerValue(2550) == 58; }, 3000ms));
    const size_t before = sim.requestCount();
    ASSERT_TRUE(WaitFor([&] { return sim.requestCount() >= before + 5; }, 3000ms));
    const auto log = sim.requests();
    const auto isWrite = [](const sim::RequestRecord& r) { return r.function == 6 && r.address == 2550; };
    EXPECT_EQ(std::count_if(log.begin(), log.end(), isWrite), 1);
    auto w = std::find_if(log.begin(), log.end(), isWrite);
    ASSERT_NE(w, log.end());
    EXPECT_EQ(w->quantityOrValue, 58);
    ASSERT_NE(w + 1, log.end());
    EXPECT_EQ((w + 1)->address, kStatus);
    expectOneAtATime(log, 500);
}

TEST_F(FastLine, PasswordTimerFindsTheLineIdleBetweenExchanges)
{
    startPolling();
    sim.clearRequests();
    std::atomic<bool> stop{false};
    std::thread fastTimer([&] {
        while (!stop) {
            timer_cmPW_rt(kMainPanel, uir::panel_main::TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0);
            std::this_thread::sleep_for(50ms);
        }
    });
    timer_cmPW(kMainPanel, uir::panel_main::TIMER_CMPW, EVENT_TIMER_TICK, nullptr, 0, 0);
    const bool written = WaitFor(
        [&] {
            const auto log = sim.requests();
            return std::any_of(log.begin(), log.end(), [](const auto& r) { return r.address == 4039; });
        },
        1000ms);
    stop = true;
    fastTimer.join();
    EXPECT_TRUE(written);
    expectOneAtATime(sim.requests(), 500);
    EXPECT_TRUE(statusArrives(999, 1000ms)) << "polling went on";
}

TEST_F(FastLine, CloseHoldsTheLoopEndsAWritePressedMeanwhileAndReopenReadsEveryPageAgain)
{
    startPolling();
    line.close();
    ASSERT_EQ(comConfigure_success_flag.load(), 0);
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 1; }, 2000ms));
    std::this_thread::sleep_for(100ms);  // the last request sent may still be on its way
    sim.clearRequests();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(sim.requests().empty()) << "nothing goes out while the port is closed";
    // A write pressed meanwhile ends at once and is not written once the port opens.
    dataItem1[2].value = 60.0;
    dataItem1[2].send_flag = 1;
    EXPECT_TRUE(WaitFor([] { return dataItem1[2].send_flag.load() == 0; }, 2000ms));
    line.configure();
    // The pages are read again, ahead of the status block.
    ASSERT_TRUE(WaitFor([&] { return !statusReads().empty(); }, 5000ms));
    std::vector<int> pages;
    for (const auto& r : sim.requests()) {
        if (r.function == 3 && r.address != kStatus) pages.push_back(r.address);
    }
    EXPECT_EQ(pages, (std::vector<int>{2548, 2568, 2588, 2608, 2628, 2648}));
    const auto log = sim.requests();
    EXPECT_TRUE(std::none_of(log.begin(), log.end(),
                             [](const auto& r) { return r.function == 6 && r.address == 2550; }));
}

TEST_F(FastLine, SwitchingOffRestoresTheCadenceOfTheHundredMillisecondPasses)
{
    startPolling();
    line.close();
    ui.setInt(kPortPanel, uir::panel_com::FAST_LINE, 0);
    line.configure();
    ASSERT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_FALSE(FastLineActive());
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 0; }, 10000ms));
    sim.clearRequests();
    ASSERT_TRUE(WaitFor([&] { return statusReads().size() >= 7; }, 10000ms));
    // On 100 ms passes an exchange takes five of them: the reply is collected
    // on the next pass, then more than 200 ms of silence, then one more pass.
    std::vector<std::int64_t> gaps = intervals(statusReads());
    // The simulator notes each request when its thread gets to it, so single
    // gaps carry some scheduling noise; the median does not.
    for (std::int64_t gap : gaps) {
        EXPECT_GE(gap, 400);
        EXPECT_LT(gap, 800);
    }
    std::sort(gaps.begin(), gaps.end());
    EXPECT_GE(gaps[gaps.size() / 2], 490);
    EXPECT_LT(gaps[gaps.size() / 2], 600);
    expectOneAtATime(sim.requests(), REPLY_TIMEOUT_MS);
}
