// The console's commands for scripts: dump, verify and restore a controller's
// parameter set, and watch its fault bits, without a display. They run the same core as the window (the
// tables, the communication thread, the receive step, the password exchange)
// with a headless user-interface backend.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Exit statuses of the commands.
enum {
    kCommandOk = 0,
    // verify: a register differs; restore: not every register matches; watch: a fault was on
    kCommandDiffers = 1,
    kCommandNoAnswer = 2,  // the port, the password or a read gave no answer in time
    kCommandBadInput = 3,  // bad arguments or a bad file
};

// True when `word` names a command ("dump", "verify", "restore", "watch").
bool IsCommandName(const std::string& word);

// Runs a command: args[0] is its name, the rest its arguments. Results go to
// `out`, messages to `err`. Returns an exit status above.
int RunCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// The commands' part of --help.
const char* CommandUsage();
