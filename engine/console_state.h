// The state the console keeps for as long as it runs, set back to how start-up
// finds it: the shell's handles and flags, the line and its named state, the
// frame buffers, the data-item tables (filled afresh), the write records, the
// link counters and health, and the engine's own loop and read-out state.
// The window and the command line call it before they start anything; the
// test programs call it before every case. No worker thread may be running.
#pragma once

void ResetConsoleState();
