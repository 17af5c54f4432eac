// Modbus RTU master frames: slave 1, functions 03 and 06.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

constexpr int MODBUS_BUFFER_SIZE = 200;

extern unsigned char modbus_tx_buffer[MODBUS_BUFFER_SIZE];  // last request built
extern unsigned char modbus_rx_buffer[MODBUS_BUFFER_SIZE];  // reply being collected
extern std::atomic<int> modbus_tx_frame_byte_num;           // length of the last modbus_package frame
extern std::atomic<int> hci_commnication_enable_5927;       // 1 = password echo accepted
// Guards modbus_tx_buffer: the communication thread and the UI thread (password
// writes) both build frames into it.
extern std::mutex modbus_tx_mutex;

// Result codes of modbus_unpackage.
enum {
    MODBUS_READ_ACCEPTED = 1,
    MODBUS_PASSWORD_ACCEPTED = 0,
    MODBUS_BAD_SLAVE = -1,
    MODBUS_BAD_FUNCTION = -2,
    MODBUS_BAD_CRC = -3,
    MODBUS_WRITE_ECHO = -4,
    MODBUS_EXCEPTION_1 = -5,
    MODBUS_EXCEPTION_2 = -6,
    MODBUS_EXCEPTION_3 = -7,
    MODBUS_EXCEPTION_4 = -8,
    MODBUS_UNKNOWN_BLOCK = -9,
};

// The register word for a value: truncated toward zero, low 16 bits kept.
// Defined for every double (NaN gives 0; values beyond +-2^63 saturate first).
std::uint16_t registerWord(double value);

// Builds a read (3) or write-single-register (6) request into modbus_tx_buffer
// and sets modbus_tx_frame_byte_num to 8.
void modbus_package(int value, int address, int functionCode, int quantity);

// Builds a write-like frame into modbus_tx_buffer and writes it to the open
// port at once (the password write). 0 on success, -1 after showing its error.
int send_1frame(int functionCode, int address, int value);

// Checks `response` (responseLength bytes collected) against `request` and
// stores read values into the data-item tables. Returns a code above.
int modbus_unpackage(const unsigned char* response, int responseLength, const unsigned char* request);
