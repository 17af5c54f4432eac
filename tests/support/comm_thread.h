// Runs the console's communication thread for a test, as start-up does, and
// stops it the way quitting does.
#pragma once

namespace testsupport {

// Starts RS232COMThread and records its handle; false if it did not start.
bool StartCommThread();
// Asks the thread to stop and waits for it; does nothing when none runs.
void StopCommThread();

}  // namespace testsupport
