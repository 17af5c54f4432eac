// The port-configuration panel: turns the five ring selections into port
// settings, opens, re-opens and closes the port, and starts the password
// exchange after a successful open.
#include "serial/sample5.h"

#include <mutex>
#include <string>

#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/serial.h"
#include "platform/ui.h"
#include "serial/port_gate.h"
#include "serial/rs232.h"

int comvalue = 0, btlvalue = 0, jhvalue = 0, longvalue = 0, stopvalue = 0;
int comselect = 0;
int btlselect = 0;
int jhselect = 0;
int longselect = 0;
int stopselect = 0;

std::atomic<int> comConfigure_success_flag{0};
std::atomic<int> active_comselect{0};

namespace {
std::mutex g_describeMutex;
std::string g_openPortText;  // guarded by g_describeMutex
}  // namespace

std::string OpenPortDescription()
{
    std::lock_guard<std::mutex> lock(g_describeMutex);
    return g_openPortText;
}

namespace {

constexpr int kQueueSize = 1024;
constexpr double kPortTimeoutSeconds = 5.0;

struct RingChoice {
    int itemValue;
    int selection;
};

const RingChoice kBaudChoices[] = {{1, 1200}, {2, 2400}, {3, 4800}, {4, 9600}, {5, 19200}, {6, 115200}};
const RingChoice kParityChoices[] = {{2, 1}, {3, 2}, {1, 0}};
const RingChoice kDataBitChoices[] = {{1, 7}, {2, 8}, {3, 9}};
const RingChoice kStopBitChoices[] = {{1, 1}, {2, 2}};

// Maps a ring's item value to its selection; a value outside the table
// leaves the previous selection unchanged.
template <size_t N>
void mapChoice(const RingChoice (&table)[N], int itemValue, int& selection)
{
    for (const RingChoice& c : table) {
        if (c.itemValue == itemValue) {
            selection = c.selection;
            return;
        }
    }
}

void readPortSettings(int panel)
{
    using namespace uir::panel_com;
    GetCtrlVal(panel, COMSELECT, &comvalue);
    if (comvalue >= 1 && comvalue <= kMaxComPort) comselect = comvalue;
    GetCtrlVal(panel, BTLSELECT, &btlvalue);
    mapChoice(kBaudChoices, btlvalue, btlselect);
    GetCtrlVal(panel, JYSELECT, &jhvalue);
    mapChoice(kParityChoices, jhvalue, jhselect);
    GetCtrlVal(panel, LONGSELECT, &longvalue);
    mapChoice(kDataBitChoices, longvalue, longselect);
    GetCtrlVal(panel, STOPSELECT, &stopvalue);
    mapChoice(kStopBitChoices, stopvalue, stopselect);
}

// Holds the communication thread off the port while the port changes.
class CommThreadHold {
public:
    CommThreadHold() : held_(RS232COMThreadHandle.load() != 0)
    {
        if (held_) HoldPortGate();
    }
    ~CommThreadHold()
    {
        if (held_) ReleasePortGate();
    }
    CommThreadHold(const CommThreadHold&) = delete;
    CommThreadHold& operator=(const CommThreadHold&) = delete;

private:
    bool held_;
};

void openSelectedPort()
{
    if (comConfigure_success_flag.load() == 1 && CloseCom(active_comselect.load()) != 0) {
        MessagePopup("Error", "close failed!");
    }
    if (OpenComConfig(comselect, "", btlselect, jhselect, longselect, stopselect, kQueueSize, kQueueSize) <
        0) {
        MessagePopup("Error", "config failed!");
        comConfigure_success_flag = 0;
        return;
    }
    active_comselect = comselect;
    {
        const char parity = jhselect == 1 ? 'O' : jhselect == 2 ? 'E' : 'N';
        std::lock_guard<std::mutex> lock(g_describeMutex);
        g_openPortText = "COM" + std::to_string(comselect) + " " + ComDevicePath(comselect) + " " +
                         std::to_string(btlselect) + " " + std::to_string(longselect) + parity +
                         std::to_string(stopselect);
    }
    comConfigure_success_flag = 1;
    FlushInQ(comselect);
    if (SetComTime(comselect, kPortTimeoutSeconds) < 0) {
        const int code = ReturnRS232Err();
        ErrorCheck("Error Setting Com Time", code, GetRS232ErrorString(code));
    }
}

void armPasswordTimers()
{
    using namespace uir::panel_main;
    const int main = panelMain.load();
    SetCtrlAttribute(main, TIMER_CMPW, ATTR_INTERVAL, 10.0);
    SetCtrlAttribute(main, TIMER_CMPW_RT, ATTR_INTERVAL, 0.05);
    SetCtrlAttribute(main, TIMER_CMPW, ATTR_ENABLED, 1);
    SetCtrlAttribute(main, TIMER_CMPW_RT, ATTR_ENABLED, 1);
}

}  // namespace

int Configure(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    readPortSettings(child.load());
    {
        CommThreadHold hold;
        openSelectedPort();
    }
    if (comConfigure_success_flag.load() == 1) {
        HidePanel(child.load());
        comConfigure_flag = 0;
        const int value = static_cast<int>(registerWord(communication_password_hci.value.load()));
        send_1frame(6, communication_password_hci.address.load(), value);
        armPasswordTimers();
    }
    return 0;
}

int CloseCOM(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    CommThreadHold hold;
    if (comConfigure_success_flag.load() == 1) {
        if (CloseCom(active_comselect.load()) != 0) {
            MessagePopup("Error", "close failed!");
        } else {
            comConfigure_success_flag = 0;
            SetCtrlVal(panelMain.load(), uir::panel_main::LED_TRANSMIT, 0);
            SetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, 0);
        }
    }
    return 0;
}

int Quit(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    HidePanel(child.load());
    comConfigure_flag = 0;
    return 0;
}
