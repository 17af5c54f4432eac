// The transmit and receive steps against a scripted controller on a
// pseudo-terminal: frame end by silence, the reply time-out, the byte limit
// and what rejected replies leave behind.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "serial/rs232.h"
#include "serial/sample5.h"
#include "tests/support/comm_thread.h"
#include "tests/support/fake_serial.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_port.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::FromHex;
using testsupport::PtyPair;
using testsupport::ToHex;
using testsupport::WaitFor;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr int kPort = 5;
const std::string kPasswordFrame = "01060fc759274169";
const std::string kStatusRead = "01030abc001a063d";

Bytes withCrc(Bytes frame)
{
    const int crc = modrtuChecksum(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<unsigned char>(crc >> 8));
    frame.push_back(static_cast<unsigned char>(crc & 0xFF));
    return frame;
}

// A read reply for `count` registers, register i holding base + i.
Bytes readReply(int count, int base)
{
    Bytes f = {0x01, 0x03, static_cast<unsigned char>(2 * count)};
    for (int i = 0; i < count; ++i) {
        f.push_back(static_cast<unsigned char>((base + i) >> 8));
        f.push_back(static_cast<unsigned char>((base + i) & 0xFF));
    }
    return withCrc(f);
}

class ReceiveStep : public ::testing::Test {
protected:
    void SetUp() override
    {
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
        testsupport::StopCommThread();
        CloseCom(kPort);
    }

    // Puts the engine past the password phase with only the status table due.
    void skipToPolling()
    {
        hci_commnication_enable_5927 = 1;
        for (const ItemTable& t : kPageTables) t.items[0].query_flag = 0;
    }

    // Calls the receive step every 100 ms for `ms` milliseconds, as a pass would.
    static void pumpReceive(int ms)
    {
        const std::int64_t end = ClockMs() + ms;
        while (ClockMs() < end) {
            RS232Rec();
            std::this_thread::sleep_for(100ms);
        }
    }

    PtyPair pty;
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(ReceiveStep, SilentControllerGetsThePasswordAgainAfterEachTimeoutAndNoRead)
{
    ASSERT_TRUE(testsupport::StartCommThread());
    std::vector<std::int64_t> at;
    std::string all;
    const std::int64_t end = ClockMs() + 7000;
    while (ClockMs() < end && at.size() < 3) {
        const Bytes b = pty.read(500ms, 20ms);
        if (!b.empty()) {
            at.push_back(ClockMs());
            EXPECT_EQ(ToHex(b), kPasswordFrame);
        }
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
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    const Bytes reply = readReply(26, 1000);
    const Bytes first(reply.begin(), reply.begin() + 20);
    const Bytes second(reply.begin() + 20, reply.end());
    std::thread controller([&] {
        pty.write(first);
        std::this_thread::sleep_for(std::chrono::milliseconds(GetParam().gapMs));
        pty.write(second);
    });
    // Pump while the controller sends, then until the line is idle again.
    pumpReceive(GetParam().gapMs + 100);
    controller.join();
    ASSERT_TRUE(WaitFor(
        [] {
            RS232Rec();
            std::this_thread::sleep_for(100ms);
            return com_idle.load() == 1;
        },
        3000ms));
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

TEST_F(ReceiveStep, OverlongReplyHandsTheFirst199BytesToTheParser)
{
    skipToPolling();
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    Bytes junk(250);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<unsigned char>(i);
    pty.write(junk);
    ASSERT_TRUE(WaitFor(
        [] {
            RS232Rec();
            std::this_thread::sleep_for(100ms);
            return com_idle.load() == 1;
        },
        3000ms));
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
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    Bytes reply = GetParam().replyHex.empty() ? readReply(26, 500) : FromHex(GetParam().replyHex);
    if (GetParam().replyHex.empty()) reply.back() ^= 0x01;
    for (DataItem& d : dataItemOR) d.refresh_flag = 0;
    pty.write(reply);
    ASSERT_TRUE(WaitFor(
        [] {
            RS232Rec();
            std::this_thread::sleep_for(100ms);
            return com_idle.load() == 1;
        },
        3000ms));
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
    EXPECT_TRUE(pty.read(200ms).empty());
}

namespace {

std::atomic<std::int64_t> g_nowMs{0};
std::int64_t steppedNow()
{
    return g_nowMs.load();
}

// The receive step on a scripted port and a clock the test steps by hand, so
// that the frame-end rule is measured to the millisecond and not at the mercy
// of the pass period.
class SteppedReceive : public testsupport::ScriptedPortTest {
protected:
    void SetUp() override
    {
        g_nowMs = 1'000'000;
        SetClockSource(&steppedNow);
        ScriptedPortTest::SetUp();
        query_enable_flag = 1;
        hci_commnication_enable_5927 = 1;
        awaitStatusRead();
    }
    void TearDown() override
    {
        ScriptedPortTest::TearDown();
        SetClockSource(nullptr);
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
        g_nowMs = 1'000'000 + ms;
        RS232Rec();
    }
};

}  // namespace

TEST_F(SteppedReceive, FrameEndsOnlyAfterMoreThan200MsOfSilence)
{
    const Bytes reply = readReply(26, 1000);
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
    const Bytes reply = readReply(26, 1000);
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
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    // No reply within the time-out: the line is free again.
    ASSERT_TRUE(WaitFor(
        [] {
            RS232Rec();
            std::this_thread::sleep_for(100ms);
            return com_idle.load() == 1;
        },
        3000ms));
    // The reply comes late, while the line is idle; the next request has
    // exactly the same shape, so only its timing tells the two apart.
    pty.write(readReply(26, 1000));
    std::this_thread::sleep_for(100ms);
    RS232Send();
    ASSERT_EQ(ToHex(pty.read(1000ms)), kStatusRead);
    pumpReceive(600);
    EXPECT_EQ(dataItemOR[25].value.load(), 25.0) << "the late reply was taken for the new one";
    EXPECT_EQ(com_idle.load(), 0) << "the new request still waits for its own reply";
}
