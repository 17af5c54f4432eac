// Whether the controller is answering, and whether it has accepted the
// password on the port open now.
//
// The line's observer notes every accepted reply (a read stored, a write
// echoed, the password accepted) and every accepted status reply. The
// link status line and the dimming of the read-outs ask how long ago the
// controller last answered at all; the motor-test guard asks how long ago it
// last answered a status read, since only that one tells the speed and the
// faults. Opening a port, or losing it, forgets the answers and the unlock
// of the port before. Times come from ClockMs, so tests drive them with a
// settable clock. Safe from any thread.
#pragma once

#include <cstdint>

// An accepted reply to the status block read has just arrived.
void NoteStatusReply();
// Milliseconds since the last accepted status reply, or -1 when none has
// arrived since start or since ResetLinkHealth.
std::int64_t MsSinceStatusReply();

// An accepted reply of any kind has just arrived.
void NoteAcceptedReply();
// The controller has just accepted the password on the port open now.
void NotePasswordAccepted();
// Milliseconds since the last accepted reply on the port open now, or -1 when
// none has arrived on it.
std::int64_t MsSinceAcceptedReply();
// True once the controller has accepted the password on the port open now.
bool PortUnlocked();
// A port was opened, or the open one failed: the answers so far were another
// line's.
void NoteLineReset();
// Milliseconds since the last NoteLineReset, or -1 when there was none since
// ResetLinkHealth.
std::int64_t MsSinceLineReset();

// Forgets every reply (start-up and tests).
void ResetLinkHealth();

// "Replying": an accepted reply within this many milliseconds.
constexpr std::int64_t kReplyingMs = 2000;
// Read-outs are drawn dimmed after this many milliseconds without one.
constexpr std::int64_t kStaleMs = 3000;
