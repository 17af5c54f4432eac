// The exit statuses of the console's commands (app/command_line.h), shared by
// every command's own module.
#pragma once

enum {
    kCommandOk = 0,
    // verify: a register differs; restore: not every register matches; watch: a fault was on
    kCommandDiffers = 1,
    kCommandNoAnswer = 2,  // the port, the password or a read gave no answer in time
    kCommandBadInput = 3,  // bad arguments or a bad file
};
