// The engine on its own, as a command without a display runs it: the port
// opened on the simulated controller's in-process loop port, the password,
// every parameter page read, the status block polled, and a write followed
// to its outcome. The program links the engine library and no panel
// backend: nothing here sets one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ems.h"
#include "engine/line_wiring.h"
#include "modbus/line_state.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"
#include "serial/password.h"
#include "serial/port_open.h"
#include "serial/rs232.h"
#include "tests/support/stepped_clock.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;

namespace {

constexpr int kPort = 1;
constexpr int kOverVolt = 2550;  // on the first page

class HeadlessEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = sim.startInProcess();
        ASSERT_FALSE(path.empty()) << sim.error();
        settle.emplace(sim);
        clock.emplace([this] { return (*settle)(); });
        com_idle = 1;
        hci_commnication_enable_5927 = 0;
        fillDataItems();
        for (const ItemTable& t : kPageTables) t.items[0].query_flag = 1;
        kStatusTable.items[0].query_flag = 1;
        query_enable_flag = 1;
        SetComDevice(kPort, path);
        comselect = kPort;
        btlselect = 19200;
        jhselect = 1;  // odd
        longselect = 8;
        stopselect = 1;
    }
    void TearDown() override
    {
        StopCommThread();
        if (comConfigure_success_flag.load() == 1) CloseCom(active_comselect.load());
        comConfigure_success_flag = 0;
        AbandonWrites("the test ended");
        clock.reset();
        sim.stop();
    }

    int requestsTo(int function, int address) const
    {
        int n = 0;
        for (const sim::RequestRecord& r : sim.requests())
            n += r.function == function && r.address == address;
        return n;
    }
    int writesTo(int address) const { return requestsTo(6, address); }
    int statusReads() const { return requestsTo(3, kStatusTable.items[0].address.load()); }

    LineWiring wiring{TheLine()};
    sim::Simulator sim;
    std::string path;
    std::optional<testsupport::SimulatorSettle> settle;
    std::optional<testsupport::SteppedClock> clock;
};

}  // namespace

TEST_F(HeadlessEngine, OpensUnlocksReadsPollsAndWritesWithNoPanel)
{
    ASSERT_TRUE(OpenPort(SelectedPortOpening(FastLineSettings{}), nullptr));
    ASSERT_EQ(comConfigure_success_flag.load(), 1);
    ASSERT_TRUE(PortOpen());
    ASSERT_TRUE(StartCommThread());

    // The password goes out as the port opens, and again every 10 s, made
    // once the line is idle, as a command's password timers do.
    ASSERT_TRUE(testsupport::WaitFor([] { return Unlocked(); }, 10s));
    std::atomic<bool> failed{false};
    clock->every(10000, [] { MarkPasswordDue(); });
    clock->every(50, [&failed] {
        if (!SendDuePassword()) failed = true;
    });
    ASSERT_TRUE(testsupport::WaitFor([&] { return writesTo(PASSWORD_REGISTER) >= 2; }, 10s));
    EXPECT_TRUE(Unlocked());

    // Every page read once, each item holding the controller's word.
    ASSERT_TRUE(testsupport::WaitFor(
        [] {
            for (const ItemTable& t : kPageTables) {
                if (t.items[0].query_flag.load() != 0) return false;
            }
            return true;
        },
        10s));
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) {
            const int address = t.items[i].address.load();
            EXPECT_EQ(t.items[i].value.load(), static_cast<double>(sim.registerValue(address))) << address;
        }
    }

    // The status block, read over and over.
    const int before = statusReads();
    ASSERT_TRUE(testsupport::WaitFor([&] { return statusReads() >= before + 3; }, 10s));
    EXPECT_GE(MsSinceStatusReply(), 0);

    // A write, echoed and read back.
    const std::uint16_t old = sim.registerValue(kOverVolt);
    const double wanted = old == 58 ? 57 : 58;
    const int item = getIndex(kPageTables[0].items, static_cast<unsigned>(kPageTables[0].count), kOverVolt);
    ASSERT_GE(item, 0);
    WriteRequest what;
    what.panel = "headless";
    const std::uint64_t id = SubmitWrite(kPageTables[0].items[item], wanted, what, PortOpen());
    WriteRecord ended;
    ASSERT_TRUE(WaitForWrite(id, 10s, &ended));
    EXPECT_EQ(ended.outcome, WriteOutcome::Confirmed) << WriteOutcomeName(ended.outcome);
    EXPECT_TRUE(ended.readBack);
    EXPECT_EQ(sim.registerValue(kOverVolt), wanted);
    EXPECT_EQ(kPageTables[0].items[item].value.load(), wanted);
    clock->stopTimers();
    EXPECT_FALSE(failed) << "a due password write failed";
}
