// The password write made every 10 s (communication_password_sendFlag,
// model/line_flags.h): marked due, then made as soon as the line is idle.
// The main panel's timer pair drives it in the window; a command run without
// a display drives it from a thread of its own.
#pragma once

// Marks a password write due.
void MarkPasswordDue();
// Makes the due password write if the line is idle; it stays due while the
// line is busy. False when a due write failed (it is then no longer due);
// true otherwise, nothing due included.
bool SendDuePassword();
