#include "modbus/write_outcome.h"

#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "modbus/reply_codes.h"
#include "modbus/request_view.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "platform/os/observer_list.h"
#include "platform/port/serial.h"

namespace {

constexpr std::size_t kRecentLimit = 256;
constexpr const char* kEchoLost = "sent; port closed before the echo";

// The write records and their observers. Everything but `replaying` and
// `observers` is guarded by `mutex`; observers are called outside it, and an
// observer may remove itself while it is called.
struct WriteTracking {
    std::mutex mutex;
    std::condition_variable endedCv;
    std::uint64_t nextId = 1;
    std::map<int, WriteRecord> pending;   // submitted, not taken yet; by register
    std::optional<WriteRecord> inFlight;  // taken; its reply is awaited
    std::vector<WriteRecord> readBack;    // confirmed or unknown; waiting for the page read
    std::map<int, WriteRecord> latest;    // by register
    std::deque<WriteRecord> recent;       // the last kRecentLimit ended records
    std::atomic<bool> replaying{false};
    ObserverList<const WriteRecord&> observers;

    // Every record, observer and mark forgotten, and the replay's refusal; the
    // numbering goes on.
    void reset()
    {
        replaying = false;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            pending.clear();
            inFlight.reset();
            readBack.clear();
            latest.clear();
            recent.clear();
        }
        observers.clear();
    }
};

WriteTracking g_writes;

int wordAt(const unsigned char* bytes)
{
    return (bytes[0] << 8) | bytes[1];
}

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...)
{
    char text[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

std::string withUnit(double value, const std::string& unit)
{
    std::string s = format("%.6g", value);
    if (!unit.empty()) s += " " + unit;
    return s;
}

const char* exceptionName(int code)
{
    switch (code) {
        case 1:
            return "illegal function";
        case 2:
            return "illegal data address";
        case 3:
            return "illegal data value";
        case 4:
            return "device failure";
        default:
            return "unknown exception";
    }
}

// Ends a record (g_writes.mutex held); the caller notifies `ended` after unlocking.
void endLocked(WriteRecord record, WriteOutcome outcome, std::string detail, std::vector<WriteRecord>* ended)
{
    record.outcome = outcome;
    record.detail = std::move(detail);
    record.endedMs = WallClockMs();
    g_writes.latest[record.address] = record;
    g_writes.recent.push_back(record);
    if (g_writes.recent.size() > kRecentLimit) g_writes.recent.pop_front();
    ended->push_back(std::move(record));
}

void notify(const std::vector<WriteRecord>& ended)
{
    if (ended.empty()) return;
    g_writes.endedCv.notify_all();
    for (const WriteRecord& r : ended) g_writes.observers.notify(r);
}

// Marks the page table holding `address` for reading (g_writes.mutex held).
void requestReadBackLocked(int address)
{
    for (const ItemTable& t : kPageTables) {
        if (getIndex(t.items, static_cast<unsigned>(t.count), address) >= 0) {
            t.items[0].query_flag.store(1);
            return;
        }
    }
}

// Ends a record that waited for the read of its page (g_writes.mutex held): with the
// word the controller holds when `reply` (a read reply starting at `first`)
// carries it, else without read-back.
void endReadBackLocked(WriteRecord record, const unsigned char* reply, int first,
                       std::vector<WriteRecord>* ended)
{
    const bool unknown = record.outcome == WriteOutcome::Unknown;
    std::string detail = unknown ? kEchoLost : "";
    if (reply != nullptr) {
        record.readBack = true;
        record.heldWord = static_cast<std::uint16_t>(
            wordAt(reply + 3 + 2 * static_cast<std::ptrdiff_t>(record.address - first)));
        if (unknown || record.heldWord != record.word) {
            if (!detail.empty()) detail += "; ";
            detail += "controller holds " + withUnit(WriteValueOf(record, record.heldWord), record.what.unit);
        }
    } else if (!unknown) {
        detail = "not read back";
    }
    const WriteOutcome outcome = record.outcome;
    endLocked(std::move(record), outcome, std::move(detail), ended);
}

// The write in flight that `view` wrote, taken out of flight, with a read of
// its page asked for (g_writes.mutex held); none when `view` wrote another.
std::optional<WriteRecord> takeInFlightLocked(const RequestView& view)
{
    if (!view.isWrite() || !g_writes.inFlight || g_writes.inFlight->address != view.address) return {};
    WriteRecord record = std::move(*g_writes.inFlight);
    g_writes.inFlight.reset();
    // Whatever became of it, the page is read again so that its control
    // shows what the controller holds now.
    requestReadBackLocked(view.address);
    return record;
}

// Ends every record waiting for a read of a register that the read `view`
// covers (g_writes.mutex held), with what `reply` carries (none: not read back).
void endReadBacksLocked(const RequestView& view, const unsigned char* reply, std::vector<WriteRecord>* ended)
{
    const int quantity = view.count();
    for (auto it = g_writes.readBack.begin(); it != g_writes.readBack.end();) {
        const int offset = it->address - view.address;
        if (offset < 0 || offset >= quantity) {
            ++it;
            continue;
        }
        WriteRecord record = std::move(*it);
        it = g_writes.readBack.erase(it);
        endReadBackLocked(std::move(record), reply, view.address, ended);
    }
}

// The outcome of a write from the reply to it.
WriteOutcome classify(const unsigned char* request, const unsigned char* reply, int length, int result,
                      int* exceptionCode, std::string* detail)
{
    if (ViewRequest(request, kRequestFieldsLength).isExceptionReply(reply, length)) {
        *exceptionCode = reply[2];
        *detail = format("exception %d (%s)", reply[2], exceptionName(reply[2]));
        return WriteOutcome::Rejected;
    }
    if (result == MODBUS_WRITE_ECHO || result == MODBUS_PASSWORD_ACCEPTED) {
        // Slave, function and CRC are right; the register and value must be too.
        if (std::memcmp(reply, request, kRequestFieldsLength) == 0) return WriteOutcome::Confirmed;
        const RequestView echo = ViewRequest(reply, length);
        *detail = format("echo says register %d = %d", echo.address, echo.field);
        return WriteOutcome::EchoDiffers;
    }
    switch (result) {
        case MODBUS_BAD_SLAVE:
            *detail = format("reply from slave %d", reply[0]);
            break;
        case MODBUS_BAD_FUNCTION:
            *detail = format("reply with function %d", reply[1]);
            break;
        default:
            *detail = format("damaged reply (%d bytes)", length);
            break;
    }
    return WriteOutcome::EchoDiffers;
}

}  // namespace

const char* WriteOutcomeName(WriteOutcome outcome)
{
    switch (outcome) {
        case WriteOutcome::Confirmed:
            return "confirmed";
        case WriteOutcome::NoReply:
            return "no reply";
        case WriteOutcome::Rejected:
            return "rejected";
        case WriteOutcome::EchoDiffers:
            return "echo differs";
        case WriteOutcome::PortClosed:
            return "port closed";
        case WriteOutcome::Superseded:
            return "superseded";
        case WriteOutcome::Unknown:
            return "unknown";
        case WriteOutcome::Replay:
            return "not written: replay";
    }
    return "?";
}

double WriteValueOf(const WriteRecord& record, std::uint16_t word)
{
    const int raw = word >= 0x8000 ? word - 0x10000 : word;
    const int den = record.what.scaleDen != 0 ? record.what.scaleDen : 1;
    return static_cast<double>(raw) * record.what.scaleNum / den;
}

std::string WriteRecord::entry() const
{
    return what.caption + " = " + withUnit(what.typed, what.unit);
}

std::string WriteRecord::summary() const
{
    if (outcome == WriteOutcome::Confirmed) {
        if (heldDiffers()) {
            return entry() + " written; controller holds " +
                   withUnit(WriteValueOf(*this, heldWord), what.unit);
        }
        return entry() + " confirmed" + (readBack ? "" : "; " + detail);
    }
    if (outcome == WriteOutcome::Replay) return entry() + " " + WriteOutcomeName(outcome);
    std::string s = entry() + " NOT confirmed: " + WriteOutcomeName(outcome);
    if (!detail.empty()) s += ", " + detail;
    return s;
}

int AddWriteObserver(WriteObserver observer)
{
    return g_writes.observers.add(std::move(observer));
}

void RemoveWriteObserver(int token)
{
    g_writes.observers.remove(token);
}

bool LatestWrite(int address, WriteRecord* out)
{
    std::lock_guard<std::mutex> lock(g_writes.mutex);
    auto it = g_writes.latest.find(address);
    if (it == g_writes.latest.end()) return false;
    if (out != nullptr) *out = it->second;
    return true;
}

bool WaitForWrite(std::uint64_t id, std::chrono::milliseconds timeout, WriteRecord* out)
{
    std::unique_lock<std::mutex> lock(g_writes.mutex);
    const auto find = [&]() -> const WriteRecord* {
        for (auto it = g_writes.recent.rbegin(); it != g_writes.recent.rend(); ++it) {
            if (it->id == id) return &*it;
        }
        return nullptr;
    };
    const WriteRecord* found = nullptr;
    g_writes.endedCv.wait_for(lock, timeout, [&] { return (found = find()) != nullptr; });
    if (found == nullptr) return false;
    if (out != nullptr) *out = *found;
    return true;
}

std::uint64_t SubmitWrite(DataItem& item, double registerValue, const WriteRequest& what, bool portOpen,
                          bool urgent)
{
    std::vector<WriteRecord> ended;
    std::uint64_t id = 0;
    {
        std::lock_guard<std::mutex> lock(g_writes.mutex);
        WriteRecord record;
        record.id = id = g_writes.nextId++;
        record.what = what;
        record.address = item.address.load();
        record.word = registerWord(registerValue);
        record.submittedMs = WallClockMs();
        record.device = ComDevicePath(active_comselect.load());
        if (g_writes.replaying.load()) {
            endLocked(std::move(record), WriteOutcome::Replay, "", &ended);
        } else if (!portOpen) {
            endLocked(std::move(record), WriteOutcome::PortClosed, "port not open", &ended);
        } else {
            const int mark = urgent ? SEND_URGENT : SEND_PENDING;
            if (!urgent && item.send_flag.load() == SEND_URGENT) {
                // An urgent write (the motor-test stop) still waits: it goes out
                // as it is, and this press is not written over it.
                endLocked(std::move(record), WriteOutcome::Superseded, "a STOP was still waiting to go out",
                          &ended);
            } else {
                auto it = g_writes.pending.find(record.address);
                if (it != g_writes.pending.end()) {
                    endLocked(
                        std::move(it->second), WriteOutcome::Superseded,
                        urgent ? "replaced by STOP before it went out" : "pressed again before it went out",
                        &ended);
                    g_writes.pending.erase(it);
                }
                item.value.store(registerValue);
                item.send_flag.store(mark);
                g_writes.pending[record.address] = std::move(record);
            }
        }
    }
    notify(ended);
    return id;
}

bool TakeWrite(DataItem& item, std::uint16_t* word)
{
    std::vector<WriteRecord> ended;
    {
        std::lock_guard<std::mutex> lock(g_writes.mutex);
        const int mark = item.send_flag.load();
        if (mark != SEND_PENDING && mark != SEND_URGENT) return false;
        item.send_flag.store(0);
        *word = registerWord(item.value.load());
        if (g_writes.inFlight) {
            endLocked(std::move(*g_writes.inFlight), WriteOutcome::NoReply,
                      "no reply before the next request", &ended);
        }
        g_writes.inFlight.reset();
        auto it = g_writes.pending.find(item.address.load());
        if (it != g_writes.pending.end()) {
            g_writes.inFlight = std::move(it->second);
            g_writes.inFlight->word = *word;
            g_writes.pending.erase(it);
        }
    }
    notify(ended);
    return true;
}

void WriteRequestSent(const unsigned char* frame, int length)
{
    const RequestView request = ViewRequest(frame, length);
    if (!request.isWrite()) return;
    std::lock_guard<std::mutex> lock(g_writes.mutex);
    if (g_writes.inFlight && g_writes.inFlight->address == request.address &&
        g_writes.inFlight->word == request.field) {
        g_writes.inFlight->requestSent = true;
    }
}

void StoreReadReply(DataItem* items, int count, const unsigned char* words, bool clearsQuery)
{
    std::lock_guard<std::mutex> lock(g_writes.mutex);
    for (int i = 0; i < count; ++i) {
        DataItem& item = items[i];
        if (clearsQuery) item.query_flag.store(0);
        // The operator's entry waits to be written: the controller's old value
        // must not replace it, or the old value would be written back.
        if (item.send_flag.load() != 0) continue;
        const int raw = wordAt(words + 2 * static_cast<std::ptrdiff_t>(i));
        item.value.store(static_cast<double>(raw >= 0x8000 ? raw - 0x10000 : raw));
        item.refresh_flag.store(1);
    }
}

void WriteReplyArrived(const unsigned char* request, const unsigned char* reply, int replyLength,
                       int parseResult)
{
    if (request == nullptr || reply == nullptr) return;
    std::vector<WriteRecord> ended;
    {
        std::lock_guard<std::mutex> lock(g_writes.mutex);
        const RequestView view = ViewRequest(request, kRequestFrameLength);
        if (std::optional<WriteRecord> taken = takeInFlightLocked(view)) {
            WriteRecord record = std::move(*taken);
            std::string detail;
            const WriteOutcome outcome =
                classify(request, reply, replyLength, parseResult, &record.exceptionCode, &detail);
            if (outcome == WriteOutcome::Confirmed) {
                record.outcome = outcome;
                g_writes.readBack.push_back(std::move(record));
            } else {
                endLocked(std::move(record), outcome, std::move(detail), &ended);
            }
        } else if (view.isRead() && !g_writes.readBack.empty()) {
            endReadBacksLocked(view, parseResult == MODBUS_READ_ACCEPTED ? reply : nullptr, &ended);
        }
    }
    notify(ended);
}

void WriteReplyTimedOut(const unsigned char* request)
{
    if (request == nullptr) return;
    std::vector<WriteRecord> ended;
    {
        std::lock_guard<std::mutex> lock(g_writes.mutex);
        const RequestView view = ViewRequest(request, kRequestFrameLength);
        if (std::optional<WriteRecord> taken = takeInFlightLocked(view)) {
            endLocked(std::move(*taken), WriteOutcome::NoReply, "", &ended);
        } else if (view.isRead()) {
            endReadBacksLocked(view, nullptr, &ended);
        }
    }
    notify(ended);
}

void AbandonWrites(const std::string& why, bool keepPending)
{
    std::vector<WriteRecord> ended;
    {
        std::lock_guard<std::mutex> lock(g_writes.mutex);
        if (!keepPending) {
            for (const ItemTable& t : kPageTables) {
                for (int i = 0; i < t.count; ++i) t.items[i].send_flag.store(0);
            }
        }
        if (g_writes.inFlight) {
            WriteRecord record = std::move(*g_writes.inFlight);
            g_writes.inFlight.reset();
            if (!record.requestSent) {
                endLocked(std::move(record), WriteOutcome::PortClosed,
                          why.empty() ? "before it went out" : why, &ended);
            } else if (keepPending) {
                // Once the device is back, the read of its page tells what the controller holds.
                record.outcome = WriteOutcome::Unknown;
                requestReadBackLocked(record.address);
                g_writes.readBack.push_back(std::move(record));
            } else {
                endLocked(std::move(record), WriteOutcome::Unknown, kEchoLost, &ended);
            }
        }
        if (!keepPending) {
            for (auto& entry : g_writes.pending) {
                endLocked(std::move(entry.second), WriteOutcome::PortClosed, why, &ended);
            }
            g_writes.pending.clear();
        }
        std::vector<WriteRecord> waiting;
        for (WriteRecord& r : g_writes.readBack) {
            if (keepPending && r.outcome == WriteOutcome::Unknown) {
                waiting.push_back(std::move(r));
            } else {
                endReadBackLocked(std::move(r), nullptr, 0, &ended);
            }
        }
        g_writes.readBack = std::move(waiting);
    }
    notify(ended);
}

void SetReplaying(bool on)
{
    g_writes.replaying = on;
}

bool Replaying()
{
    return g_writes.replaying.load();
}

void ResetWriteTracking()
{
    g_writes.reset();
}

void FollowLineForWrites(const LineReport& r)
{
    switch (r.kind) {
        case LineReportKind::RequestSent:
            WriteRequestSent(r.bytes, r.length);
            break;
        case LineReportKind::ReplyAccepted:
        case LineReportKind::ReplyRejected:
            WriteReplyArrived(r.request, r.bytes, r.length, r.result);
            break;
        case LineReportKind::Timeout:
            WriteReplyTimedOut(r.request);
            break;
        case LineReportKind::PortClosed:
        case LineReportKind::PortOpened:
            AbandonWrites(r.text != nullptr ? r.text : "", r.keepPending);
            break;
        default:
            break;
    }
}
