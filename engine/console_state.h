// The state the console keeps for as long as it runs, set back to how start-up
// finds it: the shell's handles and flags, the line and its named state, the
// port panel's selections, the COM table and the port watch, the frame
// buffers, the data-item tables (filled afresh), the write records, the line
// events with their counters and the request awaited, the link health, the
// engine's own loop and read-out state, and every reset registered by the
// floors above (platform/os/state_reset.h: the guard, the status words the
// page refresh drew last, the line-rate switch).
// The program calls it first of all, before its options fill the COM table;
// each command of the command line calls it again, and the test programs
// before every case. No worker thread may be running.
#pragma once

void ResetConsoleState();
