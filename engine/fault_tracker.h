// Fault history: which fault bits came on, when, for how long, and which came
// first.
//
// The tracker watches the three fault words of the status block (registers
// 2762..2764: 48 bits, fault 16 x w + b is bit b of word w, row 16 x w + b + 1
// of the main panel's "Error list") in every accepted status reply, and tells
// its observers of each change:
//   ON    a bit went from 0 to 1, or was already on in the first reply after
//         the port opened (or after the link was lost). It is first-out when
//         no fault bit was on in the reply before it; bits that come on
//         together are all first. At a first reply there is no reply before,
//         so every bit on then is first.
//   OFF   a bit went from 1 to 0; the duration runs from the onset reply to
//         this one.
//   lost  the link was lost (the port closed or failed, or no status reply for
//         more than kStaleMs) while the bit was on: the console cannot know
//         when it cleared. The duration runs to the loss.
// Every event carries the 26 status words of its onset reply, the freeze
// frame. Times are those of the replies, so they are exact to one status read
// interval (0.5 s on the 100 ms passes, about 0.05 s with line-rate polling).
//
// The tracker holds no lock: one thread at a time feeds it (see
// engine/fault_feed.h), and it calls its observers on that thread. Observers
// must return quickly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/data_item.h"

constexpr int kFaultWordItem = STATUS_FIRST_FAULT_WORD;  // status item of the first fault word
constexpr int kFaultWordCount = STATUS_FAULT_WORDS;
constexpr int kFaultBitCount = 16 * kFaultWordCount;

// The 26 words of one status reply, in item order, as signed 16-bit numbers.
using StatusWords = std::array<std::int16_t, DATAITEMOR_COUNT>;

// An accepted reply to the status read and when it arrived.
struct StatusReply {
    std::int64_t wallMs = 0;   // calendar time, ms since 1970 (UTC)
    std::int64_t clockUs = 0;  // ClockUs(): durations are measured on it
    StatusWords words{};
};

enum class FaultEventKind { On, Off, Lost };

// "ON", "OFF" or "lost", as the journal writes them.
const char* FaultEventName(FaultEventKind kind);

struct FaultEvent {
    std::uint64_t sequence = 0;  // counts from 1 over the tracker's life
    FaultEventKind kind = FaultEventKind::On;
    int bit = 0;               // 0..47
    std::int64_t wallMs = 0;   // of the event: the reply, or the loss
    std::int64_t clockUs = 0;  // the same on ClockUs()
    std::int64_t onsetWallMs = 0;
    double durationS = 0.0;  // OFF and lost; 0 on ON
    bool first = false;      // ON: first-out
    int occurrence = 0;      // how often the bit has come on since the port opened, this onset included
    StatusWords frame{};     // the status words of the onset reply

    int registerAddress() const;  // 2762..2764
    int bitInWord() const { return bit % 16; }
};

class FaultObserver {
public:
    virtual ~FaultObserver() = default;
    virtual void faultEvent(const FaultEvent& event) = 0;
    // The port was opened: counts since the port opened start again.
    virtual void portOpened() {}
};

class FaultTracker {
public:
    // Observers are not owned; remove one before it goes.
    void addObserver(FaultObserver* observer);
    void removeObserver(FaultObserver* observer);

    // An accepted status reply. A reply more than kStaleMs after the one
    // before counts as a new link: the bits on before are lost first.
    void statusReply(const StatusReply& reply);
    // The link was lost at this time: every bit on gets its lost event, and
    // the next reply is a first reply.
    void linkLost(std::int64_t wallMs, std::int64_t clockUs);
    // The port was (re)opened: as a loss, and the counts start again.
    void portOpened(std::int64_t wallMs, std::int64_t clockUs);
    // Forgets everything without any event (observers stay).
    void reset();

    // A reply has been seen since the start, the last loss or the last open.
    bool tracking() const { return tracking_; }
    // The last reply seen while tracking.
    const StatusReply& lastReply() const { return last_; }
    // A fault bit was on at some time since reset.
    bool anySeen() const { return anySeen_; }
    int activeCount() const;
    // Fault `bit` is on now, and since when (wall ms; 0 when off).
    bool isOn(int bit) const;
    std::int64_t onSinceWallMs(int bit) const;
    // The recent interval between status replies in seconds; -1 before two
    // replies in a row were seen.
    double readIntervalS() const { return intervalS_; }

private:
    struct BitState {
        bool on = false;
        std::int64_t onsetWallMs = 0;
        std::int64_t onsetClockUs = 0;
        int occurrences = 0;
        StatusWords frame{};
    };

    void report(FaultEvent event);
    void endAll(FaultEventKind kind, std::int64_t wallMs, std::int64_t clockUs);

    std::vector<FaultObserver*> observers_;
    std::array<BitState, kFaultBitCount> bits_{};
    StatusReply last_;
    bool tracking_ = false;
    bool anySeen_ = false;
    double intervalS_ = -1.0;
    std::uint64_t sequence_ = 0;
};

// Whether fault `bit` (0..47) is set in the fault words of `words`.
bool FaultBitSet(const StatusWords& words, int bit);
