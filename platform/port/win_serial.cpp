#include "platform/port/win_serial.h"

#include <algorithm>

namespace winserial {

namespace {

constexpr std::uint32_t kForever = 0xFFFFFFFFu;  // MAXDWORD
// Longest single wait handed to the device; longer waits are several reads.
constexpr std::uint32_t kMaxWaitMs = 0xFFFFFFFEu;

// Win32 error codes (winerror.h) that mean the device is no longer there.
constexpr std::uint32_t kGoneErrors[] = {
    2,     // ERROR_FILE_NOT_FOUND
    5,     // ERROR_ACCESS_DENIED: a USB port whose device went away
    6,     // ERROR_INVALID_HANDLE
    21,    // ERROR_NOT_READY
    22,    // ERROR_BAD_COMMAND
    31,    // ERROR_GEN_FAILURE
    55,    // ERROR_DEV_NOT_EXIST
    109,   // ERROR_BROKEN_PIPE: the far side of the line closed
    995,   // ERROR_OPERATION_ABORTED
    1167,  // ERROR_DEVICE_NOT_CONNECTED
    1617,  // ERROR_DEVICE_REMOVED
};

}  // namespace

int MakeLineSettings(const SerialSettings& settings, LineSettings* out)
{
    if (CheckSerialSettings(settings) != kRs232NoError) return kRs232InvalidParameter;
    LineSettings l;
    l.baudRate = static_cast<std::uint32_t>(settings.baud);
    l.byteSize = static_cast<std::uint8_t>(settings.dataBits);
    l.parity = static_cast<std::uint8_t>(settings.parity);
    l.stopBits = settings.stopBits == 2 ? 2 : 0;
    l.replaceParityErrors = settings.parity != 0;
    l.inputQueue = static_cast<std::uint32_t>(settings.inputQueueSize);
    l.outputQueue = static_cast<std::uint32_t>(settings.outputQueueSize);
    *out = l;
    return kRs232NoError;
}

bool LineMatches(const LineSettings& wanted, const LineSettings& got, bool checkParity)
{
    return wanted.baudRate == got.baudRate && wanted.byteSize == got.byteSize &&
           wanted.stopBits == got.stopBits && (!checkParity || wanted.parity == got.parity);
}

ReadTimeouts ReadTimeoutsFor(std::uint32_t waitMs)
{
    // Interval "forever" with both totals 0 returns at once with what is
    // there; with the multiplier "forever" too and a constant between, the
    // read returns as soon as a byte is there, or empty after the constant.
    if (waitMs == 0) return {kForever, 0, 0};
    return {kForever, kForever, std::min(waitMs, kMaxWaitMs)};
}

bool DeviceGoneError(std::uint32_t code)
{
    return std::find(std::begin(kGoneErrors), std::end(kGoneErrors), code) != std::end(kGoneErrors);
}

}  // namespace winserial
