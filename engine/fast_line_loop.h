// The line-rate framing of the communication thread (engine/line_framing.h):
// instead of a pass every 100 ms it waits on the port for the reply, and lets
// the next request out as soon as the line machine (serial/line_machine.h) has
// handled the reply and t3.5 has passed.
#pragma once

#include "engine/line_framing.h"

// Forgets the LED step and the password wait (start-up; no thread running).
void ResetFastLineLoop();
