// The Windows serial driver: how the port panel's settings become the device
// control block, which names are COM ports, and (on Windows) the driver on a
// line whose far end echoes, set up by the Wine test run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "engine/ems.h"
#include "modbus/line_events.h"
#include "model/line_flags.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "platform/port/win_serial.h"
#include "serial/port_watch.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;

namespace {

SerialSettings Settings(long baud, int parity, int dataBits, int stopBits)
{
    SerialSettings s;
    s.baud = baud;
    s.parity = parity;
    s.dataBits = dataBits;
    s.stopBits = stopBits;
    return s;
}

}  // namespace

TEST(WindowsLineSettings, FollowThePortPanelAndRefuseWhatAPcPortCannotDo)
{
    winserial::LineSettings l;
    ASSERT_EQ(winserial::MakeLineSettings(Settings(19200, 1, 8, 1), &l), kRs232NoError);
    EXPECT_EQ(l.baudRate, 19200u);
    EXPECT_EQ(l.byteSize, 8);
    EXPECT_EQ(l.parity, 1);    // ODDPARITY
    EXPECT_EQ(l.stopBits, 0);  // ONESTOPBIT
    EXPECT_TRUE(l.replaceParityErrors);
    EXPECT_EQ(l.inputQueue, 1024u);

    ASSERT_EQ(winserial::MakeLineSettings(Settings(115200, 2, 7, 2), &l), kRs232NoError);
    EXPECT_EQ(l.parity, 2);    // EVENPARITY
    EXPECT_EQ(l.stopBits, 2);  // TWOSTOPBITS
    EXPECT_EQ(l.byteSize, 7);
    ASSERT_EQ(winserial::MakeLineSettings(Settings(1200, 0, 8, 1), &l), kRs232NoError);
    EXPECT_FALSE(l.replaceParityErrors);

    // 9 data bits (offered by the panel) and rates or codes outside the lists
    // are refused before any device is touched, and leave the result alone.
    const winserial::LineSettings before = l;
    for (const SerialSettings& bad :
         {Settings(19200, 1, 9, 1), Settings(14400, 1, 8, 1), Settings(19200, 3, 8, 1),
          Settings(19200, 1, 8, 3), Settings(19200, -1, 8, 1)}) {
        EXPECT_EQ(winserial::MakeLineSettings(bad, &l), kRs232InvalidParameter)
            << bad.baud << " " << bad.parity << " " << bad.dataBits << " " << bad.stopBits;
        EXPECT_EQ(l.baudRate, before.baudRate);
    }
    EXPECT_EQ(OpenComConfig(3, "COM3", 19200, 1, 9, 1, 1024, 1024), kRs232InvalidParameter);
}

TEST(WindowsLineSettings, ReadBackComparesParityOnlyWhereTheDeviceCarriesIt)
{
    winserial::LineSettings wanted;
    ASSERT_EQ(winserial::MakeLineSettings(Settings(19200, 1, 8, 1), &wanted), kRs232NoError);
    winserial::LineSettings got = wanted;
    EXPECT_TRUE(winserial::LineMatches(wanted, got, true));
    got.parity = 0;
    EXPECT_FALSE(winserial::LineMatches(wanted, got, true));
    EXPECT_TRUE(winserial::LineMatches(wanted, got, false));
    got.baudRate = 9600;
    EXPECT_FALSE(winserial::LineMatches(wanted, got, false));
}

TEST(WindowsPortNames, NameTheDeviceOfCom1ToCom256)
{
    EXPECT_EQ(winserial::ComDeviceName("COM4"), "\\\\.\\COM4");
    EXPECT_EQ(winserial::ComDeviceName("com12"), "\\\\.\\COM12");
    EXPECT_EQ(winserial::ComDeviceName("\\\\.\\COM256"), "\\\\.\\COM256");
    for (const char* no : {"", "COM", "COM0", "COM04", "COM257", "COM1x", "LPT1", "/dev/ttyS0", "COM4 ",
                           "USB\\VID_0403&PID_6001\\A10K3BZ7"}) {
        EXPECT_EQ(winserial::ComDeviceName(no), "") << no;
    }

    SerialPortEntry adapter;
    adapter.path = "COM7";
    adapter.serialNumber = "A10K3BZ7";
    adapter.vendorId = 0x0403;
    adapter.productId = 0x6001;
    EXPECT_EQ(StablePortName(adapter), "USB\\VID_0403&PID_6001\\A10K3BZ7");
    adapter.serialNumber.clear();  // kept by its COM name, which stays with the USB socket
    EXPECT_EQ(StablePortName(adapter), "");

#ifdef _WIN32
    EXPECT_EQ(DefaultComPath(12), "COM12");
#else
    EXPECT_EQ(DefaultComPath(12), "/dev/ttyS11");
#endif
    EXPECT_EQ(DefaultComPath(21), "");
}

TEST(WindowsReadTimeouts, ReturnAtOnceOrWithTheFirstByte)
{
    const winserial::ReadTimeouts now = winserial::ReadTimeoutsFor(0);
    EXPECT_EQ(now.interval, 0xFFFFFFFFu);
    EXPECT_EQ(now.multiplier, 0u);
    EXPECT_EQ(now.constant, 0u);
    const winserial::ReadTimeouts wait = winserial::ReadTimeoutsFor(20);
    EXPECT_EQ(wait.interval, 0xFFFFFFFFu);
    EXPECT_EQ(wait.multiplier, 0xFFFFFFFFu);
    EXPECT_EQ(wait.constant, 20u);
    // "Forever" in the constant would make the read wait without end.
    EXPECT_LT(winserial::ReadTimeoutsFor(0xFFFFFFFFu).constant, 0xFFFFFFFFu);
}

#ifdef _WIN32

// The driver on a real COM port. The Wine test run maps DSC_ECHO_PORT (e.g.
// COM5) to a pseudo-terminal whose far end sends back every byte.
class EchoPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = std::getenv("DSC_ECHO_PORT");
        if (name == nullptr || *name == '\0') GTEST_SKIP() << "DSC_ECHO_PORT names no echo line";
        name_ = name;
        ASSERT_EQ(OpenComConfig(kPort, name_.c_str(), 19200, 1, 8, 1, 1024, 1024), 0);
        ASSERT_EQ(SetComTime(kPort, 0.5), 0);
        ASSERT_EQ(FlushInQ(kPort), 0);
    }
    void TearDown() override { CloseCom(kPort); }

    static constexpr int kPort = 9;
    std::string name_;
};

TEST_F(EchoPort, WritesReadsWaitsAndTimesOut)
{
    const std::string request("\x01\x03\x0a\xbc\x00\x1a\x06\x3d", 8);
    ASSERT_EQ(ComWrt(kPort, request.data(), 8), 8);
    EXPECT_EQ(WaitInput(kPort, 2000000), 1);
    ASSERT_TRUE(testsupport::WaitFor([] { return GetInQLen(kPort) == 8; }, 2000ms));
    EXPECT_EQ(FlushOutQ(kPort), 0);  // the frame has left: nothing to cut short
    char echo[8] = {};
    EXPECT_EQ(ComRd(kPort, echo, 8), 8);
    EXPECT_EQ(std::string(echo, 8), request);

    // Silence: a wait runs out after its time, a read after the port time-out.
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitInput(kPort, 100000), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(ComRd(kPort, echo, 4), 0);
    EXPECT_EQ(ReturnRS232Err(), kRs232Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 450ms);

    // A byte taken while waiting is not lost: the next read has it.
    ASSERT_EQ(ComWrt(kPort, "ab", 2), 2);
    EXPECT_EQ(WaitInput(kPort, 2000000), 1);
    ASSERT_TRUE(testsupport::WaitFor([] { return GetInQLen(kPort) == 2; }, 2000ms));
    EXPECT_EQ(ComRd(kPort, echo, 2), 2);
    EXPECT_EQ(std::string(echo, 2), "ab");

    // Opened again, as "__Configure" does with a port that is open.
    EXPECT_EQ(OpenComConfig(kPort, name_.c_str(), 19200, 1, 8, 1, 1024, 1024), 0);
    ASSERT_EQ(ComWrt(kPort, "c", 1), 1);
    EXPECT_EQ(WaitInput(kPort, 2000000), 1);
}

// A device that goes without a word from its driver: Wine keeps serving a
// pseudo-terminal whose COM link is gone, as some USB drivers keep a pulled
// adapter's port quiet. The Wine test run maps DSC_MAPPED_PORT (e.g. COM6) to
// a pseudo-terminal with the simulated controller on its far end, removes the
// link once the console polls, and (for the reconnect case) puts it back once
// the polling has stopped. COM4 of the port panel opens it.
class MappedPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = std::getenv("DSC_MAPPED_PORT");
        if (name == nullptr || *name == '\0') GTEST_SKIP() << "DSC_MAPPED_PORT names no mapped line";
        ASSERT_TRUE(line.started()) << line.error();
        port_ = name;
        SetComDevice(4, port_);  // the line's own simulator stays idle
    }
    void TearDown() override
    {
        StopCommThread();
        StopPortWatch();
        line.stop();
        SetReconnectEnabled(false);
    }

    // Opens COM4 from the port panel and waits until status replies come.
    void openAndPoll()
    {
        StartPortWatch();
        ASSERT_TRUE(line.open());
        ASSERT_TRUE(testsupport::WaitFor([] { return ReadLinkCounters().repliesOk >= 8; }, 20000ms));
    }

    testsupport::SimulatedLine line;
    testsupport::RecordingUi& ui = line.ui();
    std::string port_;
};

TEST_F(MappedPort, RemovedWhileOpenClosesThePortWithOneMessage)
{
    openAndPoll();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !ui.popups().empty(); }, 30000ms))
        << "the removal was never noticed";
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_TRUE(ComDeviceLost(4));
    std::this_thread::sleep_for(2500ms);  // more than two looks: no second box
    ASSERT_EQ(ui.popups().size(), 1u);
    const std::string text = ui.popups()[0].text;
    EXPECT_TRUE(text == "Com Read failed! " || text == "Com write failed! ") << text;
    EXPECT_EQ(ui.panelTitle(testsupport::kMainPanel), "") << "nothing is waited for with reconnection off";
}

TEST_F(MappedPort, RemovedWhileOpenIsWaitedForWithReconnectOnAndComesBackWithTheMapping)
{
    SetReconnectEnabled(true);
    openAndPoll();
    ASSERT_TRUE(testsupport::WaitFor([] { return WaitingPort() == 4; }, 30000ms))
        << "the removal was never noticed";
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_EQ(ui.panelTitle(testsupport::kMainPanel), "waiting for " + port_ + " on COM4");

    ASSERT_TRUE(testsupport::WaitFor([] { return WaitingPort() == 0; }, 60000ms))
        << "the mapping's return was never noticed";
    const std::uint64_t replies = ReadLinkCounters().repliesOk;
    EXPECT_TRUE(testsupport::WaitFor([&] { return ReadLinkCounters().repliesOk >= replies + 3; }, 20000ms))
        << "polling did not resume";
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_EQ(ui.panelTitle(testsupport::kMainPanel), "Drive Service Console - COM4 " + port_);
    EXPECT_TRUE(ui.popups().empty());
}

#endif
