#include "serial/fast_line.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "modbus/write_outcome.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "serial/port_gate.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"
#include "serial/sample5.h"

namespace {

constexpr unsigned char kFunctionRead = 0x03;
constexpr unsigned char kFunctionWrite = 0x06;
constexpr unsigned char kExceptionBit = 0x80;
constexpr int kExceptionReplyLength = 5;
constexpr int kWriteEchoLength = 8;
constexpr int kReadReplyOverhead = 5;
constexpr long kFixedSilenceAboveBaud = 19200;
constexpr std::int64_t kFixedSilenceUs = 1750;

std::atomic<bool> g_enabled{false};
std::atomic<int> g_timeoutMs{FAST_LINE_TIMEOUT_DEFAULT_MS};
std::atomic<std::int64_t> g_silenceUs{kFixedSilenceUs};
std::atomic<FastLineArmedHook> g_armedHook{nullptr};

// The reply in progress; the communication thread's own.
struct ReceiveState {
    std::int64_t busySinceUs = -1;  // when the line was first seen awaiting a reply
    std::int64_t lastByteUs = 0;
    std::int64_t guardUntilUs = 0;
    bool quietDue = false;
    std::int64_t quietSinceUs = 0;
};
ReceiveState g_rx;

// A port that cannot be read: told as by the 100 ms pass, port marked closed.
void readFailed(int port)
{
    LinePortError("Com Read failed! ");
    FlushOutQ(port);
    comConfigure_success_flag = 0;
    AbandonWrites("read from the port failed", ReconnectEnabled());
    PortErrorPopup("Com Read failed! ");
}

void endFrame(int port, int length, std::int64_t now)
{
    // Whatever followed the frame is not part of any reply.
    FlushInQ(port);
    receive_frame_length = length;
    receive_frame_end_flag = 1;
    receive_count = 0;
    g_rx.busySinceUs = -1;
    g_rx.guardUntilUs = now + g_silenceUs.load();
    const int result = RS232ParseFrame();
    if (result != MODBUS_READ_ACCEPTED && result != MODBUS_WRITE_ECHO && result != MODBUS_PASSWORD_ACCEPTED) {
        FastLineRequireQuiet();
    }
}

}  // namespace

int ClampReplyTimeoutMs(double ms)
{
    if (std::isnan(ms)) return FAST_LINE_TIMEOUT_DEFAULT_MS;
    if (ms < FAST_LINE_TIMEOUT_MIN_MS) return FAST_LINE_TIMEOUT_MIN_MS;
    if (ms > FAST_LINE_TIMEOUT_MAX_MS) return FAST_LINE_TIMEOUT_MAX_MS;
    return static_cast<int>(ms);
}

int ImpliedReplyLength(const unsigned char* request, const unsigned char* reply, int count)
{
    if (request == nullptr) return 0;
    if (reply != nullptr && count >= 2 && (reply[1] & kExceptionBit) != 0) return kExceptionReplyLength;
    if (request[1] == kFunctionWrite) return kWriteEchoLength;
    if (request[1] != kFunctionRead) return 0;
    const int quantity = (request[4] << 8) | request[5];
    const int length = kReadReplyOverhead + 2 * quantity;
    return length <= MAX_REPLY_BYTES ? length : 0;
}

int CompleteReplyLength(const unsigned char* request, const unsigned char* reply, int count)
{
    const int length = ImpliedReplyLength(request, reply, count);
    if (length == 0 || count < length) return 0;
    const int crc = modrtuChecksum(reply, length - 2);
    return crc == ((reply[length - 2] << 8) | reply[length - 1]) ? length : 0;
}

std::int64_t InterFrameSilenceUs(long baud, int parity, int dataBits, int stopBits)
{
    if (baud > kFixedSilenceAboveBaud) return kFixedSilenceUs;
    if (baud <= 0) baud = 1;
    const std::int64_t bits =
        1 + (dataBits > 0 ? dataBits : 8) + (parity != 0 ? 1 : 0) + (stopBits > 1 ? 2 : 1);
    // 3.5 characters, rounded up to whole microseconds.
    return (7 * bits * 1000000 + 2 * baud - 1) / (2 * baud);
}

void ArmFastLine(const FastLineSettings& settings, long baud, int parity, int dataBits, int stopBits)
{
    g_timeoutMs = ClampReplyTimeoutMs(settings.replyTimeoutMs);
    g_silenceUs = InterFrameSilenceUs(baud, parity, dataBits, stopBits);
    g_enabled = settings.enabled;
}

void FastLineSettingsUsed(const FastLineSettings& settings)
{
    if (const FastLineArmedHook hook = g_armedHook.load()) {
        FastLineSettings kept = settings;
        kept.replyTimeoutMs = ClampReplyTimeoutMs(settings.replyTimeoutMs);
        hook(kept);
    }
}

bool FastLineActive()
{
    return g_enabled.load();
}

int FastLineReplyTimeoutMs()
{
    return g_timeoutMs.load();
}

void SetFastLineArmedHook(FastLineArmedHook hook)
{
    g_armedHook.store(hook);
}

std::int64_t FastLineGuardUntilUs()
{
    return g_rx.guardUntilUs;
}

void FastLineRequireQuiet()
{
    if (!g_rx.quietDue) g_rx.quietSinceUs = ClockUs();
    g_rx.quietDue = true;
}

bool FastLineQuiet(std::int64_t* untilUs)
{
    if (!g_rx.quietDue) return true;
    const std::int64_t now = ClockUs();
    const int port = active_comselect.load();
    // Discard holding the line, so that a password write from the UI thread
    // never loses its echo here.
    if (GetInQLen(port) != 0 && take_idle_line()) {
        FlushInQ(port);
        g_rx.quietSinceUs = now;
        com_idle = 1;
    }
    const std::int64_t until = g_rx.quietSinceUs + static_cast<std::int64_t>(g_timeoutMs.load()) * 1000;
    if (now >= until) {
        g_rx.quietDue = false;
        return true;
    }
    *untilUs = until;
    return false;
}

std::int64_t FastLineReceive()
{
    const std::int64_t now = ClockUs();
    if (com_idle.load() != 0) {
        g_rx.busySinceUs = -1;
        return now;
    }
    if (g_rx.busySinceUs < 0) g_rx.busySinceUs = now;
    const int port = active_comselect.load();

    const int queued = GetInQLen(port);
    if (queued < 0) {
        readFailed(port);
        return now;
    }
    if (queued > 0) {
        const int want = queued < RECEIVE_BUFFER_SIZE ? queued : RECEIVE_BUFFER_SIZE;
        const int n = ComRd(port, reinterpret_cast<char*>(receive_buffer), want);
        if (n < 0) {
            readFailed(port);
            return now;
        }
        bool dropped = false;
        for (int i = 0; i < n; ++i) {
            if (receive_count < MAX_REPLY_BYTES) {
                modbus_rx_buffer[receive_count++] = receive_buffer[i];
            } else {
                dropped = true;
            }
        }
        if (dropped) FlushInQ(port);
        if (n > 0) g_rx.lastByteUs = now;
    }

    const std::int64_t silenceUs = g_silenceUs.load();
    if (receive_count > 0) {
        unsigned char request[MODBUS_BUFFER_SIZE];
        {
            std::lock_guard<std::mutex> lock(modbus_tx_mutex);
            std::memcpy(request, modbus_tx_buffer, sizeof request);
        }
        const int complete = CompleteReplyLength(request, modbus_rx_buffer, receive_count);
        if (complete > 0) {
            endFrame(port, complete, now);
            return now + silenceUs;
        }
        if (now - g_rx.lastByteUs > silenceUs) {
            endFrame(port, receive_count, now);
            return now + silenceUs;
        }
    }

    const std::int64_t timeoutUs = static_cast<std::int64_t>(g_timeoutMs.load()) * 1000;
    if (now - g_rx.busySinceUs > timeoutUs) {
        // No reply, or only part of one before the time ran out: give the line up.
        {
            unsigned char request[MODBUS_BUFFER_SIZE];
            {
                std::lock_guard<std::mutex> lock(modbus_tx_mutex);
                std::memcpy(request, modbus_tx_buffer, sizeof request);
            }
            WriteReplyTimedOut(request);
        }
        LineReplyTimeout(modbus_rx_buffer, receive_count);
        FlushInQ(port);
        receive_count = 0;
        g_rx.busySinceUs = -1;
        g_rx.guardUntilUs = now + silenceUs;
        recieveLedON = 0;
        FastLineRequireQuiet();
        com_idle = 1;
        return now + silenceUs;
    }
    std::int64_t next = g_rx.busySinceUs + timeoutUs + 1;
    if (receive_count > 0 && g_rx.lastByteUs + silenceUs + 1 < next) next = g_rx.lastByteUs + silenceUs + 1;
    return next;
}
