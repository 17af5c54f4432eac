#include "serial/port_open.h"

#include <QCoreApplication>
#include <QString>
#include <initializer_list>
#include <mutex>

#include "model/app_state.h"
#include "platform/os/gbk.h"
#include "platform/port/net_address.h"
#include "serial/line_machine.h"
#include "serial/password.h"
#include "serial/line_view.h"
#include "serial/port_gate.h"
#include "serial/port_opener.h"
#include "serial/reconnect.h"
#include "serial/rs232.h"

int comselect = 0;
int btlselect = 0;
int jhselect = 0;
int longselect = 0;
int stopselect = 0;

namespace {

constexpr int kQueueSize = 1024;
constexpr double kPortTimeoutSeconds = 5.0;

// Holds the communication thread, and the reconnect watcher, off the port
// while the port changes.
class CommThreadHold {
public:
    CommThreadHold() { HoldPortGate(); }
    ~CommThreadHold() { ReleasePortGate(); }
    CommThreadHold(const CommThreadHold&) = delete;
    CommThreadHold& operator=(const CommThreadHold&) = delete;
};

// The port opened last, as OpenPortDescription tells it.
class Description {
public:
    std::string text() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    void set(const PortOpening& o)
    {
        const SerialSettings& s = o.settings;
        const char parity = s.parity == 1 ? 'O' : s.parity == 2 ? 'E' : 'N';
        const std::string name = "COM" + std::to_string(o.port);
        // The device, unless it is the system's port of the same name (Windows).
        const std::string device = ComDevicePath(o.port);
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = name + (device == name ? "" : " " + device) + " " + std::to_string(s.baud) + " " +
                std::to_string(s.dataBits) + parity + std::to_string(s.stopBits);
    }
    void reset()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
};

Description& description()
{
    static Description* d = new Description;  // never destroyed: any thread may ask at the end
    return *d;
}

// The port open before: the operator's open closes it, a reconnect leaves one
// the operator opened meanwhile standing (false). (A port whose loss the
// communication thread has not acted on yet does not stand.)
bool takePort(const PortOpening& o, std::vector<const char*>* boxes)
{
    if (o.cause == PortOpenCause::Reconnect) {
        return !(comConfigure_success_flag.load() == 1 && !ComDeviceLost(active_comselect.load()));
    }
    if (comConfigure_success_flag.load() == 1 && CloseCom(active_comselect.load()) != 0) {
        boxes->push_back(QT_TRANSLATE_NOOP("PortPanel", "close failed!"));
    }
    return true;
}

// The device opened; false when it is not. With reconnection on, an absent
// device is waited for instead of reported.
bool openDevice(const PortOpening& o, std::vector<const char*>* boxes)
{
    const SerialSettings& s = o.settings;
    if (OpenComConfig(o.port, "", s.baud, s.parity, s.dataBits, s.stopBits, s.inputQueueSize,
                      s.outputQueueSize) >= 0) {
        return true;
    }
    if (o.cause == PortOpenCause::Reconnect) return false;
    comConfigure_success_flag = 0;
    if (ReconnectEnabled() && !DevicePresent(ComDevicePath(o.port))) {
        BeginPortWait(o.port, s);
        return false;
    }
    boxes->push_back(QT_TRANSLATE_NOOP("PortPanel", "config failed!"));
    return false;
}

// The operator's open, once the device is open: the line starts afresh with
// the framing chosen; a port whose time-out cannot be set is fatal.
void settleOperatorOpen(const PortOpening& o)
{
    const SerialSettings& s = o.settings;
    NotePortOpened(o.port, s);
    active_comselect = o.port;
    description().set(o);
    ResetLine("port opened again", o.keepPending);
    ArmFastLine(o.fastLine, s.baud, s.parity, s.dataBits, s.stopBits,
                netport::IsNetworkPath(ComDevicePath(o.port)));
    comConfigure_success_flag = 1;
    FlushInQ(o.port);
    if (SetComTime(o.port, kPortTimeoutSeconds) < 0) {
        const int code = ReturnRS232Err();
        // In the language installed, in the panels' code page, as the port panel's boxes.
        const std::string message = Utf8ToGbkLenient(
            QCoreApplication::translate("PortPanel", "Error Setting Com Time").toStdString());
        ErrorCheck(message.c_str(), code, GetRS232ErrorString(code));
    }
}

// A reconnect, once the device is open; false (the port closed again) when its
// time-out cannot be set. The password goes out before the thread's next pass:
// with the line taken, the echo is collected as the reply instead of running
// into a poll request.
bool settleReconnect(const PortOpening& o)
{
    FlushInQ(o.port);
    if (SetComTime(o.port, kPortTimeoutSeconds) < 0) {
        CloseCom(o.port);
        return false;
    }
    active_comselect = o.port;
    ResetLine("device lost", o.keepPending);
    comConfigure_success_flag = 1;
    SendPassword(PasswordCause::DeviceBack);
    return true;
}

}  // namespace

PortOpening SelectedPortOpening(const FastLineSettings& fastLine)
{
    PortOpening o;
    o.port = comselect;
    o.settings.baud = btlselect;
    o.settings.parity = jhselect;
    o.settings.dataBits = longselect;
    o.settings.stopBits = stopselect;
    o.settings.inputQueueSize = kQueueSize;
    o.settings.outputQueueSize = kQueueSize;
    o.fastLine = fastLine;
    return o;
}

PortOpening ReconnectOpening(int port, const SerialSettings& settings)
{
    PortOpening o;
    o.port = port;
    o.settings = settings;
    o.settings.inputQueueSize = kQueueSize;
    o.settings.outputQueueSize = kQueueSize;
    o.cause = PortOpenCause::Reconnect;
    o.keepPending = true;
    return o;
}

bool OpenPort(const PortOpening& o, std::vector<const char*>* boxes)
{
    std::vector<const char*> none;
    if (boxes == nullptr) boxes = &none;
    if (o.cause == PortOpenCause::Reconnect) {
        {
            CommThreadHold hold;
            if (!takePort(o, boxes)) return true;
            if (!openDevice(o, boxes) || !settleReconnect(o)) return false;
        }
        TheLineView().passwordPhaseBegins();
        return true;
    }
    {
        CommThreadHold hold;
        takePort(o, boxes);
        if (openDevice(o, boxes)) settleOperatorOpen(o);
    }
    const bool open = comConfigure_success_flag.load() == 1;
    if (open) {
        FastLineSettingsUsed(o.fastLine);
        TheLineView().portOpened();
        SendPassword(PasswordCause::PortOpened);
        TheLineView().passwordPhaseBegins();
    }
    TheLineView().portTitleChanged();
    return open;
}

bool ReopenPort(int port, const SerialSettings& settings)
{
    return OpenPort(ReconnectOpening(port, settings), nullptr);
}

PortClose ClosePort()
{
    PortClose result = PortClose::NotOpen;
    {
        CommThreadHold hold;
        if (comConfigure_success_flag.load() == 1) {
            result = CloseCom(active_comselect.load()) != 0 ? PortClose::Failed : PortClose::Closed;
            if (result == PortClose::Closed) {
                comConfigure_success_flag = 0;
                TheLine().portClosed("closed by the operator");
                TheLineView().transmitLed(0);
                TheLineView().receiveLed(0);
            }
        }
    }
    if (result == PortClose::Closed) TheLineView().portTitleChanged();
    return result;
}

std::string OpenPortDescription()
{
    return description().text();
}

void ResetPortOpen()
{
    for (int* value : {&comselect, &btlselect, &jhselect, &longselect, &stopselect}) *value = 0;
    ThePortOpener().join();
    description().reset();
}
