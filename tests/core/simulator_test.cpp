#include "tools/sim/simulator.h"

#include <gtest/gtest.h>
#include <modbus.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <set>

#include "platform/port/serial.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::WaitFor;

namespace {

double Physical(std::uint16_t raw, double fullScale)
{
    return static_cast<std::int16_t>(raw) * fullScale / 32767.0;
}

// CRC-16 as a Modbus master checks it: over a whole frame, CRC included, it is 0.
unsigned Crc16(const unsigned char* p, std::size_t n)
{
    unsigned crc = 0xFFFF;
    while (n-- > 0) {
        crc ^= *p++;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

// A simulator with an independent master (libmodbus) connected to it.
class SimulatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        path_ = sim_.start();
        ASSERT_FALSE(path_.empty()) << sim_.error();
        connect();
    }
    void TearDown() override
    {
        disconnect();
        sim_.stop();
    }
    void connect()
    {
        mb_ = modbus_new_rtu(path_.c_str(), 19200, 'N', 8, 1);
        ASSERT_NE(mb_, nullptr);
        modbus_set_slave(mb_, 1);
        ASSERT_EQ(modbus_connect(mb_), 0) << modbus_strerror(errno);
        modbus_set_response_timeout(mb_, 1, 0);
    }
    void disconnect()
    {
        if (mb_ == nullptr) return;
        modbus_close(mb_);
        modbus_free(mb_);
        mb_ = nullptr;
    }
    int read(int address, int count, std::uint16_t* out = nullptr)
    {
        std::uint16_t scratch[125];
        return modbus_read_registers(mb_, address, count, out != nullptr ? out : scratch);
    }
    std::uint16_t value(int address)
    {
        std::uint16_t v = 0xDEAD;
        EXPECT_EQ(read(address, 1, &v), 1) << address << ": " << modbus_strerror(errno);
        return v;
    }

    sim::Simulator sim_;
    std::string path_;
    modbus_t* mb_ = nullptr;
};

}  // namespace

TEST_F(SimulatorTest, ServesEveryBlockWithPlausibleValues)
{
    for (const sim::Block& b : sim::kServedBlocks) {
        std::uint16_t regs[125] = {};
        ASSERT_EQ(read(b.first, b.count, regs), b.count) << b.first << ": " << modbus_strerror(errno);
        for (int i = 0; i < b.count; ++i) {
            if (sim::IsParameter(b.first + i)) {
                EXPECT_EQ(regs[i], sim::FactoryValue(b.first + i)) << b.first + i;
            }
        }
    }
    EXPECT_EQ(value(2550), 60);                         // over volt
    EXPECT_EQ(value(2549), 40);                         // lack volt
    EXPECT_NEAR(Physical(value(2609), 5), 4.2, 0.001);  // throttle max volt
    std::uint16_t s[26];
    ASSERT_EQ(read(sim::kStatusFirst, 26, s), 26);
    EXPECT_TRUE(s[0] == 24 || s[0] == 21 || s[0] == 1) << s[0];
    EXPECT_GT(Physical(s[1], 600), 44.0);  // battery around 48 V
    EXPECT_LT(Physical(s[1], 600), 50.0);
    EXPECT_GE(s[9], 1);  // hall state
    EXPECT_LE(s[9], 6);
    EXPECT_GT(Physical(s[11], 5), 0.5);  // throttle voltage
    EXPECT_LT(Physical(s[11], 5), 4.5);
}

TEST_F(SimulatorTest, WritesAreEchoedAndKept)
{
    const struct {
        int address;
        std::uint16_t value;
    } writes[] = {{2550, 58}, {2548, 0xFFFB}, {2662, 1}, {sim::kPasswordRegister, 0x5927}, {2655, 1}};
    for (const auto& w : writes) {
        ASSERT_EQ(modbus_write_register(mb_, w.address, w.value), 1) << w.address << modbus_strerror(errno);
        EXPECT_EQ(value(w.address), w.value) << w.address;
        EXPECT_EQ(sim_.registerValue(w.address), w.value);
    }
    const auto log = sim_.requests();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].reply, log[0].raw);  // a write is answered by its own echo
}

TEST_F(SimulatorTest, UnservedAddressesAndFunctionsGetExceptions)
{
    std::uint16_t regs[130];
    const struct {
        const char* what;
        std::function<int()> call;
        int errnoValue;
    } cases[] = {
        {"read gap", [&] { return read(2563, 1); }, EMBXILADD},
        {"read across a gap", [&] { return read(2560, 6); }, EMBXILADD},
        {"read before the map", [&] { return read(0, 4); }, EMBXILADD},
        {"read past status", [&] { return read(2770, 5); }, EMBXILADD},
        {"write gap", [&] { return modbus_write_register(mb_, 2563, 1); }, EMBXILADD},
        {"write status", [&] { return modbus_write_register(mb_, 2748, 1); }, EMBXILADD},
        {"input registers", [&] { return modbus_read_input_registers(mb_, 2548, 1, regs); }, EMBXILFUN},
        {"write multiple", [&] { return modbus_write_registers(mb_, 2548, 1, regs); }, EMBXILFUN},
    };
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(c.call(), -1) << c.what;
        EXPECT_EQ(errno, c.errnoValue) << c.what << ": " << modbus_strerror(errno);
    }
    EXPECT_EQ(value(2548), sim::FactoryValue(2548));  // still serving after the exceptions
}

TEST_F(SimulatorTest, RestoreFactorySettingsStepsThroughItsStates)
{
    sim_.freezeTime();
    ASSERT_EQ(modbus_write_register(mb_, 2550, 58), 1);
    EXPECT_EQ(value(sim::kRestoreStatusRegister), 0);
    ASSERT_EQ(modbus_write_register(mb_, sim::kRestoreRegister, 1), 1);
    EXPECT_EQ(value(sim::kRestoreStatusRegister), 1);
    EXPECT_EQ(value(2550), 58);
    sim_.advanceTime(sim::kRestoreStepMs);
    EXPECT_EQ(value(sim::kRestoreStatusRegister), 2);
    sim_.advanceTime(sim::kRestoreStepMs);
    EXPECT_EQ(value(sim::kRestoreStatusRegister), 3);
    EXPECT_EQ(value(2550), 60);  // back to factory
    EXPECT_EQ(value(sim::kRestoreRegister), 0);
    sim_.advanceTime(60000);
    EXPECT_EQ(value(sim::kRestoreStatusRegister), 3);  // stays done
}

TEST(SimulatorStatus, MovesDeterministicallyWithFaultsThatComeAndGo)
{
    std::set<int> hallStates;
    int faultedSamples = 0;
    std::int64_t faultStart = -1;
    for (std::int64_t t = 0; t <= 600000; t += 50) {
        const auto s = sim::StatusAt(t);
        EXPECT_EQ(s, sim::StatusAt(t));
        hallStates.insert(s[9]);
        EXPECT_GT(Physical(s[1], 600), 44.0);
        EXPECT_LT(Physical(s[1], 600), 50.0);
        EXPECT_GE(static_cast<std::int16_t>(s[10]), 0);  // speed
        EXPECT_LE(static_cast<std::int16_t>(s[10]), 3000);
        const bool faulted = (s[14] | s[15] | s[16]) != 0;
        EXPECT_EQ(faulted, s[0] == 1) << t;  // system error exactly while a fault is shown
        if (faulted) {
            ++faultedSamples;
            if (faultStart < 0) faultStart = t;
        } else if (faultStart >= 0) {
            EXPECT_GE(t - faultStart, 2000);  // shown long enough to be seen, then cleared
            EXPECT_LE(t - faultStart, 10000);
            faultStart = -1;
        }
    }
    EXPECT_EQ(hallStates, (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_GT(faultedSamples, 0);
    EXPECT_LT(faultedSamples, 600000 / 50 / 5);  // faults are the exception
    EXPECT_EQ(sim::StatusAt(-5), sim::StatusAt(0));
}

TEST_F(SimulatorTest, FrozenTimeFreezesTheStatusAndPinnedRegistersHold)
{
    sim_.freezeTime();
    std::uint16_t a[26], b[26];
    ASSERT_EQ(read(sim::kStatusFirst, 26, a), 26);
    ASSERT_EQ(read(sim::kStatusFirst, 26, b), 26);
    EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
    sim_.advanceTime(7000);
    ASSERT_EQ(read(sim::kStatusFirst, 26, b), 26);
    EXPECT_NE(0, std::memcmp(a, b, sizeof a));
    ASSERT_TRUE(sim_.setRegister(2762, 0x0005));
    sim_.advanceTime(45000);
    EXPECT_EQ(value(2762), 0x0005);
    sim_.releaseRegister(2762);
    EXPECT_EQ(value(2762), sim::StatusAt(sim_.timeMs())[14]);
    EXPECT_FALSE(sim_.setRegister(2563, 1));
}

TEST_F(SimulatorTest, InjectedFaultsShapeTheReply)
{
    const struct {
        const char* what;
        sim::Fault fault;
        int errnoValue;  // 0: the read succeeds
    } cases[] = {
        {"exception", {4, false, false, 0, -1, -1}, EMBXSFAIL},
        {"silent", {0, true, false, 0, -1, -1}, ETIMEDOUT},
        {"bad crc", {0, false, true, 0, -1, -1}, EMBBADCRC},
        {"delay", {0, false, false, 200, -1, -1}, 0},
        {"split", {0, false, false, 0, 150, -1}, 0},
    };
    for (const auto& c : cases) {
        sim_.clearRequests();
        sim_.setFault(2608, c.fault);
        std::uint16_t regs[6];
        errno = 0;
        const int r = modbus_read_registers(mb_, 2608, 6, regs);
        EXPECT_EQ(r, c.errnoValue == 0 ? 6 : -1) << c.what;
        if (c.errnoValue != 0) {
            EXPECT_EQ(errno, c.errnoValue) << c.what << ": " << modbus_strerror(errno);
        }
        modbus_flush(mb_);
        sim_.clearFault(2608);
        EXPECT_EQ(value(2609), sim::FactoryValue(2609)) << c.what;  // unaffected once cleared
        const auto log = sim_.requests();
        ASSERT_GE(log.size(), 1u);
        const std::int64_t took = log[0].repliedMs - log[0].receivedMs;
        EXPECT_EQ(log[0].repliedMs == -1, c.fault.silent) << c.what;
        if (!c.fault.silent) {
            EXPECT_GE(took, std::max(c.fault.delayMs, c.fault.splitGapMs)) << c.what;
        }
    }

    // A split whose gap is longer than the master's patience between bytes
    // really arrives as two bursts.
    sim_.setFault(2608, {0, false, false, 0, 300, 1});
    modbus_set_byte_timeout(mb_, 0, 100000);
    std::uint16_t regs[6];
    EXPECT_EQ(modbus_read_registers(mb_, 2608, 6, regs), -1);
    ASSERT_TRUE(WaitFor([&] { return sim_.requests().back().repliedMs >= 0; }, 2000ms));
    modbus_flush(mb_);
    EXPECT_EQ(modbus_read_registers(mb_, 2608, 6, regs), 6);  // `times` was 1: served plainly now

    // Faults are per address: another block is not touched.
    sim_.setFault(2548, {0, true, false, 0, -1, -1});
    EXPECT_EQ(value(2568), sim::FactoryValue(2568));
}

TEST_F(SimulatorTest, FaultyLineLosesEveryNthReplyBySilenceThenByCrc)
{
    sim_.setFaultyLine(3);
    modbus_set_response_timeout(mb_, 0, 300000);
    std::vector<int> errors;
    for (int i = 0; i < 6; ++i) {
        errno = 0;
        errors.push_back(read(2548, 15) == 15 ? 0 : errno);
        modbus_flush(mb_);
    }
    EXPECT_EQ(errors, (std::vector<int>{0, 0, ETIMEDOUT, 0, 0, EMBBADCRC}));
    sim_.setFaultyLine(0);
    EXPECT_EQ(read(2548, 15), 15);
    // Its own count of what it did, the tap a long run checks the console against.
    const sim::Simulator::Tally t = sim_.tally();
    EXPECT_EQ(t.requests, 7u);
    EXPECT_EQ(t.silent, 1u);
    EXPECT_EQ(t.replies, 6u);
    EXPECT_EQ(t.damagedCrc, 1u);
}

TEST_F(SimulatorTest, LogsEveryRequestWithItsTimes)
{
    sim_.clearRequests();
    const std::int64_t before = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
    ASSERT_EQ(read(2628, 11), 11);
    ASSERT_EQ(modbus_write_register(mb_, 2630, 1), 1);
    const auto log = sim_.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(testsupport::ToHex(log[0].raw),
              "01030a44000b" + testsupport::ToHex({log[0].raw[6], log[0].raw[7]}));
    EXPECT_EQ(Crc16(log[0].raw.data(), log[0].raw.size()), 0u);
    EXPECT_EQ(log[0].function, 3);
    EXPECT_EQ(log[0].address, 2628);
    EXPECT_EQ(log[0].quantityOrValue, 11);
    EXPECT_EQ(log[0].reply.size(), 5u + 2 * 11);
    EXPECT_EQ(log[1].function, 6);
    EXPECT_EQ(log[1].address, 2630);
    EXPECT_EQ(log[1].quantityOrValue, 1);
    EXPECT_LE(before, log[0].receivedMs);
    EXPECT_LE(log[0].receivedMs, log[0].repliedMs);
    EXPECT_LE(log[0].repliedMs, log[1].receivedMs);
    EXPECT_LE(log[1].receivedMs, log[1].repliedMs);
}

TEST_F(SimulatorTest, KeepsServingWhileTheClientClosesAndReopens)
{
    for (int round = 0; round < 3; ++round) {
        disconnect();
        // Nobody holds the line for a moment: the simulator must ride it out.
        const std::size_t count = sim_.requestCount();
        EXPECT_FALSE(WaitFor([&] { return sim_.requestCount() != count; }, 150ms));
        connect();
        EXPECT_EQ(value(2550), 60) << "round " << round;
    }
    sim_.stop();
    EXPECT_FALSE(sim_.running());
    sim_.stop();           // again: harmless
    path_ = sim_.start();  // and it can serve again, on a fresh line
    ASSERT_FALSE(path_.empty());
    disconnect();
    connect();
    EXPECT_EQ(value(2549), 40);
}

// The console's own port layer against the simulator, with the port panel's
// defaults (19200 bit/s, odd parity, 8 data bits, 1 stop bit), opened twice.
TEST_F(SimulatorTest, AnswersTheConsolePortLayer)
{
    disconnect();
    for (int open = 0; open < 2; ++open) {
        ASSERT_EQ(OpenComConfig(4, path_.c_str(), 19200, 1, 8, 1, 1024, 1024), 0) << "open " << open;
        ASSERT_EQ(FlushInQ(4), 0);
        ASSERT_EQ(SetComTime(4, 5.0), 0);
        const auto request = testsupport::FromHex("01030a300006c61f");  // read 6 registers from 2608
        ASSERT_EQ(ComWrt(4, reinterpret_cast<const char*>(request.data()), 8), 8);
        unsigned char reply[17] = {};
        ASSERT_EQ(ComRd(4, reinterpret_cast<char*>(reply), 17), 17);
        EXPECT_EQ(testsupport::ToHex({reply, reply + 3}), "01030c");
        EXPECT_EQ(Crc16(reply, 17), 0u);
        EXPECT_EQ(reply[3] << 8 | reply[4], sim::FactoryValue(2608));
        ASSERT_EQ(CloseCom(4), 0);
    }
}
