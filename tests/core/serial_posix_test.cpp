#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <thread>

#include "platform/port/posix_serial.h"
#include "platform/port/serial.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::PtyPair;
using testsupport::WaitFor;

namespace {

int OpenFdCount()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d) != nullptr) ++n;
        closedir(d);
    }
    return n;
}

int Open(int port, const PtyPair& pty, long baud = 19200, int parity = 1, int data = 8, int stop = 1)
{
    return OpenComConfig(port, pty.slavePath().c_str(), baud, parity, data, stop, 1024, 1024);
}

// Scheduler state of thread `tid` of this process ('S' while blocked in a wait).
char ThreadState(pid_t tid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", static_cast<int>(tid));
    std::FILE* f = std::fopen(path, "r");
    if (f == nullptr) return '?';
    char line[512] = {};
    const bool ok = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    const char* close = ok ? std::strrchr(line, ')') : nullptr;
    return close != nullptr && close[1] == ' ' ? close[2] : '?';
}

termios AttributesOf(const std::string& path)
{
    termios t{};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    tcgetattr(fd, &t);
    ::close(fd);
    return t;
}

}  // namespace

TEST(ComOption, ParsesOnlyPortEqualsDevice)
{
    struct Case {
        const char* arg;
        bool ok;
        int port;
        const char* device;
    };
    const Case cases[] = {
        {"1=/dev/ttyUSB0", true, 1, "/dev/ttyUSB0"},
        {"20=/dev/pts/7", true, 20, "/dev/pts/7"},
        {"7=odd=name", true, 7, "odd=name"},
        {"", false, 0, nullptr},
        {"=", false, 0, nullptr},
        {"=/dev/x", false, 0, nullptr},
        {"3=", false, 0, nullptr},
        {"3", false, 0, nullptr},
        {"0=/dev/x", false, 0, nullptr},
        {"21=/dev/x", false, 0, nullptr},
        {"-1=/dev/x", false, 0, nullptr},
        {"+1=/dev/x", false, 0, nullptr},
        {" 1=/dev/x", false, 0, nullptr},
        {"1 =/dev/x", false, 0, nullptr},
        {"x=/dev/x", false, 0, nullptr},
        {"100=/dev/x", false, 0, nullptr},
        {"99999999999999999999=/dev/x", false, 0, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseComOption(c.arg), c.ok) << c.arg;
        if (c.ok) {
            EXPECT_EQ(ComDevicePath(c.port), c.device) << c.arg;
        }
    }
    EXPECT_EQ(ComDevicePath(2), "/dev/ttyS1");  // untouched by the rejected forms
    EXPECT_EQ(ComDevicePath(19), "/dev/ttyS18");
    EXPECT_EQ(ComDevicePath(0), "");
    EXPECT_EQ(ComDevicePath(21), "");
}

TEST(SerialPort, OperationsOnBadOrClosedPortsFail)
{
    char buf[4] = {};
    const std::pair<const char*, std::function<int(int)>> ops[] = {
        {"CloseCom", [](int p) { return CloseCom(p); }},
        {"SetComTime", [](int p) { return SetComTime(p, 1.0); }},
        {"ComWrt", [&](int p) { return ComWrt(p, buf, 4); }},
        {"ComRd", [&](int p) { return ComRd(p, buf, 4); }},
        {"ComRd 0", [&](int p) { return ComRd(p, buf, 0); }},
        {"GetInQLen", [](int p) { return GetInQLen(p); }},
        {"FlushInQ", [](int p) { return FlushInQ(p); }},
        {"FlushOutQ", [](int p) { return FlushOutQ(p); }},
    };
    for (const auto& [name, op] : ops) {
        for (int port : {0, -1, 21, INT_MIN}) {
            EXPECT_EQ(op(port), kRs232InvalidPort) << name << " port " << port;
            EXPECT_EQ(ReturnRS232Err(), kRs232InvalidPort) << name;
        }
        for (int port : {1, 20}) {
            EXPECT_EQ(op(port), kRs232PortNotOpen) << name << " port " << port;
            EXPECT_EQ(ReturnRS232Err(), kRs232PortNotOpen) << name;
        }
    }
}

TEST(SerialPort, UnsupportedSettingsFailWithoutOpening)
{
    PtyPair pty;
    struct Case {
        long baud;
        int parity, data, stop;
    };
    const Case cases[] = {
        {0, 0, 8, 1},        {300, 0, 8, 1},   {38400, 0, 8, 1}, {-9600, 0, 8, 1}, {LONG_MAX, 0, 8, 1},
        {LONG_MIN, 0, 8, 1}, {9600, -1, 8, 1}, {9600, 3, 8, 1},  {9600, 0, 9, 1},  {9600, 0, 6, 1},
        {9600, 0, 0, 1},     {9600, 0, 8, 0},  {9600, 0, 8, 3},  {9600, 0, 8, -1},
    };
    const int fds = OpenFdCount();
    for (const Case& c : cases) {
        EXPECT_EQ(Open(3, pty, c.baud, c.parity, c.data, c.stop), kRs232InvalidParameter)
            << c.baud << " " << c.parity << " " << c.data << " " << c.stop;
        EXPECT_EQ(ReturnRS232Err(), kRs232InvalidParameter);
        EXPECT_EQ(GetInQLen(3), kRs232PortNotOpen);
    }
    EXPECT_EQ(OpenComConfig(3, pty.slavePath().c_str(), 9600, 0, 8, 1, -1, 1024), kRs232InvalidParameter);
    EXPECT_EQ(OpenComConfig(3, "/nonexistent/tty", 9600, 0, 8, 1, 1024, 1024), kRs232OpenFailed);
    EXPECT_EQ(OpenComConfig(3, "/dev/null", 9600, 0, 8, 1, 1024, 1024), kRs232OpenFailed);  // not a tty
    EXPECT_EQ(OpenFdCount(), fds);
}

// Every supported combination opens, twice in a row: on a pseudo-terminal the
// second open changes nothing but parity or data bits, which the kernel
// refuses there although the line is set as asked.
TEST(SerialPort, OpensEverySupportedCombinationTwice)
{
    PtyPair pty;
    for (long baud : {1200L, 2400L, 4800L, 9600L, 19200L, 115200L}) {
        for (int parity : {0, 1, 2}) {
            for (int data : {7, 8}) {
                for (int stop : {1, 2}) {
                    SCOPED_TRACE(testing::Message() << baud << " " << parity << " " << data << " " << stop);
                    ASSERT_EQ(Open(5, pty, baud, parity, data, stop), 0);
                    ASSERT_EQ(CloseCom(5), 0);
                    ASSERT_EQ(Open(5, pty, baud, parity, data, stop), 0);
                    const termios t = AttributesOf(pty.slavePath());
                    EXPECT_EQ(cfgetospeed(&t), posixserial::BaudConstant(baud));
                    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, stop == 2);
                    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
                }
            }
        }
    }
    EXPECT_EQ(CloseCom(5), 0);
    EXPECT_EQ(CloseCom(5), kRs232PortNotOpen);
}

TEST(SerialPort, MakeTermiosMapsFraming)
{
    SerialSettings s;
    s.baud = 115200;
    s.parity = 1;
    s.dataBits = 7;
    s.stopBits = 2;
    termios t{};
    ASSERT_EQ(posixserial::MakeTermios(s, termios{}, &t), kRs232NoError);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CSTOPB), static_cast<tcflag_t>(PARENB | PARODD | CSTOPB));
    EXPECT_NE(t.c_iflag & INPCK, 0u);
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B115200));
    s.parity = 2;
    s.dataBits = 8;
    s.stopBits = 1;
    ASSERT_EQ(posixserial::MakeTermios(s, t, &t), kRs232NoError);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), static_cast<tcflag_t>(CS8 | PARENB));
    s.parity = 0;
    ASSERT_EQ(posixserial::MakeTermios(s, t, &t), kRs232NoError);
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_iflag & INPCK, 0u);
}

TEST(SerialPort, ReopenWithoutCloseReleasesTheStaleHandle)
{
    PtyPair first, second;
    const int fds = OpenFdCount();
    ASSERT_EQ(Open(2, first), 0);
    EXPECT_EQ(OpenFdCount(), fds + 1);
    ASSERT_EQ(Open(2, second), 0);  // still open: released, then opened on the new device
    EXPECT_EQ(OpenFdCount(), fds + 1);
    ASSERT_EQ(ComWrt(2, "x", 1), 1);
    EXPECT_EQ(testsupport::ToHex(second.read(1000ms)), "78");
    EXPECT_TRUE(first.read(50ms).empty());
    ASSERT_EQ(Open(4, first), 0);  // another port beside it
    EXPECT_EQ(OpenFdCount(), fds + 2);
    EXPECT_EQ(CloseCom(2), 0);
    EXPECT_EQ(CloseCom(4), 0);
    EXPECT_EQ(OpenFdCount(), fds);
}

TEST(SerialPort, RawBytesRoundTripAndQueueLength)
{
    PtyPair pty;
    ASSERT_EQ(Open(1, pty), 0);
    // Bytes a cooked line would swallow or translate: NUL, CR, LF, XON, XOFF, ^C, ^D, DEL, 0xFF.
    const std::vector<unsigned char> raw = testsupport::FromHex("00010d0a1113030419047fff80");
    ASSERT_EQ(ComWrt(1, reinterpret_cast<const char*>(raw.data()), static_cast<int>(raw.size())),
              static_cast<int>(raw.size()));
    EXPECT_EQ(ReturnRS232Err(), 0);
    EXPECT_EQ(pty.read(1000ms), raw);

    pty.write(raw);
    ASSERT_TRUE(WaitFor([&] { return GetInQLen(1) == static_cast<int>(raw.size()); }, 2000ms));
    std::vector<unsigned char> in(raw.size());
    EXPECT_EQ(ComRd(1, reinterpret_cast<char*>(in.data()), static_cast<int>(in.size())),
              static_cast<int>(raw.size()));
    EXPECT_EQ(in, raw);
    EXPECT_EQ(GetInQLen(1), 0);
    EXPECT_EQ(ComWrt(1, "", 0), 0);
    EXPECT_EQ(ComWrt(1, nullptr, 3), kRs232InvalidParameter);
    EXPECT_EQ(ComRd(1, nullptr, 3), kRs232InvalidParameter);
    EXPECT_EQ(ComRd(1, reinterpret_cast<char*>(in.data()), -1), kRs232InvalidParameter);
}

TEST(SerialPort, ComRdWaitsUpToTheTimeOutAndReturnsTheShortCount)
{
    PtyPair pty;
    ASSERT_EQ(Open(1, pty), 0);
    for (double bad : {-1.0, std::nan(""), HUGE_VAL, 1e9})
        EXPECT_EQ(SetComTime(1, bad), kRs232InvalidParameter);
    ASSERT_EQ(SetComTime(1, 0.3), 0);
    EXPECT_EQ(ReturnRS232Err(), 0);
    pty.write({1, 2, 3});
    ASSERT_TRUE(WaitFor([] { return GetInQLen(1) == 3; }, 2000ms));
    char buf[10];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ComRd(1, buf, 10), 3);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(ReturnRS232Err(), kRs232Timeout);
    EXPECT_STREQ(GetRS232ErrorString(ReturnRS232Err()), "Port time-out");
    EXPECT_EQ(ComRd(1, buf, 0), 0);  // nothing asked: no wait, no error
    EXPECT_EQ(ReturnRS232Err(), 0);
}

TEST(SerialPort, FlushesDiscardPendingInput)
{
    PtyPair pty;
    ASSERT_EQ(Open(1, pty), 0);
    pty.write({9, 8, 7, 6});
    ASSERT_TRUE(WaitFor([] { return GetInQLen(1) == 4; }, 2000ms));
    EXPECT_EQ(FlushInQ(1), 0);
    EXPECT_EQ(GetInQLen(1), 0);
    EXPECT_EQ(FlushOutQ(1), 0);
    ASSERT_EQ(SetComTime(1, 0.05), 0);
    char c;
    EXPECT_EQ(ComRd(1, &c, 1), 0);
}

TEST(SerialPort, HangUpIsReportedAsReadAndWriteFailure)
{
    PtyPair pty;
    ASSERT_EQ(Open(1, pty), 0);
    pty.hangUp();
    char buf[8] = {};
    EXPECT_EQ(ComRd(1, buf, 8), kRs232ReadFailed);
    EXPECT_EQ(ReturnRS232Err(), kRs232ReadFailed);
    EXPECT_LT(ComWrt(1, buf, 8), 0);
    EXPECT_EQ(CloseCom(1), 0);
}

TEST(SerialPort, CloseDoesNotWaitForAReadInProgress)
{
    PtyPair pty;
    ASSERT_EQ(Open(6, pty), 0);
    ASSERT_EQ(SetComTime(6, 60.0), 0);
    std::atomic<int> result{1};
    std::atomic<pid_t> tid{0};
    std::thread reader([&] {
        tid = gettid();
        char buf[4];
        result = ComRd(6, buf, 4);
    });
    // Close only once the reader is blocked waiting for bytes.
    ASSERT_TRUE(WaitFor([&] { return tid.load() != 0 && ThreadState(tid.load()) == 'S'; }, 5000ms));
    EXPECT_EQ(CloseCom(6), 0);
    EXPECT_TRUE(WaitFor([&] { return result.load() != 1; }, 10000ms));  // far less than the 60 s time-out
    reader.join();
    EXPECT_EQ(result.load(), 0);
}

// One thread keeps re-opening and closing a port while others use it and its
// neighbour: every call must end in a defined result (sanitizers watch the rest).
TEST(SerialPort, ConcurrentOpenCloseAndUseStaySafe)
{
    PtyPair a, b;
    ASSERT_EQ(Open(8, b), 0);
    std::atomic<bool> done{false};
    std::thread opener([&] {
        for (int i = 0; i < 200; ++i) {
            Open(7, a);
            if (i % 3 == 0) CloseCom(7);
        }
        CloseCom(7);
        done = true;
    });
    char buf[2];
    while (!done.load()) {
        for (int port : {7, 8}) {
            SetComTime(port, 0.001);
            const int r = ComRd(port, buf, 2);
            EXPECT_TRUE(r == 0 || r == kRs232PortNotOpen) << r;
            EXPECT_GE(ComWrt(port, "ab", 2), kRs232PortNotOpen);
            GetInQLen(port);
        }
    }
    opener.join();
    EXPECT_EQ(CloseCom(8), 0);
}

TEST(SerialPort, EveryErrorCodeHasAText)
{
    const int codes[] = {kRs232NoError,          kRs232InvalidPort, kRs232PortNotOpen, kRs232OpenFailed,
                         kRs232InvalidParameter, kRs232WriteFailed, kRs232ReadFailed,  kRs232Timeout};
    std::set<std::string> texts;
    for (int code : codes) texts.insert(GetRS232ErrorString(code));
    EXPECT_EQ(texts.size(), std::size(codes));
    for (int unknown : {1, -1, -100, 12345, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(GetRS232ErrorString(unknown), "Unknown port error");
    }
}

// The port table resolves the device: an explicit name wins, then the --com
// mapping, then /dev/ttyS(n-1).
TEST(SerialPort, DeviceResolutionGoesThroughTheInstalledDriver)
{
    struct NullDevice : SerialDevice {
        int write(const char*, int count) override { return count; }
        int read(char*, int, double) override { return 0; }
        int inputQueueLength() override { return 0; }
        int flushInput() override { return 0; }
        int flushOutput() override { return 0; }
        int close() override { return 0; }
    };
    struct RecordingDriver : SerialDriver {
        std::string path;
        std::unique_ptr<SerialDevice> open(const std::string& p, const SerialSettings&, int* error) override
        {
            path = p;
            *error = 0;
            return std::make_unique<NullDevice>();
        }
    } driver;
    SetSerialDriver(&driver);
    ASSERT_TRUE(ParseComOption("9=/dev/ttyACM0"));
    const struct {
        int port;
        const char* name;
        const char* expected;
    } cases[] = {
        {5, "", "/dev/ttyS4"}, {5, nullptr, "/dev/ttyS4"}, {9, "", "/dev/ttyACM0"}, {9, "/dev/x", "/dev/x"}};
    for (const auto& c : cases) {
        EXPECT_EQ(OpenComConfig(c.port, c.name, 9600, 0, 8, 1, 1024, 1024), 0);
        EXPECT_EQ(driver.path, c.expected);
        EXPECT_EQ(ComWrt(c.port, "abc", 3), 3);
    }
    SetSerialDriver(nullptr);
    EXPECT_EQ(CloseCom(5), 0);
    EXPECT_EQ(CloseCom(9), 0);
}
