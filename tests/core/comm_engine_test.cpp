// The communication thread against the simulated controller over a
// pseudo-terminal: libmodbus on the other side is the independent peer, and
// the simulator's request log shows exactly what went over the line and when.
// The console's clock is stepped (the log is stamped with it): each pass
// comes as soon as the simulator has answered the one before.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/password_timers.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/rs232.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::WaitFor;

namespace {

using testsupport::kMainPanel;
using testsupport::kPortPanel;

struct Expected {
    int function;
    int address;
    int quantityOrValue;
};

class CommEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(line.started()) << line.error(); }

    // Waits until the simulator has logged `count` requests.
    bool waitForRequests(size_t count, std::chrono::milliseconds timeout = 10000ms)
    {
        return WaitFor([&] { return sim.requestCount() >= count; }, timeout);
    }

    static Expected key(const sim::RequestRecord& r) { return {r.function, r.address, r.quantityOrValue}; }

    testsupport::SimulatedLine line{testsupport::LineClock::Stepped};
    sim::Simulator& sim = line.sim();
    testsupport::SteppedClock* clock = line.clock();
};

bool operator==(const Expected& a, const Expected& b)
{
    return a.function == b.function && a.address == b.address && a.quantityOrValue == b.quantityOrValue;
}
std::ostream& operator<<(std::ostream& os, const Expected& e)
{
    return os << "{" << e.function << ", " << e.address << ", " << e.quantityOrValue << "}";
}

// Two requests are never on the line at once: each request arrives after the
// previous one was answered, or after the reply time-out when it was not.
void expectOneAtATime(const std::vector<sim::RequestRecord>& log)
{
    for (size_t i = 1; i < log.size(); ++i) {
        const auto& prev = log[i - 1];
        const std::int64_t freeFrom =
            prev.repliedMs >= 0 ? prev.repliedMs : prev.receivedMs + REPLY_TIMEOUT_MS;
        EXPECT_GE(log[i].receivedMs, freeFrom) << "request " << i << " overlapped its predecessor";
    }
}

}  // namespace

TEST_F(CommEngine, PasswordFirstThenPagesInOrderThenStatusOverAndOver)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(waitForRequests(12));
    const auto log = sim.requests();
    const Expected expected[] = {
        {6, 4039, 22823}, {3, 2548, 15}, {3, 2568, 7},  {3, 2588, 16}, {3, 2608, 6},
        {3, 2628, 11},    {3, 2648, 15}, {3, 2748, 26}, {3, 2748, 26}, {3, 2748, 26},
    };
    // The thread may write the password a second time before the first echo
    // has been parsed; nothing is read before an echo has come back.
    size_t i = 0;
    while (i < log.size() && key(log[i]) == Expected{6, 4039, 22823}) ++i;
    ASSERT_GE(i, 1u);
    ASSERT_GE(log.size(), i + 9);
    for (size_t k = 1; k < std::size(expected); ++k) EXPECT_EQ(key(log[i + k - 1]), expected[k]) << k;
    EXPECT_GE(log[i].receivedMs, log[0].repliedMs);
    EXPECT_EQ(hci_commnication_enable_5927.load(), 1);
    expectOneAtATime(log);
    // The values read back landed in the tables.
    EXPECT_TRUE(WaitFor([&] { return dataItem1[2].value.load() == sim.registerValue(2550); }, 2000ms));
}

TEST_F(CommEngine, PendingWriteGoesBeforeTheNextReadExactlyOnce)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor([] { return dataItemOR[0].refresh_flag.load() == 1 && dataItem6[0].query_flag == 0; },
                        10000ms));
    ASSERT_TRUE(waitForRequests(10));
    dataItem1[2].value = 58.0;
    dataItem1[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return sim.registerValue(2550) == 58; }, 3000ms));
    const size_t before = sim.requestCount();
    ASSERT_TRUE(waitForRequests(before + 3));
    const auto log = sim.requests();
    const auto isWrite = [](const sim::RequestRecord& r) { return r.function == 6 && r.address == 2550; };
    EXPECT_EQ(std::count_if(log.begin(), log.end(), isWrite), 1);
    auto w = std::find_if(log.begin(), log.end(), isWrite);
    ASSERT_NE(w, log.end());
    EXPECT_EQ(w->quantityOrValue, 58);
    ASSERT_NE(w + 1, log.end());
    EXPECT_EQ(key(*(w + 1)), (Expected{3, 2748, 26}));
    expectOneAtATime(log);
}

// The requests after the password phase, as {function, address, value/quantity}.
std::vector<Expected> afterPassword(const std::vector<sim::RequestRecord>& log)
{
    std::vector<Expected> out;
    for (const auto& r : log) {
        if (r.address != sim::kPasswordRegister) out.push_back({r.function, r.address, r.quantityOrValue});
    }
    return out;
}

TEST_F(CommEngine, WriteMarkedAtStartUpGoesBeforeEveryPageRead)
{
    // The password echo is held back for a while (the stepped passes wait for
    // it), so that the mark surely falls before any page read goes out.
    sim::Fault slowEcho;
    slowEcho.delayMs = 300;
    slowEcho.times = 1;
    sim.setFault(sim::kPasswordRegister, slowEcho);
    ASSERT_TRUE(line.open());
    // Marked while the password echo is still on its way: every page read is queued.
    dataItem3[2].value = 1.0;
    dataItem3[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return afterPassword(sim.requests()).size() >= 8; }, 10000ms));
    const auto got = afterPassword(sim.requests());
    const std::vector<Expected> expected = {{6, 2590, 1}, {3, 2548, 15}, {3, 2568, 7},  {3, 2588, 16},
                                            {3, 2608, 6}, {3, 2628, 11}, {3, 2648, 15}, {3, 2748, 26}};
    EXPECT_EQ(std::vector<Expected>(got.begin(), got.begin() + 8), expected);
}

TEST_F(CommEngine, WriteMarkedWhilePageReadsAreQueuedGoesNextExactlyOnce)
{
    // Page 2's reply is held back, so the press surely falls while pages 3..6
    // are still queued, as right after start-up or a tab change.
    sim::Fault slow;
    slow.delayMs = 600;
    sim.setFault(2568, slow);
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto log = sim.requests();
            return std::any_of(log.begin(), log.end(), [](const auto& r) { return r.address == 2568; });
        },
        10000ms));
    dataItem1[2].value = 58.0;
    dataItem1[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return afterPassword(sim.requests()).size() >= 9; }, 10000ms));
    const auto got = afterPassword(sim.requests());
    const std::vector<Expected> expected = {{3, 2548, 15}, {3, 2568, 7},  {6, 2550, 58},
                                            {3, 2588, 16}, {3, 2608, 6},  {3, 2628, 11},
                                            {3, 2648, 15}, {3, 2748, 26}, {3, 2748, 26}};
    EXPECT_EQ(std::vector<Expected>(got.begin(), got.begin() + 9), expected);
    expectOneAtATime(sim.requests());
}

TEST_F(CommEngine, TwoPendingWritesGoInTableAndIndexOrder)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor([] { return hci_commnication_enable_5927.load() == 1; }, 10000ms));
    ASSERT_TRUE(waitForRequests(10));
    // Marked in the opposite order of how they must go out.
    dataItem2[3].value = -1.0;
    dataItem1[5].value = 300 * 32767.0 / 600;  // 16383.5 goes out as 16383
    dataItem1[1].value = 70000.0;              // low 16 bits: 4464
    dataItem2[3].send_flag = 1;
    dataItem1[5].send_flag = 1;
    dataItem1[1].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return sim.registerValue(2571) == 0xFFFF; }, 5000ms));
    std::vector<Expected> writes;
    for (const auto& r : sim.requests()) {
        if (r.function == 6 && r.address != 4039) writes.push_back(key(r));
    }
    const std::vector<Expected> expected = {{6, 2549, 4464}, {6, 2553, 16383}, {6, 2571, 0xFFFF}};
    EXPECT_EQ(writes, expected);
}

TEST_F(CommEngine, PortClosedKeepsPagesMarkedAndSendsNothing)
{
    ASSERT_TRUE(StartCommThread());
    dataItem3[0].query_flag = 0;
    EXPECT_TRUE(WaitFor([] { return dataItem3[0].query_flag.load() == 1; }, 2000ms));
    EXPECT_EQ(sim.requestCount(), 0u);
    for (const ItemTable& t : kPageTables) EXPECT_EQ(t.items[0].query_flag.load(), 1);
}

TEST_F(CommEngine, ReopenAfterCloseReadsEveryPageAgain)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 0; }, 10000ms));
    line.close();
    ASSERT_EQ(comConfigure_success_flag.load(), 0);
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 1; }, 2000ms));
    sim.clearRequests();
    line.configure();
    ASSERT_EQ(comConfigure_success_flag.load(), 1);
    // The simulator keeps serving across the close; polling resumes at once
    // (the password was accepted earlier in this run) and every page is read.
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto log = sim.requests();
            return std::any_of(log.begin(), log.end(), [](const auto& r) { return r.address == 2648; });
        },
        10000ms));
    const auto log = sim.requests();
    std::vector<int> pages;
    for (const auto& r : log) {
        if (r.function == 3 && r.address != 2748) pages.push_back(r.address);
    }
    EXPECT_EQ(pages, (std::vector<int>{2548, 2568, 2588, 2608, 2628, 2648}));
}

TEST_F(CommEngine, TimersWritePasswordOnlyBetweenExchanges)
{
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor([] { return hci_commnication_enable_5927.load() == 1; }, 10000ms));
    // Stand in for the two timer controls: the slow one makes a write due,
    // the fast one performs it once the line is idle.
    sim.clearRequests();
    const std::int64_t t0 = ClockMs();
    clock->every(
        10000, [] { timer_cmPW(kMainPanel, uir::panel_main::TIMER_CMPW, EVENT_TIMER_TICK, nullptr, 0, 0); });
    clock->every(50, [] {
        timer_cmPW_rt(kMainPanel, uir::panel_main::TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0);
    });
    const bool twoWrites = WaitFor(
        [&] {
            const auto log = sim.requests();
            return std::count_if(log.begin(), log.end(), [](const auto& r) { return r.address == 4039; }) >=
                   2;
        },
        25000ms);
    clock->stopTimers();
    ASSERT_TRUE(twoWrites);
    const auto log = sim.requests();
    std::vector<std::int64_t> at;
    for (const auto& r : log) {
        if (r.address == 4039) at.push_back(r.receivedMs);
    }
    ASSERT_GE(at.size(), 2u);
    EXPECT_GE(at[0] - t0, 9000);
    EXPECT_NEAR(static_cast<double>(at[1] - at[0]), 10000.0, 1000.0);
    expectOneAtATime(log);
    // Polling went on around the password writes.
    EXPECT_GT(std::count_if(log.begin(), log.end(), [](const auto& r) { return r.address == 2748; }), 20);
}
