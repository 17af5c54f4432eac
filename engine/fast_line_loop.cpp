#include "engine/fast_line_loop.h"

#include <algorithm>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/data_item.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"
#include "serial/port_gate.h"
#include "serial/port_open.h"
#include "serial/rs232.h"

namespace {

constexpr int kPassMs = 100;
constexpr std::int64_t kPassUs = 100000;
constexpr std::int64_t kLedStepUs = 100000;  // the LEDs blink on the 100 ms pass
constexpr std::int64_t kIdleLookUs = 10000;  // with nothing to send, look again this soon
constexpr std::int64_t kLongestWaitUs = 100000;
// A password write made due by the slow timer gets the line held idle this
// long, so that the 50 ms timer finds it idle as it would between passes.
constexpr std::int64_t kPasswordYieldUs = 150000;

// The communication thread's own; ResetFastLineLoop sets it back.
struct LoopState {
    std::int64_t nextLedUs = 0;
    std::int64_t passwordDueSinceUs = -1;
    int lastPasswordState = 0;
};
LoopState g_loop;

bool yieldToPasswordTimer(std::int64_t now)
{
    if (communication_password_sendFlag.load() != 1) {
        g_loop.passwordDueSinceUs = -1;
        return false;
    }
    if (g_loop.passwordDueSinceUs < 0) g_loop.passwordDueSinceUs = now;
    return now - g_loop.passwordDueSinceUs < kPasswordYieldUs;
}

void sendNext(LineMachine& line)
{
    if (hci_commnication_enable_5927.load() == 1) {
        line.sendAtLineRate();
    } else {
        line.sendPassword(kPassMs);
    }
}

}  // namespace

FastLineWait FastLineThreadStep()
{
    LineMachine& line = TheLine();
    const std::int64_t now = line.now();
    if (comConfigure_success_flag.load() != 1) {
        PortClosedPass();
        return {now + kPassUs, false};
    }
    if (now >= g_loop.nextLedUs || g_loop.nextLedUs - now > kLedStepUs) {
        g_loop.nextLedUs = now + kLedStepUs;
        transmitLedStep();
        line.receiveLedStep();
    }
    // Either write of the password, the port panel's or this thread's, may be
    // the second one whose echo is still to come.
    const int passwordState = hci_commnication_enable_5927.load();
    if (passwordState == 1 && g_loop.lastPasswordState == 0) line.requireQuiet();
    g_loop.lastPasswordState = passwordState;
    if (com_idle.load() == 1) {
        std::int64_t quietUntil = 0;
        if (!line.quiet(&quietUntil)) return {std::min(quietUntil, g_loop.nextLedUs), true};
    }
    if (com_idle.load() == 1 && now >= line.guardUntilUs() && !yieldToPasswordTimer(now)) sendNext(line);
    if (com_idle.load() == 0 && comConfigure_success_flag.load() == 1) {
        const std::int64_t next = line.receive();
        if (com_idle.load() == 0) return {std::min(next, g_loop.nextLedUs), true};
    }
    const std::int64_t later = line.now();
    const std::int64_t guard = line.guardUntilUs();
    if (later < guard) return {guard, false};
    return {std::min(later + kIdleLookUs, g_loop.nextLedUs), false};
}

void FastLineThreadRound()
{
    HoldPortGate();
    const FastLineWait wait = FastLineThreadStep();
    ReleasePortGate();
    std::int64_t left = wait.untilUs - TheLine().now();
    if (left <= 0) return;
    left = std::min(left, kLongestWaitUs);
    if (wait.forInput && WaitInput(active_comselect.load(), left) >= 0) return;
    Sleep(static_cast<int>((left + 999) / 1000));
}

void ResetFastLineLoop()
{
    g_loop = LoopState{};
}
