// When the controller last answered a status read.
//
// The reply parser notes every accepted status reply; the link status line,
// the dimmed read-outs and the motor-test guard ask how long ago that was.
// Times come from ClockMs, so tests drive them with a settable clock. Safe
// from any thread.
#pragma once

#include <cstdint>

// An accepted reply to the status block read has just arrived.
void NoteStatusReply();
// Milliseconds since the last accepted status reply, or -1 when none has
// arrived since start or since ResetLinkHealth.
std::int64_t MsSinceStatusReply();
// Forgets every reply (start-up and tests).
void ResetLinkHealth();

// "Replying": a status reply within this many milliseconds.
constexpr std::int64_t kReplyingMs = 2000;
// Read-outs are drawn dimmed after this many milliseconds without one.
constexpr std::int64_t kStaleMs = 3000;
