#include "serial/line_machine.h"

#include <algorithm>
#include <cstring>

#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/line_view.h"
#include "serial/port_gate.h"
#include "serial/reconnect.h"
#include "serial/rs232_state.h"

namespace {

constexpr int kFrameLength = 8;
// A queue is read this many times at most before it is flushed: input that
// keeps coming is not chased.
constexpr int kDrainReads = 4;

// When input was thrown away, as BytesDiscarded tells it.
const char* const kStrayBeforeRequest = "stray input before a request";
const char* const kAfterFrame = "after the frame";
const char* const kAfterTimeout = "after the time-out";
const char* const kWhileSettling = "while the line settles";
const char* const kBeyondLongestReply = "beyond the longest reply";

bool accepted(int result)
{
    return result == MODBUS_READ_ACCEPTED || result == MODBUS_WRITE_ECHO ||
           result == MODBUS_PASSWORD_ACCEPTED;
}

}  // namespace

const char* LineStateName(LineState state)
{
    switch (state) {
        case LineState::Idle:
            return "idle";
        case LineState::Awaiting:
            return "awaiting";
        case LineState::Receiving:
            return "receiving";
        case LineState::Complete:
            return "complete";
        case LineState::TimedOut:
            return "timed out";
        case LineState::Rejected:
            return "rejected";
    }
    return "?";
}

LineMachine::LineMachine()
{
    reset();
}

void LineMachine::reset()
{
    com_idle = 1;
    tx_package_flag = 0;
    sendLedON = 0;
    receive_leng = 0;
    receive_count = 0;
    receive_frame_end_delay = 0;
    receive_frame_end_delay_begin = 0;
    receive_frame_end_delay_end = 0;
    receive_frame_end_flag = 0;
    receive_frame_length = 0;
    com_idle_delay = 0;
    com_idle_delay_begin = 0;
    com_idle_delay_end = 0;
    recieveLedON = 0;
    recieveLedShineDelay = 0;
    state_ = LineState::Idle;
    framing_ = Framing::Passes;
    replyTimeoutMs_ = FAST_LINE_TIMEOUT_DEFAULT_MS;
    passesTimeoutMs_ = REPLY_TIMEOUT_MS;
    silenceUs_ = FAST_LINE_FIXED_SILENCE_US;
    clock_ = nullptr;
    busySinceUs_ = -1;
    lastByteUs_ = 0;
    guardUntilUs_ = 0;
    quietDue_ = false;
    quietSinceUs_ = 0;
}

void LineMachine::setClock(Clock clock)
{
    clock_.store(clock);
}

std::int64_t LineMachine::readClock() const
{
    const Clock clock = clock_.load();
    return clock != nullptr ? clock() : ClockUs();
}

std::int64_t LineMachine::now() const
{
    return readClock();
}

bool LineMachine::setRequestChooser(RequestChooser chooser)
{
    RequestChooser none = nullptr;
    return chooser_.compare_exchange_strong(none, chooser);
}

void LineMachine::clearRequestChooser(RequestChooser chooser)
{
    chooser_.compare_exchange_strong(chooser, nullptr);
}

void LineMachine::arm(Framing framing, int replyTimeoutMs, std::int64_t silenceUs, int passesTimeoutMs)
{
    replyTimeoutMs_ = replyTimeoutMs;
    passesTimeoutMs_ = passesTimeoutMs;
    silenceUs_ = silenceUs;
    framing_ = framing;
}

bool LineMachine::takeLine()
{
    if (com_idle.exchange(0) != 1) return false;
    state_ = LineState::Awaiting;
    return true;
}

void LineMachine::follow()
{
    const LineState s = state_.load();
    const bool busy = s == LineState::Awaiting || s == LineState::Receiving;
    if (com_idle.load() == 0) {
        if (!busy) state_ = receive_count > 0 ? LineState::Receiving : LineState::Awaiting;
    } else if (busy) {
        state_ = LineState::Idle;
    }
}

void LineMachine::tell(LineReportKind kind, const unsigned char* bytes, int length,
                       const unsigned char* request, int result, const char* text)
{
    LineReport r;
    r.kind = kind;
    r.bytes = bytes;
    r.length = length;
    r.request = request;
    r.result = result;
    r.text = text;
    r.clockUs = readClock();
    observers_.notify(r);
}

void LineMachine::tellPort(LineReportKind kind, const char* text, bool keepPending)
{
    LineReport r;
    r.kind = kind;
    r.text = text;
    r.keepPending = keepPending;
    r.clockUs = readClock();
    observers_.notify(r);
}

int LineMachine::drainInput(int port, unsigned char* into, int room)
{
    int got = 0;
    for (int i = 0; i < kDrainReads && got < room; ++i) {
        const int queued = GetInQLen(port);
        if (queued <= 0) break;
        const int n = ComRd(port, reinterpret_cast<char*>(into + got), std::min(queued, room - got));
        if (n <= 0) break;
        got += n;
    }
    FlushInQ(port);
    return got;
}

void LineMachine::discardInput(int port, const char* why)
{
    unsigned char bytes[RECEIVE_BUFFER_SIZE];
    const int n = drainInput(port, bytes, RECEIVE_BUFFER_SIZE);
    if (n > 0) tell(LineReportKind::BytesDiscarded, bytes, n, nullptr, 0, why);
}

void LineMachine::snapshotRequest(unsigned char* request)
{
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    std::memcpy(request, modbus_tx_buffer, MODBUS_BUFFER_SIZE);
}

void LineMachine::failPort(const char* message, Flush flush, const char* why)
{
    tellPort(LineReportKind::PortFailed, message, false);
    const int port = active_comselect.load();
    if (flush == Flush::Input) {
        FlushInQ(port);
    } else {
        FlushOutQ(port);
    }
    comConfigure_success_flag = 0;
    // The device line and the title say the port is no longer open.
    TheLineView().deviceInfoChanged();
    TheLineView().portTitleChanged();
    tellPort(LineReportKind::PortClosed, why, ReconnectEnabled());
    // The port state is settled before the box: while it is up the port panel
    // may already be opening the port again.
    PortErrorBox(message);
}

// --- Passes ---------------------------------------------------------------------------

void LineMachine::send()
{
    if (com_idle.load() != 1) return;
    if (const RequestChooser chooser = chooser_.load()) chooser();
    if (tx_package_flag.load() != 1) {
        sendLedON = 0;
        return;
    }
    tx_package_flag = 0;
    unsigned char frame[MODBUS_BUFFER_SIZE];
    int length = 0;
    {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        length = modbus_tx_frame_byte_num.load();
        if (length < 0 || length > MODBUS_BUFFER_SIZE) length = 0;
        std::memcpy(frame, modbus_tx_buffer, static_cast<size_t>(length));
    }
    state_ = LineState::Awaiting;
    const int port = active_comselect.load();
    // Whatever waits in the input queue now (a reply that came after its
    // time-out, noise) must not be read in front of this request's reply.
    discardInput(port, kStrayBeforeRequest);
    const int written = ComWrt(port, reinterpret_cast<const char*>(frame), length);
    sendLedON = 1;
    if (written != length) {
        failPort("Com write failed! ", Flush::Input, "write to the port failed");
        return;
    }
    tell(LineReportKind::RequestSent, frame, length);
}

int LineMachine::takeBytes(bool flushOutput)
{
    const int port = active_comselect.load();
    int queued = GetInQLen(port);
    int n = 0;
    if (queued < 0) {
        n = queued;
    } else if (queued > 0 || flushOutput) {
        // One poll takes what the receive buffer holds; the rest waits for the next poll.
        if (queued > RECEIVE_BUFFER_SIZE) queued = RECEIVE_BUFFER_SIZE;
        receive_leng = queued;
        n = ComRd(port, reinterpret_cast<char*>(receive_buffer), queued);
    }
    if (flushOutput) FlushOutQ(port);
    if (n < 0) {
        failPort("Com Read failed! ", Flush::Output, "read from the port failed");
        return -1;
    }
    if (n == 0) return 0;
    LineReport bytes;
    bytes.kind = LineReportKind::BytesReceived;
    bytes.count = n;
    bytes.clockUs = readClock();
    observers_.notify(bytes);
    const int taken = std::min(n, RECEIVE_BUFFER_SIZE);
    const int kept = std::min(taken, std::max(MAX_REPLY_BYTES - receive_count, 0));
    std::memcpy(modbus_rx_buffer + receive_count, receive_buffer, static_cast<size_t>(kept));
    receive_count += kept;
    if (kept < taken) {
        tell(LineReportKind::BytesDiscarded, receive_buffer + kept, taken - kept, nullptr, 0,
             kBeyondLongestReply);
        discardInput(port, kBeyondLongestReply);
    }
    if (receive_count > 0 && state_.load() == LineState::Awaiting) state_ = LineState::Receiving;
    return n;
}

void LineMachine::giveUp(const unsigned char* request)
{
    tell(LineReportKind::Timeout, modbus_rx_buffer, receive_count, request);
    state_ = LineState::TimedOut;
}

void LineMachine::receiveLedStep()
{
    if (recieveLedON.load() == 1) {
        TheLineView().receiveLed(blinkStep(recieveLedShineDelay));
    } else {
        recieveLedShineDelay = 0;
        TheLineView().receiveLed(0);
    }
}

void LineMachine::receivePass()
{
    receiveLedStep();
    follow();
    if (com_idle.load() == 0) {
        const int n = takeBytes(true);
        if (n > 0) {
            receive_frame_end_delay = 0;
        } else if (n == 0 && receive_count > 0) {
            // The silence is timed from the first quiet poll.
            if (receive_frame_end_delay == 0) {
                receive_frame_end_delay = 1;
                receive_frame_end_delay_begin = readClock();
            } else {
                receive_frame_end_delay_end = readClock();
                if (receive_frame_end_delay_end - receive_frame_end_delay_begin >
                    FRAME_END_SILENCE_MS * 1000LL) {
                    receive_frame_end_flag = 1;
                    receive_frame_end_delay = 0;
                    receive_frame_length = receive_count;
                    receive_count = 0;
                    state_ = LineState::Complete;
                }
            }
        }
    }
    // The reply wait is timed from the first step that finds the line busy.
    if (com_idle.load() == 0) {
        if (com_idle_delay == 0) {
            com_idle_delay = 1;
            com_idle_delay_begin = readClock();
        } else {
            com_idle_delay_end = readClock();
            if (com_idle_delay_end - com_idle_delay_begin > passesTimeoutMs_.load() * 1000LL) {
                unsigned char request[MODBUS_BUFFER_SIZE];
                snapshotRequest(request);
                com_idle_delay = 0;
                giveUp(request);
                receive_count = 0;
                receive_frame_end_delay = 0;
                com_idle = 1;
                recieveLedON = 0;
            }
        }
    } else {
        com_idle_delay = 0;
        recieveLedON = 0;
    }
    parseFrame();
}

int LineMachine::parseFrame()
{
    if (receive_frame_end_flag != 1) return MODBUS_BAD_CRC;
    receive_frame_end_flag = 0;
    unsigned char request[MODBUS_BUFFER_SIZE];
    snapshotRequest(request);
    const int result = modbus_unpackage(modbus_rx_buffer, receive_frame_length, request);
    tell(accepted(result) ? LineReportKind::ReplyAccepted : LineReportKind::ReplyRejected, modbus_rx_buffer,
         receive_frame_length, request, result);
    if (result == MODBUS_PASSWORD_ACCEPTED) {
        tell(LineReportKind::PasswordAccepted, modbus_rx_buffer, receive_frame_length, request, result);
    }
    recieveLedON = result == MODBUS_READ_ACCEPTED ? 1 : 0;
    state_ = accepted(result) ? LineState::Idle : LineState::Rejected;
    com_idle = 1;
    com_idle_delay = 0;
    return result;
}

// --- Line rate ------------------------------------------------------------------------

void LineMachine::sendAtLineRate()
{
    // Holding the line, drop whatever came after the last reply, so that it
    // never counts as the start of the next one.
    if (com_idle.exchange(0) == 1) {
        discardInput(active_comselect.load(), kStrayBeforeRequest);
        com_idle = 1;
    }
    send();
}

void LineMachine::endLineRateFrame(int port, int length, std::int64_t now)
{
    // Whatever followed the frame is not part of any reply: the bytes taken
    // after it and what waits in the queue. They are told after the frame.
    unsigned char after[MAX_REPLY_BYTES + RECEIVE_BUFFER_SIZE];
    int extra = std::clamp(receive_count - length, 0, MAX_REPLY_BYTES);
    if (extra > 0) std::memcpy(after, modbus_rx_buffer + length, static_cast<size_t>(extra));
    extra += drainInput(port, after + extra, RECEIVE_BUFFER_SIZE);
    receive_frame_length = length;
    receive_frame_end_flag = 1;
    receive_count = 0;
    busySinceUs_ = -1;
    guardUntilUs_ = now + silenceUs_.load();
    state_ = LineState::Complete;
    const int result = parseFrame();
    if (extra > 0) tell(LineReportKind::BytesDiscarded, after, extra, nullptr, 0, kAfterFrame);
    if (!accepted(result)) requireQuiet();
}

std::int64_t LineMachine::receive()
{
    const std::int64_t now = readClock();
    if (com_idle.load() != 0) {
        busySinceUs_ = -1;
        return now;
    }
    follow();
    if (busySinceUs_ < 0) busySinceUs_ = now;
    const int port = active_comselect.load();
    const int n = takeBytes(false);
    if (n < 0) return now;
    if (n > 0) lastByteUs_ = now;

    const std::int64_t silenceUs = silenceUs_.load();
    if (receive_count > 0) {
        unsigned char request[MODBUS_BUFFER_SIZE];
        snapshotRequest(request);
        const int complete = CompleteReplyLength(request, modbus_rx_buffer, receive_count);
        if (complete > 0) {
            endLineRateFrame(port, complete, now);
            return now + silenceUs;
        }
        if (now - lastByteUs_ > silenceUs) {
            endLineRateFrame(port, receive_count, now);
            return now + silenceUs;
        }
    }

    const std::int64_t timeoutUs = static_cast<std::int64_t>(replyTimeoutMs_.load()) * 1000;
    if (now - busySinceUs_ > timeoutUs) {
        // No reply, or only part of one before the time ran out: give the line up.
        unsigned char request[MODBUS_BUFFER_SIZE];
        snapshotRequest(request);
        giveUp(request);
        discardInput(port, kAfterTimeout);
        receive_count = 0;
        busySinceUs_ = -1;
        guardUntilUs_ = now + silenceUs;
        recieveLedON = 0;
        requireQuiet();
        com_idle = 1;
        return now + silenceUs;
    }
    std::int64_t next = busySinceUs_ + timeoutUs + 1;
    if (receive_count > 0 && lastByteUs_ + silenceUs + 1 < next) next = lastByteUs_ + silenceUs + 1;
    return next;
}

void LineMachine::requireQuiet()
{
    if (!quietDue_) quietSinceUs_ = readClock();
    quietDue_ = true;
}

bool LineMachine::quiet(std::int64_t* untilUs)
{
    if (!quietDue_) return true;
    const std::int64_t now = readClock();
    const int port = active_comselect.load();
    // Discard holding the line, so that a password write from the UI thread
    // never loses its echo here.
    if (GetInQLen(port) != 0 && com_idle.exchange(0) == 1) {
        discardInput(port, kWhileSettling);
        quietSinceUs_ = now;
        com_idle = 1;
    }
    const std::int64_t until = quietSinceUs_ + static_cast<std::int64_t>(replyTimeoutMs_.load()) * 1000;
    if (now >= until) {
        quietDue_ = false;
        return true;
    }
    *untilUs = until;
    return false;
}

// --- Frames outside the chooser -------------------------------------------------------

int LineMachine::writeFrame(int functionCode, int address, int value)
{
    if (comConfigure_success_flag.load() != 1) {
        PortErrorBox("Port not open! ");
        return -1;
    }
    unsigned char frame[kFrameLength];
    modbus_build_frame(functionCode, address, value, frame);
    const int port = active_comselect.load();
    discardInput(port, kStrayBeforeRequest);  // stale bytes must not be read in front of the echo
    if (ComWrt(port, reinterpret_cast<const char*>(frame), kFrameLength) != kFrameLength) {
        failPort("Com write failed 11! ", Flush::Input, "write to the port failed");
        return -1;
    }
    tell(LineReportKind::RequestSent, frame, kFrameLength);
    tx_package_flag_send = 1;
    return 0;
}

PasswordSend LineMachine::sendPassword(int pauseMs)
{
    // From outside the communication thread (the password timer, the port
    // panel) the line is taken and written while no pass runs. A pass that
    // found the line taken before the write was out would time a reply to a
    // request not yet sent, could give the line up and send its own request;
    // this write would then flush that request's reply, and its echo would be
    // taken for it.
    const bool hold = !PortGateHeld();
    if (hold) HoldPortGate();
    const PasswordSend sent = takeAndWritePassword(pauseMs);
    if (hold) ReleasePortGate();
    return sent;
}

PasswordSend LineMachine::takeAndWritePassword(int pauseMs)
{
    if (!takeLine()) return PasswordSend::LineBusy;
    if (pauseMs > 0) PassPause(pauseMs);
    const int value = static_cast<int>(registerWord(communication_password_hci.value.load()));
    if (writeFrame(6, communication_password_hci.address.load(), value) == -1) {
        // Nothing is awaited after a failed write: the password phase starts
        // over once the port is open again.
        com_idle = 1;
        state_ = LineState::Idle;
        return PasswordSend::Failed;
    }
    return PasswordSend::Sent;
}

// --- The port -------------------------------------------------------------------------

void LineMachine::portOpened(const char* why, bool keepPending)
{
    tellPort(LineReportKind::PortOpened, why, keepPending);
    receive_count = 0;
    receive_frame_end_delay = 0;
    receive_frame_end_flag = 0;
    com_idle_delay = 0;
    recieveLedON = 0;
    busySinceUs_ = -1;
    state_ = LineState::Idle;
    com_idle = 1;
}

void LineMachine::portClosed(const char* why, bool keepPending)
{
    tellPort(LineReportKind::PortClosed, why, keepPending);
}

LineMachine& TheLine()
{
    // Never destroyed: a worker thread may still report while the process ends.
    static LineMachine* line = new LineMachine;
    return *line;
}
