#include "engine/console_state.h"

#include <initializer_list>

#include "engine/ems.h"
#include "engine/fast_line_loop.h"
#include "engine/link_status.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "platform/os/state_reset.h"
#include "platform/port/net_device.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"
#include "serial/port_open.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"

void ResetConsoleState()
{
    ResetPortWatch();  // first: it stops the watcher thread
    ResetAppState();
    ResetLineFlags();
    ResetModbusState();
    TheLine().reset();
    ResetPortOpen();
    ResetComDevices();
    netport::NetworkPortDriver().forget();
    ResetFatalErrorHook();
    ResetWriteTracking();
    ResetLineEvents();
    ResetLinkHealth();
    fillDataItems();
    ResetFastLineLoop();
    ResetLinkStatus();
    for (std::atomic<int>* flag : {&query_enable_flag, &sendLedON_1, &sendLedShineDelay}) {
        flag->store(0);
    }
    RunRegisteredResets();
}
