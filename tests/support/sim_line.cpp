#include "tests/support/sim_line.h"

#include <cstdlib>
#include <cstring>

#include "engine/ems.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "tests/support/test_support.h"

namespace testsupport {

SimulatedController::SimulatedController(LineClock clock, long lineRate)
{
    if (lineRate > 0) sim_.setLineRate(lineRate);
    path_ = sim_.start();
    if (path_.empty()) return;
    if (clock == LineClock::Stepped) {
        sim_.setStampClock(ClockMs);
        settle_.emplace(sim_);
        clock_.emplace([this] { return (*settle_)(); });
    }
    SetComDevice(4, path_);
}

SimulatedController::~SimulatedController()
{
    clock_.reset();
    sim_.stop();
}

SimulatedLine::SimulatedLine(LineClock clock, long lineRate) : controller_(clock, lineRate)
{
    setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
    if (!started()) return;
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
    stop();
}

void SimulatedLine::stop()
{
    StopCommThread();
    if (comConfigure_success_flag.load() == 1) CloseCom(active_comselect.load());
}

bool SimulatedLine::open()
{
    if (RS232COMThreadHandle.load() == 0 && !StartCommThread()) return false;
    configure();
    return comConfigure_success_flag.load() == 1;
}

void SimulatedLine::configure()
{
    Configure(kPortPanel, uir::panel_com::CONFIGURE, EVENT_COMMIT, nullptr, 0, 0);
}

void SimulatedLine::pressDcLimit(double value)
{
    ui_.setDouble(panel_set_tab[0].load(), uir::tabpanel_1::TAB1_NUMERIC_SET_4, value);
    int count = 0;
    const CallbackEntry* e = PageCallbacks(&count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(e[i].name, "tab1_send_4") == 0)
            e[i].control(0, 0, EVENT_COMMIT, e[i].callbackData, 0, 0);
    }
}

void SimulatedLine::close()
{
    CloseCOM(kPortPanel, uir::panel_com::CLOSECOM, EVENT_COMMIT, nullptr, 0, 0);
}

}  // namespace testsupport
