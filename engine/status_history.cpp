#include "engine/status_history.h"

#include <algorithm>
#include <iterator>

#include "modbus/modbus.h"

namespace {

constexpr unsigned char kFunctionRead = 0x03;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

bool StatusWordsOf(const LineEvent& e, std::int16_t (&words)[DATAITEMOR_COUNT])
{
    if (e.kind != LineEventKind::ReplyAccepted || e.result != MODBUS_READ_ACCEPTED) return false;
    if (e.requestLength < 6 || e.request[1] != kFunctionRead) return false;
    const int address = (e.request[2] << 8) | e.request[3];
    const int count = (e.request[4] << 8) | e.request[5];
    if (address != kStatusTable.first_register || count != DATAITEMOR_COUNT ||
        e.length < 3 + 2 * DATAITEMOR_COUNT) {
        return false;
    }
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        const int w = (e.bytes[3 + 2 * i] << 8) | e.bytes[4 + 2 * i];
        words[i] = static_cast<std::int16_t>(w >= 0x8000 ? w - 0x10000 : w);
    }
    return true;
}

double StatusValue(int item, int word)
{
    if (item < 0 || item >= DATAITEMOR_COUNT) return word;
    const DataItem& d = kStatusTable.items[item];
    const int den = d.scale_den.load();
    return den != 0 ? static_cast<double>(word) * d.scale_num.load() / den : word;
}

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
    if (StatusWordsOf(event, words)) add(event.wallMs, words);
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

void StatusHistory::points(int item, std::int64_t fromMs, std::vector<Point>* out) const
{
    out->clear();
    if (item < 0 || item >= DATAITEMOR_COUNT || newest_ < 0) return;
    const std::int64_t first = std::max(floorDiv(fromMs, kSlotMs), newest_ - kSlots + 1);
    const std::uint32_t bit = 1U << item;
    for (std::int64_t n = first; n <= newest_; ++n) {
        const Slot& s = slotOf(n);
        if (s.number != n) continue;
        const std::int64_t base = n * kSlotMs;
        const double low = StatusValue(item, s.low[item]);
        const double high = StatusValue(item, s.high[item]);
        if (s.count == 1 || s.low[item] == s.high[item]) {
            if (base + s.firstMs >= fromMs) out->push_back({base + s.firstMs, low});
            continue;
        }
        const bool highLast = (s.highLast & bit) != 0;
        if (base + s.firstMs >= fromMs) out->push_back({base + s.firstMs, highLast ? low : high});
        if (base + s.lastMs >= fromMs) out->push_back({base + s.lastMs, highLast ? high : low});
    }
}

void StatusHistory::clear()
{
    std::fill(slots_.begin(), slots_.end(), Slot{});
    newest_ = -1;
    newestMs_ = -1;
}
