#include "pages/line_presenter.h"

#include <string>

#include "model/app_state.h"
#include "model/line_flags.h"
#include "model/panel_texts.h"
#include "model/uir_ids.h"
#include "pages/password_timers.h"
#include "pages/sample5.h"
#include "platform/port/serial.h"
#include "platform/ui/ui.h"
#include "serial/reconnect.h"

void LinePresenter::transmitLed(int lit)
{
    SetCtrlVal(panelMain.load(), uir::panel_main::LED_TRANSMIT, lit);
}

void LinePresenter::receiveLed(int lit)
{
    SetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, lit);
}

void LinePresenter::portTitleChanged()
{
    ShowPortTitle();
}

void LinePresenter::deviceInfoChanged()
{
    RefreshDeviceInfo();
}

void LinePresenter::portOpened()
{
    HidePanel(child.load());
    comConfigure_flag = 0;
}

void LinePresenter::passwordPhaseBegins()
{
    ArmPasswordTimers();
}

void ShowPortTitle()
{
    std::string title;
    if (const int waiting = WaitingPort(); waiting != 0) {
        title = "waiting for " + ComDevicePath(waiting) + " on COM" + std::to_string(waiting);
    } else if (comConfigure_success_flag.load() == 1) {
        // Two consoles side by side are told apart by their devices.
        const int port = active_comselect.load();
        title = PanelText("mainwin.uir", uir::PANEL_MAIN, "PANEL_MAIN") + " - COM" + std::to_string(port) +
                " " + ComDevicePath(port);
    }
    SetPanelAttribute(panelMain.load(), ATTR_TITLE, title.c_str());
}
