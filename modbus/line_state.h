// The line's state by name, for the features built beside the original
// modules (sets, journals, windows, commands), which read it here rather than
// through the original flags.
#pragma once

// The port is open and configured (the line may still be locked).
bool PortOpen();
// The controller took the password: parameters may be read and written.
bool Unlocked();
