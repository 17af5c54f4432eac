// The last minutes of the line, kept in memory as a capture: interfaces (a
// port opened), packets and interface ends (the port closed), oldest first.
//
// The ring is allocated once, when it is made, and written whole then, so
// that all of it is resident from the start. A record older than the span
// (ten minutes) before the newest goes; when the room runs out first, the
// oldest go sooner (counted). Adding copies the record under one small lock
// and allocates nothing, so that the communication thread can add as it
// reports. Readers copy what they need under the same lock and encode it
// outside it: a whole file of what is kept (encode), or, for a capture to a
// file, what came since the last look (CaptureFollower).
#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "modbus/capture_file.h"

// Room for ten minutes of line-rate polling of the status block at 115200
// bit/s (about 125 exchanges a second, 105 bytes each), with a quarter to spare.
constexpr std::size_t kCaptureKeepBytes = std::size_t{10} << 20;
constexpr std::int64_t kCaptureKeepUs = std::int64_t{10} * 60 * 1000000;
// Longer packets and texts are cut to this when kept.
constexpr std::size_t kCaptureLongestPacket = 4096;
constexpr std::size_t kCaptureLongestText = 255;

class CaptureRing {
public:
    explicit CaptureRing(std::size_t capacityBytes = kCaptureKeepBytes, std::int64_t spanUs = kCaptureKeepUs);
    CaptureRing(const CaptureRing&) = delete;
    CaptureRing& operator=(const CaptureRing&) = delete;

    // --- Adding (any thread) ------------------------------------------------------
    void addInterface(std::int64_t timeUs, const CaptureInterface& i);
    void addPacket(std::int64_t timeUs, CaptureDirection direction, const unsigned char* bytes,
                   std::size_t length, std::string_view comment);
    // The interface in force ends (the port closed).
    void addEnd(std::int64_t timeUs, std::string_view comment);

    // --- Reading ------------------------------------------------------------------
    struct Stats {
        std::size_t capacity = 0;  // bytes
        std::size_t used = 0;      // bytes
        std::uint64_t records = 0;
        std::int64_t oldestUs = 0;  // of the oldest record kept; 0 when there is none
        std::int64_t newestUs = 0;
        std::uint64_t droppedForRoom = 0;  // packets that went before their span was up
    };
    Stats stats() const;
    std::int64_t spanUs() const { return spanUs_; }
    // Appends to `out` the blocks of what is kept with a time from `fromUs` on
    // (the interface in force first), after whatever section header `out` has.
    void encode(std::int64_t fromUs, CaptureEncoder& out) const;

    // A record as kept (its texts and bytes point into a copy of the ring).
    enum class Kind : std::uint8_t { Interface = 1, Packet = 2, End = 3 };
    struct Record {
        Kind kind = Kind::Packet;
        CaptureDirection direction = CaptureDirection::Unknown;
        std::int64_t timeUs = 0;
        const unsigned char* bytes = nullptr;  // a packet's bytes
        std::size_t length = 0;
        std::string_view text;   // a packet's or an end's comment; an interface's name
        std::string_view text2;  // an interface's description
        std::uint64_t speed = 0;
    };

private:
    friend class CaptureFollower;
    struct Head;

    void add(const Head& head, const void* a, std::size_t an, const void* b, std::size_t bn, const void* c,
             std::size_t cn);
    void put(std::size_t at, const void* from, std::size_t n);
    void get(std::size_t at, void* into, std::size_t n) const;
    void dropOldest(bool forRoom);
    // Copies records from byte `at` on, whole, up to `limit` bytes, into `out`
    // (laid out in a line); the count copied. Lock held.
    std::uint64_t copyLocked(std::size_t at, std::uint64_t records, std::size_t limit,
                             std::vector<unsigned char>* out, std::size_t* end) const;
    // The record at `p` of such a copy; its size.
    static std::uint32_t parse(const unsigned char* p, Record* r);
    template <typename Visit>
    static void forEach(const std::vector<unsigned char>& copy, Visit visit);

    mutable std::mutex mutex_;  // guards everything below
    std::vector<unsigned char> ring_;
    std::int64_t spanUs_;
    std::size_t tail_ = 0;  // the oldest record
    std::size_t head_ = 0;  // where the next one goes
    std::size_t used_ = 0;
    std::uint64_t firstSequence_ = 0;  // of the record at tail_
    std::uint64_t nextSequence_ = 0;   // of the next record
    std::int64_t newestUs_ = 0;
    std::uint64_t droppedForRoom_ = 0;
    // The interface in force at the tail (its record may have gone) and the
    // one in force now; their strings keep room for the longest text.
    CaptureInterface tailInterface_;
    bool tailOpen_ = false;
    CaptureInterface currentInterface_;
    bool currentOpen_ = false;
};

// Reads a ring from the moment it is made, batch by batch, as pcapng blocks:
// the interface in force then, and everything added since. A follower that
// falls behind by more than the ring holds loses the oldest records it has
// not taken (lost()).
class CaptureFollower {
public:
    explicit CaptureFollower(const CaptureRing& ring);
    // Appends the blocks of up to about `limitBytes` of records not yet taken
    // to `out`; the number of records taken.
    std::uint64_t take(CaptureEncoder& out, std::size_t limitBytes = std::size_t{256} * 1024);
    std::uint64_t lost() const { return lost_; }
    std::uint64_t packets() const;

    // Turns records into blocks, the interface of a packet before it.
    struct Blocks {
        CaptureInterface interface;
        bool known = false;    // an interface is in force
        bool written = false;  // and its block is written
        std::uint32_t id = 0;
        std::int64_t fromUs = 0;
        std::uint64_t packets = 0;
        void add(const CaptureRing::Record& r, CaptureEncoder& out);
    };

private:
    const CaptureRing& ring_;
    std::uint64_t next_ = 0;  // the sequence of the next record to take
    std::size_t at_ = 0;      // its place in the ring
    std::uint64_t lost_ = 0;
    Blocks blocks_;
    std::vector<unsigned char> batch_;
};
