// Byte-level transmit of one request and receive of its reply: the steps of
// the line, carried out by the line machine (serial/line_machine.h) on the
// named state of serial/rs232_state.h.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "modbus/modbus.h"
#include "serial/rs232_state.h"

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
