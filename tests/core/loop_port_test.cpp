// The in-process loop port through the port layer, as the console uses it
// where there are no pseudo-terminals: bytes both ways, waiting, refusals,
// the far end going away as an unplug, and the path choosing the loop port's
// driver before any other.
#include "platform/port/loop_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "tests/support/fake_serial.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr int kPort = 7;

std::atomic<int> g_losses{0};

class LoopPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_losses = 0;
        SetComLossHandler([](int port) {
            if (port == kPort) ++g_losses;
        });
    }
    void TearDown() override
    {
        CloseCom(kPort);
        SetComLossHandler(nullptr);
    }
    int open(int dataBits = 8)
    {
        return OpenComConfig(kPort, far->name().c_str(), 19200, 1, dataBits, 1, 1024, 1024);
    }

    std::unique_ptr<LoopPort> far = std::make_unique<LoopPort>("test");
};

std::vector<std::uint8_t> Bytes(const char* text)
{
    return std::vector<std::uint8_t>(text, text + std::char_traits<char>::length(text));
}

}  // namespace

TEST_F(LoopPortTest, CarriesBytesBothWaysAndWaitsForThem)
{
    EXPECT_TRUE(SerialDeviceExists(far->name()));
    EXPECT_FALSE(far->nearOpen());
    ASSERT_EQ(open(), 0);
    EXPECT_TRUE(far->nearOpen());
    ASSERT_EQ(SetComTime(kPort, 0.3), 0);

    ASSERT_EQ(ComWrt(kPort, "\x01\x03req", 5), 5);
    EXPECT_EQ(far->receive(1s), Bytes("\x01\x03req"));

    // Nothing there: a wait runs out, a read comes back short after the port time-out.
    EXPECT_EQ(WaitInput(kPort, 20000), 0);
    char buffer[16] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ComRd(kPort, buffer, 4), 0);
    EXPECT_EQ(ReturnRS232Err(), kRs232Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);

    // Bytes sent while the console waits end the wait at once.
    std::thread late([this] {
        std::this_thread::sleep_for(50ms);
        const auto reply = Bytes("reply");
        far->send(reply.data(), reply.size());
    });
    EXPECT_EQ(WaitInput(kPort, 2000000), 1);
    late.join();
    EXPECT_EQ(GetInQLen(kPort), 5);
    EXPECT_EQ(ComRd(kPort, buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "rep");
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(FlushOutQ(kPort), 0);

    // Closed: the far end's bytes go nowhere.
    ASSERT_EQ(CloseCom(kPort), 0);
    EXPECT_FALSE(far->nearOpen());
    EXPECT_FALSE(far->send(reinterpret_cast<const std::uint8_t*>("x"), 1));
}

TEST_F(LoopPortTest, RefusesWhatARealPortRefuses)
{
    EXPECT_EQ(open(9), kRs232InvalidParameter);
    EXPECT_FALSE(far->nearOpen());
    EXPECT_EQ(OpenComConfig(kPort, "no-such-loop#1", 19200, 1, 8, 1, 1024, 1024), kRs232OpenFailed);
    // One opener at a time, as a COM port allows.
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(OpenComConfig(kPort + 1, far->name().c_str(), 19200, 1, 8, 1, 1024, 1024), kRs232OpenFailed);
    // Opening the same COM number again releases the old one first.
    EXPECT_EQ(open(), 0);
}

TEST_F(LoopPortTest, FarEndGoingAwayIsAnUnplug)
{
    ASSERT_EQ(open(), 0);
    const auto early = Bytes("ab");
    ASSERT_TRUE(far->send(early.data(), early.size()));
    const std::string name = far->name();
    far.reset();
    EXPECT_FALSE(SerialDeviceExists(name));

    // What had arrived is still read; then the port reports the loss, once.
    char buffer[4] = {};
    EXPECT_EQ(ComRd(kPort, buffer, 2), 2);
    EXPECT_LT(ComRd(kPort, buffer, 2), 0);
    EXPECT_TRUE(ComDeviceLost(kPort));
    EXPECT_LT(ComWrt(kPort, "x", 1), 0);
    EXPECT_EQ(g_losses.load(), 1);
    EXPECT_EQ(OpenComConfig(kPort, name.c_str(), 19200, 1, 8, 1, 1024, 1024), kRs232OpenFailed);
}

TEST_F(LoopPortTest, ItsNameOpensTheLoopEvenWithAnotherDriverInstalled)
{
    // A test's own driver replaces the system's only: a live loop port's
    // name still opens the loop, and only once it is gone does the path
    // reach the installed driver.
    testsupport::FakeSerialDriver fake;
    SetSerialDriver(&fake);
    EXPECT_EQ(&DriverFor(far->name()), &LoopPortDriver());
    EXPECT_EQ(&DriverFor("/dev/ttyUSB0"), &fake);
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(ComWrt(kPort, "hi", 2), 2);
    EXPECT_EQ(far->receive(1s), Bytes("hi"));
    EXPECT_EQ(fake.opens(), 0);

    ASSERT_EQ(CloseCom(kPort), 0);
    const std::string name = far->name();
    far.reset();
    bool claimed = true;
    EXPECT_FALSE(ClaimedDevicePresent(name, &claimed));
    EXPECT_FALSE(claimed);
    EXPECT_EQ(OpenComConfig(kPort, name.c_str(), 19200, 1, 8, 1, 1024, 1024), 0);
    EXPECT_EQ(fake.opens(), 1);
    EXPECT_EQ(fake.lastPath(), name);
    CloseCom(kPort);
    SetSerialDriver(nullptr);
}

TEST(LoopPortNames, AreUniqueAndGoWithTheirPort)
{
    std::string first;
    {
        LoopPort a("line");
        LoopPort b("line");
        first = a.name();
        EXPECT_NE(a.name(), b.name());
        EXPECT_EQ(a.name().rfind("line#", 0), 0u);
    }
    LoopPort c("line");
    EXPECT_NE(c.name(), first);
}
