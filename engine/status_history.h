// The status values of the last ten minutes, for the monitor's plots.
//
// Every accepted read of the status block adds its 26 words. The history is
// one buffer of 6,000 slots of 100 ms each, allocated and filled once when it
// is made: whatever the polling rate and however long the console runs, it
// never grows. A slot keeps, for every value, the lowest and the highest word
// of the replies that fell into it, in the order they came, so a short peak
// is still drawn at line-rate polling. The slot of a new reply replaces the
// one ten minutes older. Times are the calendar times of the replies.
//
// Not thread-safe: one owner (the monitor window, on the UI thread).
#pragma once

#include <cstdint>
#include <vector>

#include "modbus/line_events.h"
#include "model/data_item.h"

class StatusHistory {
public:
    static constexpr std::int64_t kSlotMs = 100;
    static constexpr int kMinutes = 10;
    static constexpr int kSlots = static_cast<int>(std::int64_t{kMinutes} * 60000 / kSlotMs);

    struct Point {
        std::int64_t wallMs;
        double value;  // physical unit
    };

    StatusHistory();

    // Takes an accepted status reply; ignores every other event.
    void take(const LineEvent& event);
    // One status reply at calendar time `wallMs`.
    void add(std::int64_t wallMs, const std::int16_t (&words)[DATAITEMOR_COUNT]);
    // Replaces `out` with the points of status item `item` (0..25) from
    // `fromMs` on, oldest first, gathered into spans of `spanMs` (a slot at
    // least; a plot asks for its time per pixel): one point for a span whose
    // value did not move, two (the lowest and the highest, in the order they
    // came) for one where it did.
    void points(int item, std::int64_t fromMs, std::int64_t spanMs, std::vector<Point>* out) const;
    // Calendar time of the newest reply, -1 when there is none.
    std::int64_t newestMs() const { return newestMs_; }
    void clear();

private:
    struct Slot {
        std::int64_t number = -1;   // wallMs / kSlotMs; -1: empty
        std::uint16_t firstMs = 0;  // of the first and last reply, within the slot
        std::uint16_t lastMs = 0;
        std::uint32_t count = 0;
        std::uint32_t highLast = 0;  // bit i: item i's highest word came after its lowest
        std::int16_t low[DATAITEMOR_COUNT] = {};
        std::int16_t high[DATAITEMOR_COUNT] = {};
    };

    Slot& slotOf(std::int64_t number);
    const Slot& slotOf(std::int64_t number) const;

    std::vector<Slot> slots_;
    std::int64_t newest_ = -1;  // number of the newest slot, -1: none
    std::int64_t newestMs_ = -1;
};
