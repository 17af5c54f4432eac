// The Win32 communications driver: \\.\COMn opened for synchronous use.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/clock.h"
#include "platform/port/port_discovery.h"
#include "platform/port/port_drivers.h"
#include "platform/port/serial_log.h"
#include "platform/port/win_serial.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr double kMaxWaitSeconds = 1e6;
constexpr DWORD kWaitChunk = 4096;  // bytes taken by one read while only waiting for input
// How often a port in use looks whether its device is still there (ClockMs).
constexpr std::int64_t kPresenceLookMs = 1000;

SteadyClock::time_point DeadlineAfter(double seconds)
{
    if (!(seconds > 0)) seconds = 0;  // also catches NaN
    seconds = std::min(seconds, kMaxWaitSeconds);
    return SteadyClock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
}

// Whole milliseconds left until `deadline`, rounded up so that a wait never
// ends early; 0 once it has passed.
DWORD MsUntil(SteadyClock::time_point deadline)
{
    const auto left = deadline - SteadyClock::now();
    if (left <= SteadyClock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
}

// Wine carries a COM port on a Unix device, often a pseudo-terminal, which
// has no parity: what it reports of the parity then means nothing.
bool UnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

winserial::LineSettings FromDcb(const DCB& d)
{
    winserial::LineSettings l;
    l.baudRate = d.BaudRate;
    l.byteSize = d.ByteSize;
    l.parity = d.Parity;
    l.stopBits = d.StopBits;
    return l;
}

class WinSerialDevice final : public SerialDevice {
public:
    // `name` is the device opened (\\.\COMn).
    WinSerialDevice(HANDLE h, std::string name) : handle_(h), name_(std::move(name)), lastLookMs_(ClockMs())
    {
    }
    ~WinSerialDevice() override { close(); }

    // Applies the time-outs for a read that waits up to `waitMs`, and the
    // write time-out; only what changed goes to the device.
    bool useTimeouts(DWORD waitMs)
    {
        const winserial::ReadTimeouts r = winserial::ReadTimeoutsFor(waitMs);
        const DWORD writeMs = static_cast<DWORD>(std::lround(std::clamp(writeTimeout_, 0.0, 3.6e6) * 1000));
        if (applied_ && r.interval == current_.ReadIntervalTimeout &&
            r.multiplier == current_.ReadTotalTimeoutMultiplier &&
            r.constant == current_.ReadTotalTimeoutConstant &&
            writeMs == current_.WriteTotalTimeoutConstant) {
            return true;
        }
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = r.interval;
        t.ReadTotalTimeoutMultiplier = r.multiplier;
        t.ReadTotalTimeoutConstant = r.constant;
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = writeMs;
        if (!SetCommTimeouts(handle_, &t)) return false;
        current_ = t;
        applied_ = true;
        return true;
    }

    int write(const char* buffer, int count) override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232PortNotOpen;
        if (vanished()) return lose(kRs232WriteFailed, "write", ERROR_DEV_NOT_EXIST);
        if (!useTimeouts(0)) return failure(kRs232WriteFailed, "setting time-outs");
        DWORD written = 0;
        if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &written, nullptr)) {
            return failure(kRs232WriteFailed, "write");
        }
        // Wait until the bytes have left, so that nothing discarded afterwards
        // can cut the frame short.
        if (!FlushFileBuffers(handle_)) {
            const DWORD e = GetLastError();
            if (winserial::DeviceGoneError(e)) return lose(kRs232WriteFailed, "drain", e);
            qCDebug(lcSerial) << "drain not available, error" << e;
        }
        return static_cast<int>(written);
    }

    int read(char* buffer, int count, double timeoutSeconds) override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232PortNotOpen;
        if (vanished()) return lose(kRs232ReadFailed, "read", ERROR_DEV_NOT_EXIST);
        const auto deadline = DeadlineAfter(timeoutSeconds);
        int got = takePending(buffer, count);
        while (got < count) {
            const DWORD wait = MsUntil(deadline);
            if (!useTimeouts(wait)) return failure(kRs232ReadFailed, "setting time-outs");
            DWORD n = 0;
            if (!ReadFile(handle_, buffer + got, static_cast<DWORD>(count - got), &n, nullptr)) {
                return failure(kRs232ReadFailed, "read");
            }
            got += static_cast<int>(n);
            if (n == 0 && (wait == 0 || SteadyClock::now() >= deadline)) break;
        }
        return got;
    }

    int inputQueueLength() override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232PortNotOpen;
        if (vanished()) return lose(kRs232ReadFailed, "queue status", ERROR_DEV_NOT_EXIST);
        DWORD errors = 0;
        COMSTAT stat{};
        if (!ClearCommError(handle_, &errors, &stat)) return failure(kRs232ReadFailed, "queue status");
        const std::size_t n = pending_.size() + stat.cbInQue;
        return n > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<int>(n);
    }

    // A read that returns with the first byte: what it takes waits in
    // pending_ for the next read.
    int waitInput(double timeoutSeconds) override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232PortNotOpen;
        if (vanished()) return lose(kRs232ReadFailed, "wait", ERROR_DEV_NOT_EXIST);
        if (!pending_.empty()) return 1;
        const auto deadline = DeadlineAfter(timeoutSeconds);
        for (;;) {
            const DWORD wait = MsUntil(deadline);
            if (!useTimeouts(wait)) return failure(kRs232ReadFailed, "setting time-outs");
            char chunk[kWaitChunk];
            DWORD n = 0;
            if (!ReadFile(handle_, chunk, kWaitChunk, &n, nullptr)) return failure(kRs232ReadFailed, "wait");
            if (n > 0) {
                pending_.insert(pending_.end(), chunk, chunk + n);
                return 1;
            }
            if (wait == 0 || SteadyClock::now() >= deadline) return 0;
        }
    }

    int flushInput() override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232PortNotOpen;
        pending_.clear();
        if (!PurgeComm(handle_, PURGE_RXCLEAR | PURGE_RXABORT))
            return failure(kRs232ReadFailed, "purge input");
        return kRs232NoError;
    }

    // Every write waited until its bytes had left, so there is nothing to
    // discard; purging the output would only risk a frame that a driver (or
    // Wine on a pseudo-terminal) still holds for the far side.
    int flushOutput() override { return handle_ == INVALID_HANDLE_VALUE ? kRs232PortNotOpen : kRs232NoError; }

    int close() override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return kRs232NoError;
        if (!CloseHandle(handle_)) qCWarning(lcSerial) << "close reported error" << GetLastError();
        handle_ = INVALID_HANDLE_VALUE;
        pending_.clear();
        return kRs232NoError;
    }

    void setWriteTimeout(double seconds) override { writeTimeout_ = std::isfinite(seconds) ? seconds : 5.0; }
    bool lost() const override { return lost_; }

private:
    int takePending(char* buffer, int count)
    {
        const auto n =
            static_cast<int>(std::min<std::size_t>(pending_.size(), static_cast<std::size_t>(count)));
        std::copy(pending_.begin(), pending_.begin() + n, buffer);
        pending_.erase(pending_.begin(), pending_.begin() + n);
        return n;
    }

    // Some drivers, and Wine, let a pulled adapter simply go quiet: reads
    // bring nothing and writes succeed. So while the port is in use, about
    // once a second on the line's clock, a call first looks whether its
    // device is still there; once the system says it is gone, the port is
    // lost as if the call had failed for it.
    bool vanished()
    {
        const std::int64_t now = ClockMs();
        if (now >= lastLookMs_ && now - lastLookMs_ < kPresenceLookMs) return false;
        lastLookMs_ = now;
        return SerialDeviceGone(name_);
    }

    // A failed call: the device's loss when the error says it went away.
    int failure(int code, const char* what)
    {
        const DWORD e = GetLastError();
        if (winserial::DeviceGoneError(e)) return lose(code, what, e);
        qCWarning(lcSerial) << what << "failed, error" << e;
        return code;
    }

    // The device has gone: the handle is released at once, so that a
    // re-plugged adapter can be opened again, and every later call fails as
    // on a closed port.
    int lose(int code, const char* what, DWORD error)
    {
        qCWarning(lcSerial) << "device gone:" << what << "error" << error;
        close();
        lost_ = true;
        return code;
    }

    HANDLE handle_;
    std::string name_;
    std::int64_t lastLookMs_;
    std::vector<char> pending_;
    COMMTIMEOUTS current_{};
    bool applied_ = false;
    bool lost_ = false;
    double writeTimeout_ = 5.0;
};

class WindowsDriver final : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override
    {
        winserial::LineSettings wanted;
        // Refuse unsupported settings before the device is touched.
        if (const int rc = winserial::MakeLineSettings(settings, &wanted); rc != kRs232NoError) {
            return fail(error, rc, path, "unsupported settings");
        }
        std::string name = winserial::ComDeviceName(path);
        if (name.empty()) {
            // A binding by the adapter's stable name: the COM port it has now.
            const std::vector<SerialPortEntry> ports = ListSerialPorts();
            const SerialPortEntry* entry = FindPort(ports, path);
            if (entry != nullptr) name = winserial::ComDeviceName(entry->path);
        }
        if (name.empty()) return fail(error, kRs232OpenFailed, path, "no such device");
        const std::wstring wide(name.begin(), name.end());
        HANDLE h =
            CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return fail(error, kRs232OpenFailed, path, "cannot open", GetLastError());
        auto device = std::make_unique<WinSerialDevice>(h, name);

        if (wanted.inputQueue > 0 && wanted.outputQueue > 0 &&
            !SetupComm(h, wanted.inputQueue, wanted.outputQueue)) {
            qCDebug(lcSerial) << "queue sizes not taken, error" << GetLastError();
        }
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(h, &dcb))
            return fail(error, kRs232OpenFailed, path, "not a serial port", GetLastError());
        dcb.BaudRate = wanted.baudRate;
        dcb.ByteSize = wanted.byteSize;
        dcb.Parity = wanted.parity;
        dcb.StopBits = wanted.stopBits;
        dcb.fBinary = TRUE;
        dcb.fParity = wanted.parity != 0 ? TRUE : FALSE;
        dcb.fErrorChar = wanted.replaceParityErrors ? TRUE : FALSE;
        dcb.ErrorChar = 0;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fNull = FALSE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fAbortOnError = FALSE;  // a line error must not stop every later read
        if (!SetCommState(h, &dcb)) {
            const DWORD refused = GetLastError();
            // Under Wine a COM port may be a pseudo-terminal, which has no
            // parity: Linux refuses a change of the parity alone there, as it
            // is after the first open. Such a line carries the frames all the
            // same, so the settings go again without it.
            const bool parityRefused =
                refused == ERROR_INVALID_PARAMETER && wanted.parity != 0 && UnderWine();
            dcb.Parity = NOPARITY;
            dcb.fParity = FALSE;
            dcb.fErrorChar = FALSE;
            if (!parityRefused || !SetCommState(h, &dcb)) {
                return fail(error, kRs232OpenFailed, path, "settings refused", refused);
            }
            qCDebug(lcSerial) << path.c_str() << "carries no parity: opened without it";
        }
        DCB got{};
        got.DCBlength = sizeof got;
        if (!GetCommState(h, &got) || !winserial::LineMatches(wanted, FromDcb(got), !UnderWine())) {
            return fail(error, kRs232OpenFailed, path, "device did not take the settings");
        }
        if (!device->useTimeouts(0))
            return fail(error, kRs232OpenFailed, path, "time-outs refused", GetLastError());
        PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
        qCDebug(lcSerial) << "opened" << name.c_str() << settings.baud << "bit/s parity" << settings.parity
                          << settings.dataBits << "data bits" << settings.stopBits << "stop bits";
        *error = kRs232NoError;
        return device;
    }

private:
    static std::unique_ptr<SerialDevice> fail(int* error, int code, const std::string& path, const char* why,
                                              DWORD systemError = 0)
    {
        qCWarning(lcSerial) << "open of" << path.c_str() << "failed:" << why << systemError;
        *error = code;
        return nullptr;
    }
};

}  // namespace

SerialDriver& WindowsSerialDriver()
{
    static WindowsDriver driver;
    return driver;
}
