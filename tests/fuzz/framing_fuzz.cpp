// Feeds a reply stream to the line-rate receive step of the line machine, cut
// into chunks that arrive at chosen times on a scripted port and a stepped
// clock, and checks what the machine makes of it. The communication thread is
// played as in line-rate mode: it sends when the line is idle, quiet and past
// t3.5, and looks when a chunk arrives or when the machine asked to look.
//
// Input layout:
//   byte 0  the request (see kRequests; the last choice takes slave, function,
//           address and quantity from the 6 bytes after the cuts)
//   byte 1  the line settings that set t3.5: bits 0..2 the rate (kRates),
//           bit 3 parity, bit 4 seven data bits, bit 5 two stop bits
//   byte 2  the reply time-out, 10 x value ms brought into 100..2000 ms
//   byte 3  the number of cuts described next (value & 15)
//   2 bytes a cut: its chunk's length (bits 0..6), and bit 7 set when the
//           thread is late and does not look before the next chunk; the time
//           since the previous chunk (see gapUs)
//   rest    the stream; what the cuts leave arrives at once after them
//
// Checks, for every request sent:
//   - the exchange ends with exactly one report: a frame handed to the parser
//     or a time-out;
//   - a frame handed on is the bytes that arrived after the request, from the
//     first, and no more than a frame holds; an accepted one has the length its
//     request implies and a good CRC, a rejected one a rejection code;
//   - a complete reply that was taken is handed on at once; any other frame
//     ends once, and only once, t3.5 passed without a byte; a time-out never
//     swallows a complete reply;
//   - no wait outlives the reply time-out, and every wait the machine asks for
//     lies in the future (so the stepped clock always moves on).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "modbus/line_observer.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "platform/port/serial.h"
#include "serial/fast_line.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "tests/fuzz/fuzz_requests.h"
#include "tests/support/fake_serial.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kPort = 1;
constexpr std::int64_t kStartUs = 1'000'000'000;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// Far more steps than any input can need: more means the line never settles.
constexpr int kMaxSteps = 100000;

using fuzzreq::kChoices;
using fuzzreq::kRequests;
using fuzzreq::Request;
const long kRates[] = {1200, 2400, 4800, 9600, 19200, 115200, 19200, 115200};

// The harness's own state; every input starts it afresh.
struct Exchange {
    bool open = false;
    std::int64_t sentUs = 0;
    std::int64_t lastReadUs = -1;  // the last step that found bytes waiting
    bool waiting = false;          // bytes wait in the port's queue as the step begins
    Bytes arrived;                 // every byte since the request went out
    int ends = 0;                  // frames handed on and time-outs
};

std::int64_t g_nowUs = kStartUs;
testsupport::FakeSerialDriver* g_driver = nullptr;
unsigned char g_request[8];
std::int64_t g_silenceUs = 0;
std::int64_t g_timeoutUs = 0;
bool g_streamDone = false;
Exchange g_ex;

std::int64_t steppedUs()
{
    return g_nowUs;
}

void require(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "framing_fuzz: %s\n", what);
    std::abort();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    unsigned byte()
    {
        if (at_ >= size_) return 0;
        return data_[at_++];
    }
    Bytes take(std::size_t n)
    {
        if (n > size_ - at_) n = size_ - at_;
        Bytes out(data_ + at_, data_ + at_ + n);
        at_ += n;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Fine steps around t3.5, coarse ones beyond any reply time-out.
std::int64_t gapUs(unsigned g)
{
    if (g < 128) return static_cast<std::int64_t>(g) * g_silenceUs / 64;
    if (g < 192) {
        const std::int64_t near = g_silenceUs + static_cast<std::int64_t>(g) - 160;
        return near > 0 ? near : 0;
    }
    return static_cast<std::int64_t>(g - 191) * 40000;
}

void buildRequest(unsigned choice, Reader& in)
{
    if (static_cast<int>(choice % kChoices) < kChoices - 1) {
        const Request& r = kRequests[choice % kChoices];
        modbus_package(r.field, r.address, r.function, r.field);
        std::memcpy(g_request, modbus_tx_buffer, 8);
        return;
    }
    for (int i = 0; i < 6; ++i) g_request[i] = static_cast<unsigned char>(in.byte());
    const int crc = modrtuChecksum(g_request, 6);
    g_request[6] = static_cast<unsigned char>(crc >> 8);
    g_request[7] = static_cast<unsigned char>(crc & 0xFF);
}

bool acceptedCode(int result)
{
    return result == MODBUS_READ_ACCEPTED || result == MODBUS_WRITE_ECHO ||
           result == MODBUS_PASSWORD_ACCEPTED;
}

// The reply length a request implies and the frame check, worked out here
// rather than asked of the code under test.
int impliedLength(const unsigned char* reply, int length)
{
    if (length >= 2 && (reply[1] & 0x80) != 0) return 5;
    if (g_request[1] == 6) return 8;
    if (g_request[1] == 3) return 5 + 2 * (g_request[4] << 8 | g_request[5]);
    return 0;
}

bool crcHolds(const unsigned char* frame, int length)
{
    if (length < 4) return false;
    unsigned crc = 0xFFFF;
    for (int i = 0; i < length - 2; ++i) {
        crc ^= frame[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == crc >> 8;
}

bool isPrefixOfArrived(const unsigned char* bytes, int length)
{
    if (length < 0 || static_cast<std::size_t>(length) > g_ex.arrived.size()) return false;
    return length == 0 || std::memcmp(bytes, g_ex.arrived.data(), static_cast<std::size_t>(length)) == 0;
}

void observe(const LineReport& r)
{
    const bool frame = r.kind == LineReportKind::ReplyAccepted || r.kind == LineReportKind::ReplyRejected;
    if (!frame && r.kind != LineReportKind::Timeout) return;
    require(g_ex.open, "a reply reported with no request on the line");
    ++g_ex.ends;
    require(r.request != nullptr && std::memcmp(r.request, g_request, 8) == 0,
            "a reply reported against another request");
    require(r.length >= 0 && r.length <= MAX_REPLY_BYTES, "a reply longer than a frame holds");
    require(isPrefixOfArrived(r.bytes, r.length), "a reply that is not the bytes that arrived");
    if (r.kind == LineReportKind::Timeout) {
        require(g_nowUs - g_ex.sentUs > g_timeoutUs, "a time-out before the reply time-out");
        require(CompleteReplyLength(g_request, r.bytes, r.length) == 0, "a complete reply timed out");
        return;
    }
    require(r.length > 0, "an empty frame handed on");
    require(acceptedCode(r.result) == (r.kind == LineReportKind::ReplyAccepted),
            "a frame reported accepted or rejected against its parser code");
    const bool complete = CompleteReplyLength(g_request, r.bytes, r.length) == r.length;
    if (r.kind == LineReportKind::ReplyAccepted) {
        require(complete, "an accepted frame that is not complete and CRC-valid for its request");
        require(r.length == impliedLength(r.bytes, r.length) && crcHolds(r.bytes, r.length),
                "an accepted frame of another length than its request implies, or with a bad CRC");
    }
    if (!complete) {
        require(!g_ex.waiting && g_nowUs - g_ex.lastReadUs > g_silenceUs,
                "a frame cut before t3.5 of silence");
    }
}

// The request chooser: takes the idle line and builds the chosen request.
void chooseRequest()
{
    if (!TheLine().takeLine()) return;
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    std::memcpy(modbus_tx_buffer, g_request, 8);
    modbus_tx_frame_byte_num = 8;
    tx_package_flag = 1;
}

void send()
{
    TheLine().sendAtLineRate();
    require(com_idle.load() == 0, "the request did not take the line");
    const Bytes written = g_driver->takeWritten();
    require(written.size() == 8 && std::memcmp(written.data(), g_request, 8) == 0,
            "the request on the line is not the one chosen");
    g_ex = Exchange{};
    g_ex.open = true;
    g_ex.sentUs = g_nowUs;
}

// One step of the communication thread: what it does at the clock's time, and
// when it wants to look next.
std::int64_t step()
{
    LineMachine& line = TheLine();
    const std::int64_t now = g_nowUs;
    if (com_idle.load() == 1) {
        std::int64_t until = 0;
        if (!line.quiet(&until)) {
            require(until > now, "a quiet wait that does not move on");
            return until;
        }
        if (now < line.guardUntilUs()) return line.guardUntilUs();
        if (g_streamDone) return kNever;
        send();
    }
    g_ex.waiting = GetInQLen(kPort) > 0;
    const std::int64_t next = line.receive();
    if (g_ex.waiting) g_ex.lastReadUs = now;
    require(next > now, "the receive step asks to look again without the clock moving");
    if (com_idle.load() == 1) {
        require(g_ex.ends == 1, "an exchange that ends without exactly one report");
        g_ex.open = false;
        return now;  // the thread goes on at once: quiet wait, guard or the next request
    }
    require(g_ex.ends == 0, "a reply reported while the line stays busy");
    require(now - g_ex.sentUs <= g_timeoutUs, "a reply wait that outlives its time-out");
    require(next <= g_ex.sentUs + g_timeoutUs + 1, "a wait past the reply time-out");
    require(g_ex.lastReadUs < 0 || now - g_ex.lastReadUs <= g_silenceUs,
            "a frame that outlives t3.5 of silence");
    const int queued = GetInQLen(kPort);
    const std::size_t taken = g_ex.arrived.size() - static_cast<std::size_t>(queued > 0 ? queued : 0);
    const int held = static_cast<int>(taken < MAX_REPLY_BYTES ? taken : MAX_REPLY_BYTES);
    require(CompleteReplyLength(g_request, g_ex.arrived.data(), held) == 0, "a complete reply left waiting");
    return next;
}

int g_steps = 0;
void stepUntil(std::int64_t* wake, std::int64_t limit)
{
    while (*wake <= limit) {
        require(++g_steps <= kMaxSteps, "the line never settles");
        g_nowUs = *wake;
        *wake = step();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fillDataItems();
    g_driver = new testsupport::FakeSerialDriver;
    SetSerialDriver(g_driver);
    SetComDevice(kPort, "fuzz-port");
    if (OpenComConfig(kPort, "", 19200, 1, 8, 1, RECEIVE_BUFFER_SIZE, RECEIVE_BUFFER_SIZE) != 0) {
        std::fprintf(stderr, "framing_fuzz: the scripted port did not open\n");
        std::abort();
    }
    TheLine().observers().add(observe);
    TheLine().setRequestChooser(chooseRequest);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    const unsigned choice = in.byte();
    const unsigned line = in.byte();
    const unsigned timeout = in.byte();
    const unsigned cuts = in.byte() & 15u;
    struct Chunk {
        std::size_t length;
        bool late;
        unsigned gap;
    };
    std::vector<Chunk> chunks;
    for (unsigned i = 0; i < cuts; ++i) {
        const unsigned length = in.byte();
        chunks.push_back({length & 0x7Fu, (length & 0x80u) != 0, in.byte()});
    }

    LineMachine& machine = TheLine();
    machine.reset();
    machine.setClock(steppedUs);
    g_nowUs = kStartUs;
    g_silenceUs = InterFrameSilenceUs(kRates[line & 7u], (line & 8u) != 0 ? 1 : 0, (line & 16u) != 0 ? 7 : 8,
                                      (line & 32u) != 0 ? 2 : 1);
    const int timeoutMs = ClampReplyTimeoutMs(10.0 * timeout);
    g_timeoutUs = timeoutMs * 1000LL;
    machine.arm(Framing::LineRate, timeoutMs, g_silenceUs);
    buildRequest(choice, in);
    active_comselect = kPort;
    comConfigure_success_flag = 1;
    hci_commnication_enable_5927 = 1;
    FlushInQ(kPort);
    g_driver->takeWritten();
    g_ex = Exchange{};
    g_streamDone = false;
    g_steps = 0;

    chunks.push_back({std::numeric_limits<std::size_t>::max(), false, 0});
    std::int64_t wake = g_nowUs;
    std::int64_t arrivedAt = g_nowUs;
    bool late = false;
    for (const Chunk& c : chunks) {
        const std::int64_t at = arrivedAt + gapUs(c.gap);
        if (!late) stepUntil(&wake, at);
        g_nowUs = at;
        arrivedAt = at;
        const Bytes bytes = in.take(c.length);
        if (!bytes.empty()) {
            g_driver->arrive(bytes);
            if (g_ex.open) g_ex.arrived.insert(g_ex.arrived.end(), bytes.begin(), bytes.end());
        }
        late = c.late;
        if (!late) {
            require(++g_steps <= kMaxSteps, "the line never settles");
            wake = step();
        }
    }
    g_streamDone = true;
    stepUntil(&wake, kNever - 1);
    require(!g_ex.open, "a request still awaits its reply at the end");
    return 0;
}
