#include "modbus/modbus.h"

#include <cstring>

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

constexpr int kExceptionLength = 3;  // an exception reply up to its code byte
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

int parseReadReply(const unsigned char* response, int responseLength, const RequestView& request)
{
    const int quantity = request.count();
    // A reply is checked only against bytes that arrived in this frame: a
    // reply cut short must not borrow its tail from an earlier frame.
    if (quantity > kMaxReadQuantity) return MODBUS_BAD_CRC;
    const int dataLength = 3 + 2 * quantity;
    if (responseLength < dataLength + 2) return MODBUS_BAD_CRC;
    if (!crcMatches(response, dataLength)) return MODBUS_BAD_CRC;

    const int start = request.address;
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

int parseWriteEcho(const unsigned char* response, int responseLength, const RequestView& request)
{
    if (responseLength < kWriteEchoLength) return MODBUS_BAD_CRC;
    if (!crcMatches(response, kRequestFieldsLength)) return MODBUS_BAD_CRC;
    if (request.field != PASSWORD_VALUE) return MODBUS_WRITE_ECHO;
    hci_commnication_enable_5927.store(1);
    return MODBUS_PASSWORD_ACCEPTED;
}

}  // namespace

void modbus_package(int value, int address, int functionCode, int quantity)
{
    // A read carries the register count, every other request the value.
    const int field2 = (functionCode & 0xFF) == kReadFunction ? quantity : value;
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    buildRequest(modbus_tx_buffer, functionCode, address, field2);
    modbus_tx_frame_byte_num.store(kRequestFrameLength);
}

void modbus_build_frame(int functionCode, int address, int value, unsigned char* frame)
{
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    buildRequest(modbus_tx_buffer, functionCode, address, value);
    std::memcpy(frame, modbus_tx_buffer, kRequestFrameLength);
}

int ImpliedReplyLength(const unsigned char* request, const unsigned char* reply, int count)
{
    if (request == nullptr) return 0;
    return ViewRequest(request, kRequestFrameLength).replyLength(reply, count);
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
    RequestView view;
    if (request == modbus_tx_buffer) {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        view = ViewRequest(request, kRequestFieldsLength);
    } else {
        view = ViewRequest(request, kRequestFieldsLength);
    }
    if (response[0] != view.slave) return MODBUS_BAD_SLAVE;
    if (response[1] != view.function) {
        if ((response[1] & kExceptionBit) == 0) return MODBUS_BAD_FUNCTION;
        // An exception reply without its code byte was cut short.
        if (responseLength < kExceptionLength) return MODBUS_BAD_CRC;
        return exceptionResult(response[2]);
    }
    switch (view.function) {
        case kReadFunction:
            return parseReadReply(response, responseLength, view);
        case kWriteFunction:
            return parseWriteEcho(response, responseLength, view);
        default:
            return MODBUS_BAD_FUNCTION;  // the console sends no other function
    }
}
