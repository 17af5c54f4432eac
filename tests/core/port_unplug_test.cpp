// Pulling the adapter out and putting it back, over pseudo-terminals: the
// simulated controller's side closing is the unplug, and the port path is a
// symbolic link that is removed and re-pointed at a new pseudo-terminal, as
// udev does with the by-id names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::WaitFor;

namespace {

using testsupport::kMainPanel;
using testsupport::kPortPanel;
constexpr int kPage1 = testsupport::kPagePanel;  // the parameter panel's first page
constexpr int kDcLimit = 2551;                   // page 1, item 3: "dc limit current", A

// The POSIX driver, counting what goes through it.
class CountingDriver : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& s, int* error) override
    {
        ++opens;
        auto inner = PosixSerialDriver().open(path, s, error);
        if (!inner) return nullptr;
        return std::make_unique<Device>(std::move(inner), this);
    }
    std::atomic<int> opens{0};
    std::atomic<int> calls{0};  // reads, writes, queue lengths and flushes

private:
    class Device : public SerialDevice {
    public:
        Device(std::unique_ptr<SerialDevice> inner, CountingDriver* d) : inner_(std::move(inner)), d_(d) {}
        int write(const char* b, int n) override { return ++d_->calls, inner_->write(b, n); }
        int read(char* b, int n, double t) override { return ++d_->calls, inner_->read(b, n, t); }
        int inputQueueLength() override { return ++d_->calls, inner_->inputQueueLength(); }
        int flushInput() override { return ++d_->calls, inner_->flushInput(); }
        int flushOutput() override { return ++d_->calls, inner_->flushOutput(); }
        int close() override { return inner_->close(); }
        void setWriteTimeout(double s) override { inner_->setWriteTimeout(s); }
        bool lost() const override { return inner_->lost(); }

    private:
        std::unique_ptr<SerialDevice> inner_;
        CountingDriver* d_;
    };
};

// A window in which something must NOT happen (a second box, a port call):
// longer than a look of the watcher and many passes of the communication thread.
void ObserveFor(std::chrono::milliseconds window)
{
    std::this_thread::sleep_for(window);
}

// Descriptors of this process open on `device`.
int DescriptorsOn(const std::string& device)
{
    int n = 0;
    std::error_code ec;
    for (fs::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = fs::read_symlink(it->path(), ec);
        if (!ec && target.string().rfind(device, 0) == 0) ++n;
    }
    return n;
}

class Unplug : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        const std::string first = line.path();
        link = fs::path(ConsoleStateDir()) / "by-id" / "usb-Maker_Drive_Link_0001-if00";
        fs::create_directories(link.parent_path());
        fs::remove(link);
        fs::create_symlink(first, link);
        SetComDevice(4, link.string());
        SetSerialDriver(&driver);
        panel_set_tab[0] = kPage1;
        ResetWriteTracking();
    }

    void TearDown() override
    {
        quit();
        SetSerialDriver(nullptr);
        SetReconnectEnabled(false);
    }

    // Opens COM4 from the panel and waits until polling runs.
    void openAndPoll()
    {
        StartPortWatch();
        ASSERT_TRUE(line.open());
        ASSERT_TRUE(WaitFor([&] { return sim.requestCount() >= 4; }, 10000ms));
    }

    // The adapter goes: its controller side closes, and its by-id name goes with it.
    void pull()
    {
        sim.stop();
        fs::remove(link);
    }

    void quit()
    {
        StopCommThread();
        StopPortWatch();
        line.stop();
        sim.stop();
        back.stop();
    }

    CountingDriver driver;
    testsupport::SimulatedLine line;
    sim::Simulator& sim = line.sim();
    testsupport::RecordingUi& ui = line.ui();
    sim::Simulator back;  // the adapter plugged in again
    fs::path link;
};

}  // namespace

TEST_F(Unplug, OneMessageTheDescriptorClosedNothingSpinsAndQuitIsClean)
{
    openAndPoll();
    const std::string device = sim.slavePath();
    EXPECT_EQ(DescriptorsOn(device), 1);
    // Pulled while the line is quiet: the next write is the first to fail,
    // and the receive step of the same pass finds the port dead as well.
    query_enable_flag = 0;
    ASSERT_TRUE(WaitFor([] { return com_idle.load() == 1; }, 5000ms));
    pull();
    dataItem1[0].send_flag = 1;

    ASSERT_TRUE(WaitFor([&] { return !ui.popups().empty(); }, 5000ms));
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_TRUE(ComDeviceLost(4));
    EXPECT_EQ(DescriptorsOn(device), 0);

    // A while with the device gone: no second box, and nothing touches the port.
    const int calls = driver.calls.load();
    const int opens = driver.opens.load();
    ObserveFor(1500ms);
    EXPECT_EQ(driver.calls.load(), calls);
    EXPECT_EQ(driver.opens.load(), opens);
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].text, "Com write failed! ");
    EXPECT_EQ(ui.panelTitle(kMainPanel), "");  // nothing is waited for with reconnection off
    EXPECT_EQ(ui.ctrlText(kPortPanel, uir::panel_com::DEVICE_INFO),
              link.string() + " (command line)\nno such device");

    quit();
    EXPECT_EQ(RS232COMThreadHandle.load(), 0);
    // The next open of the same number starts clean, and may report again.
    EXPECT_FALSE(ComDeviceLost(4) && comConfigure_success_flag.load() == 1);
}

TEST_F(Unplug, WithReconnectOnTheConsoleWaitsSilentlyAndResumesWithPendingWrites)
{
    SetReconnectEnabled(true);
    openAndPoll();
    pull();

    const std::string waiting = link.string() + " (command line)\nwaiting for " + link.string();
    ASSERT_TRUE(
        WaitFor([&] { return ui.ctrlText(kPortPanel, uir::panel_com::DEVICE_INFO) == waiting; }, 5000ms));
    EXPECT_EQ(WaitingPort(), 4);
    EXPECT_EQ(ui.panelTitle(kMainPanel), "waiting for " + link.string() + " on COM4");

    // The operator presses a write while the device is away.
    DataItem& item = dataItem1[3];
    line.pressDcLimit(7);
    EXPECT_EQ(item.send_flag.load(), 1) << "kept for the device's return";

    // Away for more than a look: nothing is opened while the name is missing.
    const int opens = driver.opens.load();
    ObserveFor(1500ms);
    EXPECT_EQ(driver.opens.load(), opens);

    const std::string second = back.start();
    ASSERT_FALSE(second.empty()) << back.error();
    fs::create_symlink(second, link);
    const std::int64_t returned = ClockMs();

    ASSERT_TRUE(WaitFor([&] { return back.requestCount() >= 3; }, 3000ms))
        << "only " << back.requestCount() << " requests within 3 s of the return";
    const auto log = back.requests();
    EXPECT_LE(log[0].receivedMs - returned, 3000);
    RecordProperty("password_after_return_ms", static_cast<int>(log[0].receivedMs - returned));
    EXPECT_EQ(log[0].function, 6);
    EXPECT_EQ(log[0].address, sim::kPasswordRegister);
    EXPECT_EQ(log[1].function, 6);
    EXPECT_EQ(log[1].address, item.address.load());
    EXPECT_EQ(log[1].quantityOrValue, 7);
    EXPECT_EQ(log[2].function, 3);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_EQ(WaitingPort(), 0);
    EXPECT_EQ(ui.panelTitle(kMainPanel), "Drive Service Console - COM4 " + link.string());
    EXPECT_TRUE(ui.popups().empty());
    using namespace uir::panel_main;
    EXPECT_EQ(ui.ctrlAttr(kMainPanel, TIMER_CMPW, ATTR_ENABLED), 1);
}

TEST_F(Unplug, WithReconnectOnAWriteWhoseEchoWasLostEndsUnknownWithWhatTheControllerHolds)
{
    SetReconnectEnabled(true);
    openAndPoll();
    // The controller takes its time with the echo, and the adapter goes meanwhile.
    sim::Fault slow;
    slow.delayMs = 3000;
    sim.setFault(kDcLimit, slow);
    line.pressDcLimit(7);
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto log = sim.requests();
            return !log.empty() && log.back().function == 6 && log.back().address == kDcLimit;
        },
        5000ms));
    pull();
    ASSERT_TRUE(WaitFor([] { return WaitingPort() == 4; }, 5000ms));
    ObserveFor(300ms);
    EXPECT_FALSE(LatestWrite(kDcLimit, nullptr)) << "its outcome waits for the controller's answer";

    back.setRegister(kDcLimit, 7);  // the write had landed before the unplug
    const std::string second = back.start();
    ASSERT_FALSE(second.empty()) << back.error();
    fs::create_symlink(second, link);
    WriteRecord record;
    ASSERT_TRUE(WaitFor([&] { return LatestWrite(kDcLimit, &record); }, 5000ms));
    EXPECT_EQ(record.outcome, WriteOutcome::Unknown);
    EXPECT_TRUE(record.readBack);
    EXPECT_EQ(record.heldWord, 7);
    EXPECT_FALSE(record.good());
    EXPECT_EQ(record.summary(),
              "dc limit current = 7 A NOT confirmed: unknown, sent; port closed before the echo; controller "
              "holds 7 A");
    for (const auto& r : back.requests()) {
        EXPECT_FALSE(r.function == 6 && r.address == kDcLimit) << "a write sent once is not sent again";
    }
}

TEST_F(Unplug, WithReconnectOnAnAbsentDeviceAtConfigureIsWaitedForWithoutABox)
{
    SetReconnectEnabled(true);
    fs::remove(link);
    StartPortWatch();
    ASSERT_TRUE(StartCommThread());
    line.configure();
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_EQ(WaitingPort(), 4);
    EXPECT_TRUE(ui.popups().empty());

    fs::create_symlink(sim.slavePath(), link);
    ASSERT_TRUE(WaitFor([&] { return sim.requestCount() >= 2; }, 3000ms));
    EXPECT_EQ(sim.requests()[0].address, sim::kPasswordRegister);

    // Closing the port from the panel ends any wait.
    SetReconnectEnabled(true);
    line.close();
    EXPECT_EQ(WaitingPort(), 0);
    EXPECT_TRUE(ui.popups().empty());
}
