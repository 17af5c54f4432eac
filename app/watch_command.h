// drive-console watch: the fault history of a controller on a burn-in bench,
// without a display. It writes the password, polls only the status block and
// prints one line per fault event (ON, OFF, lost) as it happens; every event
// also goes to faults.csv in the state folder and, when asked, to a file of
// the same format.
#pragma once

#include <cstdio>
#include <string>

#include "app/command_port.h"

class CommandCapture;

struct WatchOptions {
    CommandPortOptions port;
    double durationS = 0;  // stop this long after the first status reply; 0: at SIGINT or SIGTERM
    std::string out;       // write the events here too, in the journal's format; empty: nowhere
    int giveUpMs = 10000;  // no status reply for this long: the controller gave no answer
    CommandCapture* capture = nullptr;  // told of as the watch goes; nullptr: none
};

// Runs the watch and returns its exit status: kCommandOk when no fault bit was
// on at any time, kCommandDiffers when one was (also when the controller fell
// silent or the port failed afterwards), kCommandNoAnswer when no fault was
// seen and the controller gave no status reply for `giveUpMs` (at the start or
// later) or the port failed, kCommandBadInput when `out` cannot be written. SIGINT and
// SIGTERM end it cleanly, with every event so far written: they are blocked
// on the calling thread (and so on the threads it starts) while it runs, and
// taken by the watch.
int RunWatch(const WatchOptions& options, std::FILE* out, std::FILE* err);
