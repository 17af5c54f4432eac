// The password write, wherever it is due. Every write of the password goes
// out through SendPassword, which knows why it is written and what then
// happens when the line is busy; the line machine (serial/line_machine.h)
// writes the frame.
#pragma once

#include <cstdint>

#include "serial/line_machine.h"

enum class PasswordCause : std::uint8_t {
    // The communication thread finds the line idle before the controller has
    // accepted the password: it waits out its pass (`pauseMs`), then writes.
    LoopStep,
    // The operator opened the port: at once when the line is idle; when it is
    // busy, the password timer writes it once it is idle, or, before the
    // password was ever accepted, the communication thread does.
    PortOpened,
    // The port was opened again after its device came back: at once, so that
    // its echo is collected as the reply instead of running into a poll.
    DeviceBack,
    // Due by the 10 s password timer (communication_password_sendFlag): the
    // 50 ms timer writes it once the line is idle, and the mark is cleared
    // once it was written or failed.
    Timer,
};

PasswordSend SendPassword(PasswordCause cause, int pauseMs = 0);

// True while a write made due by the 10 s timer has not gone out.
bool PasswordWriteDue();

// The 10 s timer's part: marks a password write due. The main panel's timer
// pair drives it in the window; a command run without a display drives it
// from a thread of its own.
void MarkPasswordDue();
// The 50 ms timer's part: makes the due write if the line is idle (it stays
// due while the line is busy). False when a due write failed (it is then no
// longer due); true otherwise, nothing due included.
bool SendDuePassword();
