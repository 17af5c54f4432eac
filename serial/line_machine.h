// The line: one request on it at a time, and the receive of its reply.
//
// One machine serves both ways of running the line. The request goes out
// (idle -> awaiting), reply bytes arrive (receiving), the frame ends and goes
// to the parser (complete), which accepts it (back to idle) or rejects it
// (rejected); a reply that does not end in time is given up (timed out).
// Where a frame ends is the framing policy's choice:
// - passes: the communication thread looks every 100 ms; a frame ends after
//   more than 200 ms without a byte, and a reply is given up after more than
//   2000 ms;
// - line rate: a frame ends as soon as the bytes its request implies have
//   arrived with a good CRC, or after t3.5 without a byte; a reply is given up
//   after the time-out chosen on the port panel, and after a time-out or a
//   rejected frame the next request waits for a quiet line.
//
// The state the console has always shown by name (com_idle, receive_count,
// receive_frame_end_flag, ... in serial/rs232_state.h) is the machine's working
// state: it stays readable, and reset() sets it back with the rest. Times come
// from the injected clock (microseconds). What happens on the line is told to
// observers(); the machine calls none of them by name. Input it throws away
// (stray bytes before a request, what follows a frame or a time-out) is read
// first and told as BytesDiscarded, so that a capture of the line misses
// nothing; the queue is flushed as before.
#pragma once

#include <atomic>
#include <cstdint>

#include "modbus/line_observer.h"
#include "serial/rs232_state.h"

enum class LineState : std::uint8_t { Idle, Awaiting, Receiving, Complete, TimedOut, Rejected };
const char* LineStateName(LineState state);

enum class Framing : std::uint8_t { Passes, LineRate };

// The line-rate framing's reply time-out: its bounds and the one it starts
// with; and t3.5 above 19200 bit/s.
constexpr int FAST_LINE_TIMEOUT_MIN_MS = 100;
constexpr int FAST_LINE_TIMEOUT_MAX_MS = 2000;
constexpr int FAST_LINE_TIMEOUT_DEFAULT_MS = 500;
constexpr std::int64_t FAST_LINE_FIXED_SILENCE_US = 1750;  // t3.5 above 19200 bit/s

// What became of a password write.
enum class PasswordSend : std::uint8_t { Sent, LineBusy, Failed };

class LineMachine {
public:
    using Clock = std::int64_t (*)();  // microseconds of a monotonic clock
    using RequestChooser = void (*)();

    LineMachine();
    LineMachine(const LineMachine&) = delete;
    LineMachine& operator=(const LineMachine&) = delete;

    // Everything back to the start: the named line state, the exchange, the
    // framing (passes) and the clock. Observers and the chooser stay.
    void reset();
    // nullptr restores the platform clock (ClockUs).
    void setClock(Clock clock);
    std::int64_t now() const;

    // --- Start-up -------------------------------------------------------------------
    // The request chooser of the send step: takes the idle line and builds at
    // most one request, setting tx_package_flag when it built one. False when
    // another chooser is set already (it stays).
    bool setRequestChooser(RequestChooser chooser);
    // Removes `chooser` when it is the one set.
    void clearRequestChooser(RequestChooser chooser);
    LineObservers& observers() { return observers_; }

    // --- Framing (set when the port is opened; safe from any thread) ------------------
    // `replyTimeoutMs` is the line-rate framing's; `passesTimeoutMs` the
    // give-up of the framing on passes (2 s, longer on a slow network line).
    void arm(Framing framing, int replyTimeoutMs, std::int64_t silenceUs,
             int passesTimeoutMs = REPLY_TIMEOUT_MS);
    Framing framing() const { return framing_.load(); }
    int replyTimeoutMs() const { return replyTimeoutMs_.load(); }
    int passesTimeoutMs() const { return passesTimeoutMs_.load(); }
    std::int64_t silenceUs() const { return silenceUs_.load(); }

    // --- The exchange -----------------------------------------------------------------
    // One atomic exchange of com_idle with 0: true when the line was idle and
    // the caller now owns it.
    bool takeLine();
    LineState state() const { return state_.load(); }

    // Passes: the send step (the chooser's request, written whole) and the
    // receive step (LED, bytes, silence, reply time-out, parse).
    void send();
    void receivePass();
    // The receive LED's blink step of a pass.
    void receiveLedStep();
    // Hands a frame marked complete to the parser and frees the line; the
    // parser's result (MODBUS_BAD_CRC when no frame was marked).
    int parseFrame();

    // Line rate: the send step, which first drops whatever came after the last
    // reply; the receive step while a reply is awaited, returning the clock
    // time by which it wants to look again if no byte arrives before.
    void sendAtLineRate();
    std::int64_t receive();
    // The clock time before which no request may go out: t3.5 after the last
    // reply ended.
    std::int64_t guardUntilUs() const { return guardUntilUs_; }
    // The next request waits until the line has been quiet for the reply
    // time-out; bytes that arrive meanwhile are discarded.
    void requireQuiet();
    // With the line idle: true when no quiet wait is due (or it has passed).
    // Otherwise discards what arrived and sets *untilUs to when to look again.
    bool quiet(std::int64_t* untilUs);

    // --- Frames outside the chooser ----------------------------------------------------
    // send_1frame: builds the frame and writes it to the open port at once.
    // 0, or -1 after showing "Port not open! " (nothing built) or, after a
    // short write, the port failure "Com write failed 11! ".
    int writeFrame(int functionCode, int address, int value);
    // The password write: takes the idle line, waits `pauseMs` (the
    // communication thread's pass), writes it; a failed write frees the line.
    // A caller that does not hold the port gate holds it meanwhile, so that
    // no pass sees the line taken before the write is out.
    PasswordSend sendPassword(int pauseMs);

    // --- The port ---------------------------------------------------------------------
    // A port was just opened: nothing is awaited, no reply half collected, and
    // observers end what was asked for before (`keepPending`: a reconnect,
    // writes not yet sent stay). Call with the communication thread held off.
    void portOpened(const char* why, bool keepPending = false);
    // The port was closed on purpose.
    void portClosed(const char* why, bool keepPending = false);

private:
    enum class Flush : std::uint8_t { Input, Output };

    std::int64_t readClock() const;
    // The state as com_idle has it now: others take and free the line too.
    void follow();
    void tell(LineReportKind kind, const unsigned char* bytes, int length,
              const unsigned char* request = nullptr, int result = 0, const char* text = "");
    void tellPort(LineReportKind kind, const char* text, bool keepPending);
    // The port failed: told, the queue flushed, the port marked closed, what
    // was asked for ended, the box shown.
    void failPort(const char* message, Flush flush, const char* why);
    // Takes what the input queue holds into modbus_rx_buffer (at most 199
    // bytes kept); the count read, or -1 after a port failure.
    int takeBytes(bool flushOutput);
    void endLineRateFrame(int port, int length, std::int64_t now);
    // Reads what waits in the input queue into `into` (at most `room` bytes),
    // then flushes the queue; the count read.
    static int drainInput(int port, unsigned char* into, int room);
    // Throws away what waits in the input queue, telling what it was.
    void discardInput(int port, const char* why);
    void giveUp(const unsigned char* request);
    static void snapshotRequest(unsigned char* request);
    PasswordSend takeAndWritePassword(int pauseMs);

    std::atomic<Clock> clock_{nullptr};
    std::atomic<RequestChooser> chooser_{nullptr};
    LineObservers observers_;
    std::atomic<LineState> state_{LineState::Idle};

    std::atomic<Framing> framing_{Framing::Passes};
    std::atomic<int> replyTimeoutMs_{0};
    std::atomic<int> passesTimeoutMs_{REPLY_TIMEOUT_MS};
    std::atomic<std::int64_t> silenceUs_{0};

    // Line rate. Written by the communication thread's steps and by a port
    // open (portOpened, from the port panel's thread or the port watch's);
    // every access is made holding the port gate (serial/port_gate.h), which
    // orders them: the thread holds it for each step, a port open for the
    // whole open; a port error box lets go of it only while the box is up,
    // between two accesses.
    std::int64_t busySinceUs_ = -1;  // when the line was first seen awaiting a reply
    std::int64_t lastByteUs_ = 0;
    std::int64_t guardUntilUs_ = 0;
    bool quietDue_ = false;
    std::int64_t quietSinceUs_ = 0;
};

// The console's line.
LineMachine& TheLine();
