#include "serial/fast_line.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "serial/line_machine.h"

namespace {

constexpr long kFixedSilenceAboveBaud = 19200;

std::atomic<FastLineArmedHook>& armedHook()
{
    static std::atomic<FastLineArmedHook> hook{nullptr};
    return hook;
}

}  // namespace

int ClampReplyTimeoutMs(double ms)
{
    if (std::isnan(ms)) return FAST_LINE_TIMEOUT_DEFAULT_MS;
    if (ms < FAST_LINE_TIMEOUT_MIN_MS) return FAST_LINE_TIMEOUT_MIN_MS;
    if (ms > FAST_LINE_TIMEOUT_MAX_MS) return FAST_LINE_TIMEOUT_MAX_MS;
    return static_cast<int>(ms);
}

int ClampPanelReplyTimeoutMs(double ms)
{
    if (std::isnan(ms)) return FAST_LINE_TIMEOUT_DEFAULT_MS;
    if (ms < FAST_LINE_TIMEOUT_MIN_MS) return FAST_LINE_TIMEOUT_MIN_MS;
    if (ms > NETWORK_REPLY_TIMEOUT_MAX_MS) return NETWORK_REPLY_TIMEOUT_MAX_MS;
    return static_cast<int>(ms);
}

std::int64_t InterFrameSilenceUs(long baud, int parity, int dataBits, int stopBits)
{
    if (baud > kFixedSilenceAboveBaud) return FAST_LINE_FIXED_SILENCE_US;
    if (baud <= 0) baud = 1;
    const std::int64_t bits =
        1 + (dataBits > 0 ? dataBits : 8) + (parity != 0 ? 1 : 0) + (stopBits > 1 ? 2 : 1);
    // 3.5 characters, rounded up to whole microseconds.
    return (7 * bits * 1000000 + 2 * baud - 1) / (2 * baud);
}

void ArmFastLine(const FastLineSettings& settings, long baud, int parity, int dataBits, int stopBits,
                 bool network)
{
    // Never shorter than 2 s: a network's delays are not taken for silence.
    const int passes = network ? std::max(REPLY_TIMEOUT_MS, ClampPanelReplyTimeoutMs(settings.replyTimeoutMs))
                               : REPLY_TIMEOUT_MS;
    TheLine().arm(settings.enabled ? Framing::LineRate : Framing::Passes,
                  ClampReplyTimeoutMs(settings.replyTimeoutMs),
                  InterFrameSilenceUs(baud, parity, dataBits, stopBits), passes);
}

void FastLineSettingsUsed(const FastLineSettings& settings)
{
    if (const FastLineArmedHook hook = armedHook().load()) {
        FastLineSettings kept = settings;
        kept.replyTimeoutMs = ClampPanelReplyTimeoutMs(settings.replyTimeoutMs);
        hook(kept);
    }
}

bool FastLineActive()
{
    return TheLine().framing() == Framing::LineRate;
}

int FastLineReplyTimeoutMs()
{
    return TheLine().replyTimeoutMs();
}

void SetFastLineArmedHook(FastLineArmedHook hook)
{
    armedHook().store(hook);
}
