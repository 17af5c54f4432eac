// The transmit and receive steps against a scripted controller: frame end by
// silence, the reply time-out, the byte limit and what rejected replies leave
// behind. The console's clock is one the test steps by hand, a pass of 100 ms
// at a time, so the rules are measured in the console's own time and not at
// the mercy of a loaded machine; one case reads a burst off a real
// pseudo-terminal.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/rs232.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_port.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::FromHex;
using testsupport::PtyPair;
using testsupport::ReadReply;
using testsupport::ToHex;
using testsupport::WaitFor;
using Bytes = std::vector<unsigned char>;

namespace {

const std::string kPasswordFrame = "01060fc759274169";
const std::string kStatusRead = "01030abc001a063d";
constexpr int kPassMs = 100;
constexpr std::int64_t kStartMs = 1'000'000;

// The hand-stepped clock: time moves only when the test, or a pause of the
// console's (PassPause, Sleep), moves it.
std::atomic<std::int64_t> g_nowMs{kStartMs};
std::int64_t steppedNow()
{
    return g_nowMs.load();
}
void stepBy(int ms)
{
    if (ms > 0) g_nowMs += ms;
}

// Milliseconds since the start of the case.
std::int64_t sinceStart()
{
    return g_nowMs.load() - kStartMs;
}

void useSteppedClock()
{
    g_nowMs = kStartMs;
    SetClockSource(&steppedNow);
    SetSleepHooks(&stepBy, &stepBy);
}

void useRealClock()
{
    SetSleepHooks(nullptr, nullptr);
    SetClockSource(nullptr);
}

// Puts the engine past the password phase with only the status table due.
void skipToPolling()
{
    hci_commnication_enable_5927 = 1;
    for (const ItemTable& t : kPageTables) t.items[0].query_flag = 0;
}

// One receive step, then the pause to the next pass.
void pass()
{
    RS232Rec();
    stepBy(kPassMs);
}

// Receive steps on 100 ms passes for `ms` milliseconds.
void passesFor(int ms)
{
    const std::int64_t end = g_nowMs.load() + ms;
    while (g_nowMs.load() < end) pass();
}

// Receive steps on 100 ms passes until the line is idle again; false when it
// is not within `limitMs`.
bool passesUntilIdle(int limitMs = 3000)
{
    const std::int64_t end = g_nowMs.load() + limitMs;
    while (g_nowMs.load() < end) {
        pass();
        if (com_idle.load() == 1) return true;
    }
    return false;
}

// COM kPort on the scripted driver, status polling from the hand-stepped clock.
class ReceiveStep : public testsupport::ScriptedPortTest {
protected:
    void SetUp() override
    {
        useSteppedClock();
        ScriptedPortTest::SetUp();
        query_enable_flag = 1;
    }
    void TearDown() override
    {
        ScriptedPortTest::TearDown();
        useRealClock();
    }

    // The status read sent, and nothing else.
    void sendStatusRead()
    {
        RS232Send();
        ASSERT_EQ(ToHex(driver.takeWritten()), kStatusRead);
    }
};

}  // namespace

TEST_F(ReceiveStep, SilentControllerGetsThePasswordAgainAfterEachTimeoutAndNoRead)
{
    // The passes of the communication thread, each followed by its pause.
    std::vector<std::int64_t> at;
    while (sinceStart() < 7000 && at.size() < 3) {
        RS232COMThreadPass();
        const Bytes b = driver.takeWritten();
        if (!b.empty()) {
            at.push_back(g_nowMs.load());
            EXPECT_EQ(ToHex(b), kPasswordFrame);
        }
        PassPause(kPassMs);
    }
    ASSERT_EQ(at.size(), 3u);
    for (size_t i = 1; i < at.size(); ++i) {
        EXPECT_GT(at[i] - at[i - 1], REPLY_TIMEOUT_MS);
        EXPECT_LT(at[i] - at[i - 1], REPLY_TIMEOUT_MS + 600);
    }
    EXPECT_EQ(hci_commnication_enable_5927.load(), 0);
    EXPECT_TRUE(ui.popups().empty());
}

struct BurstCase {
    const char* name;
    int gapMs;
    bool oneFrame;
};

class Bursts : public ReceiveStep, public ::testing::WithParamInterface<BurstCase> {};

TEST_P(Bursts, SilenceDecidesWhereAFrameEnds)
{
    skipToPolling();
    sendStatusRead();
    const Bytes reply = ReadReply(26, 1000);
    const Bytes first(reply.begin(), reply.begin() + 20);
    const Bytes second(reply.begin() + 20, reply.end());
    // The controller sends the first burst at once and the rest after the
    // gap, while the passes go on; then they go on until the line is idle.
    driver.arrive(first);
    const int gap = GetParam().gapMs;
    for (int t = 0; t < gap + 100; t += 10) {
        if (t == gap) driver.arrive(second);
        if (t % kPassMs == 0) RS232Rec();
        stepBy(10);
    }
    ASSERT_TRUE(passesUntilIdle());
    if (GetParam().oneFrame) {
        EXPECT_EQ(dataItemOR[25].value.load(), 1025.0);
        EXPECT_EQ(recieveLedON.load(), 1);
    } else {
        // The first burst was a frame of its own, rejected before the rest came.
        EXPECT_EQ(dataItemOR[25].value.load(), 25.0);
        EXPECT_EQ(recieveLedON.load(), 0);
        // The rest arrived on an idle line and waits in the input queue.
        EXPECT_EQ(receive_count, 0);
        EXPECT_EQ(GetInQLen(kPort), static_cast<int>(second.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Gaps, Bursts,
                         ::testing::Values(BurstCase{"gap150", 150, true}, BurstCase{"gap600", 600, false}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// The one case on a real device: a pseudo-terminal (a loop port where the
// system has none), read through the console's own serial code.
class PtyReceiveStep : public ::testing::Test {
protected:
    static constexpr int kPort = 5;

    void SetUp() override
    {
        useSteppedClock();
        fillDataItems();
        query_enable_flag = 1;
        panelMain = 1;
        SetComDevice(kPort, pty.slavePath());
        ASSERT_EQ(OpenComConfig(kPort, "", 19200, 1, 8, 1, 1024, 1024), 0);
        active_comselect = kPort;
        comConfigure_success_flag = 1;
    }
    void TearDown() override
    {
        CloseCom(kPort);
        useRealClock();
    }

    PtyPair pty;
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(PtyReceiveStep, OverlongReplyHandsTheFirst199BytesToTheParser)
{
    skipToPolling();
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    Bytes junk(250);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<unsigned char>(i);
    pty.write(junk);
    // The whole burst is in the console's input queue before the first pass.
    ASSERT_TRUE(WaitFor([&] { return GetInQLen(kPort) == static_cast<int>(junk.size()); }, 3000ms));
    ASSERT_TRUE(passesUntilIdle());
    EXPECT_EQ(receive_frame_length, MAX_REPLY_BYTES);
    EXPECT_EQ(0, std::memcmp(modbus_rx_buffer, junk.data(), MAX_REPLY_BYTES));
}

struct RejectCase {
    const char* name;
    std::string replyHex;  // empty: a valid reply with one byte of its CRC flipped
};

class Rejected : public ReceiveStep, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(Rejected, ChangeNothingButTheLineState)
{
    skipToPolling();
    sendStatusRead();
    Bytes reply = GetParam().replyHex.empty() ? ReadReply(26, 500) : FromHex(GetParam().replyHex);
    if (GetParam().replyHex.empty()) reply.back() ^= 0x01;
    for (DataItem& d : dataItemOR) d.refresh_flag = 0;
    driver.arrive(reply);
    ASSERT_TRUE(passesUntilIdle());
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        EXPECT_EQ(dataItemOR[i].value.load(), static_cast<double>(i)) << i;
        EXPECT_EQ(dataItemOR[i].refresh_flag.load(), 0) << i;
    }
    EXPECT_EQ(recieveLedON.load(), 0);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_TRUE(ui.popups().empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, Rejected,
                         ::testing::Values(RejectCase{"IllegalFunction", "01830180f0"},
                                           RejectCase{"IllegalAddress", "018302c0f1"},
                                           RejectCase{"IllegalValue", "018303"},
                                           RejectCase{"DeviceFailure", "018304"}, RejectCase{"BadCrc", ""},
                                           RejectCase{"OtherSlave", "0203020001"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiveStep, ReceiveLedBlinksWhileReadsAreAccepted)
{
    skipToPolling();
    // Accepted block read: the indicator then runs 2 lit, 8 dark, 3 lit, ...
    recieveLedON = 1;
    recieveLedShineDelay = 0;
    com_idle = 1;
    std::vector<int> lit;
    for (int i = 0; i < 14; ++i) {
        ui.clear();
        RS232Rec();
        recieveLedON = 1;  // as if every pass ended in another accepted read
        const auto w = ui.writesTo(1, uir::panel_main::LED_RECIEVE);
        ASSERT_FALSE(w.empty());
        lit.push_back(w.back().integer);
    }
    const std::vector<int> expected = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0};
    EXPECT_EQ(lit, expected);
}

TEST_F(ReceiveStep, SendWhileAReplyIsAwaitedChangesNothing)
{
    skipToPolling();
    com_idle = 0;
    sendLedON = 1;
    dataItem1[0].send_flag = 1;
    RS232Send();
    EXPECT_EQ(sendLedON.load(), 1);
    EXPECT_EQ(dataItem1[0].send_flag.load(), 1);
    EXPECT_TRUE(driver.written().empty());
}

namespace {

// The receive step polled more finely than the passes, so that the
// frame-end rule is measured to the millisecond.
class SteppedReceive : public ReceiveStep {
protected:
    void SetUp() override
    {
        ReceiveStep::SetUp();
        hci_commnication_enable_5927 = 1;
        awaitStatusRead();
    }

    // Fresh tables, an empty input queue and the status read on the line.
    static void awaitStatusRead()
    {
        fillDataItems();
        for (const ItemTable& t : kPageTables) t.items[0].query_flag = 0;
        FlushInQ(kPort);
        receive_count = 0;
        receive_frame_end_delay = 0;
        receive_frame_end_flag = 0;
        com_idle_delay = 0;
        com_idle = 1;
        RS232Send();
        ASSERT_EQ(com_idle.load(), 0);
    }

    // One receive step at `ms` after the start of the test.
    static void recAt(int ms)
    {
        g_nowMs = kStartMs + ms;
        RS232Rec();
    }
};

}  // namespace

TEST_F(SteppedReceive, FrameEndsOnlyAfterMoreThan200MsOfSilence)
{
    const Bytes reply = ReadReply(26, 1000);
    driver.arrive(reply);
    recAt(0);   // the bytes are collected
    recAt(10);  // the first quiet poll starts the silence
    recAt(210);
    EXPECT_EQ(com_idle.load(), 0) << "200 ms of silence is not yet the end of a frame";
    EXPECT_EQ(receive_count, static_cast<int>(reply.size()));
    EXPECT_EQ(dataItemOR[25].value.load(), 25.0);
    recAt(211);
    EXPECT_EQ(com_idle.load(), 1) << "201 ms of silence ends the frame";
    EXPECT_EQ(receive_frame_length, static_cast<int>(reply.size()));
    EXPECT_EQ(dataItemOR[25].value.load(), 1025.0);
}

TEST_F(SteppedReceive, BurstsJoinWhileTheSilenceStaysWithin200Ms)
{
    // Polled every 10 ms: the frame ends on the first quiet poll past 200 ms
    // of silence, so a gap of 150 ms joins the bursts and one of 250 ms does not.
    const Bytes reply = ReadReply(26, 1000);
    const Bytes first(reply.begin(), reply.begin() + 20);
    const Bytes second(reply.begin() + 20, reply.end());
    for (const int gap : {150, 250}) {
        SCOPED_TRACE(gap);
        awaitStatusRead();
        driver.arrive(first);
        int t = 0;
        for (; t < gap; t += 10) recAt(t);
        driver.arrive(second);
        for (; t <= gap + 400; t += 10) recAt(t);
        if (gap == 150) {
            EXPECT_EQ(dataItemOR[25].value.load(), 1025.0);
        } else {
            // The first burst was a frame of its own and rejected; the rest came on
            // an idle line and waits in the input queue.
            EXPECT_EQ(dataItemOR[25].value.load(), 25.0);
            EXPECT_EQ(GetInQLen(kPort), static_cast<int>(second.size()));
        }
        EXPECT_EQ(com_idle.load(), 1);
    }
}

TEST_F(ReceiveStep, ReplyAfterTheTimeOutIsNeverTakenAsTheNextReply)
{
    skipToPolling();
    sendStatusRead();
    // No reply within the time-out: the line is free again.
    ASSERT_TRUE(passesUntilIdle());
    // The reply comes late, while the line is idle; the next request has
    // exactly the same shape, so only its timing tells the two apart.
    driver.arrive(ReadReply(26, 1000));
    stepBy(kPassMs);
    sendStatusRead();
    passesFor(600);
    EXPECT_EQ(dataItemOR[25].value.load(), 25.0) << "the late reply was taken for the new one";
    EXPECT_EQ(com_idle.load(), 0) << "the new request still waits for its own reply";
}
