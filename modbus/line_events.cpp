#include "modbus/line_events.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "modbus/reply_codes.h"
#include "modbus/request_view.h"
#include "model/data_item.h"
#include "platform/os/clock.h"

namespace {

// The line's events and counters, and the request that awaits its reply.
// Everything is guarded by `mutex`. The critical sections copy at most one
// frame, or a reader's batch of events.
struct LineEventState {
    std::mutex mutex;
    // Written whole when the program starts, so that its 1 MiB is resident from
    // the start: an array left to the loader would become resident a page at a
    // time as the ring first fills, which at the standard polling rate reads as
    // growth for twenty minutes.
    std::vector<LineEvent> ring = std::vector<LineEvent>(kLineEventCapacity);
    std::uint64_t sequence = 0;  // of the newest event; 0: none yet
    LinkCounters counters;
    unsigned char request[8] = {};
    int requestLength = 0;
    std::int64_t requestEndUs = -1;
    std::int64_t lastByteUs = -1;
    // A request went out while another still awaited its reply (a password write
    // from the UI thread): which reply answers which is unknown, so the next
    // reply gets no response time.
    bool overlapped = false;
    // The request awaited went out before the counters were reset: its reply or
    // time-out is an event for the readers but counts for nothing.
    bool sentBeforeReset = false;

    // Nothing awaits a reply any more (the port closed or opened anew): the next
    // request starts afresh, with nothing before it to overlap. `mutex` held.
    void forgetRequestLocked()
    {
        requestLength = 0;
        requestEndUs = -1;
        lastByteUs = -1;
        overlapped = false;
        sentBeforeReset = false;
    }
    // The counters and the request awaited as at start-up; the events kept
    // for the readers stay.
    void reset()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        counters = LinkCounters{};
        forgetRequestLocked();
    }
};

LineEventState g_line;

int clampLength(const unsigned char* bytes, int length)
{
    if (bytes == nullptr || length <= 0) return 0;
    return std::min(length, kLineEventBytes);
}

// Fills the next ring slot; g_line.mutex held.
LineEvent& nextSlotLocked(LineEventKind kind, std::int64_t nowUs, std::int64_t wallMs)
{
    ++g_line.sequence;
    LineEvent& e = g_line.ring[static_cast<std::size_t>(g_line.sequence % kLineEventCapacity)];
    e.sequence = g_line.sequence;
    e.kind = kind;
    e.result = 0;
    e.clockUs = nowUs;
    e.wallMs = wallMs;
    e.responseUs = -1;
    e.requestLength = 0;
    e.length = 0;
    return e;
}

void copyBytes(LineEvent& e, const unsigned char* bytes, int length)
{
    e.length = clampLength(bytes, length);
    if (e.length > 0) std::memcpy(e.bytes, bytes, static_cast<size_t>(e.length));
}

void attachRequestLocked(LineEvent& e)
{
    e.requestLength = g_line.requestLength;
    std::memcpy(e.request, g_line.request, sizeof e.request);
}

bool isPasswordWrite(const unsigned char* frame, int length)
{
    const RequestView request = ViewRequest(frame, length);
    return request.isWrite() && request.address == PASSWORD_REGISTER;
}

void countResultLocked(int result)
{
    if (IsAcceptedResult(result)) {
        ++g_line.counters.repliesOk;
    } else if (result == MODBUS_BAD_CRC) {
        ++g_line.counters.crcErrors;
    } else if (result >= MODBUS_EXCEPTION_4 && result <= MODBUS_EXCEPTION_1) {
        ++g_line.counters.exceptions;
    } else {
        ++g_line.counters.otherRejects;
    }
}

}  // namespace

double LinkCounters::responseMeanUs() const
{
    if (responses == 0) return -1.0;
    return static_cast<double>(responseSumUs) / static_cast<double>(responses);
}

bool IsAcceptedResult(int result)
{
    return result == MODBUS_READ_ACCEPTED || result == MODBUS_PASSWORD_ACCEPTED ||
           result == MODBUS_WRITE_ECHO;
}

const char* ResultInWords(int result)
{
    switch (result) {
        case MODBUS_READ_ACCEPTED:
            return "read stored";
        case MODBUS_PASSWORD_ACCEPTED:
            return "password accepted";
        case MODBUS_BAD_SLAVE:
            return "wrong slave address";
        case MODBUS_BAD_FUNCTION:
            return "wrong function code";
        case MODBUS_BAD_CRC:
            return "CRC or length wrong";
        case MODBUS_WRITE_ECHO:
            return "write echoed";
        case MODBUS_EXCEPTION_1:
            return "exception 1: illegal function";
        case MODBUS_EXCEPTION_2:
            return "exception 2: illegal data address";
        case MODBUS_EXCEPTION_3:
            return "exception 3: illegal data value";
        case MODBUS_EXCEPTION_4:
            return "exception 4: slave device failure";
        case MODBUS_UNKNOWN_BLOCK:
            return "block not in any table";
        default:
            return "unknown result";
    }
}

void RecordLineReport(const LineReport& r)
{
    switch (r.kind) {
        case LineReportKind::RequestSent:
            LineRequestSent(r.bytes, r.length);
            break;
        case LineReportKind::BytesReceived:
            LineBytesReceived(r.count);
            break;
        case LineReportKind::ReplyAccepted:
        case LineReportKind::ReplyRejected:
            LineReplyParsed(r.bytes, r.length, r.result);
            break;
        case LineReportKind::Timeout:
            LineReplyTimeout(r.bytes, r.length);
            break;
        case LineReportKind::PortFailed:
            LinePortError(r.text);
            break;
        case LineReportKind::PortClosed:
        case LineReportKind::PortOpened:
            LinePortChanged();
            break;
        case LineReportKind::PasswordAccepted:
        case LineReportKind::BytesDiscarded:
            break;
    }
}

void LinePortChanged()
{
    std::lock_guard<std::mutex> lock(g_line.mutex);
    g_line.forgetRequestLocked();
}

void LineRequestSent(const unsigned char* frame, int length)
{
    const std::int64_t nowUs = ClockUs();
    const std::int64_t wallMs = WallClockMs();
    const int kept = clampLength(frame, length);
    {
        std::lock_guard<std::mutex> lock(g_line.mutex);
        LineEvent& e = nextSlotLocked(LineEventKind::RequestSent, nowUs, wallMs);
        copyBytes(e, frame, length);
        g_line.requestLength = std::min(kept, static_cast<int>(sizeof g_line.request));
        if (g_line.requestLength > 0)
            std::memcpy(g_line.request, frame, static_cast<size_t>(g_line.requestLength));
        g_line.overlapped = g_line.requestEndUs >= 0 || g_line.sentBeforeReset;
        g_line.requestEndUs = nowUs;
        g_line.lastByteUs = -1;
        g_line.sentBeforeReset = false;
        ++g_line.counters.requests;
        if (isPasswordWrite(frame, kept)) ++g_line.counters.passwordWrites;
        g_line.counters.bytesSent += static_cast<std::uint64_t>(std::max(length, 0));
    }
}

void LineBytesReceived(int count)
{
    if (count <= 0) return;
    const std::int64_t nowUs = ClockUs();
    std::lock_guard<std::mutex> lock(g_line.mutex);
    if (!g_line.sentBeforeReset) g_line.counters.bytesReceived += static_cast<std::uint64_t>(count);
    g_line.lastByteUs = nowUs;
}

void LineReplyParsed(const unsigned char* frame, int length, int result)
{
    const std::int64_t nowUs = ClockUs();
    const std::int64_t wallMs = WallClockMs();
    const bool accepted = IsAcceptedResult(result);
    {
        std::lock_guard<std::mutex> lock(g_line.mutex);
        LineEvent& e = nextSlotLocked(accepted ? LineEventKind::ReplyAccepted : LineEventKind::ReplyRejected,
                                      nowUs, wallMs);
        e.result = result;
        copyBytes(e, frame, length);
        attachRequestLocked(e);
        const std::int64_t end = g_line.lastByteUs >= 0 ? g_line.lastByteUs : nowUs;
        const bool counted = !g_line.sentBeforeReset;
        // (A request sent before the counters were reset has no start here.)
        if (g_line.requestEndUs >= 0 && end >= g_line.requestEndUs && !g_line.overlapped) {
            e.responseUs = end - g_line.requestEndUs;
            g_line.counters.responseLastUs = e.responseUs;
            if (g_line.counters.responseMinUs < 0 || e.responseUs < g_line.counters.responseMinUs) {
                g_line.counters.responseMinUs = e.responseUs;
            }
            g_line.counters.responseMaxUs = std::max(g_line.counters.responseMaxUs, e.responseUs);
            g_line.counters.responseSumUs += e.responseUs;
            ++g_line.counters.responses;
        }
        g_line.requestEndUs = -1;
        g_line.lastByteUs = -1;
        g_line.sentBeforeReset = false;
        if (!counted) return;
        countResultLocked(result);
        if (accepted) g_line.counters.lastGoodReplyWallMs = wallMs;
    }
}

void LineReplyTimeout(const unsigned char* partial, int length)
{
    const std::int64_t nowUs = ClockUs();
    const std::int64_t wallMs = WallClockMs();
    {
        std::lock_guard<std::mutex> lock(g_line.mutex);
        LineEvent& e = nextSlotLocked(LineEventKind::Timeout, nowUs, wallMs);
        copyBytes(e, partial, length);
        attachRequestLocked(e);
        g_line.requestEndUs = -1;
        g_line.lastByteUs = -1;
        if (!g_line.sentBeforeReset) ++g_line.counters.timeouts;
        g_line.sentBeforeReset = false;
    }
}

void LinePortError(const char* message)
{
    const std::int64_t nowUs = ClockUs();
    const std::int64_t wallMs = WallClockMs();
    const char* text = message != nullptr ? message : "";
    std::lock_guard<std::mutex> lock(g_line.mutex);
    LineEvent& e = nextSlotLocked(LineEventKind::PortError, nowUs, wallMs);
    copyBytes(e, reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    attachRequestLocked(e);
    g_line.requestEndUs = -1;
    g_line.lastByteUs = -1;
    g_line.sentBeforeReset = false;
    ++g_line.counters.portErrors;
}

LinkCounters ReadLinkCounters()
{
    std::lock_guard<std::mutex> lock(g_line.mutex);
    return g_line.counters;
}

void ResetLinkCounters()
{
    std::lock_guard<std::mutex> lock(g_line.mutex);
    g_line.counters = LinkCounters{};
    // A request on the line now was sent before: its answer is not counted,
    // and a request sent before that answer overlaps it.
    g_line.sentBeforeReset = g_line.requestEndUs >= 0;
    g_line.requestEndUs = -1;
    g_line.lastByteUs = -1;
    g_line.overlapped = false;
}

void ResetLineEvents()
{
    g_line.reset();
}

LineEventReader::LineEventReader()
{
    skipToNow();
}

void LineEventReader::skipToNow()
{
    std::lock_guard<std::mutex> lock(g_line.mutex);
    next_ = g_line.sequence + 1;
}

int LineEventReader::read(LineEvent* out, int max)
{
    if (out == nullptr || max <= 0) return 0;
    std::lock_guard<std::mutex> lock(g_line.mutex);
    const std::uint64_t oldest =
        g_line.sequence >= kLineEventCapacity ? g_line.sequence - kLineEventCapacity + 1 : 1;
    if (next_ < oldest) {
        lost_ += oldest - next_;
        next_ = oldest;
    }
    int n = 0;
    while (n < max && next_ <= g_line.sequence) {
        out[n++] = g_line.ring[static_cast<std::size_t>(next_ % kLineEventCapacity)];
        ++next_;
    }
    return n;
}
