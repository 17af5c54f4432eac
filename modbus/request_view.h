// A request frame read once: what it asks for and how long its reply must be.
//
// The console sends two kinds of request, each eight bytes: slave, function,
// a register address and a second field (the register count of a read, the
// value of a write), then the CRC. RequestView reads those fields from the
// bytes of a frame; everyone who needs to know what a request asked for (the
// parser, the write records, the line events, the traffic monitor) asks the
// view instead of picking at the bytes. The CRC is not looked at: the view
// describes the request as built or as kept with an event.
#pragma once

#include <cstdint>

constexpr unsigned char kReadFunction = 0x03;
constexpr unsigned char kWriteFunction = 0x06;
constexpr unsigned char kExceptionBit = 0x80;  // set in the function code of an exception reply
constexpr int kRequestFrameLength = 8;
constexpr int kRequestFieldsLength = 6;  // slave, function and the two fields, without the CRC
constexpr int kWriteEchoLength = 8;
constexpr int kExceptionReplyLength = 5;  // slave, function, code and the CRC
constexpr int kReadReplyOverhead = 5;     // slave, function, byte count and the CRC
constexpr int MAX_REPLY_BYTES = 199;      // a reply frame keeps at most this many bytes

struct RequestView {
    // The frame holds slave, function and both fields (at least six bytes).
    bool complete = false;
    unsigned char slave = 0;
    unsigned char function = 0;
    int address = 0;  // bytes 2..3
    int field = 0;    // bytes 4..5: the count of a read, the value of a write

    constexpr bool isRead() const { return complete && function == kReadFunction; }
    constexpr bool isWrite() const { return complete && function == kWriteFunction; }
    // A whole request of a function the console sends.
    constexpr bool valid() const { return isRead() || isWrite(); }
    // Registers a read asks for; 0 for anything else.
    constexpr int count() const { return isRead() ? field : 0; }
    // The register word a write carries, read as a signed number.
    constexpr int signedField() const { return field >= 0x8000 ? field - 0x10000 : field; }
    // The length of the normal reply: 8 for a write echo, 5 + 2 x count for a
    // read; 0 when the request is not valid or its reply could not fit a frame.
    constexpr int replyLength() const
    {
        if (isWrite()) return kWriteEchoLength;
        if (!isRead()) return 0;
        const int length = kReadReplyOverhead + 2 * field;
        return length <= MAX_REPLY_BYTES ? length : 0;
    }
    // The length a reply must have, judged from the `count` bytes received so
    // far: 5 once its function code has the exception bit set, else as above.
    constexpr int replyLength(const unsigned char* reply, int received) const
    {
        if (reply != nullptr && received >= 2 && (reply[1] & kExceptionBit) != 0)
            return kExceptionReplyLength;
        return replyLength();
    }
    // `reply` (`length` bytes) starts as the exception reply to this request:
    // the same slave, the function with its exception bit, and the code byte.
    constexpr bool isExceptionReply(const unsigned char* reply, int length) const
    {
        return complete && reply != nullptr && length >= 3 && reply[0] == slave &&
               reply[1] == (function | kExceptionBit);
    }
};

// Reads the fields of the first `length` bytes of `frame` (null reads as empty).
constexpr RequestView ViewRequest(const unsigned char* frame, int length)
{
    RequestView view;
    if (frame == nullptr || length < kRequestFieldsLength) return view;
    view.complete = true;
    view.slave = frame[0];
    view.function = frame[1];
    view.address = (frame[2] << 8) | frame[3];
    view.field = (frame[4] << 8) | frame[5];
    return view;
}

// The register word for a value: truncated toward zero, low 16 bits kept.
// Defined for every double (NaN gives 0; values beyond +-2^63 saturate first).
std::uint16_t registerWord(double value);
