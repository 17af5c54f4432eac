#include "platform/port/serial.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "platform/port/serial_log.h"

Q_LOGGING_CATEGORY(lcSerial, "dsc.serial", QtCriticalMsg)

namespace {

constexpr double kDefaultTimeoutSeconds = 5.0;
constexpr double kMaxTimeoutSeconds = 1e6;
// A waiting ComRd looks this often whether another thread wants the port.
constexpr double kReadSliceSeconds = 0.05;
// A WaitInput looks this often; short, because other calls on the port wait
// for it.
constexpr double kWaitSliceSeconds = 0.02;

// One COM port. Every operation holds `op` for its whole duration, so calls on
// one port never overlap; `device` and `timeoutSeconds` are only touched under
// it. `wanted` counts threads waiting to close or re-open the port: a ComRd
// that is waiting for bytes gives up early when it sees one.
struct PortEntry {
    std::mutex op;
    std::unique_ptr<SerialDevice> device;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    std::atomic<int> wanted{0};
    std::atomic<bool> lost{false};  // the open device went away; cleared by open and close
};

// The table lives for the whole process and is never destroyed, so a worker
// thread still inside a port call while the process exits never meets a
// destroyed mutex.
PortEntry* Ports()
{
    static PortEntry* table = new PortEntry[kMaxComPort];
    return table;
}

// The devices of the COM numbers and who is told of a lost port. `mutex`
// guards the paths.
struct ComTable {
    std::mutex mutex;
    std::string devicePaths[kMaxComPort];  // --com; empty = none
    std::string bindings[kMaxComPort];     // operator's bindings; empty = none
    std::atomic<ComLossHandler> lossHandler{nullptr};

    // No COM number names a device (the loss handler stays).
    void reset()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (std::string& path : devicePaths) path.clear();
        for (std::string& path : bindings) path.clear();
    }
};

ComTable g_com;

// The last error is kept per thread: the communication thread's reads never
// overwrite what the port panel checks after its own calls.
thread_local int t_lastError = kRs232NoError;

int Record(int code)
{
    t_lastError = code < 0 ? code : kRs232NoError;
    return code;
}

bool ValidPort(int port)
{
    return port >= 1 && port <= kMaxComPort;
}

PortEntry* EntryFor(int port)
{
    return ValidPort(port) ? &Ports()[port - 1] : nullptr;
}

// Holds a port for an operation that replaces or removes its device, asking a
// waiting ComRd on it to give up first.
class ExclusiveUse {
public:
    explicit ExclusiveUse(PortEntry& e) : entry_(e)
    {
        entry_.wanted.fetch_add(1);
        lock_ = std::unique_lock<std::mutex>(entry_.op);
        entry_.wanted.fetch_sub(1);
    }

private:
    PortEntry& entry_;
    std::unique_lock<std::mutex> lock_;
};

// Marks the port lost the first time its device reports that it has gone.
void NoteLoss(PortEntry& entry, int port)
{
    if (!entry.device || !entry.device->lost() || entry.lost.exchange(true)) return;
    qCWarning(lcSerial) << "COM" << port << "device gone; descriptor released";
    if (ComLossHandler handler = g_com.lossHandler.load()) handler(port);
}

// Runs `action(device)` on an open port under its lock; records and returns a
// negative code for a bad port number or a port that is not open.
template <typename Action>
int WithOpenPort(int port, Action action)
{
    PortEntry* entry = EntryFor(port);
    if (entry == nullptr) return Record(kRs232InvalidPort);
    std::lock_guard<std::mutex> lock(entry->op);
    if (!entry->device) return Record(kRs232PortNotOpen);
    const int rc = action(*entry);
    NoteLoss(*entry, port);
    return rc;
}

int CloseEntry(PortEntry& entry, int port)
{
    const int rc = entry.device->close();
    entry.device.reset();
    entry.lost = false;
    qCDebug(lcSerial) << "closed COM" << port;
    return rc;
}

}  // namespace

int OpenComConfig(int port, const char* deviceName, long baudRate, int parity, int dataBits, int stopBits,
                  int inputQueueSize, int outputQueueSize)
{
    PortEntry* entry = EntryFor(port);
    if (entry == nullptr) return Record(kRs232InvalidPort);
    SerialSettings settings;
    settings.baud = baudRate;
    settings.parity = parity;
    settings.dataBits = dataBits;
    settings.stopBits = stopBits;
    settings.inputQueueSize = inputQueueSize;
    settings.outputQueueSize = outputQueueSize;
    const std::string path =
        deviceName != nullptr && deviceName[0] != '\0' ? std::string(deviceName) : ComDevicePath(port);

    ExclusiveUse hold(*entry);
    // A port number that is still open (say, after a failed write left it
    // open) is released first, so the new open always starts clean.
    if (entry->device) {
        qCDebug(lcSerial) << "COM" << port << "still open: releasing it before the new open";
        CloseEntry(*entry, port);
    }
    int error = kRs232OpenFailed;
    std::unique_ptr<SerialDevice> device = DriverFor(path).open(path, settings, &error);
    entry->lost = false;
    if (!device) return Record(error < 0 ? error : kRs232OpenFailed);
    entry->device = std::move(device);
    entry->timeoutSeconds = kDefaultTimeoutSeconds;
    entry->device->setWriteTimeout(kDefaultTimeoutSeconds);
    return Record(kRs232NoError);
}

int CloseCom(int port)
{
    PortEntry* entry = EntryFor(port);
    if (entry == nullptr) return Record(kRs232InvalidPort);
    ExclusiveUse hold(*entry);
    if (!entry->device) return Record(kRs232PortNotOpen);
    return Record(CloseEntry(*entry, port));
}

int SetComTime(int port, double timeoutSeconds)
{
    return WithOpenPort(port, [timeoutSeconds](PortEntry& e) {
        if (!std::isfinite(timeoutSeconds) || timeoutSeconds < 0 || timeoutSeconds > kMaxTimeoutSeconds) {
            return Record(kRs232InvalidParameter);
        }
        e.timeoutSeconds = timeoutSeconds;
        e.device->setWriteTimeout(timeoutSeconds);
        return Record(kRs232NoError);
    });
}

int ComWrt(int port, const char* buffer, int count)
{
    return WithOpenPort(port, [buffer, count](PortEntry& e) {
        if (count < 0 || (buffer == nullptr && count > 0)) return Record(kRs232InvalidParameter);
        if (count == 0) return Record(0);
        const int n = e.device->write(buffer, count);
        if (n < 0) return Record(n);
        // Fewer bytes than asked: the output queue stayed full for the whole time-out.
        t_lastError = n < count ? kRs232Timeout : kRs232NoError;
        return n;
    });
}

int ComRd(int port, char* buffer, int count)
{
    return WithOpenPort(port, [buffer, count](PortEntry& e) {
        if (count < 0 || (buffer == nullptr && count > 0)) return Record(kRs232InvalidParameter);
        if (count == 0) return Record(0);
        if (e.device->keepsTime()) {
            const int n = e.device->read(buffer, count, e.timeoutSeconds);
            if (n < 0) return Record(n);
            t_lastError = n < count ? kRs232Timeout : kRs232NoError;
            return n;
        }
        // Wait in short slices so that a close or re-open from another thread
        // is not held up for the whole time-out.
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::microseconds(static_cast<long long>(e.timeoutSeconds * 1e6));
        int got = 0;
        for (;;) {
            const double left =
                std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
            const double slice = left < kReadSliceSeconds ? (left > 0 ? left : 0) : kReadSliceSeconds;
            const int n = e.device->read(buffer + got, count - got, slice);
            if (n < 0) return Record(n);
            got += n;
            if (got >= count || left <= kReadSliceSeconds || e.wanted.load() > 0) break;
        }
        // A short count is not a failure of the port: the caller sees how many
        // bytes came, and ReturnRS232Err tells it the time-out ran out.
        t_lastError = got < count ? kRs232Timeout : kRs232NoError;
        return got;
    });
}

int GetInQLen(int port)
{
    return WithOpenPort(port, [](PortEntry& e) { return Record(e.device->inputQueueLength()); });
}

int WaitInput(int port, long long timeoutUs)
{
    return WithOpenPort(port, [timeoutUs](PortEntry& e) {
        const long long us = timeoutUs < 0 ? 0 : std::min<long long>(timeoutUs, 1000000000000LL);
        if (e.device->keepsTime()) {
            const int r = e.device->waitInput(static_cast<double>(us) / 1e6);
            return Record(r < 0 ? r : (r > 0 ? 1 : 0));
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(us);
        for (;;) {
            const double left =
                std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
            const double slice = left < kWaitSliceSeconds ? (left > 0 ? left : 0) : kWaitSliceSeconds;
            const int r = e.device->waitInput(slice);
            if (r != 0) return Record(r < 0 ? r : 1);
            if (left <= kWaitSliceSeconds || e.wanted.load() > 0) return Record(0);
        }
    });
}

int FlushInQ(int port)
{
    return WithOpenPort(port, [](PortEntry& e) { return Record(e.device->flushInput()); });
}

int FlushOutQ(int port)
{
    return WithOpenPort(port, [](PortEntry& e) { return Record(e.device->flushOutput()); });
}

int ReturnRS232Err()
{
    return t_lastError;
}

const char* GetRS232ErrorString(int errorCode)
{
    struct ErrorText {
        int code;
        const char* text;
    };
    static constexpr ErrorText kTexts[] = {
        {kRs232NoError, "No error"},
        {kRs232InvalidPort, "Invalid port number (1 to 20)"},
        {kRs232PortNotOpen, "Port not open"},
        {kRs232OpenFailed, "Cannot open or configure the port"},
        {kRs232InvalidParameter, "Invalid port parameter"},
        {kRs232WriteFailed, "Write to the port failed"},
        {kRs232ReadFailed, "Read from the port failed"},
        {kRs232Timeout, "Port time-out"},
    };
    for (const ErrorText& t : kTexts) {
        if (t.code == errorCode) return t.text;
    }
    return "Unknown port error";
}

bool SetComDevice(int port, const std::string& devicePath)
{
    if (!ValidPort(port)) return false;
    std::lock_guard<std::mutex> lock(g_com.mutex);
    g_com.devicePaths[port - 1] = devicePath;
    return true;
}

std::string ComDevicePath(int port)
{
    if (!ValidPort(port)) return {};
    {
        std::lock_guard<std::mutex> lock(g_com.mutex);
        if (!g_com.devicePaths[port - 1].empty()) return g_com.devicePaths[port - 1];
        if (!g_com.bindings[port - 1].empty()) return g_com.bindings[port - 1];
    }
    return DefaultComPath(port);
}

std::string DefaultComPath(int port)
{
    if (!ValidPort(port)) return {};
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

bool SetComBinding(int port, const std::string& devicePath)
{
    if (!ValidPort(port)) return false;
    std::lock_guard<std::mutex> lock(g_com.mutex);
    g_com.bindings[port - 1] = devicePath;
    return true;
}

void ResetComDevices()
{
    g_com.reset();
}

std::string ComBinding(int port)
{
    if (!ValidPort(port)) return {};
    std::lock_guard<std::mutex> lock(g_com.mutex);
    return g_com.bindings[port - 1];
}

ComPathSource ComDeviceSource(int port)
{
    if (!ValidPort(port)) return ComPathSource::Default;
    std::lock_guard<std::mutex> lock(g_com.mutex);
    if (!g_com.devicePaths[port - 1].empty()) return ComPathSource::Option;
    if (!g_com.bindings[port - 1].empty()) return ComPathSource::Binding;
    return ComPathSource::Default;
}

bool ComDeviceLost(int port)
{
    const PortEntry* entry = EntryFor(port);
    return entry != nullptr && entry->lost.load();
}

void SetComLossHandler(ComLossHandler handler)
{
    g_com.lossHandler.store(handler);
}

bool ParseComOption(const std::string& arg)
{
    const auto eq = arg.find('=');
    if (eq == std::string::npos || eq == 0 || eq > 2 || eq + 1 >= arg.size()) return false;
    int port = 0;
    for (std::size_t i = 0; i < eq; ++i) {
        const char c = arg[i];
        if (c < '0' || c > '9') return false;
        port = port * 10 + (c - '0');
    }
    return SetComDevice(port, arg.substr(eq + 1));
}
