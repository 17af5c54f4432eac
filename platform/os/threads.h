// Worker threads, started and joined by an integer handle.
#pragma once

// Starts `routine(nullptr)` on a new thread at once. Returns a non-zero handle,
// or 0 when the thread could not be created.
using ThreadRoutine = int (*)(void* parameter);
int CreateThread(ThreadRoutine routine);
// Waits for a thread started by CreateThread to return, and releases its
// handle. Returns the routine's result, or -1 for an unknown handle.
int JoinThread(int handle);
// Test hook: makes the next `count` CreateThread calls fail.
void FailNextThreadCreations(int count);
