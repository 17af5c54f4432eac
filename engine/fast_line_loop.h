// The communication thread in line-rate mode (serial/fast_line.h): instead of
// a pass every 100 ms it waits on the port for the reply, and sends the next
// request as soon as the line machine (serial/line_machine.h) has handled the
// reply and t3.5 has passed.
#pragma once

#include <cstdint>

// What the thread waits for after a step: until the clock (ClockUs) reaches
// `untilUs`, or sooner when `forInput` and a byte arrives.
struct FastLineWait {
    std::int64_t untilUs;
    bool forInput;
};

// One step of this mode: the password write, a pending write or block read,
// or the status read, chosen as the 100 ms pass chooses them; the reply's bytes;
// the activity LEDs every 100 ms. Call it holding the port gate.
FastLineWait FastLineThreadStep();
// A step under the port gate and then the wait outside it (at most 100 ms).
void FastLineThreadRound();
// Forgets the LED step and the password wait (start-up; no thread running).
void ResetFastLineLoop();
