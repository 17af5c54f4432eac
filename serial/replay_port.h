// A recorded session played back as a controller: a capture of the line
// (modbus/capture_file.h) opens like a port, and each request the console
// writes is answered with what the controller answered to the same request
// when the capture was made, at the time it came then.
//
// While a replay runs it owns the console's clock: ClockUs and the calendar
// (WallClockUs) tell the captured time, and only the line's own waits (its
// passes, its waits for a reply) move that time on: at the captured pace
// times the speed, or at "max" with no wait at all. A request that the
// capture made later than the console makes it moves the clock on to the
// captured time, so that a pause of the line in the capture (the port closed
// and opened again) costs nothing and every time after it is the captured one.
//
// A request is matched to the first exchange of the capture not yet played,
// among the next few, whose request has the same bytes; the exchanges the
// console never asks for (the technician's reads and writes of the session)
// are passed over once the clock is past them. A request with no match is
// not answered, as a silent controller would not answer it.
//
// Nothing written during a replay goes anywhere: the replay's device takes
// the requests and drops them, every other device refuses to open, and every
// write submitted ends "not written: replay" (modbus/write_outcome.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "modbus/capture_file.h"
#include "platform/port/serial.h"

// The line as the capture's interface names it: "COM4 /dev/ttyUSB0 19200 8O1"
// and "..., line rate, reply time-out 500 ms" or "..., 100 ms passes".
struct ReplayLine {
    long baud = 19200;
    int parity = 1;  // 0 none, 1 odd, 2 even
    int dataBits = 8;
    int stopBits = 1;
    bool lineRate = false;
    int replyTimeoutMs = 0;  // line rate; 0 when the description gives none
};
ReplayLine ReplayLineOf(const CaptureInterface& port);

// A capture read whole, as exchanges: a request and the inbound packets that
// followed it until the next request.
class ReplayRecording {
public:
    struct Block {  // an interface: the port from its opening to its closing
        CaptureInterface port;
        ReplayLine line;
        std::int64_t firstUs = 0;
        std::int64_t lastUs = 0;
        std::size_t exchanges = 0;
    };
    struct Chunk {
        std::int64_t timeUs = 0;
        std::uint32_t at = 0;  // in bytes()
        std::uint32_t length = 0;
    };
    struct Exchange {
        std::int64_t requestUs = 0;
        std::uint32_t at = 0;
        std::uint32_t length = 0;
        std::uint32_t firstChunk = 0;
        std::uint32_t chunks = 0;
        std::uint32_t block = 0;
    };

    // Reads `path` to its end. False with *error, "FILE: byte N: what is
    // wrong", for a file that is not a capture of the line, is cut short or
    // holds no request.
    bool load(const std::string& path, std::string* error);
    bool loadBytes(std::vector<unsigned char> bytes, const std::string& name, std::string* error);

    const std::string& name() const { return name_; }
    const std::vector<Block>& blocks() const { return blocks_; }
    const std::vector<Exchange>& exchanges() const { return exchanges_; }
    const std::vector<Chunk>& chunks() const { return chunks_; }
    const unsigned char* bytes(std::uint32_t at) const { return bytes_.data() + at; }
    std::int64_t firstUs() const { return blocks_.empty() ? 0 : blocks_.front().firstUs; }
    std::int64_t lastUs() const { return blocks_.empty() ? 0 : blocks_.back().lastUs; }

private:
    bool read(CaptureReader& reader, std::string* error);
    void packet(const CapturePacket& p);

    std::string name_;
    std::vector<Block> blocks_;
    std::vector<Exchange> exchanges_;
    std::vector<Chunk> chunks_;
    std::vector<unsigned char> bytes_;
    std::vector<std::int64_t> blockOf_;  // the file's interface id -> block, -1 for none
    bool lastOutbound_ = false;          // direction guessing for classic pcap
    std::vector<unsigned char> lastBytes_;
};

class Replay {
public:
    static constexpr double kMax = 0;  // as fast as the console takes it

    explicit Replay(std::shared_ptr<const ReplayRecording> recording);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // Takes over the clock, the serial driver and the writes, the clock at
    // the capture's first request. One replay runs at a time: false when
    // another does.
    bool start(double speed);
    // Gives them back.
    void stop();
    bool running() const { return running_.load(); }

    // The path that opens the replay's device ("replay:FILE").
    std::string devicePath() const;
    const ReplayRecording& recording() const { return *recording_; }

    // 1, 2, 5, 10 or kMax. While a seek runs, the speed it goes on at.
    void setSpeed(double speed);
    double speed() const { return speed_.load(); }
    // Plays on at kMax until the captured time reaches `targetUs`, then goes
    // on at `thenSpeed`, paused when `thenPaused`.
    void playTo(std::int64_t targetUs, double thenSpeed, bool thenPaused);
    bool seeking() const { return seekUs_.load() >= 0; }
    // The next time the replay's device opens, the replay starts again from
    // the capture's start: every exchange unplayed, no reply pending, the
    // clock at the first request, and `rewound` called (on the thread that
    // opens the device, before the console learns of the open) for the
    // readers of the line to forget what they took from the replay so far.
    void rewindAtNextOpen(std::function<void()> rewound);
    // Before the time moves on, the replay waits (a little real time at
    // most) while `behind` holds: the readers of the line that run on a
    // timer of their own have yet to catch up. An empty one removes it.
    void setHold(std::function<bool()> behind);
    // While paused the line's waits do not end: the captured time stands still.
    void setPaused(bool paused);
    bool paused() const { return paused_.load(); }

    // The captured time now.
    std::int64_t nowUs() const { return nowUs_.load(); }
    // The block of the exchange played last.
    std::size_t block() const { return block_.load(); }
    // Every exchange played or passed over and every reply byte taken, and a
    // second more for the console to make something of the last. From then
    // on the captured time stands still and the line's waits take real time.
    bool finished();
    // The requests of the exchanges not yet played that a request made now
    // would be matched with, in the capture's order.
    std::vector<std::vector<unsigned char>> upcoming();
    std::uint64_t answered() const { return answered_.load(); }
    std::uint64_t unanswered() const { return unanswered_.load(); }

    // --- The device's side (the port calls these one at a time) -------------------
    void answer(const unsigned char* request, int length);
    int take(char* into, int count);
    int queued();
    int waitInput(double timeoutSeconds);
    void flush();
    void deviceOpened(bool opened);

    // --- The clock's side (platform/clock.h) --------------------------------------
    void pass(int milliseconds);   // the line's pass: moves the time on
    void sleep(int milliseconds);  // any other wait: ends as the time moves on

private:
    struct Pending {
        std::int64_t dueUs;
        std::uint32_t at;
        std::uint32_t length;
    };
    class Driver;

    // Moves the captured time on to `targetUs`, pacing it by the speed.
    void advanceTo(std::int64_t targetUs);
    void moveTo(std::int64_t targetUs);
    // At the seek's target: the speed and pause it goes on with.
    void arriveIfDue();
    void rewind();
    // Holds the line's thread while paused; false once the replay stops.
    void holdWhilePaused();
    void passOverLocked();
    bool endedLocked();
    bool isLineThread() const;
    void markLineThread();

    std::shared_ptr<const ReplayRecording> recording_;
    std::unique_ptr<Driver> driver_;
    std::mutex holdMutex_;
    std::function<bool()> hold_;
    std::atomic<bool> running_{false};
    std::atomic<double> speed_{kMax};
    std::atomic<bool> paused_{false};
    std::atomic<std::int64_t> nowUs_{0};
    std::atomic<std::size_t> block_{0};
    std::atomic<std::uint64_t> answered_{0};
    std::atomic<std::uint64_t> unanswered_{0};
    std::atomic<std::thread::id> lineThread_{};
    std::atomic<int> openDevices_{0};
    std::atomic<std::int64_t> seekUs_{-1};
    std::atomic<double> thenSpeed_{kMax};
    std::atomic<bool> thenPaused_{false};
    std::mutex rewindMutex_;
    std::function<void()> rewound_;  // set: rewind at the next open
    bool rewindDue_ = false;

    std::mutex mutex_;  // the exchanges' state below
    std::size_t cursor_ = 0;
    std::vector<bool> played_;
    std::deque<Pending> pending_;
    std::int64_t lastDeliveredUs_ = 0;
    std::uint64_t rewinds_ = 0;  // a wait begun before a rewind leaves the clock alone
};
