// Feeds arbitrary reply bytes to the reply parser, first directly and then
// through the receive step over a scripted port with a clock that advances.
//
// Input layout:
//   byte 0  which request the reply answers (see kRequests; the last choice
//           takes slave, function, address and quantity from bytes 3..8)
//   byte 1  chunk size for the receive step: 1 + (byte & 31) bytes arrive
//           before a poll
//   byte 2  timing for the receive step: bits 0..2 the quiet polls between
//           chunks (3 or more end a frame), bits 3..5 the poll period,
//           60 + 10 x value milliseconds
//   rest    the reply bytes
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/data_item.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/rs232.h"
#include "tests/fuzz/fuzz_requests.h"
#include "tests/support/fake_serial.h"

namespace {

constexpr int kPort = 1;
constexpr int kHeader = 3;
// Enough quiet polls at the shortest period for any frame to end or time out.
constexpr int kQuietPolls = 2 * REPLY_TIMEOUT_MS / 60 + 5;

using fuzzreq::kChoices;
using fuzzreq::kRequests;
using fuzzreq::Request;

std::atomic<std::int64_t> g_now{0};
std::int64_t FakeNow()
{
    return g_now.load();
}

testsupport::FakeSerialDriver* g_driver = nullptr;
bool g_portOpen = false;

// Builds the chosen request into `request` (8 bytes).
void BuildRequest(const std::uint8_t* data, std::size_t size, unsigned char* request)
{
    const int choice = data[0] % kChoices;
    if (choice < kChoices - 1) {
        const Request& r = kRequests[choice];
        modbus_package(r.field, r.address, r.function, r.field);
        std::memcpy(request, modbus_tx_buffer, 8);
        return;
    }
    // A request of any shape: slave, function, address and quantity from the input.
    unsigned char head[6] = {};
    std::memcpy(head, data + kHeader, size - kHeader < sizeof head ? size - kHeader : sizeof head);
    std::memcpy(request, head, sizeof head);
    const int crc = modrtuChecksum(request, 6);
    request[6] = static_cast<unsigned char>(crc >> 8);
    request[7] = static_cast<unsigned char>(crc & 0xFF);
}

// Runs the reply through the receive step as it would arrive on the line.
void FeedReceiveStep(const unsigned char* request, const unsigned char* reply, std::size_t length,
                     std::size_t chunk, unsigned timing)
{
    const int gapPolls = static_cast<int>(timing & 7u);
    const int pollMs = 60 + 10 * static_cast<int>((timing >> 3) & 7u);
    const auto poll = [pollMs] {
        RS232Rec();
        g_now += pollMs;
    };
    if (!g_portOpen) return;
    std::memcpy(modbus_tx_buffer, request, 8);
    modbus_tx_frame_byte_num = 8;
    // Start every input from an idle receive state with an empty queue.
    FlushInQ(kPort);
    receive_count = 0;
    receive_frame_end_delay = 0;
    receive_frame_end_flag = 0;
    com_idle_delay = 0;
    comConfigure_success_flag = 1;
    active_comselect = kPort;
    com_idle = 0;

    for (std::size_t at = 0; at < length; at += chunk) {
        const std::size_t n = length - at < chunk ? length - at : chunk;
        g_driver->arrive(std::vector<unsigned char>(reply + at, reply + at + n));
        poll();
        for (int i = 0; i < gapPolls; ++i) poll();
    }
    for (int i = 0; i < kQuietPolls && com_idle.load() == 0; ++i) poll();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fillDataItems();
    SetClockSource(&FakeNow);
    g_driver = new testsupport::FakeSerialDriver;
    SetSerialDriver(g_driver);
    SetComDevice(kPort, "fuzz-port");
    g_portOpen = OpenComConfig(kPort, "", 9600, 0, 8, 1, RECEIVE_BUFFER_SIZE, RECEIVE_BUFFER_SIZE) == 0;
    if (!g_portOpen) std::fprintf(stderr, "parser_fuzz: port did not open; the receive step is not fed\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeader) return 0;
    // Exact-size copies, so that any read past either frame is caught.
    auto request = std::make_unique<unsigned char[]>(8);
    BuildRequest(data, size, request.get());
    const std::size_t length = size - kHeader;
    auto reply = std::make_unique<unsigned char[]>(length);
    if (length > 0) std::memcpy(reply.get(), data + kHeader, length);

    const int result = modbus_unpackage(reply.get(), static_cast<int>(length), request.get());
    if (result < MODBUS_UNKNOWN_BLOCK || result > MODBUS_READ_ACCEPTED) __builtin_trap();

    FeedReceiveStep(request.get(), reply.get(), length, 1 + (data[1] & 31u), data[2]);
    return 0;
}
