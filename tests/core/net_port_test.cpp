// Network devices on a COM port, against a serial device server the test
// plays on the loopback interface: the settings sent and checked, the byte
// 0xFF both ways, discarding, the ways an open fails, and the server going
// away as an unplug.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "platform/port/net_device.h"
#include "platform/port/serial.h"
#include "tests/support/net_server.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::Bytes;
using testsupport::NetServer;
using testsupport::SpacedHex;
using testsupport::SpacedHexOf;
using testsupport::WaitFor;

namespace {

constexpr int kPort = 9;
std::atomic<int> g_losses{0};

// A write of the value 255 to register 4039, and the controller's echo of it.
const char* const kWrite255 = "01 06 0F C7 00 FF 7B 63";

class NetPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_losses = 0;
        SetComLossHandler([](int port) {
            if (port == kPort) ++g_losses;
        });
        netport::NetworkPortDriver().forget();
    }
    void TearDown() override
    {
        CloseCom(kPort);
        SetComLossHandler(nullptr);
    }

    static int open(const std::string& address, long baud = 19200, int parity = 1, int dataBits = 8,
                    int stopBits = 1)
    {
        const int rc = OpenComConfig(kPort, address.c_str(), baud, parity, dataBits, stopBits, 1024, 1024);
        if (rc == 0) SetComTime(kPort, 2.0);
        return rc;
    }
    static std::string failure(const std::string& address)
    {
        return netport::NetworkPortDriver().lastFailure(address);
    }
    static bool write(const Bytes& bytes)
    {
        const int n = static_cast<int>(bytes.size());
        return ComWrt(kPort, reinterpret_cast<const char*>(bytes.data()), n) == n;
    }
    static Bytes read(int count)
    {
        Bytes buffer(static_cast<std::size_t>(count));
        const int n = ComRd(kPort, reinterpret_cast<char*>(buffer.data()), count);
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buffer;
    }
    static bool waitForInput(int count)
    {
        return WaitFor([count] { return GetInQLen(kPort) >= count; }, 3000ms);
    }
};

NetServer::Script ComPort()
{
    return NetServer::Script{};
}

NetServer::Script Raw()
{
    NetServer::Script s;
    s.kind = NetServer::Kind::Raw;
    return s;
}

// An open straight through the driver, with a short bound for the cases that
// wait it out.
std::string FailedOpen(const std::string& address, std::chrono::milliseconds budget = 400ms)
{
    SerialSettings settings;
    settings.baud = 19200;
    int error = 0;
    std::string reason;
    const auto device = netport::OpenNetworkDevice(address, settings, &error, &reason, budget);
    EXPECT_EQ(device, nullptr) << address;
    EXPECT_EQ(error, kRs232OpenFailed) << address;
    return reason;
}

}  // namespace

TEST_F(NetPort, ComPortOpenSendsTheSettingsAndCarriesFfBothWays)
{
    NetServer server(ComPort());
    ASSERT_EQ(open(server.address(), 9600, 2, 7, 2), 0) << failure(server.address());
    std::vector<std::string> commands;
    for (const Bytes& c : server.commands()) commands.push_back(SpacedHexOf(c));
    EXPECT_EQ(commands, (std::vector<std::string>{"01 00 00 25 80", "02 07", "03 03", "04 02", "05 01"}));
    EXPECT_TRUE(failure(server.address()).empty());

    ASSERT_TRUE(write(SpacedHex(kWrite255)));
    ASSERT_TRUE(WaitFor([&] { return server.data().size() >= 8; }, 3000ms));
    EXPECT_EQ(SpacedHexOf(server.data()), kWrite255);
    const std::string wire = SpacedHexOf(server.raw());
    EXPECT_NE(wire.find("01 06 0F C7 00 FF FF 7B 63"), std::string::npos) << wire;

    server.send(SpacedHex(kWrite255));
    EXPECT_EQ(SpacedHexOf(read(8)), kWrite255);
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(g_losses.load(), 0);
}

TEST_F(NetPort, ASettingTheServerDoesNotTakeFailsTheOpenWithTheReason)
{
    NetServer::Script holdsNone = ComPort();
    holdsNone.holding[3] = {1};
    NetServer parity(holdsNone);
    EXPECT_EQ(open(parity.address()), kRs232OpenFailed);
    EXPECT_EQ(failure(parity.address()), "the server did not take parity odd (it holds parity none)");

    NetServer::Script slower = ComPort();
    slower.holding[1] = {0, 0, 0x25, 0x80};
    NetServer rate(slower);
    EXPECT_EQ(open(rate.address()), kRs232OpenFailed);
    EXPECT_EQ(failure(rate.address()), "the server did not take 19200 bit/s (it holds 9600 bit/s)");
    EXPECT_EQ(ReturnRS232Err(), kRs232OpenFailed);

    // The same device opened with what the server holds: the reason is gone.
    ASSERT_EQ(open(rate.address(), 9600), 0);
    EXPECT_TRUE(failure(rate.address()).empty());
    EXPECT_FALSE(failure(parity.address()).empty());
}

TEST_F(NetPort, AServerWithoutTheOptionOrItsAnswersFailsTheOpen)
{
    NetServer::Script refuses = ComPort();
    refuses.refuseOption = true;
    NetServer refusing(refuses);
    EXPECT_NE(FailedOpen(refusing.address()).find("does not take the COM port option"), std::string::npos);

    NetServer::Script silent = ComPort();
    silent.answerOption = false;
    NetServer quiet(silent);
    const std::string noOption = FailedOpen(quiet.address());
    EXPECT_NE(noOption.find("no answer to the COM port option within 400 ms"), std::string::npos) << noOption;

    NetServer::Script mute = ComPort();
    mute.answerSettings = false;
    NetServer settingsUnanswered(mute);
    const std::string noSettings = FailedOpen(settingsUnanswered.address());
    EXPECT_NE(noSettings.find("did not answer the line settings within 400 ms"), std::string::npos)
        << noSettings;

    // A raw server is no COM port server.
    NetServer raw(Raw());
    const std::string rfc = "rfc2217://127.0.0.1:" + std::to_string(raw.port());
    EXPECT_NE(FailedOpen(rfc).find("no answer to the COM port option"), std::string::npos);
}

TEST_F(NetPort, DiscardingTheInputPurgesTheServerButAWrittenRequestIsNeverCut)
{
    NetServer server(ComPort());
    ASSERT_EQ(open(server.address()), 0) << failure(server.address());
    const std::size_t opening = server.commands().size();
    server.send({0xAA, 0xFF, 0xBB});
    ASSERT_TRUE(waitForInput(3));
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    ASSERT_TRUE(WaitFor([&] { return server.commands().size() > opening; }, 3000ms));
    EXPECT_EQ(SpacedHexOf(server.commands().back()), "0C 01");

    // The line discards its output queue while it waits for a reply: the
    // request must reach the controller whole, so the server's transmit
    // buffer is never purged.
    ASSERT_TRUE(write(SpacedHex(kWrite255)));
    EXPECT_EQ(FlushOutQ(kPort), 0);
    ASSERT_TRUE(WaitFor([&] { return server.data().size() >= 8; }, 3000ms));
    EXPECT_EQ(SpacedHexOf(server.data()), kWrite255);
    EXPECT_EQ(server.commands().size(), opening + 1);
}

TEST_F(NetPort, RawTcpCarriesTheBytesAsTheyAre)
{
    NetServer server(Raw());
    // Settings no serial line carries are refused before anything is opened.
    EXPECT_EQ(open(server.address(), 300), kRs232InvalidParameter);
    EXPECT_EQ(server.connections(), 0);

    ASSERT_EQ(open(server.address()), 0) << failure(server.address());
    ASSERT_TRUE(write(SpacedHex(kWrite255)));
    ASSERT_TRUE(WaitFor([&] { return server.raw().size() >= 8; }, 3000ms));
    EXPECT_EQ(SpacedHexOf(server.raw()), kWrite255) << "no Telnet, no settings, no doubling";

    server.send(SpacedHex("FF FF FA 2C"));
    ASSERT_TRUE(waitForInput(4));
    EXPECT_EQ(SpacedHexOf(read(4)), "FF FF FA 2C");
    server.send({1, 2, 3});
    ASSERT_TRUE(waitForInput(3));
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(WaitInput(kPort, 50000), 0);
}

TEST_F(NetPort, AConnectionThatCannotBeMadeFailsTheOpenWithTheReason)
{
    const std::string refused = "tcp://127.0.0.1:" + std::to_string(NetServer::FreePort());
    EXPECT_EQ(open(refused), kRs232OpenFailed);
    const std::string why = failure(refused);
    EXPECT_EQ(why.rfind("127.0.0.1 port ", 0), 0u) << why;
    EXPECT_NE(why.find("refused"), std::string::npos) << why;

    // Malformed: refused with its message, nothing opened.
    EXPECT_EQ(open("tcp://127.0.0.1:0"), kRs232OpenFailed);
    EXPECT_EQ(failure("tcp://127.0.0.1:0"),
              "bad network device 'tcp://127.0.0.1:0': port 0 is outside 1..65535");
    EXPECT_EQ(open("udp://127.0.0.1:1"), kRs232OpenFailed);
    EXPECT_NE(failure("udp://127.0.0.1:1").find("unknown kind 'udp'"), std::string::npos);

    const std::string unknown = FailedOpen("tcp://no-such-host.invalid:2000", 2000ms);
    EXPECT_EQ(unknown.rfind("cannot find host 'no-such-host.invalid': ", 0), 0u) << unknown;
    EXPECT_EQ(GetInQLen(kPort), kRs232PortNotOpen);
}

TEST_F(NetPort, AServerThatLetsNoConnectionThroughFailsTheOpenWithinItsBound)
{
    NetServer::Script nothing = Raw();
    nothing.acceptNothing = true;
    NetServer server(nothing);
    EXPECT_EQ(open(server.address()), kRs232OpenFailed);
    EXPECT_NE(failure(server.address()).find("no answer within 5 s"), std::string::npos)
        << failure(server.address());
}

TEST_F(NetPort, TheServerGoingAwayMidReplyIsAnUnplug)
{
    for (const bool comPort : {false, true}) {
        SCOPED_TRACE(comPort ? "rfc2217" : "tcp");
        g_losses = 0;
        NetServer server(comPort ? ComPort() : Raw());
        ASSERT_EQ(open(server.address()), 0) << failure(server.address());
        server.send({0x01, 0x03, 0x04, 0x00});
        server.close();
        // What came before the close is read; then the device is gone.
        ASSERT_TRUE(waitForInput(4));
        EXPECT_EQ(SpacedHexOf(read(4)), "01 03 04 00");
        EXPECT_TRUE(WaitFor([] { return GetInQLen(kPort) < 0; }, 3000ms));
        EXPECT_TRUE(ComDeviceLost(kPort));
        EXPECT_EQ(g_losses.load(), 1);
        EXPECT_FALSE(write({1, 2}));
        EXPECT_EQ(g_losses.load(), 1) << "one loss, one report";
        EXPECT_EQ(CloseCom(kPort), 0);
        EXPECT_FALSE(ComDeviceLost(kPort));
    }

    // A reset in the middle of a subnegotiation.
    g_losses = 0;
    NetServer server(ComPort());
    ASSERT_EQ(open(server.address()), 0) << failure(server.address());
    server.sendRaw(SpacedHex("01 03 FF FA 2C 6B"));
    server.reset();
    EXPECT_TRUE(WaitFor([] { return WaitInput(kPort, 20000) < 0 || ComDeviceLost(kPort); }, 3000ms));
    EXPECT_TRUE(ComDeviceLost(kPort));
    EXPECT_EQ(g_losses.load(), 1);
}
