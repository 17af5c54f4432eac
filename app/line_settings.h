// The line-rate switch and its reply time-out, kept in the console's settings
// file (platform/os/app_dirs.h).
#pragma once

#include "serial/fast_line.h"

// Puts the kept values, or the defaults (off, 500 ms), into the port panel's
// two controls, and keeps whatever the port panel arms from now on.
// `forceOn` (the --fast-line option) turns the switch on for this run only:
// the kept switch is then left as it was unless it is turned off.
void LoadLineSettings(int portPanel, bool forceOn);
// The kept values (defaults when there are none or they cannot be read).
FastLineSettings KeptLineSettings();
// Keeps `settings`; a file that cannot be written is reported in a box and
// gives false.
bool KeepLineSettings(const FastLineSettings& settings);
