#include "modbus/capture_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Block types.
constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kObsoletePacket = 2;
constexpr std::uint32_t kSimplePacket = 3;
constexpr std::uint32_t kInterfaceStatistics = 5;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

// Options.
constexpr std::uint16_t kEndOfOptions = 0;
constexpr std::uint16_t kComment = 1;
constexpr std::uint16_t kApplication = 4;  // shb_userappl
constexpr std::uint16_t kIfName = 2;
constexpr std::uint16_t kIfDescription = 3;
constexpr std::uint16_t kIfSpeed = 8;
constexpr std::uint16_t kIfTimeResolution = 9;
constexpr std::uint16_t kIfTimeOffset = 14;
constexpr std::uint16_t kPacketFlags = 2;  // epb_flags
constexpr std::uint16_t kIsbEndTime = 3;

constexpr std::uint32_t kInbound = 1;
constexpr std::uint32_t kOutbound = 2;
constexpr std::uint32_t kSnapLength = 262144;
constexpr std::size_t kLongestOption = 0xFFFF;
// Far more than any block of a capture of the line: a longer one is damage,
// and is refused before it is read.
constexpr std::uint32_t kLongestBlock = 16u << 20;
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;

constexpr std::int64_t kUsPerSecond = 1000000;

std::string at(std::uint64_t n)
{
    return std::to_string(n);
}

std::size_t padded(std::size_t n)
{
    return (n + 3) & ~static_cast<std::size_t>(3);
}

}  // namespace

// --- Writing ------------------------------------------------------------------------

void CaptureEncoder::u16(std::uint16_t v)
{
    out_.push_back(static_cast<unsigned char>(v & 0xFF));
    out_.push_back(static_cast<unsigned char>(v >> 8));
}

void CaptureEncoder::u32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

void CaptureEncoder::u64(std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) out_.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

void CaptureEncoder::raw(const void* bytes, std::size_t length)
{
    if (length == 0) return;
    const auto* p = static_cast<const unsigned char*>(bytes);
    out_.insert(out_.end(), p, p + length);
}

void CaptureEncoder::pad()
{
    while ((out_.size() - blockStart_) % 4 != 0) out_.push_back(0);
}

void CaptureEncoder::beginBlock(std::uint32_t type)
{
    blockStart_ = out_.size();
    u32(type);
    u32(0);  // the length, once known
}

void CaptureEncoder::endBlock()
{
    const auto length = static_cast<std::uint32_t>(out_.size() - blockStart_ + 4);
    u32(length);
    for (int i = 0; i < 4; ++i) {
        out_[blockStart_ + 4 + static_cast<std::size_t>(i)] =
            static_cast<unsigned char>((length >> (8 * i)) & 0xFF);
    }
}

void CaptureEncoder::option(std::uint16_t code, const void* value, std::size_t length)
{
    length = std::min(length, kLongestOption);
    u16(code);
    u16(static_cast<std::uint16_t>(length));
    raw(value, length);
    pad();
}

void CaptureEncoder::endOptions()
{
    u16(kEndOfOptions);
    u16(0);
}

void CaptureEncoder::section(std::string_view application, std::string_view comment)
{
    beginBlock(kSectionHeader);
    u32(kByteOrderMagic);
    u16(1);
    u16(0);
    u64(~std::uint64_t{0});  // section length not given: the file is written as it goes
    if (!application.empty()) option(kApplication, application.data(), application.size());
    if (!comment.empty()) option(kComment, comment.data(), comment.size());
    endOptions();
    endBlock();
    interfaces_ = 0;
}

std::uint32_t CaptureEncoder::interface(const CaptureInterface& i)
{
    beginBlock(kInterfaceDescription);
    u16(kCaptureLinkType);
    u16(0);
    u32(kSnapLength);
    if (!i.name.empty()) option(kIfName, i.name.data(), i.name.size());
    if (!i.description.empty()) option(kIfDescription, i.description.data(), i.description.size());
    if (i.speed > 0) {
        unsigned char speed[8];
        for (int b = 0; b < 8; ++b) speed[b] = static_cast<unsigned char>((i.speed >> (8 * b)) & 0xFF);
        option(kIfSpeed, speed, sizeof speed);
    }
    const unsigned char microseconds = 6;
    option(kIfTimeResolution, &microseconds, 1);
    endOptions();
    endBlock();
    return interfaces_++;
}

void CaptureEncoder::packet(std::uint32_t interfaceId, std::int64_t timeUs, CaptureDirection direction,
                            const unsigned char* bytes, std::size_t length, std::string_view comment)
{
    if (bytes == nullptr) length = 0;
    const auto units = static_cast<std::uint64_t>(std::max<std::int64_t>(timeUs, 0));
    beginBlock(kEnhancedPacket);
    u32(interfaceId);
    u32(static_cast<std::uint32_t>(units >> 32));
    u32(static_cast<std::uint32_t>(units & 0xFFFFFFFFu));
    u32(static_cast<std::uint32_t>(length));
    u32(static_cast<std::uint32_t>(length));
    raw(bytes, length);
    pad();
    if (direction != CaptureDirection::Unknown) {
        const std::uint32_t flags = direction == CaptureDirection::Inbound ? kInbound : kOutbound;
        unsigned char value[4];
        for (int b = 0; b < 4; ++b) value[b] = static_cast<unsigned char>((flags >> (8 * b)) & 0xFF);
        option(kPacketFlags, value, sizeof value);
    }
    if (!comment.empty()) option(kComment, comment.data(), comment.size());
    endOptions();
    endBlock();
}

void CaptureEncoder::interfaceEnd(std::uint32_t interfaceId, std::int64_t timeUs, std::string_view comment)
{
    const auto units = static_cast<std::uint64_t>(std::max<std::int64_t>(timeUs, 0));
    beginBlock(kInterfaceStatistics);
    u32(interfaceId);
    u32(static_cast<std::uint32_t>(units >> 32));
    u32(static_cast<std::uint32_t>(units & 0xFFFFFFFFu));
    if (!comment.empty()) option(kComment, comment.data(), comment.size());
    unsigned char end[8];
    const std::uint32_t halves[2] = {static_cast<std::uint32_t>(units >> 32),
                                     static_cast<std::uint32_t>(units & 0xFFFFFFFFu)};
    for (int h = 0; h < 2; ++h) {
        for (int b = 0; b < 4; ++b)
            end[4 * h + b] = static_cast<unsigned char>((halves[h] >> (8 * b)) & 0xFF);
    }
    option(kIsbEndTime, end, sizeof end);
    endOptions();
    endBlock();
}

// --- Reading ------------------------------------------------------------------------

struct CaptureReader::Source {
    virtual ~Source() = default;
    virtual std::size_t read(unsigned char* into, std::size_t count) = 0;
};

namespace {

class FileSource : public CaptureReader::Source {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    ~FileSource() override { std::fclose(file_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::size_t read(unsigned char* into, std::size_t count) override
    {
        return std::fread(into, 1, count, file_);
    }

private:
    std::FILE* file_;
};

class MemorySource : public CaptureReader::Source {
public:
    explicit MemorySource(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(unsigned char* into, std::size_t count) override
    {
        const std::size_t n = std::min(count, bytes_.size() - pos_);
        if (n > 0) std::memcpy(into, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    std::vector<unsigned char> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

CaptureReader::CaptureReader() = default;
CaptureReader::~CaptureReader() = default;

bool CaptureReader::open(const std::string& path, std::string* error)
{
    name_ = path;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error_ = path + ": " + std::strerror(errno);
        if (error != nullptr) *error = error_;
        return false;
    }
    source_ = std::make_unique<FileSource>(file);
    const bool ok = start();
    if (!ok && error != nullptr) *error = error_;
    return ok;
}

bool CaptureReader::openBytes(std::vector<unsigned char> bytes, const std::string& name, std::string* error)
{
    name_ = name;
    source_ = std::make_unique<MemorySource>(std::move(bytes));
    const bool ok = start();
    if (!ok && error != nullptr) *error = error_;
    return ok;
}

std::size_t CaptureReader::read(unsigned char* into, std::size_t count)
{
    const std::size_t n = source_->read(into, count);
    offset_ += n;
    return n;
}

CaptureReader::Item CaptureReader::fail(std::uint64_t where, const std::string& what)
{
    error_ = name_ + ": byte " + at(where) + ": " + what;
    done_ = true;
    return Item::Error;
}

std::uint16_t CaptureReader::get16(const unsigned char* p) const
{
    return bigEndian_ ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                      : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t CaptureReader::get32(const unsigned char* p) const
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[bigEndian_ ? 3 - i : i]) << (8 * i);
    return v;
}

std::uint64_t CaptureReader::get64(const unsigned char* p) const
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(p[bigEndian_ ? 7 - i : i]) << (8 * i);
    return v;
}

bool CaptureReader::start()
{
    offset_ = 0;
    done_ = false;
    error_.clear();
    unsigned char magic[4];
    const std::size_t n = read(magic, 4);
    if (n == 0) return fail(0, "empty: not a capture") != Item::Error;
    if (n < 4) return fail(n, "too short to be a capture") != Item::Error;
    if (magic[0] == 0x0A && magic[1] == 0x0D && magic[2] == 0x0D && magic[3] == 0x0A) {
        format_ = Format::Pcapng;
        return section(0, true) != Item::Error;
    }
    // Classic pcap: the magic in either byte order, for microseconds or nanoseconds.
    const std::uint32_t little =
        static_cast<std::uint32_t>(magic[0]) | static_cast<std::uint32_t>(magic[1]) << 8 |
        static_cast<std::uint32_t>(magic[2]) << 16 | static_cast<std::uint32_t>(magic[3]) << 24;
    const std::uint32_t big =
        static_cast<std::uint32_t>(magic[3]) | static_cast<std::uint32_t>(magic[2]) << 8 |
        static_cast<std::uint32_t>(magic[1]) << 16 | static_cast<std::uint32_t>(magic[0]) << 24;
    if (little == 0xA1B2C3D4 || little == 0xA1B23C4D) {
        bigEndian_ = false;
        pcapNano_ = little == 0xA1B23C4D;
    } else if (big == 0xA1B2C3D4 || big == 0xA1B23C4D) {
        bigEndian_ = true;
        pcapNano_ = big == 0xA1B23C4D;
    } else {
        return fail(0, "not a capture (neither pcapng nor pcap)") != Item::Error;
    }
    unsigned char header[20];
    if (read(header, sizeof header) < sizeof header) {
        return fail(offset_, "the file ends inside its pcap header") != Item::Error;
    }
    const std::uint16_t major = get16(header);
    if (major != 2) {
        return fail(4, "pcap version " + std::to_string(major) + "." + std::to_string(get16(header + 2)) +
                           ": not one this console reads") != Item::Error;
    }
    const std::uint32_t link = get32(header + 16) & 0x0FFFFFFFu;
    if (link != kCaptureLinkType) {
        return fail(20, "link type " + std::to_string(link) + ", not 147 (Modbus RTU frames)") != Item::Error;
    }
    format_ = Format::Pcap;
    return true;
}

bool CaptureReader::readBody(std::uint64_t blockAt, std::uint32_t length)
{
    // The head (8 bytes, or 12 with a section's byte-order mark) is read.
    const std::uint64_t headLength = offset_ - blockAt;
    if (length % 4 != 0 || length < headLength + 4) {
        fail(blockAt + 4, "block length " + std::to_string(length) + " is not a possible one");
        return false;
    }
    if (length > kLongestBlock) {
        fail(blockAt + 4,
             "block of " + std::to_string(length) + " bytes: longer than a capture of the line has");
        return false;
    }
    // Read as it comes: a damaged length costs no more memory than the file has.
    const std::size_t body = static_cast<std::size_t>(length - headLength);
    block_.clear();
    while (block_.size() < body) {
        const std::size_t had = block_.size();
        const std::size_t want = std::min(kReadChunk, body - had);
        block_.resize(had + want);
        const std::size_t n = read(block_.data() + had, want);
        if (n < want) {
            fail(offset_, "the file ends inside the block that starts at byte " + at(blockAt));
            return false;
        }
    }
    const std::uint32_t closing = get32(block_.data() + body - 4);
    if (closing != length) {
        fail(blockAt + length - 4, "the block that starts at byte " + at(blockAt) + " closes with length " +
                                       std::to_string(closing) + ", not " + std::to_string(length));
        return false;
    }
    block_.resize(body - 4);
    return true;
}

template <typename Take>
bool CaptureReader::options(std::uint64_t base, std::size_t from, Take take)
{
    std::size_t pos = from;
    while (pos + 4 <= block_.size()) {
        const std::uint16_t code = get16(block_.data() + pos);
        const std::uint16_t length = get16(block_.data() + pos + 2);
        if (code == kEndOfOptions) return true;
        if (pos + 4 + length > block_.size()) {
            fail(base + pos, "option " + std::to_string(code) + " runs past the end of its block");
            return false;
        }
        if (!take(code, block_.data() + pos + 4, length, base + pos)) return false;
        pos += 4 + padded(length);
    }
    return true;
}

CaptureReader::Item CaptureReader::section(std::uint64_t blockAt, bool first)
{
    unsigned char head[8];  // the length and the byte-order mark
    if (read(head, sizeof head) < sizeof head) {
        return fail(offset_, first ? "too short to be a capture" : "the file ends inside a section header");
    }
    if (head[4] == 0x4D && head[5] == 0x3C && head[6] == 0x2B && head[7] == 0x1A) {
        bigEndian_ = false;
    } else if (head[4] == 0x1A && head[5] == 0x2B && head[6] == 0x3C && head[7] == 0x4D) {
        bigEndian_ = true;
    } else {
        return fail(blockAt + 8, "a section header without its byte-order mark: not a pcapng capture");
    }
    if (!readBody(blockAt, get32(head))) return Item::Error;
    const std::uint64_t base = blockAt + 12;
    if (block_.size() < 12) return fail(blockAt + 4, "a section header too short for its fields");
    const std::uint16_t major = get16(block_.data());
    if (major != 1) {
        return fail(base, "pcapng version " + std::to_string(major) + "." +
                              std::to_string(get16(block_.data() + 2)) + ": not one this console reads");
    }
    application_.clear();
    const bool ok =
        options(base, 12, [this](std::uint16_t code, const unsigned char* v, std::size_t n, std::uint64_t) {
            if (code == kApplication) application_.assign(reinterpret_cast<const char*>(v), n);
            return true;
        });
    if (!ok) return Item::Error;
    sectionFirst_ += static_cast<std::uint32_t>(clocks_.size());
    clocks_.clear();
    return Item::End;  // nothing to hand out: reading goes on
}

CaptureReader::Item CaptureReader::next()
{
    if (!error_.empty()) return Item::Error;
    if (done_ || source_ == nullptr) return Item::End;
    return format_ == Format::Pcapng ? nextPcapng() : nextPcap();
}

CaptureReader::Item CaptureReader::nextPcapng()
{
    for (;;) {
        const std::uint64_t blockAt = offset_;
        unsigned char head[8];
        const std::size_t n = read(head, 4);
        if (n == 0) {
            done_ = true;
            return Item::End;
        }
        if (n < 4) return fail(offset_, "the file ends inside the head of a block");
        if (head[0] == 0x0A && head[1] == 0x0D && head[2] == 0x0D && head[3] == 0x0A) {
            if (section(blockAt, false) == Item::Error) return Item::Error;
            continue;
        }
        if (read(head + 4, 4) < 4) return fail(offset_, "the file ends inside the head of a block");
        const std::uint32_t type = get32(head);
        if (!readBody(blockAt, get32(head + 4))) return Item::Error;
        switch (type) {
            case kInterfaceDescription:
                return interfaceBlock(blockAt);
            case kEnhancedPacket:
                return packetBlock(blockAt, false);
            case kObsoletePacket:
                return packetBlock(blockAt, true);
            case kInterfaceStatistics:
                return statisticsBlock(blockAt);
            case kSimplePacket:
                return fail(blockAt,
                            "a simple packet block, which carries no time: not one this console reads");
            default:
                continue;  // name resolution, secrets, custom blocks: nothing of the line
        }
    }
}

CaptureReader::Item CaptureReader::interfaceBlock(std::uint64_t blockAt)
{
    const std::uint64_t base = blockAt + 8;
    if (block_.size() < 8) return fail(blockAt + 4, "an interface description too short for its fields");
    const std::uint16_t link = get16(block_.data());
    const std::size_t number = clocks_.size();
    if (link != kCaptureLinkType) {
        return fail(base, "interface " + std::to_string(number) + " has link type " + std::to_string(link) +
                              ", not 147 (Modbus RTU frames)");
    }
    CaptureInterface i;
    Clock clock;
    const bool ok =
        options(base, 8, [&](std::uint16_t code, const unsigned char* v, std::size_t n, std::uint64_t where) {
            switch (code) {
                case kIfName:
                    i.name.assign(reinterpret_cast<const char*>(v), n);
                    break;
                case kIfDescription:
                    i.description.assign(reinterpret_cast<const char*>(v), n);
                    break;
                case kIfSpeed:
                    if (n >= 8) i.speed = get64(v);
                    break;
                case kIfTimeResolution:
                    if (n >= 1) {
                        clock.decimal = (v[0] & 0x80) == 0;
                        clock.exponent = v[0] & 0x7F;
                        if ((clock.decimal && clock.exponent > 18) ||
                            (!clock.decimal && clock.exponent > 63)) {
                            fail(where, "a time resolution this console does not read");
                            return false;
                        }
                    }
                    break;
                case kIfTimeOffset:
                    if (n >= 8) clock.offsetS = static_cast<std::int64_t>(get64(v));
                    break;
                default:
                    break;
            }
            return true;
        });
    if (!ok) return Item::Error;
    clocks_.push_back(clock);
    interface_ = std::move(i);
    return Item::Interface;
}

bool CaptureReader::timeOf(std::uint32_t interfaceId, std::uint64_t units, std::uint64_t where,
                           std::int64_t* timeUs)
{
    const Clock& c = clocks_[interfaceId];
    std::uint64_t us = 0;
    if (c.decimal) {
        std::uint64_t scale = 1;
        for (int i = 0; i < (c.exponent >= 6 ? c.exponent - 6 : 6 - c.exponent); ++i) scale *= 10;
        if (c.exponent >= 6) {
            us = units / scale;
        } else if (__builtin_mul_overflow(units, scale, &us)) {
            fail(where, "a time stamp out of range");
            return false;
        }
    } else {
        const std::uint64_t seconds = c.exponent == 0 ? units : units >> c.exponent;
        const std::uint64_t fraction = c.exponent == 0 ? 0 : units & ((std::uint64_t{1} << c.exponent) - 1);
        // fraction x 10^6 / 2^exponent, without overflowing 64 bits.
        const std::uint64_t fractionUs = c.exponent > 44 ? ((fraction >> (c.exponent - 44)) * 1000000) >> 44
                                                         : (fraction * 1000000) >> c.exponent;
        if (__builtin_mul_overflow(seconds, std::uint64_t{1000000}, &us) ||
            __builtin_add_overflow(us, fractionUs, &us)) {
            fail(where, "a time stamp out of range");
            return false;
        }
    }
    std::int64_t offsetUs = 0;
    std::int64_t t = 0;
    if (us > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        __builtin_mul_overflow(c.offsetS, kUsPerSecond, &offsetUs) ||
        __builtin_add_overflow(static_cast<std::int64_t>(us), offsetUs, &t)) {
        fail(where, "a time stamp out of range");
        return false;
    }
    *timeUs = t;
    return true;
}

CaptureReader::Item CaptureReader::packetBlock(std::uint64_t blockAt, bool obsolete)
{
    const std::uint64_t base = blockAt + 8;
    // The enhanced and the obsolete packet block put their fields at the same
    // places; the obsolete one has a 16-bit interface and a drop count.
    if (block_.size() < 20) return fail(blockAt + 4, "a packet block too short for its fields");
    const std::uint32_t id = obsolete ? get16(block_.data()) : get32(block_.data());
    if (id >= clocks_.size()) {
        return fail(base,
                    "a packet of interface " + std::to_string(id) + ", which its section has not described");
    }
    const std::uint64_t units =
        static_cast<std::uint64_t>(get32(block_.data() + 4)) << 32 | get32(block_.data() + 8);
    const std::uint32_t captured = get32(block_.data() + 12);
    if (captured > block_.size() - 20) {
        return fail(base + 12,
                    "a packet of " + std::to_string(captured) + " bytes that does not fit its block");
    }
    CapturePacket& p = packet_;
    p.interfaceId = sectionFirst_ + id;
    p.originalLength = get32(block_.data() + 16);
    p.bytes.assign(block_.begin() + 20, block_.begin() + 20 + captured);
    p.direction = CaptureDirection::Unknown;
    p.comment.clear();
    if (!timeOf(id, units, base + 4, &p.timeUs)) return Item::Error;
    const std::size_t optionsAt = 20 + padded(captured);
    const bool ok =
        options(base, optionsAt,
                [&p, this](std::uint16_t code, const unsigned char* v, std::size_t n, std::uint64_t) {
                    if (code == kComment) {
                        if (!p.comment.empty()) p.comment += '\n';
                        p.comment.append(reinterpret_cast<const char*>(v), n);
                    } else if (code == kPacketFlags && n >= 4) {
                        const std::uint32_t flags = get32(v) & 3u;
                        p.direction = flags == kInbound    ? CaptureDirection::Inbound
                                      : flags == kOutbound ? CaptureDirection::Outbound
                                                           : CaptureDirection::Unknown;
                    }
                    return true;
                });
    return ok ? Item::Packet : Item::Error;
}

CaptureReader::Item CaptureReader::statisticsBlock(std::uint64_t blockAt)
{
    const std::uint64_t base = blockAt + 8;
    if (block_.size() < 12)
        return fail(blockAt + 4, "an interface statistics block too short for its fields");
    const std::uint32_t id = get32(block_.data());
    if (id >= clocks_.size()) {
        return fail(
            base, "statistics of interface " + std::to_string(id) + ", which its section has not described");
    }
    const std::uint64_t units =
        static_cast<std::uint64_t>(get32(block_.data() + 4)) << 32 | get32(block_.data() + 8);
    CaptureInterfaceEnd& e = end_;
    e.interfaceId = sectionFirst_ + id;
    e.comment.clear();
    if (!timeOf(id, units, base + 4, &e.timeUs)) return Item::Error;
    const bool ok =
        options(base, 12, [&e](std::uint16_t code, const unsigned char* v, std::size_t n, std::uint64_t) {
            if (code == kComment) {
                if (!e.comment.empty()) e.comment += '\n';
                e.comment.append(reinterpret_cast<const char*>(v), n);
            }
            return true;
        });
    return ok ? Item::InterfaceEnd : Item::Error;
}

CaptureReader::Item CaptureReader::nextPcap()
{
    if (clocks_.empty()) {
        // The one interface of a pcap file, told before its first packet.
        clocks_.push_back(Clock{});
        interface_ = CaptureInterface{};
        return Item::Interface;
    }
    const std::uint64_t recordAt = offset_;
    unsigned char head[16];
    const std::size_t n = read(head, sizeof head);
    if (n == 0) {
        done_ = true;
        return Item::End;
    }
    if (n < sizeof head) return fail(offset_, "the file ends inside the head of a packet");
    const std::uint32_t captured = get32(head + 8);
    if (captured > kLongestBlock) {
        return fail(recordAt + 8, "a packet of " + std::to_string(captured) +
                                      " bytes: longer than a capture of the line has");
    }
    CapturePacket& p = packet_;
    p.bytes.clear();
    while (p.bytes.size() < captured) {
        const std::size_t had = p.bytes.size();
        const std::size_t want = std::min<std::size_t>(kReadChunk, captured - had);
        p.bytes.resize(had + want);
        if (read(p.bytes.data() + had, want) < want) {
            return fail(offset_, "the file ends inside the packet that starts at byte " + at(recordAt));
        }
    }
    const std::int64_t seconds = get32(head);
    const std::int64_t fraction = get32(head + 4);
    p.interfaceId = 0;
    p.timeUs = seconds * kUsPerSecond + (pcapNano_ ? fraction / 1000 : fraction);
    p.originalLength = get32(head + 12);
    p.direction = CaptureDirection::Unknown;
    p.comment.clear();
    return Item::Packet;
}
