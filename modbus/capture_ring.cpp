#include "modbus/capture_ring.h"

#include <algorithm>
#include <cstring>
#include <limits>

// 16 bytes, then the record's bytes and texts.
struct CaptureRing::Head {
    std::uint16_t size = 0;  // of the whole record
    Kind kind = Kind::Packet;
    CaptureDirection direction = CaptureDirection::Unknown;
    std::uint16_t length = 0;  // the bytes; an interface's speed takes 8
    std::uint8_t text = 0;     // then a comment, or an interface's name
    std::uint8_t text2 = 0;    // then an interface's description
    std::int64_t timeUs = 0;
};
static_assert(16 + kCaptureLongestPacket + 2 * kCaptureLongestText <= 0xFFFF,
              "a record's size fits its head");
static_assert(kCaptureLongestText <= 0xFF, "a text's length fits its head");

namespace {

// Enough for the longest record many times over.
constexpr std::size_t kLeastRoom = std::size_t{64} * 1024;

std::size_t cut(std::size_t n, std::size_t most)
{
    return std::min(n, most);
}

}  // namespace

CaptureRing::CaptureRing(std::size_t capacityBytes, std::int64_t spanUs)
    : ring_(std::max(capacityBytes, kLeastRoom)), spanUs_(spanUs)
{
    static_assert(sizeof(Head) == 16, "a record's head as the ring keeps it");
    for (CaptureInterface* i : {&tailInterface_, &currentInterface_}) {
        i->name.reserve(kCaptureLongestText);
        i->description.reserve(kCaptureLongestText);
    }
}

void CaptureRing::put(std::size_t at, const void* from, std::size_t n)
{
    const auto* p = static_cast<const unsigned char*>(from);
    const std::size_t first = std::min(n, ring_.size() - at);
    if (first > 0) std::memcpy(ring_.data() + at, p, first);
    if (n > first) std::memcpy(ring_.data(), p + first, n - first);
}

void CaptureRing::get(std::size_t at, void* into, std::size_t n) const
{
    auto* p = static_cast<unsigned char*>(into);
    const std::size_t first = std::min(n, ring_.size() - at);
    if (first > 0) std::memcpy(p, ring_.data() + at, first);
    if (n > first) std::memcpy(p + first, ring_.data(), n - first);
}

void CaptureRing::dropOldest(bool forRoom)
{
    Head h;
    get(tail_, &h, sizeof h);
    if (h.kind == Kind::Interface) {
        // Its packets may still be kept: it stays in force at the tail.
        char text[kCaptureLongestText];
        std::uint64_t speed = 0;
        std::size_t at = (tail_ + sizeof h) % ring_.size();
        get(at, &speed, sizeof speed);
        at = (at + h.length) % ring_.size();
        get(at, text, h.text);
        tailInterface_.name.assign(text, h.text);
        at = (at + h.text) % ring_.size();
        get(at, text, h.text2);
        tailInterface_.description.assign(text, h.text2);
        tailInterface_.speed = speed;
        tailOpen_ = true;
    } else if (h.kind == Kind::End) {
        tailOpen_ = false;
    } else if (forRoom) {
        ++droppedForRoom_;
    }
    tail_ = (tail_ + h.size) % ring_.size();
    used_ -= h.size;
    ++firstSequence_;
}

void CaptureRing::add(const Head& head, const void* a, std::size_t an, const void* b, std::size_t bn,
                      const void* c, std::size_t cn)
{
    Head h = head;
    h.size = static_cast<std::uint16_t>(sizeof h + an + bn + cn);
    h.length = static_cast<std::uint16_t>(an);
    h.text = static_cast<std::uint8_t>(bn);
    h.text2 = static_cast<std::uint8_t>(cn);
    std::lock_guard<std::mutex> lock(mutex_);
    while (used_ > 0) {
        Head oldest;
        get(tail_, &oldest, sizeof oldest);
        if (oldest.timeUs >= h.timeUs - spanUs_) break;
        dropOldest(false);
    }
    while (used_ > 0 && ring_.size() - used_ < h.size) dropOldest(true);
    std::size_t at = head_;
    put(at, &h, sizeof h);
    at = (at + sizeof h) % ring_.size();
    put(at, a, an);
    at = (at + an) % ring_.size();
    put(at, b, bn);
    at = (at + bn) % ring_.size();
    put(at, c, cn);
    head_ = (head_ + h.size) % ring_.size();
    used_ += h.size;
    ++nextSequence_;
    newestUs_ = h.timeUs;
    if (h.kind == Kind::Interface) {
        currentInterface_.name.assign(static_cast<const char*>(b), bn);
        currentInterface_.description.assign(static_cast<const char*>(c), cn);
        std::memcpy(&currentInterface_.speed, a, sizeof currentInterface_.speed);
        currentOpen_ = true;
    } else if (h.kind == Kind::End) {
        currentOpen_ = false;
    }
}

void CaptureRing::addInterface(std::int64_t timeUs, const CaptureInterface& i)
{
    Head h;
    h.kind = Kind::Interface;
    h.timeUs = timeUs;
    const std::uint64_t speed = i.speed;
    add(h, &speed, sizeof speed, i.name.data(), cut(i.name.size(), kCaptureLongestText), i.description.data(),
        cut(i.description.size(), kCaptureLongestText));
}

void CaptureRing::addPacket(std::int64_t timeUs, CaptureDirection direction, const unsigned char* bytes,
                            std::size_t length, std::string_view comment)
{
    Head h;
    h.kind = Kind::Packet;
    h.direction = direction;
    h.timeUs = timeUs;
    add(h, bytes, bytes != nullptr ? cut(length, kCaptureLongestPacket) : 0, comment.data(),
        cut(comment.size(), kCaptureLongestText), nullptr, 0);
}

void CaptureRing::addEnd(std::int64_t timeUs, std::string_view comment)
{
    Head h;
    h.kind = Kind::End;
    h.timeUs = timeUs;
    add(h, nullptr, 0, comment.data(), cut(comment.size(), kCaptureLongestText), nullptr, 0);
}

CaptureRing::Stats CaptureRing::stats() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    Stats s;
    s.capacity = ring_.size();
    s.used = used_;
    s.records = nextSequence_ - firstSequence_;
    s.droppedForRoom = droppedForRoom_;
    if (used_ > 0) {
        Head oldest;
        get(tail_, &oldest, sizeof oldest);
        s.oldestUs = oldest.timeUs;
        s.newestUs = newestUs_;
    }
    return s;
}

std::uint64_t CaptureRing::copyLocked(std::size_t at, std::uint64_t records, std::size_t limit,
                                      std::vector<unsigned char>* out, std::size_t* end) const
{
    out->clear();
    std::uint64_t n = 0;
    while (n < records) {
        Head h;
        get(at, &h, sizeof h);
        if (!out->empty() && out->size() + h.size > limit) break;
        const std::size_t had = out->size();
        out->resize(had + h.size);
        get(at, out->data() + had, h.size);
        at = (at + h.size) % ring_.size();
        ++n;
    }
    *end = at;
    return n;
}

std::uint32_t CaptureRing::parse(const unsigned char* p, Record* r)
{
    Head h;
    std::memcpy(&h, p, sizeof h);
    const unsigned char* body = p + sizeof h;
    r->kind = h.kind;
    r->direction = h.direction;
    r->timeUs = h.timeUs;
    r->bytes = body;
    r->length = h.length;
    r->speed = 0;
    if (h.kind == Kind::Interface && h.length == sizeof r->speed)
        std::memcpy(&r->speed, body, sizeof r->speed);
    r->text = std::string_view(reinterpret_cast<const char*>(body + h.length), h.text);
    r->text2 = std::string_view(reinterpret_cast<const char*>(body + h.length + h.text), h.text2);
    return h.size;
}

template <typename Visit>
void CaptureRing::forEach(const std::vector<unsigned char>& copy, Visit visit)
{
    std::size_t at = 0;
    while (at + sizeof(Head) <= copy.size()) {
        Record r;
        const std::uint32_t size = parse(copy.data() + at, &r);
        if (size < sizeof(Head)) return;
        visit(r);
        at += size;
    }
}

void CaptureRing::encode(std::int64_t fromUs, CaptureEncoder& out) const
{
    std::vector<unsigned char> copy;
    CaptureFollower::Blocks blocks;
    blocks.fromUs = fromUs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        copy.reserve(used_);
        std::size_t end = 0;
        copyLocked(tail_, nextSequence_ - firstSequence_, std::numeric_limits<std::size_t>::max(), &copy,
                   &end);
        if (tailOpen_) {
            blocks.interface = tailInterface_;
            blocks.known = true;
        }
    }
    forEach(copy, [&](const Record& r) { blocks.add(r, out); });
}

void CaptureFollower::Blocks::add(const CaptureRing::Record& r, CaptureEncoder& out)
{
    switch (r.kind) {
        case CaptureRing::Kind::Interface:
            interface.name.assign(r.text.data(), r.text.size());
            interface.description.assign(r.text2.data(), r.text2.size());
            interface.speed = r.speed;
            known = true;
            written = false;
            break;
        case CaptureRing::Kind::Packet:
            if (r.timeUs < fromUs) break;
            if (!known) {
                // Packets before any interface was told: a port of which nothing is known.
                interface = CaptureInterface{};
                known = true;
            }
            if (!written) {
                id = out.interface(interface);
                written = true;
            }
            out.packet(id, r.timeUs, r.direction, r.bytes, r.length, r.text);
            ++packets;
            break;
        case CaptureRing::Kind::End:
            if (written) out.interfaceEnd(id, r.timeUs, r.text);
            known = false;
            written = false;
            break;
    }
}

CaptureFollower::CaptureFollower(const CaptureRing& ring) : ring_(ring)
{
    blocks_.fromUs = std::numeric_limits<std::int64_t>::min();
    std::lock_guard<std::mutex> lock(ring_.mutex_);
    next_ = ring_.nextSequence_;
    at_ = ring_.head_;
    if (ring_.currentOpen_) {
        blocks_.interface = ring_.currentInterface_;
        blocks_.known = true;
    }
}

std::uint64_t CaptureFollower::take(CaptureEncoder& out, std::size_t limitBytes)
{
    std::uint64_t n = 0;
    {
        std::lock_guard<std::mutex> lock(ring_.mutex_);
        if (next_ < ring_.firstSequence_) {
            lost_ += ring_.firstSequence_ - next_;
            next_ = ring_.firstSequence_;
            at_ = ring_.tail_;
        }
        n = ring_.copyLocked(at_, ring_.nextSequence_ - next_, limitBytes, &batch_, &at_);
        next_ += n;
    }
    CaptureRing::forEach(batch_, [&](const CaptureRing::Record& r) { blocks_.add(r, out); });
    return n;
}

std::uint64_t CaptureFollower::packets() const
{
    return blocks_.packets;
}
