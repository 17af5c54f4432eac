// A simulated drive controller: a Modbus RTU slave (address 1) served on its
// own thread, on a pseudo-terminal with libmodbus, or on an in-process loop
// port (platform/port/loop_port.h) where the system has no pseudo-terminals.
//
// The console (or any master) opens the path that start() returns, like a
// serial device. The simulator answers function 03 (read holding registers)
// and 06 (write single register) on the parameter blocks, the status block and
// the password register; unserved addresses get exception 2, other functions
// exception 1. Parameters keep what is written. The status registers move
// slowly as functions of the simulator's own clock, which tests can freeze and
// step. Faults can be injected per request address, and every request is
// logged with its receive and reply times.
//
// Times are milliseconds of std::chrono::steady_clock since its epoch, the same
// clock as ClockMs() of the console.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/slave.h"

namespace sim {

// What carries requests in and replies out, and what renders the replies
// (tools/sim/line.h).
class Link;
class Renderer;
constexpr int kStatusFirst = 2748;
constexpr int kStatusCount = 26;
constexpr int kRestoreRegister = 2654;        // write 1: restore factory settings
constexpr int kStoreRegister = 2655;          // write 1: store the parameters
constexpr int kRestoreStatusRegister = 2773;  // 0 idle, 1 and 2 in progress, 3 done
constexpr int kRestoreStepMs = 1500;          // time spent in each of steps 1 and 2

// One served block of consecutive holding registers.
struct Block {
    int first;
    int count;
};
// The parameter pages, the status block and the password register.
extern const Block kServedBlocks[8];
bool IsServed(int address);
bool IsParameter(int address);  // served and written by the master
bool IsStatus(int address);

// Factory value of a parameter register (0 for any other address).
std::uint16_t FactoryValue(int address);

// The moving status registers 2748..2773 at simulated time `tMs`, before any
// restore progress is laid over register 2773. Deterministic: the same time
// gives the same values.
std::array<std::uint16_t, kStatusCount> StatusAt(std::int64_t tMs);

// What to do instead of a plain reply, for requests to one start address.
struct Fault {
    int exceptionCode = 0;    // > 0: reply with this exception code
    bool silent = false;      // send no reply at all
    bool corruptCrc = false;  // damage the reply's CRC
    int delayMs = 0;          // wait this long before replying
    int splitGapMs = -1;      // >= 0: send the reply in two bursts this far apart
    int times = -1;           // how many requests it applies to; -1 until cleared
    int echoValue = -1;       // >= 0: echo a write with this value (the register takes the written one)
    int holdValue = -1;       // >= 0: a write stores this value instead, echoed exactly (a clamp)
    int trailingBytes = 0;    // > 0: this many bytes of garbage follow the reply at once
};

// One step of a timetable for the status registers: from simulated time
// `atMs` on, `address` holds `value`.
struct ScheduleStep {
    std::int64_t atMs = 0;
    int address = 0;
    std::uint16_t value = 0;
};

// Reads a timetable: one step a line, "SECONDS REGISTER VALUE" (seconds from
// the moment it is loaded, may have decimals; the value decimal, negative or
// 0x hex), blank lines and lines starting with # ignored. Only status
// registers may be named. False with "line N: reason" on the first bad line.
bool ParseSchedule(const std::string& text, std::vector<ScheduleStep>* steps, std::string* error);

// One request as received, and what became of it.
struct RequestRecord {
    std::vector<std::uint8_t> raw;  // the request frame, CRC included
    int function = 0;
    int address = 0;
    int quantityOrValue = 0;          // quantity for 03, value for 06
    std::int64_t receivedMs = 0;      // when the whole request had arrived
    std::int64_t repliedMs = -1;      // when the last reply byte was written; -1: no reply
    std::vector<std::uint8_t> reply;  // the bytes sent back, as sent
};

class Simulator {
public:
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the line and starts serving: a pseudo-terminal, or on Windows an
    // in-process loop port. Returns the path to open, or an empty string on
    // failure (see error()). Calling it while running returns the current path.
    std::string start();
    // Starts serving on an in-process loop port, on any system; its name is
    // the path to open.
    std::string startInProcess();
    // Ends serving and closes the line (to its client, the device is gone);
    // returns within a few hundred milliseconds and may be called any number
    // of times.
    void stop();
    bool running() const { return running_.load(); }
    const std::string& slavePath() const { return slavePath_; }
    const std::string& error() const { return error_; }

    // Register contents as the next reply would carry them (status included).
    std::uint16_t registerValue(int address);
    // Sets a served register directly, without a request. A status register
    // set this way stays pinned at the value until released.
    bool setRegister(int address, std::uint16_t value);
    void releaseRegister(int address);
    // Sets status registers on a timetable of simulated time (timeMs()): each
    // step pins its register as setRegister does, once its time has come.
    // False, and nothing scheduled, when a step names a register that is not
    // a status register.
    bool schedule(const std::vector<ScheduleStep>& steps);
    void clearSchedule();
    // Puts every parameter back to its factory value.
    void resetParameters();

    // Simulated time: runs with the steady clock unless frozen; advanceTime
    // moves it forward whether frozen or not.
    void freezeTime();
    void resumeTime();
    void advanceTime(std::int64_t ms);
    std::int64_t timeMs();

    // Paces replies at a line rate: a reply's last byte goes out no sooner than
    // (request + reply bytes) x 11 bits / baud after the request arrived, as
    // on a real line. 0 (the default) answers at once.
    void setLineRate(long baud);
    // A faulty line: every `every`-th request (counted over the whole run)
    // loses its reply, alternately by silence and by a damaged CRC. 0 (the
    // default) answers every request; per-address faults come first.
    void setFaultyLine(int every);

    // Replies built by the simulator's own code instead of libmodbus's; where
    // libmodbus is not available (Windows) they always are. Takes effect at
    // the next start.
    void useOwnReplies(bool on) { ownReplies_ = on; }

    void setFault(int address, const Fault& fault);
    void clearFault(int address);
    void clearFaults();

    // The request log (the most recent kLogLimit requests) and the total count.
    static constexpr std::size_t kLogLimit = 10000;
    std::vector<RequestRecord> requests() const;
    std::size_t requestCount() const;
    void clearRequests();

    // What went through the simulator since it was made: bytes taken off the
    // line and reply bytes written; `busy` while a request is being read or
    // handled, and while stop() runs. A test that steps the console's clock lets
    // time move on only once both directions have caught up.
    struct Traffic {
        std::uint64_t in = 0;
        std::uint64_t out = 0;
        bool busy = false;
    };
    Traffic traffic() const;

    // What became of the requests since the simulator was made, as it served
    // them: every request, the replies sent whole, the requests left
    // unanswered on purpose (a fault's or the faulty line's silence), and the
    // replies sent with a damaged CRC (counted among those sent).
    struct Tally {
        std::uint64_t requests = 0;
        std::uint64_t replies = 0;
        std::uint64_t silent = 0;
        std::uint64_t damagedCrc = 0;
    };
    Tally tally() const;

    // The clock of the request log's times (milliseconds); nullptr, the
    // default, is the steady clock. A test that steps the console's clock
    // hands the same one, so that the log tells the console's time. While a
    // fault's delay or gap runs on it, traffic() says not busy, so that the
    // stepping goes on.
    // With `faultTimes`, a fault's delay and split gap count on it as well.
    using StampClock = std::int64_t (*)();
    void setStampClock(StampClock clock, bool faultTimes = false)
    {
        stampClock_ = clock;
        faultTimes_ = faultTimes;
    }

    // What carries requests in and replies out: a pseudo-terminal or a loop port.
    using Link = sim::Link;
    // What renders plain and exception replies: libmodbus or the simulator's own code.
    using Renderer = sim::Renderer;

private:
    std::string begin(std::unique_ptr<Link> link);
    void serve();
    void handle(const std::uint8_t* request, int length);
    std::vector<std::uint8_t> render(const std::uint8_t* request, int length, int exceptionCode);
    int check(int function, int address, int quantityOrValue) const;
    void afterWriteLocked(int address, std::uint16_t value);
    void updateLocked();
    void resetParametersLocked();
    std::uint16_t& cell(int address);
    std::int64_t timeLocked() const;
    bool sendBytes(const std::uint8_t* bytes, std::size_t count);
    // Sleeps up to `ms` (`us`), returning false at once when stop() is called.
    bool pause(int ms);
    bool pauseUs(std::int64_t us);

    // Set up by start(), torn down by stop(); the serving thread uses them in between.
    std::unique_ptr<Link> link_;
    std::unique_ptr<Renderer> renderer_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> busy_{false};  // reading or handling a request
    std::atomic<std::uint64_t> bytesIn_{0};
    std::atomic<std::uint64_t> bytesOut_{0};
    std::atomic<std::uint64_t> tallyRequests_{0};
    std::atomic<std::uint64_t> tallyReplies_{0};
    std::atomic<std::uint64_t> tallySilent_{0};
    std::atomic<std::uint64_t> tallyDamaged_{0};
    std::atomic<StampClock> stampClock_{nullptr};
    std::int64_t stampMs() const;
    // A fault's delay or gap: real milliseconds, or those of the stamp clock when one is set.
    bool replyPause(int ms);
    std::atomic<bool> pausing_{false};  // in replyPause on the stamp clock
    std::atomic<bool> faultTimes_{false};
    std::atomic<long> lineBaud_{0};
    bool ownReplies_ = false;
    std::atomic<int> faultyEvery_{0};
    std::string slavePath_;
    std::string error_;
    std::mutex stopMutex_;  // with stopWake_: wakes a pause at stop()
    std::condition_variable stopWake_;

    mutable std::mutex mutex_;              // guards everything below
    std::vector<std::uint16_t> registers_;  // 2548..4039; only served ones are reachable
    std::map<int, std::uint16_t> pinned_;   // status registers held at a set value
    std::vector<ScheduleStep> schedule_;    // steps still to come, in time order
    std::map<int, Fault> faults_;
    std::deque<RequestRecord> log_;
    std::size_t logTotal_ = 0;
    bool frozen_ = false;
    std::int64_t frozenAt_ = 0;  // simulated time while frozen
    std::int64_t offsetMs_ = 0;  // simulated time = steady ms - epoch + offset
    std::int64_t epochMs_ = 0;
    std::int64_t restoreStartMs_ = -1;  // simulated time of the last restore request
    bool restoreApplied_ = false;
};

}  // namespace sim
