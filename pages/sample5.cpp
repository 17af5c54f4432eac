// The port-configuration panel: turns the five ring selections into port
// settings and has the port opened (serial/port_open.h), re-opened and
// closed; shows the device line, the device chooser and the reconnect switch.
#include "pages/sample5.h"

#include <QCoreApplication>
#include <QString>
#include <initializer_list>
#include <memory>
#include <string>

#include "model/app_state.h"
#include "model/uir_ids.h"
#include "pages/password_timers.h"
#include "platform/os/gbk.h"
#include "platform/os/state_reset.h"
#include "platform/port/net_address.h"
#include "platform/port/net_device.h"
#include "platform/port/serial.h"
#include "platform/ui/ui.h"
#include "serial/notices.h"
#include "serial/port_binding.h"
#include "serial/port_opener.h"
#include "serial/reconnect.h"

int comvalue = 0, btlvalue = 0, jhvalue = 0, longvalue = 0, stopvalue = 0;

namespace {

const StateReset kReset(ResetPortPanel);

// A text of the port panel for the technician, in the language installed and
// in the panels' code page (GBK); `arg` (UTF-8) goes in at %1.
std::string said(const char* english, const std::string& arg = std::string())
{
    QString text = QCoreApplication::translate("PortPanel", english);
    if (text.contains(QLatin1String("%1"))) text = text.arg(QString::fromStdString(arg));
    return Utf8ToGbkLenient(text.toStdString());
}

void errorBox(const std::string& text)
{
    NoticeError(said(QT_TRANSLATE_NOOP("PortPanel", "Error")).c_str(), text.c_str());
}

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

// The line-rate switch and its reply time-out; a control that cannot be read
// keeps the default (off, 500 ms).
FastLineSettings readFastLineSettings(int panel)
{
    FastLineSettings settings;
    int on = 0;
    if (GetCtrlVal(panel, uir::panel_com::FAST_LINE, &on) >= 0) settings.enabled = on == 1;
    double timeoutMs = FAST_LINE_TIMEOUT_DEFAULT_MS;
    if (GetCtrlVal(panel, uir::panel_com::FAST_LINE_TIMEOUT, &timeoutMs) >= 0) {
        settings.replyTimeoutMs = ClampPanelReplyTimeoutMs(timeoutMs);
    }
    return settings;
}

void closePort()
{
    if (ClosePort() == PortClose::Failed) errorBox(said(QT_TRANSLATE_NOOP("PortPanel", "close failed!")));
}

void showBoxes(const std::vector<const char*>& boxes)
{
    for (const char* box : boxes) errorBox(said(box));
}

// ConfigureSelectedPort without its boxes, which go to *boxes.
void configurePort(const FastLineSettings& fastLine, std::vector<const char*>* boxes)
{
    OpenPort(SelectedPortOpening(fastLine), boxes);
}

}  // namespace

void ResetPortPanel()
{
    for (int* value : {&comvalue, &btlvalue, &jhvalue, &longvalue, &stopvalue}) *value = 0;
}

int Configure(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    // One open at a time: the device line tells of the one under way.
    if (ThePortOpener().opening() != 0) return 0;
    readPortSettings(child.load());
    const FastLineSettings fastLine = readFastLineSettings(child.load());
    CancelPortWait();
    if (!netport::IsNetworkPath(ComDevicePath(comselect))) {
        ConfigureSelectedPort(fastLine);
        return 0;
    }
    // A connection may take seconds: it is made off the UI thread. The
    // password timers rest meanwhile (their write would wait for the port).
    StopPasswordTimers();
    auto boxes = std::make_shared<std::vector<const char*>>();
    ThePortOpener().start(
        comselect, [fastLine, boxes] { configurePort(fastLine, boxes.get()); }, closePort,
        [boxes] {
            RefreshDeviceInfo();
            showBoxes(*boxes);
        });
    RefreshDeviceInfo();
    return 0;
}

void ConfigureSelectedPort(const FastLineSettings& fastLine)
{
    std::vector<const char*> boxes;
    configurePort(fastLine, &boxes);
    showBoxes(boxes);
}

int CloseCOM(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    CancelPortWait();
    // During a connection the port is closed once it is made.
    if (!ThePortOpener().closeWhenOpened()) closePort();
    return 0;
}

int Quit(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    HidePanel(child.load());
    comConfigure_flag = 0;
    return 0;
}

namespace {

// Where the connection of the network device `path` on `port` stands.
std::string networkState(int port, const std::string& path)
{
    std::string state;
    if (ThePortOpener().opening() == port) {
        state = said(QT_TRANSLATE_NOOP("PortPanel", "connecting"));
    } else if (comConfigure_success_flag.load() == 1 && active_comselect.load() == port &&
               !ComDeviceLost(port)) {
        state = said(QT_TRANSLATE_NOOP("PortPanel", "connected"));
    } else {
        const std::string why = netport::NetworkPortDriver().lastFailure(path);
        state = why.empty() ? said(QT_TRANSLATE_NOOP("PortPanel", "not connected"))
                            : said(QT_TRANSLATE_NOOP("PortPanel", "config failed! %1"), why);
    }
    // Raw TCP carries no line settings: the panel's reach only this end.
    if (path.rfind("tcp://", 0) == 0)
        state += said(QT_TRANSLATE_NOOP("PortPanel", "; settings are the server's"));
    return state;
}

int selectedPort()
{
    int port = 0;
    if (GetCtrlVal(child.load(), uir::panel_com::COMSELECT, &port) < 0) return 0;
    return port >= 1 && port <= kMaxComPort ? port : 0;
}

}  // namespace

std::string DeviceInfoText(int port, const std::vector<SerialPortEntry>& present)
{
    if (port < 1 || port > kMaxComPort) return "";
    const std::string path = ComDevicePath(port);
    std::string text = path;
    if (ComDeviceSource(port) == ComPathSource::Option)
        text += said(QT_TRANSLATE_NOOP("PortPanel", " (command line)"));
    if (WaitingPort() == port)
        return text + "\n" + said(QT_TRANSLATE_NOOP("PortPanel", "waiting for %1"), path);
    if (netport::IsNetworkPath(path)) return text + "\n" + networkState(port, path);
    const SerialPortEntry* entry = FindPort(present, path);
    // A ttyS node that enumeration leaves out has no UART behind it.
    const bool phantom = entry == nullptr && path.rfind("/dev/ttyS", 0) == 0;
    if (phantom || !DevicePresent(path))
        return text + "\n" + said(QT_TRANSLATE_NOOP("PortPanel", "no such device"));
    if (entry == nullptr) return text;
    if (entry->path != path) text += " = " + entry->path;
    const std::string description = DescribePort(*entry);
    return description.empty() ? text : text + "\n" + description;
}

std::string DeviceChooserTitle(int port)
{
    return said(QT_TRANSLATE_NOOP("PortPanel", "Device for COM%1"), std::to_string(port));
}

std::string DeviceChooserColumns()
{
    return said(QT_TRANSLATE_NOOP("PortPanel", "Device\tStable name\tDescription"));
}

void RefreshDeviceInfo()
{
    const int port = selectedPort();
    const std::string text = DeviceInfoText(port, ListSerialPorts());
    SetCtrlVal(child.load(), uir::panel_com::DEVICE_INFO, text.c_str());
}

void ShowPortChoices()
{
    SetCtrlVal(child.load(), uir::panel_com::RECONNECT, ReconnectEnabled() ? 1 : 0);
    RefreshDeviceInfo();
}

int ComSelectChanged(int, int, int event, void*, int, int)
{
    if (event == EVENT_COMMIT) RefreshDeviceInfo();
    return 0;
}

namespace {

constexpr const char* kNetworkDeviceRow = QT_TRANSLATE_NOOP("PortPanel", "Network device…");

// The form's kinds, in the order of NetKind's choice below.
std::vector<std::string> AddressKinds()
{
    const std::vector<std::string> kinds = {
        said(QT_TRANSLATE_NOOP("PortPanel", "RFC 2217 (rfc2217://), settings sent from here")),
        said(QT_TRANSLATE_NOOP("PortPanel", "raw TCP (tcp://), settings are the server's"))};
    return kinds;
}

// Asks for a network device: host, port and kind, starting from the one
// `port` is bound to, else the most recent. Returns the device written out,
// or "" when the operator cancelled or typed something malformed (said in a
// box that names it).
std::string AskNetworkDevice(int port, const std::vector<std::string>& recent)
{
    ServerAddressEntry entry;
    netport::NetAddress start;
    std::string ignored;
    const std::string current = ComDevicePath(port);
    const std::string& first = netport::IsNetworkPath(current) || recent.empty() ? current : recent.front();
    if (netport::ParseNetAddress(first, &start, &ignored)) {
        entry.host = start.ipv6 ? "[" + start.host + "]" : start.host;
        entry.port = start.port;
        entry.kind = start.kind == netport::NetKind::RawTcp ? 1 : 0;
    }
    const std::string title =
        said(QT_TRANSLATE_NOOP("PortPanel", "Network device for COM%1"), std::to_string(port));
    if (ServerAddressPopup(title.c_str(), AddressKinds(), &entry) != 1) return "";
    netport::NetAddress typed;
    typed.kind = entry.kind == 1 ? netport::NetKind::RawTcp : netport::NetKind::ComPortControl;
    const std::size_t from = entry.host.find_first_not_of(" \t");
    const std::size_t to = entry.host.find_last_not_of(" \t");
    typed.host = from == std::string::npos ? std::string() : entry.host.substr(from, to - from + 1);
    if (typed.host.size() >= 2 && typed.host.front() == '[' && typed.host.back() == ']') {
        typed.host = typed.host.substr(1, typed.host.size() - 2);
    }
    typed.ipv6 = typed.host.find(':') != std::string::npos;
    typed.port = entry.port;
    const std::string path = netport::FormatNetAddress(typed);
    const std::string problem = netport::NetworkPathProblem(path);
    if (!problem.empty()) {
        errorBox(Utf8ToGbkLenient(problem));
        return "";
    }
    return path;
}

}  // namespace

std::vector<std::string> DeviceChoiceRows(const std::vector<SerialPortEntry>& present,
                                          const std::vector<std::string>& recent)
{
    std::vector<std::string> rows;
    rows.reserve(present.size() + recent.size() + 1);
    for (const SerialPortEntry& e : present) {
        rows.push_back(e.path + "\t" + (e.byIdPath.empty() ? "-" : e.byIdPath) + "\t" + DescribePort(e));
    }
    for (const std::string& path : recent)
        rows.push_back(path + "\t-\t" + said(QT_TRANSLATE_NOOP("PortPanel", "network device, used lately")));
    rows.push_back(said(kNetworkDeviceRow) + "\t\t" +
                   said(QT_TRANSLATE_NOOP("PortPanel", "host, port and kind of a serial device server")));
    return rows;
}

int ChooseDevice(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    const int port = selectedPort();
    if (port == 0) return 0;
    // The serial devices here, then the network devices bound lately, then
    // a row to name another one.
    const std::vector<SerialPortEntry> ports = ListSerialPorts();
    const std::vector<std::string> recent = RecentNetworkDevices();
    const std::vector<std::string> rows = DeviceChoiceRows(ports, recent);
    int chosen = -1;
    SelectionPopup(DeviceChooserTitle(port).c_str(), DeviceChooserColumns().c_str(), rows, &chosen);
    if (chosen < 0 || chosen >= static_cast<int>(rows.size())) return 0;
    const auto index = static_cast<std::size_t>(chosen);
    std::string path;
    if (index < ports.size()) {
        path = ports[index].stablePath();
    } else if (index < ports.size() + recent.size()) {
        path = recent[index - ports.size()];
    } else {
        path = AskNetworkDevice(port, recent);
        if (path.empty()) return 0;
    }
    SetComBinding(port, path);
    std::string error;
    if (!SaveComBinding(port, path, &error)) {
        errorBox(
            said(QT_TRANSLATE_NOOP("PortPanel",
                                   "The choice holds until the console ends, but it could not be kept: %1"),
                 error));
    }
    RefreshDeviceInfo();
    return 0;
}

int ReconnectSwitch(int panel, int control, int event, void*, int, int)
{
    if (event != EVENT_COMMIT) return 0;
    int on = 0;
    if (GetCtrlVal(panel, control, &on) < 0) return 0;
    SetReconnectEnabled(on != 0);
    if (on == 0) CancelPortWait();
    std::string error;
    if (!SaveReconnectChoice(on != 0, &error)) {
        errorBox(
            said(QT_TRANSLATE_NOOP("PortPanel",
                                   "The choice holds until the console ends, but it could not be kept: %1"),
                 error));
    }
    return 0;
}
