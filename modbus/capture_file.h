// Captures of the line in the packet-capture formats that protocol tools open:
// pcapng written, pcapng and classic pcap read.
//
// A capture carries Modbus RTU frames as they were on the line, link type
// DLT_USER0 (147): a protocol analyser that maps that link type to Modbus RTU
// shows the function, the registers, the values and the CRC of each frame.
// An interface stands for a port from its opening to its closing, named after
// the port and its line settings; a packet is one frame (or bytes that belong
// to none) with its time in microseconds, its direction and a comment on what
// the console made of it; the end of an interface (the port closed) is an
// interface statistics block with its time and why.
//
// Everything here is plain bytes and the standard library, so that whoever
// replays a capture (a port driver, the engine) can read it wherever it sits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

constexpr std::uint16_t kCaptureLinkType = 147;  // DLT_USER0

enum class CaptureDirection : std::uint8_t { Unknown, Inbound, Outbound };

struct CaptureInterface {
    std::string name;         // if_name, e.g. "COM4 /dev/ttyUSB0 19200 8O1"
    std::string description;  // if_description: the port and its framing
    std::uint64_t speed = 0;  // if_speed, bit/s; 0 when not known
};

struct CapturePacket {
    std::uint32_t interfaceId = 0;  // counts the interfaces of the file from 0
    std::int64_t timeUs = 0;        // microseconds since 1970-01-01 00:00 UTC
    CaptureDirection direction = CaptureDirection::Unknown;
    std::vector<unsigned char> bytes;
    std::uint32_t originalLength = 0;  // as on the line; more than bytes.size() when cut
    std::string comment;
};

// An interface's end: the port closed (or failed), and why.
struct CaptureInterfaceEnd {
    std::uint32_t interfaceId = 0;
    std::int64_t timeUs = 0;
    std::string comment;
};

// --- Writing ------------------------------------------------------------------------
// Appends pcapng blocks to a buffer (little-endian, times in microseconds).
// Texts longer than an option can hold are cut.
class CaptureEncoder {
public:
    // The section header: `application` (shb_userappl) names the console and
    // its version; `comment` may be empty. Interfaces count from 0 again.
    void section(std::string_view application, std::string_view comment = {});
    // An interface description; returns its id.
    std::uint32_t interface(const CaptureInterface& i);
    void packet(std::uint32_t interfaceId, std::int64_t timeUs, CaptureDirection direction,
                const unsigned char* bytes, std::size_t length, std::string_view comment);
    void interfaceEnd(std::uint32_t interfaceId, std::int64_t timeUs, std::string_view comment);

    const std::vector<unsigned char>& bytes() const { return out_; }
    // Forgets the bytes (keeping their room); the interface count stays.
    void clear() { out_.clear(); }
    std::uint32_t interfaces() const { return interfaces_; }

private:
    void beginBlock(std::uint32_t type);
    void endBlock();
    void option(std::uint16_t code, const void* value, std::size_t length);
    void endOptions();
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void u64(std::uint64_t v);
    void raw(const void* bytes, std::size_t length);
    void pad();

    std::vector<unsigned char> out_;
    std::size_t blockStart_ = 0;
    std::uint32_t interfaces_ = 0;
};

// --- Reading ------------------------------------------------------------------------
// Reads a capture item by item, without holding it whole: pcapng (every
// section, either byte order; packets of enhanced and obsolete packet blocks;
// unknown blocks skipped) or classic pcap (either byte order, microsecond or
// nanosecond times; packet direction unknown). Only link type 147 is
// accepted. Anything else, a file that is not a capture, or one cut short,
// is refused with "FILE: byte N: what is wrong", N where it went wrong.
class CaptureReader {
public:
    enum class Item { Interface, Packet, InterfaceEnd, End, Error };
    enum class Format { None, Pcapng, Pcap };

    CaptureReader();
    ~CaptureReader();
    CaptureReader(const CaptureReader&) = delete;
    CaptureReader& operator=(const CaptureReader&) = delete;

    // Opens a file and reads its first header. False with *error (also error())
    // when the file cannot be opened or does not start as a capture.
    bool open(const std::string& path, std::string* error);
    // The same for bytes in memory, named `name` in messages.
    bool openBytes(std::vector<unsigned char> bytes, const std::string& name, std::string* error);

    // The next item; after End or Error, the same again.
    Item next();
    const CaptureInterface& interface() const { return interface_; }  // the last Interface read
    const CapturePacket& packet() const { return packet_; }           // the last Packet read
    const CaptureInterfaceEnd& interfaceEnd() const { return end_; }  // the last InterfaceEnd read
    const std::string& error() const { return error_; }
    Format format() const { return format_; }
    // shb_userappl of the section being read ("" in pcap and when absent).
    const std::string& application() const { return application_; }
    // Bytes read so far.
    std::uint64_t offset() const { return offset_; }

    struct Source;

private:
    bool start();
    Item fail(std::uint64_t at, const std::string& what);
    std::size_t read(unsigned char* into, std::size_t count);
    Item nextPcapng();
    Item nextPcap();
    // A section header whose type was read; `first` for the file's first block.
    Item section(std::uint64_t at, bool first);
    // Reads the rest of a block whose 8-byte head was read into block_.
    bool readBody(std::uint64_t at, std::uint32_t length);
    // Calls `take(code, value, length)` for each option of block_ from `from`
    // on; false after fail() when one runs past the block.
    template <typename Take>
    bool options(std::uint64_t at, std::size_t from, Take take);
    std::uint16_t get16(const unsigned char* p) const;
    std::uint32_t get32(const unsigned char* p) const;
    std::uint64_t get64(const unsigned char* p) const;
    Item interfaceBlock(std::uint64_t at);
    Item packetBlock(std::uint64_t at, bool obsolete);
    Item statisticsBlock(std::uint64_t at);
    bool timeOf(std::uint32_t interfaceId, std::uint64_t units, std::uint64_t at, std::int64_t* timeUs);

    std::unique_ptr<Source> source_;
    std::string name_;
    Format format_ = Format::None;
    bool done_ = false;
    bool bigEndian_ = false;  // the byte order of the section being read
    std::uint64_t offset_ = 0;
    std::vector<unsigned char> block_;  // the body of the block being read
    struct Clock {
        bool decimal = true;  // units of 10^-exponent seconds, else 2^-exponent
        int exponent = 6;
        std::int64_t offsetS = 0;
    };
    std::vector<Clock> clocks_;       // one per interface of the section
    std::uint32_t sectionFirst_ = 0;  // the file's count of interfaces before this section
    std::string application_;
    CaptureInterface interface_;
    CapturePacket packet_;
    CaptureInterfaceEnd end_;
    std::string error_;
    bool pcapNano_ = false;  // pcap times in nanoseconds
};
