#include "modbus/line_state.h"

#include "modbus/modbus.h"
#include "model/line_flags.h"

bool PortOpen()
{
    return comConfigure_success_flag.load() == 1;
}

bool Unlocked()
{
    return hci_commnication_enable_5927.load() == 1;
}
