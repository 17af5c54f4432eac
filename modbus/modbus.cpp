#include "modbus/modbus.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "modbus/modbus_crc.h"
#include "modbus/write_outcome.h"
#include "model/data_item.h"

unsigned char modbus_tx_buffer[MODBUS_BUFFER_SIZE];
unsigned char modbus_rx_buffer[MODBUS_BUFFER_SIZE];
std::atomic<int> modbus_tx_frame_byte_num{0};
std::atomic<int> hci_commnication_enable_5927{0};
std::mutex modbus_tx_mutex;

void ResetModbusState()
{
    {
        const std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        std::memset(modbus_tx_buffer, 0, sizeof modbus_tx_buffer);
    }
    std::memset(modbus_rx_buffer, 0, sizeof modbus_rx_buffer);
    modbus_tx_frame_byte_num = 0;
    hci_commnication_enable_5927 = 0;
}

namespace {

constexpr unsigned char kFunctionRead = 0x03;
constexpr unsigned char kFunctionWrite = 0x06;
constexpr unsigned char kExceptionBit = 0x80;
constexpr int kRequestLength = 8;
constexpr int kWriteEchoLength = 8;
constexpr int kExceptionLength = 3;
constexpr int kExceptionReplyLength = 5;  // with its CRC
constexpr int kReadReplyOverhead = 5;     // slave, function, byte count, two CRC bytes
// The most registers one read reply can carry inside the frame buffer.
constexpr int kMaxReadQuantity = (MODBUS_BUFFER_SIZE - kReadReplyOverhead) / 2;

// Where a read reply may land, tried in this order; the status table comes
// first because it is read far more often than the pages.
struct ReplyTable {
    DataItem* items;
    int count;
    bool clearsQuery;  // page tables clear query_flag once answered; the status table keeps polling
};
const ReplyTable kReplyTables[] = {
    {dataItemOR, DATAITEMOR_COUNT, false}, {dataItem1, DATAITEM1_COUNT, true},
    {dataItem2, DATAITEM2_COUNT, true},    {dataItem3, DATAITEM3_COUNT, true},
    {dataItem4, DATAITEM4_COUNT, true},    {dataItem5, DATAITEM5_COUNT, true},
    {dataItem6, DATAITEM6_COUNT, true},
};

int exceptionResult(unsigned char code)
{
    switch (code) {
        case 1:
            return MODBUS_EXCEPTION_1;
        case 2:
            return MODBUS_EXCEPTION_2;
        case 3:
            return MODBUS_EXCEPTION_3;
        case 4:
            return MODBUS_EXCEPTION_4;
        default:
            return MODBUS_BAD_FUNCTION;
    }
}

int word(const unsigned char* bytes)
{
    return (bytes[0] << 8) | bytes[1];
}

void putWord(unsigned char* bytes, int value)
{
    bytes[0] = static_cast<unsigned char>((value >> 8) & 0xFF);
    bytes[1] = static_cast<unsigned char>(value & 0xFF);
}

// Slave 1, function, two 16-bit fields and the CRC (result high byte first).
void buildRequest(unsigned char* frame, int functionCode, int field1, int field2)
{
    frame[0] = 0x01;
    frame[1] = static_cast<unsigned char>(functionCode & 0xFF);
    putWord(frame + 2, field1);
    putWord(frame + 4, field2);
    const int crc = modrtuChecksum(frame, 6);
    frame[6] = static_cast<unsigned char>(crc >> 8);
    frame[7] = static_cast<unsigned char>(crc & 0xFF);
}

// True when the CRC bytes at `at` match the checksum of the bytes before them.
bool crcMatches(const unsigned char* frame, int at)
{
    return modrtuChecksum(frame, at) == word(frame + at);
}

int parseReadReply(const unsigned char* response, int responseLength, const unsigned char* request)
{
    const int quantity = word(request + 4);
    // A reply is checked only against bytes that arrived in this frame: a
    // reply cut short must not borrow its tail from an earlier frame.
    if (quantity > kMaxReadQuantity) return MODBUS_BAD_CRC;
    const int dataLength = 3 + 2 * quantity;
    if (responseLength < dataLength + 2) return MODBUS_BAD_CRC;
    if (!crcMatches(response, dataLength)) return MODBUS_BAD_CRC;

    const int start = word(request + 2);
    for (const ReplyTable& table : kReplyTables) {
        const int first = getIndex(table.items, static_cast<unsigned>(table.count), start);
        if (first < 0) continue;
        // A block that would run past the end of its table matches no table.
        if (quantity > table.count - first) return MODBUS_UNKNOWN_BLOCK;
        StoreReadReply(table.items + first, quantity, response + 3, table.clearsQuery);
        // Counted after the values are stored: whoever waits for a fresh read
        // of the table sees them once the count moves.
        if (first == 0 && quantity == table.count) table.items[0].read_count.fetch_add(1);
        return MODBUS_READ_ACCEPTED;
    }
    return MODBUS_UNKNOWN_BLOCK;
}

int parseWriteEcho(const unsigned char* response, int responseLength, const unsigned char* request)
{
    if (responseLength < kWriteEchoLength) return MODBUS_BAD_CRC;
    if (!crcMatches(response, 6)) return MODBUS_BAD_CRC;
    if (word(request + 4) != PASSWORD_VALUE) return MODBUS_WRITE_ECHO;
    hci_commnication_enable_5927.store(1);
    return MODBUS_PASSWORD_ACCEPTED;
}

}  // namespace

std::uint16_t registerWord(double value)
{
    if (std::isnan(value)) return 0;
    // Saturate to the 64-bit range first so that the conversion below is
    // defined for every input; within the range the low 16 bits of the
    // truncated value are exact.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    std::int64_t whole;
    if (value >= kTwoTo63) {
        whole = std::numeric_limits<std::int64_t>::max();
    } else if (value < -kTwoTo63) {
        whole = std::numeric_limits<std::int64_t>::min();
    } else {
        whole = static_cast<std::int64_t>(value);  // truncates toward zero
    }
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFFu);
}

void modbus_package(int value, int address, int functionCode, int quantity)
{
    // A read carries the register count, every other request the value.
    const int field2 = (functionCode & 0xFF) == kFunctionRead ? quantity : value;
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    buildRequest(modbus_tx_buffer, functionCode, address, field2);
    modbus_tx_frame_byte_num.store(kRequestLength);
}

void modbus_build_frame(int functionCode, int address, int value, unsigned char* frame)
{
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    buildRequest(modbus_tx_buffer, functionCode, address, value);
    std::memcpy(frame, modbus_tx_buffer, kRequestLength);
}

int ImpliedReplyLength(const unsigned char* request, const unsigned char* reply, int count)
{
    if (request == nullptr) return 0;
    if (reply != nullptr && count >= 2 && (reply[1] & kExceptionBit) != 0) return kExceptionReplyLength;
    if (request[1] == kFunctionWrite) return kWriteEchoLength;
    if (request[1] != kFunctionRead) return 0;
    const int length = kReadReplyOverhead + 2 * word(request + 4);
    return length <= MAX_REPLY_BYTES ? length : 0;
}

int CompleteReplyLength(const unsigned char* request, const unsigned char* reply, int count)
{
    const int length = ImpliedReplyLength(request, reply, count);
    if (length == 0 || count < length) return 0;
    return crcMatches(reply, length - 2) ? length : 0;
}

int modbus_unpackage(const unsigned char* response, int responseLength, const unsigned char* request)
{
    // Too short to carry a slave address and a function code.
    if (response == nullptr || request == nullptr || responseLength < 2) return MODBUS_BAD_CRC;
    // The request fields are read from a snapshot: the password write may
    // rebuild modbus_tx_buffer from the UI thread.
    unsigned char head[6];
    if (request == modbus_tx_buffer) {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        std::memcpy(head, request, sizeof head);
    } else {
        std::memcpy(head, request, sizeof head);
    }
    request = head;
    if (response[0] != request[0]) return MODBUS_BAD_SLAVE;
    if (response[1] != request[1]) {
        if ((response[1] & kExceptionBit) == 0) return MODBUS_BAD_FUNCTION;
        // An exception reply without its code byte was cut short.
        if (responseLength < kExceptionLength) return MODBUS_BAD_CRC;
        return exceptionResult(response[2]);
    }
    switch (request[1]) {
        case kFunctionRead:
            return parseReadReply(response, responseLength, request);
        case kFunctionWrite:
            return parseWriteEcho(response, responseLength, request);
        default:
            return MODBUS_BAD_FUNCTION;  // the console sends no other function
    }
}
