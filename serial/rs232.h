// Byte-level transmit of one request and receive of its reply: the named
// state of the line and its steps, kept by the line machine
// (serial/line_machine.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "modbus/modbus.h"

constexpr int RECEIVE_BUFFER_SIZE = 1024;
constexpr int FRAME_END_SILENCE_MS = 200;  // a frame ends after more than this of silence
constexpr int REPLY_TIMEOUT_MS = 2000;     // a reply is given up after more than this

extern std::atomic<int> com_idle;         // 1 = line idle; shared with the password timer
extern std::atomic<int> tx_package_flag;  // 1 = a request was built this pass
extern std::atomic<int> sendLedON;        // 1 = the last send step wrote a frame
extern unsigned char receive_buffer[RECEIVE_BUFFER_SIZE];
extern int receive_leng;
extern int receive_count;
// Clock readings of the silence and reply-wait timers are in microseconds
// (ClockUs), so that "more than 200 ms" is not rounded down to whole ms.
extern int receive_frame_end_delay;
extern std::int64_t receive_frame_end_delay_begin;
extern std::int64_t receive_frame_end_delay_end;
extern int receive_frame_end_flag;
extern int receive_frame_length;
extern int com_idle_delay;
extern std::int64_t com_idle_delay_begin;
extern std::int64_t com_idle_delay_end;
extern std::atomic<int> recieveLedON;
extern std::atomic<int> recieveLedShineDelay;

// Takes the idle line: one atomic exchange of com_idle with 0. True when the
// line was idle, i.e. the caller now owns it.
bool take_idle_line();

// The send and receive steps of a 100 ms pass.
void RS232Send();
void RS232Rec();

// Builds a write-like frame into modbus_tx_buffer and writes it to the open
// port at once (the password write). 0 on success, -1 after showing its error
// ("Port not open! " with nothing built, or "Com write failed 11! " after a
// short write, which also marks the port closed).
int send_1frame(int functionCode, int address, int value);

// A port was just opened: nothing is awaited on it, no reply is half
// collected, and the line's observers end every write asked for before (with
// `keepPending`, a reconnect, writes not yet sent stay) and forget the answers
// and the unlock of the port before. Call with the
// communication thread held off the port.
void ResetLine(const char* why, bool keepPending = false);

// The password write after opening the port: it takes the idle line like
// every other request. When the line is busy it is left to the password timer
// (communication_password_sendFlag), which writes it once the line is idle; or,
// before the password was ever accepted, to the communication thread, which
// then writes it itself.
void WritePasswordWhenIdle();

// Reports a fatal port error in a box titled "ErrorCheck" (serial/notices.h)
// and ends the process with status -1. The fatal-error hook runs first.
[[noreturn]] void ErrorCheck(const char* message, int errorCode, const char* errorText);

// What must happen before ErrorCheck ends the process, installed from above
// for as long as the object lives: the window and the commands end the writes
// still pending, as they do when they end, and write out their journals and
// captures. It runs on the thread that met the error, before the box. Hooks
// nest: one installed while another lives runs first, then the other (a
// command's journal, then the capture of its whole run); the objects end in
// the reverse order of their making. The start-up reset removes them all.
class FatalErrorHook {
public:
    explicit FatalErrorHook(std::function<void()> hook);
    ~FatalErrorHook();
    FatalErrorHook(const FatalErrorHook&) = delete;
    FatalErrorHook& operator=(const FatalErrorHook&) = delete;

private:
    std::function<void()> previous_;
};
void ResetFatalErrorHook();

// One step of the shared blink rule of the activity LEDs: advances the counter
// (0..10, wrapping) and returns 1 for the calls on which it is below 3.
int blinkStep(std::atomic<int>& counter);
