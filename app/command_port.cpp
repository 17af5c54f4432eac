#include "app/command_port.h"

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/net_device.h"
#include "platform/port/serial.h"
#include "serial/fast_line.h"
#include "serial/line_machine.h"
#include "serial/password.h"
#include "serial/replay_port.h"
#include "serial/rs232.h"

namespace {

constexpr int kCommandPort = 1;  // the COM number the device is bound to for the run
constexpr int kPasswordDueMs = 10000;
constexpr int kPasswordCheckMs = 50;

}  // namespace

namespace {

// The port of a replay is the capture's own, as it was when the capture began.
CommandPortOptions replayed(const CommandPortOptions& o, FastLineSettings* fastLine)
{
    if (o.replay == nullptr) return o;
    CommandPortOptions r = o;
    const ReplayLine line = ReplayLineOf(o.replay->recording().blocks().front().port);
    r.device = o.replay->devicePath();
    r.baud = line.baud;
    r.parity = line.parity;
    r.dataBits = line.dataBits;
    r.stopBits = line.stopBits;
    r.fastLine = line.lineRate;
    if (line.replyTimeoutMs > 0) fastLine->replyTimeoutMs = ClampReplyTimeoutMs(line.replyTimeoutMs);
    return r;
}

}  // namespace

CommandPort::CommandPort(const CommandPortOptions& options, CommandReads reads)
    : device_(options.device), wiring_(TheLine())
{
    FastLineSettings fastLine;
    const CommandPortOptions o = replayed(options, &fastLine);
    device_ = o.device;
    // A new line: nothing awaited, the password not yet accepted.
    com_idle = 1;
    hci_commnication_enable_5927 = 0;
    fillDataItems();
    // Only what the command needs is read: the pages, or the status block.
    const bool pages = reads != CommandReads::Status;
    for (const ItemTable& t : kPageTables) t.items[0].query_flag = pages ? 1 : 0;
    kStatusTable.items[0].query_flag = reads != CommandReads::Pages ? 1 : 0;
    query_enable_flag = 1;
    SetComDevice(kCommandPort, o.device);
    comselect = kCommandPort;
    btlselect = static_cast<int>(o.baud);
    jhselect = o.parity;
    longselect = o.dataBits;
    stopselect = o.stopBits;
    fastLine.enabled = o.fastLine;
    ConfigureSelectedPort(fastLine);
    if (comConfigure_success_flag.load() != 1) return;
    StartCommThread();
    timers_ = std::thread([this] { runPasswordTimers(); });
}

CommandPort::~CommandPort()
{
    stop_ = true;
    if (timers_.joinable()) timers_.join();
    StopCommThread();
    if (comConfigure_success_flag.load() == 1) CloseCom(active_comselect.load());
    comConfigure_success_flag = 0;
    // A write given up on still ends, and reaches the journal.
    AbandonWrites(kCommandEnded);
}

bool CommandPort::open() const
{
    return RS232COMThreadHandle.load() != 0;
}

std::string CommandPort::openFailure() const
{
    const std::string why = netport::NetworkPortDriver().lastFailure(device_);
    return "cannot open " + device_ + (why.empty() ? "" : ": " + why);
}

void CommandPort::runPasswordTimers()
{
    std::int64_t due = ClockMs() + kPasswordDueMs;
    while (!stop_.load()) {
        if (ClockMs() >= due) {
            MarkPasswordDue();
            due = ClockMs() + kPasswordDueMs;
        }
        SendDuePassword();  // a failed write is made again when next due
        Sleep(kPasswordCheckMs);
    }
}
