// The resets of the state kept above the engine, run with the console's one
// start-up reset (engine/console_state.h).
//
// The start-up reset calls the resets of its own floor and the floors below
// it by name. A module higher up, which it must not include (the guard of the
// pages, the line-rate switch of the application), registers its reset where
// its state is kept, with an object at namespace scope:
//
//     const StateReset kReset(ResetWriteGuard);
//
// so that no program that links the module, and no test program, can start
// without it. Registration happens while the program's statics are made,
// before main; the resets run in the order they were registered. A module
// that a program does not link has no state there to reset.
#pragma once

class StateReset {
public:
    using Reset = void (*)();
    explicit StateReset(Reset reset);
};

// Runs every registered reset. No worker thread may be running.
void RunRegisteredResets();
