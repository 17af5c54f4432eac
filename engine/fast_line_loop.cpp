#include "engine/fast_line_loop.h"

#include <algorithm>

#include "engine/ems.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/password.h"
#include "serial/rs232.h"

namespace {

constexpr std::int64_t kPassUs = 100000;
constexpr std::int64_t kLedStepUs = 100000;  // the LEDs blink on the 100 ms pass
constexpr std::int64_t kIdleLookUs = 10000;  // with nothing to send, look again this soon
constexpr std::int64_t kLongestWaitUs = 100000;
// A password write made due by the slow timer gets the line held idle this
// long, so that the 50 ms timer finds it idle as it would between passes.
constexpr std::int64_t kPasswordYieldUs = 150000;

class LineRate final : public LineFraming {
public:
    void sendRequest(LineMachine& line) override { line.sendAtLineRate(); }

    LineWait openStep(LineMachine& line, SendStep send) override
    {
        const std::int64_t now = line.now();
        if (now >= nextLedUs_ || nextLedUs_ - now > kLedStepUs) {
            nextLedUs_ = now + kLedStepUs;
            transmitLedStep();
            line.receiveLedStep();
        }
        // Either write of the password, the port panel's or this thread's, may
        // be the second one whose echo is still to come.
        const int passwordState = hci_commnication_enable_5927.load();
        if (passwordState == 1 && lastPasswordState_ == 0) line.requireQuiet();
        lastPasswordState_ = passwordState;
        if (com_idle.load() == 1) {
            std::int64_t quietUntil = 0;
            if (!line.quiet(&quietUntil)) return {std::min(quietUntil, nextLedUs_), true};
        }
        if (com_idle.load() == 1 && now >= line.guardUntilUs() && !yieldToPasswordTimer(now))
            send(line, *this);
        if (com_idle.load() == 0 && comConfigure_success_flag.load() == 1) {
            const std::int64_t next = line.receive();
            if (com_idle.load() == 0) return {std::min(next, nextLedUs_), true};
        }
        const std::int64_t later = line.now();
        const std::int64_t guard = line.guardUntilUs();
        if (later < guard) return {guard, false};
        return {std::min(later + kIdleLookUs, nextLedUs_), false};
    }

    LineWait closedWait(LineMachine& line) override { return {line.now() + kPassUs, false}; }

    void wait(LineMachine& line, const LineWait& wait) override
    {
        std::int64_t left = wait.untilUs - line.now();
        if (left <= 0) return;
        left = std::min(left, kLongestWaitUs);
        if (wait.forInput && WaitInput(active_comselect.load(), left) >= 0) return;
        Sleep(static_cast<int>((left + 999) / 1000));
    }

    void reset() override
    {
        nextLedUs_ = 0;
        passwordDueSinceUs_ = -1;
        lastPasswordState_ = 0;
    }

private:
    bool yieldToPasswordTimer(std::int64_t now)
    {
        if (!PasswordWriteDue()) {
            passwordDueSinceUs_ = -1;
            return false;
        }
        if (passwordDueSinceUs_ < 0) passwordDueSinceUs_ = now;
        return now - passwordDueSinceUs_ < kPasswordYieldUs;
    }

    // The communication thread's own.
    std::int64_t nextLedUs_ = 0;
    std::int64_t passwordDueSinceUs_ = -1;
    int lastPasswordState_ = 0;
};

}  // namespace

LineFraming& LineRateFraming()
{
    static LineRate framing;
    return framing;
}

void ResetFastLineLoop()
{
    LineRateFraming().reset();
}
