// The communication thread: one loop over the serial line for both framings
// (engine/line_framing.h), a pass every 100 ms or the rounds of line-rate
// polling (engine/fast_line_loop.cpp) while it is armed.
#include <cmath>

#include "engine/ems.h"
#include "engine/fast_line_loop.h"
#include "engine/line_framing.h"
#include "modbus/line_state.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/os/clock.h"
#include "platform/os/threads.h"
#include "serial/fast_line.h"
#include "serial/line_machine.h"
#include "serial/line_view.h"
#include "serial/password.h"
#include "serial/port_gate.h"
#include "serial/port_open.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"

namespace {

constexpr int kPassMs = 100;

// Stage 1: the first pending write, pages in order, entries in index order;
// urgent writes before all others.
bool takePendingWrite()
{
    for (const int flag : {SEND_URGENT, SEND_PENDING}) {
        for (const ItemTable& t : kPageTables) {
            for (int i = 0; i < t.count; ++i) {
                DataItem& item = t.items[i];
                if (item.send_flag.load() != flag) continue;
                if (!take_idle_line()) return true;  // the password timer was quicker
                std::uint16_t word = 0;
                if (!TakeWrite(item, &word)) {
                    com_idle = 1;  // the mark was withdrawn meanwhile (the port closed)
                    return true;
                }
                modbus_package(word, item.address.load(), 6, 0);
                tx_package_flag = 1;
                return true;
            }
        }
    }
    return false;
}

// Stage 2: the first page table marked for reading.
bool takePageRead()
{
    for (const ItemTable& t : kPageTables) {
        if (t.items[0].query_flag.load() != 1) continue;
        if (!take_idle_line()) return true;
        DataItem& head = t.items[0];
        head.query_flag = 0;
        // One request is on the line at a time: a reply stored from here on
        // answers this read or a later one (see psets::ReadPagesFresh).
        head.count_at_send.store(head.read_count.load());
        head.read_sent.fetch_add(1);
        modbus_package(0, head.address.load(), 3, t.count);
        tx_package_flag = 1;
        return true;
    }
    return false;
}

// Stage 3: the status table, whose mark is never cleared.
void takeStatusRead()
{
    if (kStatusTable.items[0].query_flag.load() != 1) return;
    if (!take_idle_line()) return;
    modbus_package(0, kStatusTable.items[0].address.load(), 3, kStatusTable.count);
    tx_package_flag = 1;
}

}  // namespace

void transmitLedStep()
{
    if (tx_package_flag_send.exchange(0) == 1) {
        sendLedON_1 = 1;
    } else {
        sendLedON_1 = 0;
    }
    int lit = 0;
    if (sendLedON.load() == 1 || sendLedON_1.load() == 1) {
        lit = blinkStep(sendLedShineDelay);
    } else {
        sendLedShineDelay = 0;
    }
    TheLineView().transmitLed(lit);
}

void buildNextRequest()
{
    if (takePendingWrite()) return;
    if (query_enable_flag.load() != 1) return;
    if (takePageRead()) return;
    takeStatusRead();
}

void PortClosedPass()
{
    for (const ItemTable& t : kPageTables) t.items[0].query_flag = 1;
    // While the console waits to reconnect, writes not yet sent stay for the device's return.
    AbandonWrites("port not open", ReconnectEnabled());
}

namespace {

constexpr std::int64_t kPassUs = 100000;

// The choice both framings make when they let a request out: the password
// until the controller has accepted it, then the next request.
PasswordSend sendPasswordOrNext(LineMachine& line, LineFraming& framing)
{
    if (Unlocked()) {
        framing.sendRequest(line);
        return PasswordSend::Sent;
    }
    return SendPassword(PasswordCause::LoopStep, kPassMs);
}

class Passes final : public LineFraming {
public:
    void sendRequest(LineMachine& line) override { line.send(); }

    LineWait openStep(LineMachine& line, SendStep send) override
    {
        if (send(line, *this) == PasswordSend::Failed) return {0, false, true};
        transmitLedStep();
        line.receivePass();
        return {line.now() + kPassUs, false};
    }

    LineWait closedWait(LineMachine& line) override { return {line.now() + kPassUs, false}; }

    void wait(LineMachine&, const LineWait&) override { PassPause(kPassMs); }
};

// One step of the loop, holding the port gate.
LineWait commStep(LineMachine& line, LineFraming& framing)
{
    if (!PortOpen()) {
        PortClosedPass();
        return framing.closedWait(line);
    }
    return framing.openStep(line, sendPasswordOrNext);
}

}  // namespace

LineFraming& PassesFraming()
{
    static Passes framing;
    return framing;
}

int RS232COMThreadPass()
{
    return commStep(TheLine(), PassesFraming()).passwordFailed ? -1 : 0;
}

int RS232COMThread(void*)
{
    LineMachine& line = TheLine();
    while (RS232COMThreadStop.load() == 0) {
        LineFraming& framing = FastLineActive() ? LineRateFraming() : PassesFraming();
        HoldPortGate();
        const LineWait wait = commStep(line, framing);
        ReleasePortGate();
        framing.wait(line, wait);
    }
    RS232COMThreadStatue = 1;
    return 0;
}

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
