#include "platform/port/posix_serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "platform/port/port_drivers.h"

namespace posixserial {

namespace {

struct BaudEntry {
    long baud;
    speed_t constant;
};
constexpr BaudEntry kBaudRates[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200}, {115200, B115200},
};

// Unix98 pseudo-terminal slaves use majors 136..143.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

constexpr tcflag_t kRawInputFlags =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR;
constexpr tcflag_t kRawLocalFlags = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD;
constexpr tcflag_t kLineFlags = CSTOPB | CREAD | CLOCAL | CRTSCTS;

}  // namespace

speed_t BaudConstant(long baud)
{
    for (const BaudEntry& e : kBaudRates) {
        if (e.baud == baud) return e.constant;
    }
    return B0;
}

int MakeTermios(const SerialSettings& settings, const termios& base, termios* out)
{
    const speed_t speed = BaudConstant(settings.baud);
    if (speed == B0) return kRs232InvalidParameter;
    if (settings.parity < 0 || settings.parity > 2) return kRs232InvalidParameter;
    if (settings.dataBits != 7 && settings.dataBits != 8) return kRs232InvalidParameter;
    if (settings.stopBits != 1 && settings.stopBits != 2) return kRs232InvalidParameter;
    if (settings.inputQueueSize < 0 || settings.outputQueueSize < 0) return kRs232InvalidParameter;

    termios t = base;
    t.c_iflag &= ~kRawInputFlags;
    // Check parity when the line carries it: a damaged character arrives as 0,
    // so the frame keeps its length and fails its checksum.
    if (settings.parity != 0) t.c_iflag |= INPCK;
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~kRawLocalFlags;
    t.c_cflag &= ~(kFramingFlags | kLineFlags);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cflag |= settings.dataBits == 7 ? CS7 : CS8;
    if (settings.parity == 1) t.c_cflag |= PARENB | PARODD;
    if (settings.parity == 2) t.c_cflag |= PARENB;
    if (settings.stopBits == 2) t.c_cflag |= CSTOPB;
    // One byte satisfies a read; with O_NONBLOCK an empty queue then reads as
    // EAGAIN and a read of 0 means the other side hung up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    *out = t;
    return kRs232NoError;
}

bool IsPseudoTerminal(int fd)
{
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned m = major(st.st_rdev);
    return m >= kPtySlaveMajorFirst && m <= kPtySlaveMajorLast;
}

bool AttributesMatch(const termios& wanted, const termios& got, bool pseudoTerminal)
{
    if (cfgetispeed(&got) != cfgetispeed(&wanted) || cfgetospeed(&got) != cfgetospeed(&wanted)) return false;
    const tcflag_t cflagMask = pseudoTerminal ? kLineFlags : (kLineFlags | kFramingFlags);
    if ((got.c_cflag & cflagMask) != (wanted.c_cflag & cflagMask)) return false;
    if ((got.c_iflag & kRawInputFlags) != (wanted.c_iflag & kRawInputFlags)) return false;
    if ((got.c_oflag & OPOST) != (wanted.c_oflag & OPOST)) return false;
    if ((got.c_lflag & kRawLocalFlags) != (wanted.c_lflag & kRawLocalFlags)) return false;
    return got.c_cc[VMIN] == wanted.c_cc[VMIN] && got.c_cc[VTIME] == wanted.c_cc[VTIME];
}

}  // namespace posixserial

namespace {

using SteadyClock = std::chrono::steady_clock;

// Longest wait accepted from a caller; keeps every conversion in range.
constexpr double kMaxWaitSeconds = 1e6;

SteadyClock::time_point DeadlineAfter(double seconds)
{
    if (!(seconds > 0)) seconds = 0;  // also catches NaN
    if (seconds > kMaxWaitSeconds) seconds = kMaxWaitSeconds;
    return SteadyClock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
}

// Milliseconds left until `deadline` for poll(), rounded up so that a wait
// never ends early; 0 once it has passed.
// Errors by which the kernel says the device itself has gone: a USB adapter
// pulled out, or the far side of a pseudo-terminal closed.
bool DeviceGone(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV;
}

int MsUntil(SteadyClock::time_point deadline)
{
    const auto left = deadline - SteadyClock::now();
    if (left <= SteadyClock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

class PosixSerialDevice final : public SerialDevice {
public:
    explicit PosixSerialDevice(int fd) : fd_(fd) {}
    ~PosixSerialDevice() override { close(); }

    int write(const char* buffer, int count) override
    {
        if (fd_ < 0) return kRs232PortNotOpen;
        const auto deadline = DeadlineAfter(writeTimeout_);
        int done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_, buffer + done, static_cast<size_t>(count - done));
            if (n > 0) {
                done += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                if (DeviceGone(errno)) return Lose(kRs232WriteFailed, std::strerror(errno));
                qCWarning(lcSerial) << "write failed:" << std::strerror(errno);
                return kRs232WriteFailed;
            }
            const int wait = MsUntil(deadline);
            if (wait == 0) break;
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, wait);
            if (r < 0 && errno != EINTR) return kRs232WriteFailed;
            if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLOUT)) {
                return Lose(kRs232WriteFailed, "line hung up");
            }
        }
        // Wait until the bytes have left, so that discarding the output queue
        // afterwards can never cut the frame short.
        while (::tcdrain(fd_) != 0) {
            if (errno != EINTR) {
                if (DeviceGone(errno)) return Lose(kRs232WriteFailed, std::strerror(errno));
                qCWarning(lcSerial) << "drain failed:" << std::strerror(errno);
                return kRs232WriteFailed;
            }
        }
        return done;
    }

    int read(char* buffer, int count, double timeoutSeconds) override
    {
        if (fd_ < 0) return kRs232PortNotOpen;
        const auto deadline = DeadlineAfter(timeoutSeconds);
        int got = 0;
        while (got < count) {
            const ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(count - got));
            if (n > 0) {
                got += static_cast<int>(n);
                continue;
            }
            if (n == 0) return Lose(kRs232ReadFailed, "line hung up");
            if (errno == EINTR) continue;
            if (DeviceGone(errno)) return Lose(kRs232ReadFailed, std::strerror(errno));
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                qCWarning(lcSerial) << "read failed:" << std::strerror(errno);
                return kRs232ReadFailed;
            }
            const int wait = MsUntil(deadline);
            if (wait == 0) break;
            pollfd p{fd_, POLLIN, 0};
            const int r = ::poll(&p, 1, wait);
            if (r < 0 && errno != EINTR) return kRs232ReadFailed;
            // A hang-up with nothing left to read shows up as a read of 0 on
            // the next round, so only a dead descriptor needs handling here.
            if (r > 0 && (p.revents & POLLNVAL)) return kRs232ReadFailed;
        }
        return got;
    }

    int inputQueueLength() override
    {
        int n = 0;
        if (fd_ < 0) return kRs232PortNotOpen;
        if (::ioctl(fd_, FIONREAD, &n) != 0) {
            return DeviceGone(errno) ? Lose(kRs232ReadFailed, std::strerror(errno)) : kRs232ReadFailed;
        }
        return n;
    }

    int waitInput(double timeoutSeconds) override
    {
        if (fd_ < 0) return kRs232PortNotOpen;
        const auto deadline = DeadlineAfter(timeoutSeconds);
        for (;;) {
            auto left = deadline - SteadyClock::now();
            if (left < SteadyClock::duration::zero()) left = SteadyClock::duration::zero();
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            const timespec wait{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
            pollfd p{fd_, POLLIN, 0};
            const int r = ::ppoll(&p, 1, &wait, nullptr);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return kRs232ReadFailed;
            if (r == 0) return 0;
            if (p.revents & POLLIN) return 1;
            // Hung up or dead with nothing to read: waiting again would return at once.
            return kRs232ReadFailed;
        }
    }

    int flushInput() override { return Flush(TCIFLUSH, kRs232ReadFailed); }
    int flushOutput() override
    {
        // write() drains every frame, so a real port has nothing left to
        // discard. On a pseudo-terminal the "output queue" is the peer's unread
        // input: discarding it would destroy a request the peer has not read yet.
        if (fd_ >= 0 && posixserial::IsPseudoTerminal(fd_)) return kRs232NoError;
        return Flush(TCOFLUSH, kRs232WriteFailed);
    }

    int close() override
    {
        if (fd_ < 0) return kRs232NoError;
        // Linux releases the descriptor even when close reports an error, so
        // the port is closed either way; the error is only worth a log line.
        if (::close(fd_) != 0) qCWarning(lcSerial) << "close reported:" << std::strerror(errno);
        fd_ = -1;
        return kRs232NoError;
    }

    void setWriteTimeout(double seconds) override { writeTimeout_ = seconds; }
    bool lost() const override { return lost_; }

private:
    int Flush(int queue, int failure)
    {
        if (fd_ < 0) return kRs232PortNotOpen;
        if (::tcflush(fd_, queue) == 0) return kRs232NoError;
        return DeviceGone(errno) ? Lose(failure, std::strerror(errno)) : failure;
    }

    // The device has gone: the descriptor is released at once, so that the
    // kernel can give a re-plugged adapter its old name, and every later call
    // fails as on a closed port without touching the line again.
    int Lose(int code, const char* why)
    {
        qCWarning(lcSerial) << "device gone:" << why;
        close();
        lost_ = true;
        return code;
    }

    int fd_;
    bool lost_ = false;
    double writeTimeout_ = 5.0;
};

class PosixDriver final : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override
    {
        termios wanted{};
        // Refuse unsupported settings before the device is touched.
        if (const int rc = posixserial::MakeTermios(settings, termios{}, &wanted); rc != kRs232NoError) {
            return Fail(error, rc, path, "unsupported settings");
        }
        if (path.empty()) return Fail(error, kRs232OpenFailed, path, "no device");
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return Fail(error, kRs232OpenFailed, path, std::strerror(errno));
        auto device = std::make_unique<PosixSerialDevice>(fd);

        termios current{};
        if (::tcgetattr(fd, &current) != 0) return Fail(error, kRs232OpenFailed, path, "not a terminal");
        posixserial::MakeTermios(settings, current, &wanted);
        const bool pty = posixserial::IsPseudoTerminal(fd);
        const int rc = ::tcsetattr(fd, TCSANOW, &wanted);
        const int setErrno = errno;
        // A pseudo-terminal cannot carry parity or 7 data bits and refuses
        // with EINVAL a change that would touch nothing else; what it then
        // holds is checked below like any other read-back.
        if (rc != 0 && !(pty && setErrno == EINVAL)) {
            return Fail(error, kRs232OpenFailed, path, std::strerror(setErrno));
        }
        termios got{};
        if (::tcgetattr(fd, &got) != 0 || !posixserial::AttributesMatch(wanted, got, pty)) {
            return Fail(error, kRs232OpenFailed, path, "device did not take the settings");
        }
        qCDebug(lcSerial) << "opened" << path.c_str() << settings.baud << "bit/s parity" << settings.parity
                          << settings.dataBits << "data bits" << settings.stopBits << "stop bits"
                          << (pty ? "(pseudo-terminal)" : "");
        *error = kRs232NoError;
        return device;
    }

private:
    static std::unique_ptr<SerialDevice> Fail(int* error, int code, const std::string& path, const char* why)
    {
        qCWarning(lcSerial) << "open of" << path.c_str() << "failed:" << why;
        *error = code;
        return nullptr;
    }
};

}  // namespace

SerialDriver& PosixSerialDriver()
{
    static PosixDriver driver;
    return driver;
}
