#include "engine/status_history.h"

#include <algorithm>
#include <iterator>

#include "engine/status_text.h"
#include "engine/traffic_decode.h"

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

StatusHistory::StatusHistory() : slots_(kSlots) {}

StatusHistory::Slot& StatusHistory::slotOf(std::int64_t number)
{
    return slots_[static_cast<std::size_t>(((number % kSlots) + kSlots) % kSlots)];
}

const StatusHistory::Slot& StatusHistory::slotOf(std::int64_t number) const
{
    return slots_[static_cast<std::size_t>(((number % kSlots) + kSlots) % kSlots)];
}

void StatusHistory::take(const LineEvent& event)
{
    std::int16_t words[DATAITEMOR_COUNT];
    if (StatusReplyWords(event, words)) add(event.wallMs, words);
}

void StatusHistory::add(std::int64_t wallMs, const std::int16_t (&words)[DATAITEMOR_COUNT])
{
    const std::int64_t number = floorDiv(wallMs, kSlotMs);
    // The calendar was set back by more than the history holds: what is kept
    // would be drawn in the future, so it goes.
    if (newest_ >= 0 && number <= newest_ - kSlots) clear();
    const auto within = static_cast<std::uint16_t>(wallMs - number * kSlotMs);
    Slot& s = slotOf(number);
    if (s.number != number) {
        s.number = number;
        s.firstMs = within;
        s.lastMs = within;
        s.count = 1;
        s.highLast = 0;
        std::copy(std::begin(words), std::end(words), s.low);
        std::copy(std::begin(words), std::end(words), s.high);
    } else {
        s.lastMs = std::max(s.lastMs, within);
        if (s.count < UINT32_MAX) ++s.count;
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
            const std::uint32_t bit = 1U << i;
            if (words[i] > s.high[i]) {
                s.high[i] = words[i];
                s.highLast |= bit;
            } else if (words[i] < s.low[i]) {
                s.low[i] = words[i];
                s.highLast &= ~bit;
            }
        }
    }
    if (number > newest_) newest_ = number;
    newestMs_ = std::max(newestMs_, wallMs);
}

void StatusHistory::points(int item, std::int64_t fromMs, std::int64_t spanMs, std::vector<Point>* out) const
{
    out->clear();
    if (item < 0 || item >= DATAITEMOR_COUNT || newest_ < 0) return;
    spanMs = std::max(spanMs, kSlotMs);
    struct Extreme {
        std::int64_t wallMs;
        std::int16_t word;
        int order;  // within its slot: 0 came first, 1 came later (replies of the same millisecond)
        bool before(const Extreme& o) const
        {
            return wallMs != o.wallMs ? wallMs < o.wallMs : order < o.order;
        }
    };
    // The lowest and the highest word of the span being gathered.
    bool open = false;
    std::int64_t span = 0;
    Extreme low{};
    Extreme high{};
    const auto flush = [&] {
        if (!open) return;
        if (low.word == high.word) {
            out->push_back({std::min(low.wallMs, high.wallMs), StatusPhysical(item, low.word)});
            return;
        }
        const Extreme& a = low.before(high) ? low : high;
        const Extreme& b = low.before(high) ? high : low;
        out->push_back({a.wallMs, StatusPhysical(item, a.word)});
        out->push_back({b.wallMs, StatusPhysical(item, b.word)});
    };
    const std::int64_t first = std::max(floorDiv(fromMs, kSlotMs), newest_ - kSlots + 1);
    const std::uint32_t bit = 1U << item;
    for (std::int64_t n = first; n <= newest_; ++n) {
        const Slot& s = slotOf(n);
        if (s.number != n) continue;
        const std::int64_t base = n * kSlotMs;
        // When in the slot its lowest and its highest word came.
        const bool highLast = (s.highLast & bit) != 0;
        Extreme slotLow{base + (highLast ? s.firstMs : s.lastMs), s.low[item], highLast ? 0 : 1};
        Extreme slotHigh{base + (highLast ? s.lastMs : s.firstMs), s.high[item], highLast ? 1 : 0};
        if (s.count == 1 || slotLow.word == slotHigh.word)
            slotLow.wallMs = slotHigh.wallMs = base + s.firstMs;
        if (slotLow.wallMs < fromMs) slotLow = slotHigh;
        if (slotHigh.wallMs < fromMs) slotHigh = slotLow;
        if (slotLow.wallMs < fromMs) continue;
        const std::int64_t at = floorDiv(base, spanMs);
        if (open && at != span) {
            flush();
            open = false;
        }
        if (!open) {
            open = true;
            span = at;
            low = slotLow;
            high = slotHigh;
            continue;
        }
        if (slotLow.word < low.word) low = slotLow;
        if (slotHigh.word > high.word) high = slotHigh;
    }
    flush();
}

void StatusHistory::clear()
{
    std::fill(slots_.begin(), slots_.end(), Slot{});
    newest_ = -1;
    newestMs_ = -1;
}
