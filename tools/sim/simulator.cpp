#include "tools/sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tools/sim/line.h"

namespace sim {

const Block kServedBlocks[8] = {
    {2548, 15},
    {2568, 7},
    {2588, 16},
    {2608, 6},
    {2628, 11},
    {2648, 15},
    {kStatusFirst, kStatusCount},
    {kPasswordRegister, 1},
};

namespace {

constexpr int kMaxReadQuantity = 125;
constexpr std::int64_t kStampLookUs = 200;  // how often a pause on the stamp clock looks at it

// Raw value of a physical quantity on a full scale of `fullScale` units = 32767.
constexpr std::uint16_t Scaled(double physical, double fullScale)
{
    const double raw = physical * 32767.0 / fullScale;
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(raw < 0 ? raw - 0.5 : raw + 0.5));
}

struct FactoryBlock {
    int first;
    std::vector<std::uint16_t> values;
};

// Factory parameters, in physical units where the pages scale them.
const FactoryBlock kFactory[] = {
    // Volt limits (V), current limits (A), overload and block times (s, ms).
    {2548, {44, 40, 60, 30, 40, 80, 100, 60, 10, 50, 2000, 40, 35, 50, 30}},
    // Controller and motor temperature limits (deg C), motor sensor present.
    {2568, {95, 80, 85, 130, 110, 120, 1}},
    // Function switches, modes, reverse limit %, currents, regen speed, guard coeff 0.8.
    {2588, {1, 1, 0, 1, 0, 1, 0, 1, 50, 0, 20, 30, 1, 10, 500, 8}},
    // Throttle 1.0 V / 4.2 V, accelerate and decelerate ms, mid 2.5 V, mid current.
    {2608, {Scaled(1.0, 5), Scaled(4.2, 5), 500, 300, Scaled(2.5, 5), 30}},
    // Hall sequence and angle, direction, pole pairs, L, R, Lmd, limit mode, speeds %.
    {2628, {1, 60, 0, 4, 120, 80, 100, 1, 100, 30, 60}},
    // Current loop kp/ki, test switches, hall angle 30, test current, restore, store,
    // test current Q, test frequency 10 Hz, angle mode, test voltages, test angle, hall mask.
    {2648, {800, 50, 0, 0, Scaled(30, 600), 10, 0, 0, 0, Scaled(10, 1000), 0, 0, 0, 0, 0}},
};

// Hall states in rotation order, and the angle (degrees) each one stands for.
constexpr int kHallSequence[6] = {5, 4, 6, 2, 3, 1};
constexpr std::uint16_t kHallAngle[7] = {0, 330, 210, 270, 90, 30, 150};  // indexed by state

// The faults that come and go, in turn: error word (0..2) and bit.
struct FaultBit {
    int word;
    int bit;
};
constexpr FaultBit kPassingFaults[] = {{0, 1}, {0, 12}, {1, 1}, {0, 5}, {1, 12}};
constexpr std::int64_t kFaultCycleMs = 60000;
constexpr std::int64_t kFaultFromMs = 45000;  // within each cycle
constexpr std::int64_t kFaultForMs = 4000;

constexpr double kPi = 3.14159265358979323846;

double Wave(std::int64_t tMs, double periodMs)
{
    return std::sin(2 * kPi * static_cast<double>(tMs) / periodMs);
}

std::uint16_t Word(long v)
{
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
}

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool InBlock(const Block& b, int address)
{
    return address >= b.first && address < b.first + b.count;
}

}  // namespace

bool IsServed(int address)
{
    for (const Block& b : kServedBlocks) {
        if (InBlock(b, address)) return true;
    }
    return false;
}

bool IsStatus(int address)
{
    return address >= kStatusFirst && address < kStatusFirst + kStatusCount;
}

bool IsParameter(int address)
{
    return IsServed(address) && !IsStatus(address) && address != kPasswordRegister;
}

std::uint16_t FactoryValue(int address)
{
    for (const FactoryBlock& b : kFactory) {
        const int i = address - b.first;
        if (i >= 0 && i < static_cast<int>(b.values.size())) return b.values[static_cast<std::size_t>(i)];
    }
    return 0;
}

std::array<std::uint16_t, kStatusCount> StatusAt(std::int64_t tMs)
{
    if (tMs < 0) tMs = 0;
    // A ride of 40 s: the throttle opens and closes again; the brake is held
    // while it is closed, BOOST comes in near full throttle.
    const double ride = 0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(tMs % 40000) / 40000.0);
    const bool brake = ride < 0.05;
    const bool boost = ride > 0.9;
    const bool cruise = ride > 0.7 && !boost;
    const bool speedLimit = (tMs / 120000) % 2 == 1;
    const double rpm = 3000.0 * ride;

    std::uint16_t errors[3] = {0, 0, 0};
    const std::int64_t inCycle = tMs % kFaultCycleMs;
    const bool faulted = inCycle >= kFaultFromMs && inCycle < kFaultFromMs + kFaultForMs;
    if (faulted) {
        const std::size_t n = sizeof kPassingFaults / sizeof kPassingFaults[0];
        const FaultBit f = kPassingFaults[static_cast<std::size_t>(tMs / kFaultCycleMs) % n];
        errors[f.word] = static_cast<std::uint16_t>(1u << f.bit);
    }

    std::array<std::uint16_t, kStatusCount> s{};
    s[0] = faulted ? 1 : (brake ? 21 : 24);                          // system error / stop brake / running
    s[1] = Scaled(48.0 + 1.0 * Wave(tMs, 90000) - 2.0 * ride, 600);  // battery voltage
    s[2] = 0;                                                        // flux weakening is off
    s[3] = 0;
    s[4] = Scaled(40.0 * ride, 600);                                  // torque command
    s[5] = Scaled(brake ? 10.0 : 0.0, 600);                           // electric brake torque command
    s[6] = Word(std::lround(35 + 6 * Wave(tMs, 600000) + 4 * ride));  // controller deg C
    s[7] = Word(std::lround(42 + 8 * Wave(tMs, 900000) + 6 * ride));  // motor deg C
    s[8] = Scaled(0.8, 5);                                            // electric brake throttle released
    s[9] = static_cast<std::uint16_t>(kHallSequence[(tMs / 250) % 6]);
    s[10] = Word(std::lround(rpm));
    s[11] = Scaled(0.8 + 3.4 * ride, 5);  // throttle voltage
    s[12] = static_cast<std::uint16_t>((brake ? 1u << 1 : 0u) | (boost ? 1u << 2 : 0u) |
                                       (cruise ? 1u << 3 : 0u) | (speedLimit ? 1u << 6 : 0u));
    s[13] = static_cast<std::uint16_t>((rpm > 60 ? 1u : 0u) | (brake ? 1u << 1 : 0u) | 1u << 3);
    s[14] = errors[0];
    s[15] = errors[1];
    s[16] = errors[2];
    s[17] = 0;  // MOSFETs fine
    s[18] = 0;  // no hall angle test
    for (int state = 1; state <= 6; ++state) s[18 + static_cast<std::size_t>(state)] = kHallAngle[state];
    s[25] = 0;  // no restore in progress
    return s;
}

Simulator::Simulator() : registers_(kMapCount, 0)
{
    epochMs_ = SteadyMs();
    std::lock_guard<std::mutex> lock(mutex_);
    resetParametersLocked();
}

Simulator::~Simulator()
{
    stop();
}

std::string Simulator::start()
{
#ifdef DSC_SIM_LIBMODBUS
    if (running_.load()) return slavePath_;
    error_.clear();
    return begin(OpenPtyLink(&error_));
#else
    return startInProcess();
#endif
}

std::string Simulator::startInProcess()
{
    if (running_.load()) return slavePath_;
    error_.clear();
    return begin(OpenLoopLink(&error_));
}

std::string Simulator::begin(std::unique_ptr<Link> link)
{
    if (!link) return {};
#ifdef DSC_SIM_LIBMODBUS
    renderer_ = ownReplies_ ? MakeOwnRenderer() : MakeLibmodbusRenderer(&error_);
#else
    renderer_ = MakeOwnRenderer();
#endif
    if (!renderer_) return {};
    link_ = std::move(link);
    slavePath_ = link_->path();
    stopping_.store(false);
    running_.store(true);
    thread_ = std::thread(&Simulator::serve, this);
    return slavePath_;
}

void Simulator::stop()
{
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopping_.store(true);
        stopWake_.notify_all();
    }
    if (link_) link_->wake();
    if (thread_.joinable()) thread_.join();
    link_.reset();
    renderer_.reset();
    running_.store(false);
}

bool Simulator::pause(int ms)
{
    return pauseUs(static_cast<std::int64_t>(ms) * 1000);
}

bool Simulator::replyPause(int ms)
{
    const StampClock clock = stampClock_.load();
    if (clock == nullptr || !faultTimes_.load()) return pause(ms);
    // On the stamp clock: the wait ends when that clock has moved on, and
    // meanwhile the simulator counts as settled so that it can move on.
    const std::int64_t until = clock() + ms;
    pausing_ = true;
    bool go = true;
    while (go && clock() < until) go = pauseUs(kStampLookUs);
    pausing_ = false;
    return go;
}

bool Simulator::pauseUs(std::int64_t us)
{
    std::unique_lock<std::mutex> lock(stopMutex_);
    if (us <= 0) return !stopping_.load();
    return !stopWake_.wait_for(lock, std::chrono::microseconds(us), [this] { return stopping_.load(); });
}

void Simulator::setLineRate(long baud)
{
    lineBaud_.store(baud > 0 ? baud : 0);
}

void Simulator::setFaultyLine(int every)
{
    faultyEvery_.store(every > 0 ? every : 0);
}

void Simulator::serve()
{
    std::uint8_t request[kMaxFrame];
    while (!stopping_.load()) {
        const int n = link_->receive(request);
        // Bytes taken off the line that made no request count as handled.
        bytesIn_ += link_->takeDiscarded();
        if (n < 0) break;
        if (n > 0) {
            busy_ = true;
            bytesIn_ += static_cast<std::uint64_t>(n);
            handle(request, n);
            busy_ = false;
        }
    }
}

int Simulator::check(int function, int address, int quantityOrValue) const
{
    switch (function) {
        case kReadHolding:
            if (quantityOrValue < 1 || quantityOrValue > kMaxReadQuantity) return kIllegalValue;
            for (int a = address; a < address + quantityOrValue; ++a) {
                if (!IsServed(a)) return kIllegalAddress;
            }
            return 0;
        case kWriteSingle:
            return IsParameter(address) || address == kPasswordRegister ? 0 : kIllegalAddress;
        default:
            return kIllegalFunction;
    }
}

std::int64_t Simulator::stampMs() const
{
    const StampClock clock = stampClock_.load();
    return clock != nullptr ? clock() : SteadyMs();
}

Simulator::Traffic Simulator::traffic() const
{
    Traffic t;
    // Stopping counts as busy until its side of the line is closed: the
    // console then finds the line gone rather than a reply that never came.
    t.busy = (busy_.load() && !pausing_.load()) || (stopping_.load() && running_.load());
    t.in = bytesIn_.load();
    t.out = bytesOut_.load();
    return t;
}

Simulator::Tally Simulator::tally() const
{
    Tally t;
    t.requests = tallyRequests_.load();
    t.replies = tallyReplies_.load();
    t.silent = tallySilent_.load();
    t.damagedCrc = tallyDamaged_.load();
    return t;
}

void Simulator::handle(const std::uint8_t* request, int length)
{
    RequestRecord rec;
    rec.receivedMs = stampMs();
    const auto receivedAt = std::chrono::steady_clock::now();
    rec.raw.assign(request, request + length);
    if (length >= 6) {
        rec.function = request[1];
        rec.address = request[2] << 8 | request[3];
        rec.quantityOrValue = request[4] << 8 | request[5];
    }

    Fault fault;
    std::size_t seq;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = faults_.find(rec.address);
        if (it != faults_.end()) {
            fault = it->second;
            if (it->second.times > 0 && --it->second.times == 0) faults_.erase(it);
        } else if (const int every = faultyEvery_.load(); every > 0 && (logTotal_ + 1) % every == 0) {
            const bool silent = ((logTotal_ + 1) / every) % 2 == 1;
            fault.silent = silent;
            fault.corruptCrc = !silent;
        }
        seq = logTotal_++;
        log_.push_back(rec);
        if (log_.size() > kLogLimit) log_.pop_front();
    }
    ++tallyRequests_;
    if (fault.silent) {
        ++tallySilent_;
        return;
    }
    if (fault.delayMs > 0 && !replyPause(fault.delayMs)) return;

    const int code =
        fault.exceptionCode > 0 ? fault.exceptionCode : check(rec.function, rec.address, rec.quantityOrValue);
    std::vector<std::uint8_t> reply = render(request, length, code);
    if (reply.empty()) return;  // a broadcast gets no reply
    const bool written = code == 0 && rec.function == kWriteSingle && reply.size() == 8;
    if (written && fault.holdValue >= 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (IsParameter(rec.address)) cell(rec.address) = static_cast<std::uint16_t>(fault.holdValue);
    }
    if (written && fault.echoValue >= 0) {
        reply[4] = static_cast<std::uint8_t>(fault.echoValue >> 8);
        reply[5] = static_cast<std::uint8_t>(fault.echoValue & 0xFF);
        const std::uint16_t crc = Crc16(reply.data(), 6);
        reply[6] = static_cast<std::uint8_t>(crc & 0xFF);
        reply[7] = static_cast<std::uint8_t>(crc >> 8);
    }
    if (fault.corruptCrc) reply.back() ^= 0xFF;
    // Garbage right after the reply, in the same write.
    for (int i = 0; i < fault.trailingBytes; ++i) reply.push_back(static_cast<std::uint8_t>(0xA5 ^ i));
    if (const long baud = lineBaud_.load(); baud > 0) {
        // The whole exchange as the wire would carry it, 11 bits a character.
        const auto wire = std::chrono::microseconds(
            static_cast<std::int64_t>(static_cast<std::size_t>(length) + reply.size()) * 11 * 1000000 / baud);
        const auto left = receivedAt + wire - std::chrono::steady_clock::now();
        if (!pauseUs(std::chrono::duration_cast<std::chrono::microseconds>(left).count())) return;
    }

    std::size_t firstBurst = 0;  // bytes already on the line when the rest goes out
    if (fault.splitGapMs >= 0) {
        firstBurst = reply.size() / 2;
        if (!sendBytes(reply.data(), firstBurst) || !replyPause(fault.splitGapMs)) return;
    }
    {
        // Log the reply before its last byte goes out, so that a master that
        // has its answer always finds the record complete.
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t oldest = logTotal_ - log_.size();
        if (seq >= oldest) {
            RequestRecord& r = log_[seq - oldest];
            r.reply = reply;
            r.repliedMs = stampMs();
        }
    }
    // Counted before the last byte goes out, as logged above: a master that has
    // its answer finds it in the tally. A reply that could not be sent is taken back.
    ++tallyReplies_;
    if (fault.corruptCrc) ++tallyDamaged_;
    if (!sendBytes(reply.data() + firstBurst, reply.size() - firstBurst)) {
        --tallyReplies_;
        if (fault.corruptCrc) --tallyDamaged_;
    }
}

std::vector<std::uint8_t> Simulator::render(const std::uint8_t* request, int length, int exceptionCode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    updateLocked();
    std::vector<std::uint8_t> out = renderer_->reply(request, length, exceptionCode, registers_.data());
    if (exceptionCode == 0 && length >= 6 && request[1] == kWriteSingle) {
        afterWriteLocked(request[2] << 8 | request[3],
                         static_cast<std::uint16_t>(request[4] << 8 | request[5]));
    }
    return out;
}

bool Simulator::sendBytes(const std::uint8_t* bytes, std::size_t count)
{
    if (!link_->send(bytes, count)) return false;
    bytesOut_ += count;
    return true;
}

std::uint16_t& Simulator::cell(int address)
{
    return registers_[static_cast<std::size_t>(address - kMapFirst)];
}

void Simulator::afterWriteLocked(int address, std::uint16_t value)
{
    if (address == kRestoreRegister && value == 1) {
        restoreStartMs_ = timeLocked();
        restoreApplied_ = false;
    }
}

void Simulator::updateLocked()
{
    const std::int64_t t = timeLocked();
    const auto status = StatusAt(t);
    for (int i = 0; i < kStatusCount; ++i) cell(kStatusFirst + i) = status[static_cast<std::size_t>(i)];
    if (restoreStartMs_ >= 0) {
        const std::int64_t elapsed = t - restoreStartMs_;
        const std::uint16_t step = elapsed < kRestoreStepMs                     ? 1
                                   : elapsed < 2 * std::int64_t{kRestoreStepMs} ? 2
                                                                                : 3;
        cell(kRestoreStatusRegister) = step;
        if (step == 3 && !restoreApplied_) {
            resetParametersLocked();
            restoreApplied_ = true;
        }
    }
    std::size_t due = 0;
    while (due < schedule_.size() && schedule_[due].atMs <= t) {
        pinned_[schedule_[due].address] = schedule_[due].value;
        ++due;
    }
    schedule_.erase(schedule_.begin(), schedule_.begin() + static_cast<std::ptrdiff_t>(due));
    for (const auto& [address, value] : pinned_) cell(address) = value;
}

void Simulator::resetParametersLocked()
{
    for (const Block& b : kServedBlocks) {
        for (int a = b.first; a < b.first + b.count; ++a) {
            if (IsParameter(a)) cell(a) = FactoryValue(a);
        }
    }
}

std::uint16_t Simulator::registerValue(int address)
{
    if (!IsServed(address)) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    updateLocked();
    return cell(address);
}

bool Simulator::setRegister(int address, std::uint16_t value)
{
    if (!IsServed(address)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (IsStatus(address)) pinned_[address] = value;
    cell(address) = value;
    return true;
}

void Simulator::releaseRegister(int address)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pinned_.erase(address);
}

bool Simulator::schedule(const std::vector<ScheduleStep>& steps)
{
    for (const ScheduleStep& step : steps) {
        if (!IsStatus(step.address)) return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    schedule_.insert(schedule_.end(), steps.begin(), steps.end());
    // Steps of one time keep their order: the later one wins.
    std::stable_sort(schedule_.begin(), schedule_.end(),
                     [](const ScheduleStep& a, const ScheduleStep& b) { return a.atMs < b.atMs; });
    return true;
}

void Simulator::clearSchedule()
{
    std::lock_guard<std::mutex> lock(mutex_);
    schedule_.clear();
}

bool ParseSchedule(const std::string& text, std::vector<ScheduleStep>* steps, std::string* error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    std::vector<ScheduleStep> parsed;
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#') continue;
        std::istringstream fields(line);
        std::string seconds, address, value, extra;
        fields >> seconds >> address >> value >> extra;
        const auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (value.empty() || !extra.empty()) return fail("expected SECONDS REGISTER VALUE");
        char* end = nullptr;
        errno = 0;
        const double s = std::strtod(seconds.c_str(), &end);
        if (*end != '\0' || errno != 0 || !std::isfinite(s) || s < 0 || s > 1e7)
            return fail("bad time '" + seconds + "'");
        const long a = std::strtol(address.c_str(), &end, 10);
        if (*end != '\0' || !IsStatus(static_cast<int>(a)))
            return fail("'" + address + "' is not a status register");
        errno = 0;
        const bool hex = value.rfind("0x", 0) == 0 || value.rfind("0X", 0) == 0;
        const long v = std::strtol(value.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
        if (*end != '\0' || errno != 0 || v < -32768 || v > 65535) return fail("bad value '" + value + "'");
        parsed.push_back({static_cast<std::int64_t>(std::llround(s * 1000)), static_cast<int>(a),
                          static_cast<std::uint16_t>(v & 0xFFFF)});
    }
    *steps = std::move(parsed);
    return true;
}

void Simulator::resetParameters()
{
    std::lock_guard<std::mutex> lock(mutex_);
    resetParametersLocked();
}

std::int64_t Simulator::timeLocked() const
{
    return frozen_ ? frozenAt_ : SteadyMs() - epochMs_ + offsetMs_;
}

std::int64_t Simulator::timeMs()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return timeLocked();
}

void Simulator::freezeTime()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (frozen_) return;
    frozenAt_ = timeLocked();
    frozen_ = true;
}

void Simulator::resumeTime()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!frozen_) return;
    offsetMs_ = frozenAt_ - (SteadyMs() - epochMs_);
    frozen_ = false;
}

void Simulator::advanceTime(std::int64_t ms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (frozen_) {
        frozenAt_ += ms;
    } else {
        offsetMs_ += ms;
    }
}

void Simulator::setFault(int address, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault.times == 0) {
        faults_.erase(address);
    } else {
        faults_[address] = fault;
    }
}

void Simulator::clearFault(int address)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.erase(address);
}

void Simulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

std::vector<RequestRecord> Simulator::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return {log_.begin(), log_.end()};
}

std::size_t Simulator::requestCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return logTotal_;
}

void Simulator::clearRequests()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

}  // namespace sim
