#include "tests/support/comm_thread.h"

#include "engine/ems.h"
#include "model/app_state.h"
#include "platform/os/clock.h"

namespace testsupport {

bool StartCommThread()
{
    RS232COMThreadStop = 0;
    RS232COMThreadHandle = CreateThread(RS232COMThread);
    return RS232COMThreadHandle.load() != 0;
}

void StopCommThread()
{
    const int handle = RS232COMThreadHandle.load();
    if (handle == 0) return;
    RS232COMThreadStop = 1;
    JoinThread(handle);
    RS232COMThreadHandle = 0;
}

}  // namespace testsupport
