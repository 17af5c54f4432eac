#include "tests/support/sim_line.h"

#include <cstdlib>

#include "engine/ems.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/serial.h"
#include "serial/sample5.h"
#include "tests/support/comm_thread.h"

namespace testsupport {

SimulatedLine::SimulatedLine()
{
    setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
    path_ = sim_.start();
    if (path_.empty()) return;
    SetComDevice(4, path_);
    fillDataItems();
    query_enable_flag = 1;
    panelMain = kMainPanel;
    child = kPortPanel;
    // COM4, 19200 bit/s, odd parity, 8 data bits, 1 stop bit: the ring values of the port panel.
    using namespace uir::panel_com;
    ui_.setInt(kPortPanel, COMSELECT, 4);
    ui_.setInt(kPortPanel, BTLSELECT, 5);
    ui_.setInt(kPortPanel, JYSELECT, 2);
    ui_.setInt(kPortPanel, LONGSELECT, 2);
    ui_.setInt(kPortPanel, STOPSELECT, 1);
}

SimulatedLine::~SimulatedLine()
{
    StopCommThread();
    if (comConfigure_success_flag.load() == 1) CloseCom(active_comselect.load());
    sim_.stop();
}

bool SimulatedLine::open()
{
    if (RS232COMThreadHandle.load() == 0 && !StartCommThread()) return false;
    Configure(kPortPanel, uir::panel_com::CONFIGURE, EVENT_COMMIT, nullptr, 0, 0);
    return comConfigure_success_flag.load() == 1;
}

void SimulatedLine::close()
{
    CloseCOM(kPortPanel, uir::panel_com::CLOSECOM, EVENT_COMMIT, nullptr, 0, 0);
}

}  // namespace testsupport
