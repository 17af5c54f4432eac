// The simulated controller in the console's own process, on a loop port, as
// --simulate runs it on Windows: the port layer talks to it like to a device.
#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/port/serial.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::FromHex;
using testsupport::ToHex;

namespace {

constexpr int kPort = 4;

unsigned Crc16(const std::vector<unsigned char>& bytes)
{
    unsigned crc = 0xFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

// A request frame from its hex body, with its CRC appended.
std::vector<unsigned char> Frame(const std::string& body)
{
    std::vector<unsigned char> bytes = FromHex(body);
    const unsigned crc = Crc16(bytes);
    bytes.push_back(static_cast<unsigned char>(crc & 0xFF));
    bytes.push_back(static_cast<unsigned char>(crc >> 8));
    return bytes;
}

// Sends one request on `port` and returns the reply; empty when none came
// within half a second.
std::vector<unsigned char> Exchange(const std::vector<unsigned char>& request)
{
    if (ComWrt(kPort, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size())) !=
        static_cast<int>(request.size())) {
        return {};
    }
    std::vector<unsigned char> reply;
    if (WaitInput(kPort, 500000) == 1) {
        // A reply comes in one piece; the pause lets anything after it show too.
        std::this_thread::sleep_for(20ms);
        const int n = GetInQLen(kPort);
        reply.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        if (n > 0) ComRd(kPort, reinterpret_cast<char*>(reply.data()), n);
    }
    return reply;
}

class SimulatedLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = sim.startInProcess();
        ASSERT_FALSE(path.empty()) << sim.error();
        ASSERT_EQ(OpenComConfig(kPort, path.c_str(), 19200, 1, 8, 1, 1024, 1024), 0);
    }
    void TearDown() override
    {
        CloseCom(kPort);
        sim.stop();
    }

    sim::Simulator sim;
};

}  // namespace

TEST_F(SimulatedLine, AnswersReadsWritesAndExceptionsAsTheControllerDoes)
{
    const std::vector<unsigned char> page = Exchange(Frame("01030a300006"));  // 6 registers from 2608
    ASSERT_EQ(page.size(), 17u);
    EXPECT_EQ(ToHex({page.begin(), page.begin() + 3}), "01030c");
    EXPECT_EQ(Crc16(page), 0u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(page[3 + 2 * i] << 8 | page[4 + 2 * i], sim::FactoryValue(2608 + i)) << i;

    EXPECT_EQ(Exchange(Frame("010609f6003a")), Frame("010609f6003a"));  // over volt 58: echoed
    EXPECT_EQ(sim.registerValue(2550), 58);
    EXPECT_EQ(Exchange(Frame("010300000001")), Frame("018302"));  // unserved address
    EXPECT_EQ(Exchange(Frame("01040a300006")), Frame("018401"));  // another function
    // A damaged request and one for another slave get no answer; the next is served.
    std::vector<unsigned char> damaged = Frame("01030a300006");
    damaged.back() ^= 1;
    EXPECT_TRUE(Exchange(damaged).empty());
    EXPECT_TRUE(Exchange(Frame("02030a300006")).empty());
    EXPECT_EQ(Exchange(Frame("010609f60037")), Frame("010609f60037"));
    const auto log = sim.requests();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[1].function, 6);
    EXPECT_EQ(log[1].quantityOrValue, 58);
    EXPECT_EQ(log[4].quantityOrValue, 55);
}

TEST_F(SimulatedLine, StoppingItIsAnUnplug)
{
    sim.stop();
    char byte = 0;
    EXPECT_LT(ComRd(kPort, &byte, 1), 0);
    EXPECT_TRUE(ComDeviceLost(kPort));
}

#ifdef DSC_SIM_LIBMODBUS
// Where libmodbus is at hand it renders the replies; the simulator's own code
// (all that Windows has) must answer byte for byte the same.
TEST(SimulatedReplies, OwnCodeAnswersAsLibmodbusDoes)
{
    const char* const requests[] = {
        "01030a300006", "01030abc001a", "01030a14000f",
        "010609f6003a", "01060fc71234",  // pages, status, password
        "010300000001", "01030a14007e", "01030a140000",
        "01060abc0001", "01040a300006",  // exceptions
        "000609f60037",                  // a broadcast write
    };
    std::vector<std::vector<unsigned char>> replies[2];
    for (int own = 0; own < 2; ++own) {
        sim::Simulator s;
        s.useOwnReplies(own == 1);
        s.freezeTime();
        s.advanceTime(10000 - s.timeMs());  // both at the same moment of the simulated ride
        const std::string path = s.startInProcess();
        ASSERT_FALSE(path.empty());
        ASSERT_EQ(OpenComConfig(kPort, path.c_str(), 19200, 1, 8, 1, 1024, 1024), 0);
        for (const char* r : requests) replies[own].push_back(Exchange(Frame(r)));
        replies[own].push_back({static_cast<unsigned char>(s.registerValue(2550))});
        CloseCom(kPort);
        s.stop();
    }
    ASSERT_EQ(replies[0].size(), replies[1].size());
    for (std::size_t i = 0; i < replies[0].size(); ++i) {
        EXPECT_EQ(ToHex(replies[1][i]), ToHex(replies[0][i]))
            << (i < std::size(requests) ? requests[i] : "register 2550");
    }
}
#endif
