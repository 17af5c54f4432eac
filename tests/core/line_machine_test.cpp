// The line machine on a scripted port and a clock the test steps: the states
// of one exchange under both framings, what it tells its observers, the one
// port-failure sequence, the password write and the observers' own rules.
#include "serial/line_machine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "engine/ems.h"
#include "engine/line_wiring.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/port/serial.h"
#include "serial/port_gate.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"
#include "tests/support/scripted_port.h"
#include "tests/support/test_support.h"

using testsupport::FromHex;
using testsupport::ToHex;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr std::int64_t kStartUs = 1'000'000'000;
const std::string kStatusRead = "01030abc001a063d";
const std::string kPasswordWrite = "01060fc759274169";

std::atomic<std::int64_t> g_nowUs{kStartUs};
std::int64_t steppedUs()
{
    return g_nowUs.load();
}

// The status block's reply, register i holding base + i.
Bytes statusReply(int base)
{
    return testsupport::ReadReply(DATAITEMOR_COUNT, base);
}

// A report as an observer saw it, its bytes copied.
struct Seen {
    LineReportKind kind;
    Bytes bytes;
    std::string request;
    int count;
    int result;
    std::string text;
    bool keepPending;
    std::int64_t clockUs;
};

class LineMachineTest : public testsupport::ScriptedPortTest {
protected:
    void SetUp() override
    {
        ScriptedPortTest::SetUp();
        line.setClock(steppedUs);
        at(0);
        query_enable_flag = 1;
        hci_commnication_enable_5927 = 1;
        // Only the status read is due.
        for (const ItemTable& t : kPageTables) t.items[0].query_flag = 0;
        token = line.observers().add([this](const LineReport& r) {
            std::lock_guard<std::mutex> lock(mutex);
            seen.push_back({r.kind, r.bytes != nullptr ? Bytes(r.bytes, r.bytes + r.length) : Bytes{},
                            r.request != nullptr ? ToHex(Bytes(r.request, r.request + 8)) : "", r.count,
                            r.result, r.text != nullptr ? r.text : "", r.keepPending, r.clockUs});
        });
    }
    void TearDown() override
    {
        line.observers().remove(token);
        ScriptedPortTest::TearDown();
    }

    static void at(int ms) { g_nowUs = kStartUs + ms * 1000LL; }
    static void atUs(std::int64_t us) { g_nowUs = kStartUs + us; }

    std::vector<LineReportKind> kinds()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<LineReportKind> out;
        for (const Seen& s : seen) out.push_back(s.kind);
        return out;
    }
    Seen last()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return seen.back();
    }
    void forget()
    {
        std::lock_guard<std::mutex> lock(mutex);
        seen.clear();
    }
    // The status read on the line, in the framing armed.
    void sendStatusRead()
    {
        if (line.framing() == Framing::LineRate) {
            line.sendAtLineRate();
        } else {
            line.send();
        }
        ASSERT_EQ(line.state(), LineState::Awaiting);
        ASSERT_EQ(ToHex(driver.written()).substr(driver.written().size() * 2 - 16), kStatusRead);
        forget();
    }

    LineMachine& line = TheLine();
    std::mutex mutex;
    std::vector<Seen> seen;
    int token = 0;
};

using K = LineReportKind;

}  // namespace

TEST_F(LineMachineTest, PassesWalkOneExchangeThroughItsStatesAndReportEachStep)
{
    line.send();
    EXPECT_EQ(line.state(), LineState::Awaiting);
    EXPECT_EQ(ToHex(driver.written()), kStatusRead);
    EXPECT_EQ(kinds(), std::vector<K>{K::RequestSent});
    EXPECT_EQ(ToHex(last().bytes), kStatusRead);

    const Bytes reply = statusReply(1000);
    driver.arrive(reply);
    line.receivePass();
    EXPECT_EQ(line.state(), LineState::Receiving);
    EXPECT_EQ(last().kind, K::BytesReceived);
    EXPECT_EQ(last().count, 57);
    at(10);
    line.receivePass();  // the first quiet pass starts the silence
    at(210);
    line.receivePass();
    EXPECT_EQ(line.state(), LineState::Receiving) << "200 ms of silence does not end a frame";
    at(211);
    line.receivePass();
    EXPECT_EQ(line.state(), LineState::Idle);
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(dataItemOR[25].value.load(), 1025.0);
    const Seen accepted = last();
    EXPECT_EQ(accepted.kind, K::ReplyAccepted);
    EXPECT_EQ(accepted.result, MODBUS_READ_ACCEPTED);
    EXPECT_EQ(accepted.bytes, reply);
    EXPECT_EQ(accepted.request, kStatusRead);
}

TEST_F(LineMachineTest, PassesGiveUpAfterMoreThanTwoSecondsAndRejectADamagedFrame)
{
    line.send();
    driver.arrive({0x01, 0x03});
    line.receivePass();  // the reply wait starts
    at(2000);
    line.receivePass();
    EXPECT_EQ(line.state(), LineState::Receiving);
    at(2001);
    line.receivePass();
    EXPECT_EQ(line.state(), LineState::TimedOut);
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(receive_count, 0);
    const Seen timeout = last();
    EXPECT_EQ(timeout.kind, K::Timeout);
    EXPECT_EQ(ToHex(timeout.bytes), "0103") << "what had arrived";
    EXPECT_EQ(timeout.request, kStatusRead);

    sendStatusRead();
    Bytes damaged = statusReply(500);
    damaged.back() ^= 0x01;
    driver.arrive(damaged);
    for (int ms = 2100; ms <= 2500; ms += 100) {
        at(ms);
        line.receivePass();
    }
    EXPECT_EQ(line.state(), LineState::Rejected);
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(last().kind, K::ReplyRejected);
    EXPECT_EQ(last().result, MODBUS_BAD_CRC);
    EXPECT_EQ(dataItemOR[25].value.load(), 25.0);
}

TEST_F(LineMachineTest, LineRateEndsACompleteReplyAtOnceAndWaitsForQuietAfterARejectedOne)
{
    line.arm(Framing::LineRate, 300, 2006);
    sendStatusRead();
    driver.arrive(statusReply(700));
    line.receive();
    EXPECT_EQ(line.state(), LineState::Idle);
    EXPECT_EQ(kinds(), (std::vector<K>{K::BytesReceived, K::ReplyAccepted})) << "bytes are counted here too";
    EXPECT_EQ(line.guardUntilUs(), g_nowUs.load() + 2006);
    std::int64_t until = 0;
    EXPECT_TRUE(line.quiet(&until)) << "an accepted reply needs no quiet wait";

    sendStatusRead();
    const Bytes reply = statusReply(700);
    driver.arrive(Bytes(reply.begin(), reply.begin() + 20));
    line.receive();
    EXPECT_EQ(line.state(), LineState::Receiving);
    atUs(2006);
    line.receive();
    EXPECT_EQ(line.state(), LineState::Receiving) << "t3.5 has not passed";
    atUs(2007);
    line.receive();
    EXPECT_EQ(line.state(), LineState::Rejected);
    EXPECT_EQ(receive_frame_length, 20);

    // The next request waits for 300 ms of quiet; a byte meanwhile starts it again.
    EXPECT_FALSE(line.quiet(&until));
    EXPECT_EQ(until, kStartUs + 2007 + 300'000);
    at(200);
    driver.arrive({0x55});
    EXPECT_FALSE(line.quiet(&until));
    EXPECT_EQ(GetInQLen(kPort), 0) << "discarded";
    EXPECT_EQ(until, g_nowUs.load() + 300'000);
    at(500);
    EXPECT_TRUE(line.quiet(&until));
}

// Input the line throws away is read first and told with when it went, in
// the order it came, and the queue is still flushed; the reports carry the
// line's clock.
TEST_F(LineMachineTest, WhatIsThrownAwayIsToldFirst)
{
    struct Thrown {
        std::string bytes;
        std::string why;
    };
    const auto thrown = [this] {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<Thrown> out;
        for (const Seen& s : seen) {
            if (s.kind == K::BytesDiscarded) out.push_back({ToHex(s.bytes), s.text});
        }
        return out;
    };
    // Passes: a late reply waiting before the request.
    driver.arrive({0x01, 0x03, 0x02});
    const int flushes = driver.inputFlushes();
    at(5);
    line.send();
    EXPECT_EQ(kinds(), (std::vector<K>{K::BytesDiscarded, K::RequestSent}));
    ASSERT_EQ(thrown().size(), 1u);
    EXPECT_EQ(thrown()[0].bytes, "010302");
    EXPECT_EQ(thrown()[0].why, "stray input before a request");
    EXPECT_EQ(last().bytes, FromHex(kStatusRead));
    EXPECT_GT(driver.inputFlushes(), flushes);
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const Seen& s : seen) EXPECT_EQ(s.clockUs, kStartUs + 5000);
    }

    // Line rate: a byte after a complete reply; bytes while the line settles
    // after a time-out.
    line.arm(Framing::LineRate, 300, 2006);
    at(0);
    sendStatusRead();
    Bytes reply = statusReply(700);
    reply.push_back(0xAA);
    driver.arrive(reply);
    line.receive();
    EXPECT_EQ(kinds(), (std::vector<K>{K::BytesReceived, K::ReplyAccepted, K::BytesDiscarded}));
    EXPECT_EQ(thrown().back().bytes, "aa");
    EXPECT_EQ(thrown().back().why, "after the frame");
    at(400);
    EXPECT_TRUE(line.quiet(nullptr));
    sendStatusRead();
    line.receive();  // the wait starts
    driver.arrive({0x01, 0x03});
    at(701);
    line.receive();
    EXPECT_EQ(line.state(), LineState::TimedOut);
    EXPECT_EQ(ToHex(last().bytes), "0103") << "what the time-out cut off was part of a reply";
    driver.arrive({0x34, 0x00, 0x01});
    at(800);
    std::int64_t until = 0;
    EXPECT_FALSE(line.quiet(&until));
    EXPECT_EQ(thrown().back().bytes, "340001");
    EXPECT_EQ(thrown().back().why, "while the line settles");
    EXPECT_EQ(GetInQLen(kPort), 0);
}

TEST_F(LineMachineTest, LineRateReplyWaitStartsAgainWhenThePortIsOpenedAgain)
{
    line.arm(Framing::LineRate, 300, 2006);
    sendStatusRead();
    line.receive();  // the wait starts
    at(100);
    line.portOpened("port opened again");
    EXPECT_EQ(line.state(), LineState::Idle);
    EXPECT_EQ(last().kind, K::PortOpened);
    EXPECT_EQ(last().text, "port opened again");
    at(400);
    sendStatusRead();
    line.receive();
    EXPECT_EQ(line.state(), LineState::Awaiting) << "the wait before the open does not count";
    at(700);
    line.receive();
    EXPECT_EQ(line.state(), LineState::Awaiting);
    at(701);
    line.receive();
    EXPECT_EQ(line.state(), LineState::TimedOut);
}

struct FailureCase {
    const char* name;
    Framing framing;
    bool readFails;  // else the write is cut short
    bool password;   // the password write instead of the chooser's request
    const char* message;
    const char* why;
};

class PortFailure : public LineMachineTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PortFailure, IsToldShownAndClosesThePortTheSameWayEverywhere)
{
    const FailureCase& c = GetParam();
    line.arm(c.framing, 300, 2006);
    if (c.readFails) {
        sendStatusRead();
        driver.setReadFailure(true);
        if (c.framing == Framing::LineRate) {
            line.receive();
        } else {
            line.receivePass();
        }
    } else {
        driver.setWriteLimit(5);
        if (c.password) {
            EXPECT_EQ(line.sendPassword(0), PasswordSend::Failed);
            EXPECT_EQ(com_idle.load(), 1) << "nothing is awaited after a failed password write";
        } else {
            line.send();
        }
    }
    const std::vector<K> failed = {K::PortFailed, K::PortClosed};
    const std::vector<K> got = kinds();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(std::vector<K>(got.end() - 2, got.end()), failed);
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(seen[seen.size() - 2].text, c.message);
        EXPECT_EQ(seen.back().text, c.why);
        EXPECT_FALSE(seen.back().keepPending);
    }
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].title, "Error");
    EXPECT_EQ(ui.popups()[0].text, c.message);
}

INSTANTIATE_TEST_SUITE_P(Everywhere, PortFailure,
                         ::testing::Values(FailureCase{"Send", Framing::Passes, false, false,
                                                       "Com write failed! ", "write to the port failed"},
                                           FailureCase{"Password", Framing::Passes, false, true,
                                                       "Com write failed 11! ", "write to the port failed"},
                                           FailureCase{"ReadOnAPass", Framing::Passes, true, false,
                                                       "Com Read failed! ", "read from the port failed"},
                                           FailureCase{"ReadAtLineRate", Framing::LineRate, true, false,
                                                       "Com Read failed! ", "read from the port failed"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineMachineTest, PasswordWriteTakesTheIdleLineOrLeavesItAlone)
{
    com_idle = 0;
    EXPECT_EQ(line.sendPassword(0), PasswordSend::LineBusy);
    EXPECT_TRUE(driver.written().empty());
    com_idle = 1;
    tx_package_flag_send = 0;
    EXPECT_EQ(line.sendPassword(0), PasswordSend::Sent);
    EXPECT_EQ(ToHex(driver.written()), kPasswordWrite);
    EXPECT_EQ(com_idle.load(), 0);
    EXPECT_EQ(line.state(), LineState::Awaiting);
    EXPECT_EQ(tx_package_flag_send.load(), 1);
    EXPECT_EQ(ToHex(last().bytes), kPasswordWrite);

    // The echo is the reply like any other, and is told apart.
    forget();
    driver.arrive(FromHex(kPasswordWrite));
    hci_commnication_enable_5927 = 0;
    line.receivePass();
    at(400);
    line.receivePass();
    at(700);
    line.receivePass();
    EXPECT_EQ(kinds(), (std::vector<K>{K::BytesReceived, K::ReplyAccepted, K::PasswordAccepted}));
    EXPECT_EQ(hci_commnication_enable_5927.load(), 1);

    // With the port closed nothing is built or written; only the box tells.
    forget();
    comConfigure_success_flag = 0;
    EXPECT_EQ(line.sendPassword(0), PasswordSend::Failed);
    EXPECT_EQ(ToHex(driver.written()), kPasswordWrite);
    EXPECT_TRUE(kinds().empty());
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].text, "Port not open! ");
}

TEST_F(LineMachineTest, PasswordWriteFromAnotherThreadWaitsForThePassInProgress)
{
    // A pass that found the line taken with the password not yet written
    // would time a reply to nothing, could give the line up and send its own
    // request, and the late password write would then flush that reply.
    HoldPortGate();
    std::atomic<int> result{-1};
    std::thread timer([&] { result = static_cast<int>(line.sendPassword(0)); });
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    while (std::chrono::steady_clock::now() < end && com_idle.load() == 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(com_idle.load(), 1) << "the line was taken during a pass";
    EXPECT_TRUE(driver.written().empty());
    ReleasePortGate();
    timer.join();
    EXPECT_EQ(result.load(), static_cast<int>(PasswordSend::Sent));
    EXPECT_EQ(ToHex(driver.written()), kPasswordWrite);
    EXPECT_EQ(com_idle.load(), 0);
}

TEST_F(LineMachineTest, ResetSetsTheNamedLineStateBack)
{
    line.send();
    driver.arrive({0x01});
    line.receivePass();
    recieveLedON = 1;
    sendLedON = 1;
    line.arm(Framing::LineRate, 700, 5000);
    line.reset();
    EXPECT_EQ(com_idle.load(), 1);
    EXPECT_EQ(receive_count, 0);
    EXPECT_EQ(com_idle_delay, 0);
    EXPECT_EQ(recieveLedON.load(), 0);
    EXPECT_EQ(sendLedON.load(), 0);
    EXPECT_EQ(line.state(), LineState::Idle);
    EXPECT_EQ(line.framing(), Framing::Passes);
}

// An observer may leave from inside its own call: it is not called again,
// the others go on being called, and nothing deadlocks.
TEST_F(LineMachineTest, ObserverThatUnsubscribesItselfInsideItsCallback)
{
    std::atomic<int> leaverCalls{0};
    std::atomic<int> stayerCalls{0};
    int leaver = 0;
    leaver = line.observers().add([&](const LineReport&) {
        ++leaverCalls;
        line.observers().remove(leaver);
    });
    const int stayer = line.observers().add([&](const LineReport&) { ++stayerCalls; });
    // From the thread that reports, as the communication thread would.
    std::thread([&] {
        line.send();
        com_idle = 1;
        line.send();
    }).join();
    EXPECT_EQ(leaverCalls.load(), 1);
    EXPECT_EQ(stayerCalls.load(), 2);
    line.observers().remove(stayer);

    // The write outcomes' observers follow the same rule.
    std::atomic<int> writeCalls{0};
    int writeToken = 0;
    writeToken = AddWriteObserver([&](const WriteRecord&) {
        ++writeCalls;
        RemoveWriteObserver(writeToken);
    });
    SubmitWrite(dataItem1[2], 58.0, WriteRequest{}, false);
    SubmitWrite(dataItem1[2], 59.0, WriteRequest{}, false);
    EXPECT_EQ(writeCalls.load(), 1);
}

// Removing an observer from another thread waits for its call in progress:
// once remove() has returned, the observer is not running.
TEST(LineObservers, RemoveWaitsForACallInProgress)
{
    LineObservers observers;
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
    std::atomic<bool> running{false};
    const int token = observers.add([&](const LineReport&) {
        running = true;
        inside = true;
        while (!release) std::this_thread::yield();
        running = false;
    });
    std::thread reporter([&] { observers.notify(LineReport{}); });
    while (!inside) std::this_thread::yield();
    std::thread remover([&] {
        observers.remove(token);
        EXPECT_FALSE(running.load());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release = true;
    remover.join();
    reporter.join();
    EXPECT_EQ(observers.size(), 0u);
}

// Start-up sets the line up once: a second set-up meanwhile neither installs
// a chooser nor observes twice, and a set-up that ends takes its part away.
TEST_F(LineMachineTest, OneSetUpAtATime)
{
    const std::size_t before = line.observers().size();
    {
        const LineWiring again(line);
        EXPECT_FALSE(again.active());
        EXPECT_EQ(line.observers().size(), before);
    }
    EXPECT_EQ(line.observers().size(), before);
    line.send();
    EXPECT_EQ(ToHex(driver.written()), kStatusRead) << "the set-up of the test program still stands";
}
