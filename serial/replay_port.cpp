#include "serial/replay_port.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "platform/os/clock.h"

namespace {

constexpr const char* kPathPrefix = "replay:";
// A request is matched among this many exchanges not yet played ...
constexpr std::size_t kLookahead = 64;
// ... and among every one of the next 15 s of the capture (the console's
// password timer keeps its own time), up to this many.
constexpr std::int64_t kAheadUs = 15000000;
constexpr std::size_t kLookLimit = 4096;
// An exchange the console has not asked for by this long after its captured
// time is passed over.
constexpr std::int64_t kPassOverUs = 2000000;
// After the last reply byte, the console has this long to make something of it.
constexpr std::int64_t kSettleUs = 1000000;
// A wait that no pass will end (the line has stopped) ends after this much
// real time at the latest, as a share of the wait.
constexpr auto kLook = std::chrono::microseconds(200);
constexpr auto kPausedLook = std::chrono::milliseconds(10);
constexpr auto kHoldLimit = std::chrono::milliseconds(500);
constexpr int kMaxFrame = 256;

// The one replay whose clock is installed; the platform's hooks are plain functions.
std::atomic<Replay*>& activeReplay()
{
    static std::atomic<Replay*> active{nullptr};
    return active;
}

std::int64_t activeNowUs()
{
    Replay* r = activeReplay().load();
    return r != nullptr ? r->nowUs() : 0;
}

void activeSleep(int ms)
{
    if (Replay* r = activeReplay().load()) r->sleep(ms);
}

void activePass(int ms)
{
    if (Replay* r = activeReplay().load()) r->pass(ms);
}

bool sameBytes(const unsigned char* a, std::size_t aLength, const unsigned char* b, std::size_t bLength)
{
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

// Without a direction (classic pcap), a frame is a request unless it is the
// echo of the request just before it or cannot be one: a request is 8 bytes
// of function 03 or 06.
bool looksLikeRequest(const std::vector<unsigned char>& bytes, bool lastOutbound,
                      const std::vector<unsigned char>& last)
{
    if (bytes.size() != 8 || (bytes[1] != 3 && bytes[1] != 6)) return false;
    return !(lastOutbound && bytes == last);
}

}  // namespace

ReplayLine ReplayLineOf(const CaptureInterface& port)
{
    ReplayLine line;
    std::istringstream words(port.name);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.size() >= 2) {
        const std::string& frame = w.back();  // "8O1"
        const long baud = std::strtol(w[w.size() - 2].c_str(), nullptr, 10);
        if (baud > 0) line.baud = baud;
        if (frame.size() == 3) {
            if (frame[0] == '7' || frame[0] == '8') line.dataBits = frame[0] - '0';
            if (frame[1] == 'N') line.parity = 0;
            if (frame[1] == 'O') line.parity = 1;
            if (frame[1] == 'E') line.parity = 2;
            if (frame[2] == '1' || frame[2] == '2') line.stopBits = frame[2] - '0';
        }
    }
    line.lineRate = port.description.find("line rate") != std::string::npos;
    const std::size_t t = port.description.find("reply time-out ");
    if (t != std::string::npos) {
        line.replyTimeoutMs = static_cast<int>(std::strtol(port.description.c_str() + t + 15, nullptr, 10));
    }
    return line;
}

// --- The recording ----------------------------------------------------------------------

bool ReplayRecording::load(const std::string& path, std::string* error)
{
    CaptureReader reader;
    name_ = path;
    return reader.open(path, error) && read(reader, error);
}

bool ReplayRecording::loadBytes(std::vector<unsigned char> bytes, const std::string& name, std::string* error)
{
    CaptureReader reader;
    name_ = name;
    return reader.openBytes(std::move(bytes), name, error) && read(reader, error);
}

bool ReplayRecording::read(CaptureReader& reader, std::string* error)
{
    for (;;) {
        switch (reader.next()) {
            case CaptureReader::Item::Interface: {
                Block b;
                b.port = reader.interface();
                b.line = ReplayLineOf(b.port);
                blockOf_.push_back(-1);
                blocks_.push_back(b);
                blockOf_.back() = static_cast<std::int64_t>(blocks_.size() - 1);
                break;
            }
            case CaptureReader::Item::Packet:
                packet(reader.packet());
                break;
            case CaptureReader::Item::InterfaceEnd:
                break;
            case CaptureReader::Item::End: {
                // Blocks that saw no request are nothing to play.
                std::vector<Block> kept;
                std::vector<std::uint32_t> renumber(blocks_.size(), 0);
                for (std::size_t i = 0; i < blocks_.size(); ++i) {
                    renumber[i] = static_cast<std::uint32_t>(kept.size());
                    if (blocks_[i].exchanges > 0) kept.push_back(blocks_[i]);
                }
                for (Exchange& e : exchanges_) e.block = renumber[e.block];
                blocks_ = std::move(kept);
                if (exchanges_.empty()) {
                    *error = name_ + ": byte " + std::to_string(reader.offset()) +
                             ": no request on the line to play back";
                    return false;
                }
                return true;
            }
            case CaptureReader::Item::Error:
                *error = reader.error();
                return false;
        }
    }
}

void ReplayRecording::packet(const CapturePacket& p)
{
    if (p.interfaceId >= blockOf_.size() || p.bytes.empty() || p.bytes.size() > kMaxFrame) return;
    const auto block = static_cast<std::uint32_t>(blockOf_[p.interfaceId]);
    bool outbound = p.direction == CaptureDirection::Outbound;
    if (p.direction == CaptureDirection::Unknown)
        outbound = looksLikeRequest(p.bytes, lastOutbound_, lastBytes_);
    lastOutbound_ = outbound;
    lastBytes_ = p.bytes;
    const auto at = static_cast<std::uint32_t>(bytes_.size());
    const auto length = static_cast<std::uint32_t>(p.bytes.size());
    Block& b = blocks_[block];
    if (outbound) {
        bytes_.insert(bytes_.end(), p.bytes.begin(), p.bytes.end());
        Exchange e;
        e.requestUs = p.timeUs;
        e.at = at;
        e.length = length;
        e.firstChunk = static_cast<std::uint32_t>(chunks_.size());
        e.block = block;
        if (b.exchanges == 0) b.firstUs = p.timeUs;
        ++b.exchanges;
        b.lastUs = std::max(b.lastUs, p.timeUs);
        exchanges_.push_back(e);
        return;
    }
    // Inbound bytes before the block's first request answer nothing.
    if (exchanges_.empty() || exchanges_.back().block != block) return;
    bytes_.insert(bytes_.end(), p.bytes.begin(), p.bytes.end());
    chunks_.push_back({std::max(p.timeUs, exchanges_.back().requestUs), at, length});
    ++exchanges_.back().chunks;
    b.lastUs = std::max(b.lastUs, p.timeUs);
}

// --- The device -------------------------------------------------------------------------

namespace {

class ReplayDevice : public SerialDevice {
public:
    explicit ReplayDevice(Replay& replay) : replay_(replay) { replay_.deviceOpened(true); }
    ~ReplayDevice() override { replay_.deviceOpened(false); }
    ReplayDevice(const ReplayDevice&) = delete;
    ReplayDevice& operator=(const ReplayDevice&) = delete;
    int write(const char* buffer, int count) override
    {
        replay_.answer(reinterpret_cast<const unsigned char*>(buffer), count);
        return count;
    }
    int read(char* buffer, int count, double timeoutSeconds) override
    {
        int n = replay_.take(buffer, count);
        if (n == 0 && count > 0 && timeoutSeconds > 0 && replay_.waitInput(timeoutSeconds) > 0) {
            n = replay_.take(buffer, count);
        }
        return n;
    }
    int inputQueueLength() override { return replay_.queued(); }
    int waitInput(double timeoutSeconds) override { return replay_.waitInput(timeoutSeconds); }
    int flushInput() override
    {
        replay_.flush();
        return 0;
    }
    int flushOutput() override { return 0; }
    int close() override { return 0; }
    bool keepsTime() const override { return true; }

private:
    Replay& replay_;
};

}  // namespace

// Opens the replay's device by its path and nothing else: no byte of a
// replay reaches a real port.
class Replay::Driver : public SerialDriver {
public:
    explicit Driver(Replay& replay) : replay_(replay) {}
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override
    {
        if (path != replay_.devicePath()) {
            *error = kRs232OpenFailed;
            return nullptr;
        }
        const int check = CheckSerialSettings(settings);
        if (check != kRs232NoError) {
            *error = check;
            return nullptr;
        }
        return std::make_unique<ReplayDevice>(replay_);
    }

private:
    Replay& replay_;
};

// --- The replay -------------------------------------------------------------------------

Replay::Replay(std::shared_ptr<const ReplayRecording> recording)
    : recording_(std::move(recording)), driver_(std::make_unique<Driver>(*this))
{
    played_.assign(recording_->exchanges().size(), false);
    nowUs_ = recording_->firstUs();
}

Replay::~Replay()
{
    stop();
}

bool Replay::start(double speed)
{
    Replay* none = nullptr;
    if (!activeReplay().compare_exchange_strong(none, this)) return false;
    setSpeed(speed);
    running_ = true;
    SetClockSourceUs(activeNowUs);
    SetWallClockSource(activeNowUs);
    SetSleepHooks(activeSleep, activePass);
    SetSerialDriver(driver_.get());
    SetReplaying(true);
    return true;
}

void Replay::stop()
{
    if (activeReplay().load() != this) return;
    running_ = false;
    SetReplaying(false);
    SetSerialDriver(nullptr);
    SetSleepHooks(nullptr, nullptr);
    SetWallClockSource(nullptr);
    SetClockSourceUs(nullptr);
    activeReplay() = nullptr;
}

std::string Replay::devicePath() const
{
    return kPathPrefix + recording_->name();
}

namespace {
double knownSpeed(double speed)
{
    return std::isfinite(speed) && speed > 0 ? speed : Replay::kMax;
}
}  // namespace

void Replay::setSpeed(double speed)
{
    if (seeking())
        thenSpeed_ = knownSpeed(speed);
    else
        speed_ = knownSpeed(speed);
}

void Replay::playTo(std::int64_t targetUs, double thenSpeed, bool thenPaused)
{
    thenSpeed_ = knownSpeed(thenSpeed);
    thenPaused_ = thenPaused;
    speed_ = kMax;
    seekUs_ = std::max<std::int64_t>(targetUs, 0);
    paused_ = false;
    arriveIfDue();
}

void Replay::arriveIfDue()
{
    std::int64_t target = seekUs_.load();
    if (target < 0 || nowUs_.load() < target) return;
    if (!seekUs_.compare_exchange_strong(target, -1)) return;
    speed_ = thenSpeed_.load();
    paused_ = thenPaused_.load();
}

void Replay::rewindAtNextOpen(std::function<void()> rewound)
{
    std::lock_guard<std::mutex> lock(rewindMutex_);
    rewound_ = std::move(rewound);
    rewindDue_ = true;
}

void Replay::rewind()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++rewinds_;
    cursor_ = 0;
    played_.assign(played_.size(), false);
    pending_.clear();
    lastDeliveredUs_ = 0;
    nowUs_ = recording_->firstUs();
    block_ = 0;
    answered_ = 0;
    unanswered_ = 0;
}

void Replay::setHold(std::function<bool()> behind)
{
    std::lock_guard<std::mutex> lock(holdMutex_);
    hold_ = std::move(behind);
}

void Replay::deviceOpened(bool opened)
{
    openDevices_.fetch_add(opened ? 1 : -1);
    if (!opened) return;
    std::function<void()> rewound;
    {
        std::lock_guard<std::mutex> lock(rewindMutex_);
        if (!rewindDue_) return;
        rewindDue_ = false;
        rewound = std::move(rewound_);
        rewound_ = nullptr;
    }
    rewind();
    if (rewound) rewound();
}

void Replay::setPaused(bool paused)
{
    paused_ = paused;
}

bool Replay::finished()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return endedLocked();
}

bool Replay::endedLocked()
{
    passOverLocked();
    return cursor_ >= played_.size() && pending_.empty() && nowUs_.load() >= lastDeliveredUs_ + kSettleUs;
}

void Replay::passOverLocked()
{
    const std::vector<ReplayRecording::Exchange>& ex = recording_->exchanges();
    const std::int64_t now = nowUs_.load();
    while (cursor_ < played_.size() && (played_[cursor_] || ex[cursor_].requestUs < now - kPassOverUs)) {
        ++cursor_;
    }
}

std::vector<std::vector<unsigned char>> Replay::upcoming()
{
    std::lock_guard<std::mutex> lock(mutex_);
    passOverLocked();
    std::vector<std::vector<unsigned char>> out;
    const std::vector<ReplayRecording::Exchange>& ex = recording_->exchanges();
    for (std::size_t i = cursor_; i < ex.size() && out.size() < kLookahead; ++i) {
        if (played_[i]) continue;
        const unsigned char* b = recording_->bytes(ex[i].at);
        out.emplace_back(b, b + ex[i].length);
    }
    return out;
}

void Replay::answer(const unsigned char* request, int length)
{
    if (length <= 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    passOverLocked();
    const std::vector<ReplayRecording::Exchange>& ex = recording_->exchanges();
    const std::int64_t now = nowUs_.load();
    std::size_t looked = 0;
    for (std::size_t i = cursor_; i < ex.size() && looked < kLookLimit; ++i) {
        if (played_[i]) continue;
        const ReplayRecording::Exchange& e = ex[i];
        if (looked >= kLookahead && e.requestUs > now + kAheadUs) break;
        ++looked;
        if (!sameBytes(recording_->bytes(e.at), e.length, request, static_cast<std::size_t>(length)))
            continue;
        played_[i] = true;
        // In the capture's order the time is the captured one from here on.
        // A write the console makes ahead of that order (its own password
        // timer) is answered after the captured delay and leaves the time
        // alone; a read ahead of it means the console has left out what came
        // before (a page it does not read, the password of an opening of the
        // port it kept open), and the time goes on to it.
        constexpr unsigned char kRead = 3;
        const bool inOrder = i == cursor_ || (length > 1 && request[1] == kRead);
        if (inOrder) moveTo(e.requestUs);
        const std::int64_t shift = inOrder ? nowUs_.load() - e.requestUs : now - e.requestUs;
        for (std::uint32_t c = 0; c < e.chunks; ++c) {
            const ReplayRecording::Chunk& chunk = recording_->chunks()[e.firstChunk + c];
            pending_.push_back({chunk.timeUs + shift, chunk.at, chunk.length});
        }
        std::stable_sort(pending_.begin(), pending_.end(),
                         [](const Pending& a, const Pending& b) { return a.dueUs < b.dueUs; });
        block_ = e.block;
        answered_.fetch_add(1);
        passOverLocked();
        return;
    }
    unanswered_.fetch_add(1);
}

int Replay::take(char* into, int count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = nowUs_.load();
    int n = 0;
    while (n < count && !pending_.empty() && pending_.front().dueUs <= now) {
        Pending& p = pending_.front();
        const auto part = static_cast<std::uint32_t>(std::min<std::int64_t>(count - n, p.length));
        std::memcpy(into + n, recording_->bytes(p.at), part);
        n += static_cast<int>(part);
        p.at += part;
        p.length -= part;
        lastDeliveredUs_ = now;
        if (p.length == 0) pending_.pop_front();
    }
    return n;
}

int Replay::queued()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = nowUs_.load();
    std::int64_t n = 0;
    for (const Pending& p : pending_) {
        if (p.dueUs > now) break;
        n += p.length;
    }
    return static_cast<int>(std::min<std::int64_t>(n, 1 << 20));
}

void Replay::flush()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = nowUs_.load();
    while (!pending_.empty() && pending_.front().dueUs <= now) pending_.pop_front();
}

int Replay::waitInput(double timeoutSeconds)
{
    // The thread that waits for replies keeps the line's time (at line rate
    // its other waits are Sleeps).
    markLineThread();
    if (paused_.load()) {
        std::this_thread::sleep_for(kPausedLook);
        return queued() > 0 ? 1 : 0;
    }
    std::int64_t next = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!pending_.empty()) next = pending_.front().dueUs;
    }
    const std::int64_t now = nowUs_.load();
    if (next >= 0 && next <= now) return 1;
    const std::int64_t target = now + static_cast<std::int64_t>(std::max(timeoutSeconds, 0.0) * 1e6);
    if (next >= 0 && next <= target) {
        advanceTo(next);
        return 1;
    }
    advanceTo(target);
    return 0;
}

void Replay::pass(int milliseconds)
{
    holdWhilePaused();
    advanceTo(nowUs_.load() + std::max(milliseconds, 0) * std::int64_t{1000});
}

void Replay::sleep(int milliseconds)
{
    if (milliseconds <= 0) return;
    if (isLineThread()) {
        pass(milliseconds);
        return;
    }
    // Ends once the line has moved the time on by as much, or once as much
    // real time has passed as the wait would take at the speed.
    const std::int64_t until = nowUs_.load() + static_cast<std::int64_t>(milliseconds) * 1000;
    const double speed = speed_.load();
    const double realMs = speed > 0 ? milliseconds / speed : milliseconds;
    const auto realEnd = std::chrono::steady_clock::now() +
                         std::chrono::microseconds(static_cast<std::int64_t>(realMs * 1000));
    while (nowUs_.load() < until && running_.load()) {
        // A pause stops the time, except for the console's end: its waits
        // for the threads to finish go by in real time.
        const bool ending = RS232COMThreadStop.load() != 0 || RefreshUIThreadStop.load() != 0;
        if ((!paused_.load() || ending) && std::chrono::steady_clock::now() >= realEnd) break;
        std::this_thread::sleep_for(kLook);
    }
}

void Replay::advanceTo(std::int64_t targetUs)
{
    const std::int64_t now = nowUs_.load();
    // A seek stops the time at its target.
    const std::int64_t seek = seekUs_.load();
    if (seek > now && targetUs > seek) targetUs = seek;
    if (targetUs <= now) return;
    bool ended = openDevices_.load() == 0;
    std::uint64_t rewinds = 0;
    if (!ended) {
        std::lock_guard<std::mutex> lock(mutex_);
        ended = endedLocked();
        rewinds = rewinds_;
    }
    if (ended) {
        // With the replay's port closed, or the capture over, the captured
        // time stands still and the line waits as a quiet line would, in
        // real time.
        std::this_thread::sleep_for(std::min<std::chrono::microseconds>(
            std::chrono::microseconds(targetUs - now), std::chrono::milliseconds(100)));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(holdMutex_);
        if (hold_) {
            const auto end = std::chrono::steady_clock::now() + kHoldLimit;
            while (running_.load() && hold_() && std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(kLook);
            }
        }
    }
    const double speed = speed_.load();
    if (speed > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<std::int64_t>(static_cast<double>(targetUs - now) / speed)));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // The replay started again meanwhile: this wait was of the time before.
    if (rewinds == rewinds_) moveTo(targetUs);
}

void Replay::moveTo(std::int64_t targetUs)
{
    // The time only moves forward, whoever moves it.
    std::int64_t expected = nowUs_.load();
    while (expected < targetUs && !nowUs_.compare_exchange_weak(expected, targetUs)) {
    }
    arriveIfDue();
}

void Replay::holdWhilePaused()
{
    // A pause holds the line, not its end: the console quitting while paused
    // must find the communication thread able to finish.
    while (paused_.load() && running_.load() && RS232COMThreadStop.load() == 0) {
        std::this_thread::sleep_for(kPausedLook);
    }
}

bool Replay::isLineThread() const
{
    return lineThread_.load() == std::this_thread::get_id();
}

void Replay::markLineThread()
{
    lineThread_ = std::this_thread::get_id();
}
