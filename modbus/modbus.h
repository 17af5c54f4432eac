// Modbus RTU master frames: slave 1, functions 03 and 06.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "modbus/reply_codes.h"
#include "modbus/request_view.h"

constexpr int MODBUS_BUFFER_SIZE = 200;
static_assert(MAX_REPLY_BYTES < MODBUS_BUFFER_SIZE, "a whole reply fits the frame buffer");

extern unsigned char modbus_tx_buffer[MODBUS_BUFFER_SIZE];  // last request built
extern unsigned char modbus_rx_buffer[MODBUS_BUFFER_SIZE];  // reply being collected
extern std::atomic<int> modbus_tx_frame_byte_num;           // length of the last modbus_package frame
extern std::atomic<int> hci_commnication_enable_5927;       // 1 = password echo accepted
// Guards modbus_tx_buffer: the communication thread and the UI thread (password
// writes) both build frames into it.
extern std::mutex modbus_tx_mutex;
// The frame buffers, the frame length and the password acceptance back to
// their start (no thread using them).
void ResetModbusState();

// The result codes of modbus_unpackage are in modbus/reply_codes.h, and
// registerWord with the request view in modbus/request_view.h.

// Builds a read (3) or write-single-register (6) request into modbus_tx_buffer
// under modbus_tx_mutex and sets modbus_tx_frame_byte_num to 8. Function 3
// carries `quantity` in bytes 4..5; any other function carries `value`.
void modbus_package(int value, int address, int functionCode, int quantity);

// Builds an 8-byte write-like frame (slave 1, `functionCode`, `address`,
// `value`, CRC) into modbus_tx_buffer under modbus_tx_mutex, leaving
// modbus_tx_frame_byte_num as it is, and copies it to `frame` (the password
// write of send_1frame, serial/rs232.h).
void modbus_build_frame(int functionCode, int address, int value, unsigned char* frame);

// The length a reply to the 8-byte `request` must have, judged from the
// `count` bytes received so far: 5 for an exception reply (function code with
// its top bit set), 5 + 2 x quantity for a read, 8 for a write echo; 0 when
// the request's function is neither, or the quantity could not fit a frame.
int ImpliedReplyLength(const unsigned char* request, const unsigned char* reply, int count);
// The implied length when at least that many bytes are there and the CRC at
// its end checks; else 0.
int CompleteReplyLength(const unsigned char* request, const unsigned char* reply, int count);

// Checks `response` (responseLength bytes collected) against `request` (the
// 8-byte frame it answers) and stores read values into the data-item tables.
// Returns a code above. Only the responseLength bytes are ever read: a frame
// shorter than its request implies (5 + 2 x quantity for a read, 8 for a
// write echo, 3 for an exception, 2 for anything) is MODBUS_BAD_CRC, as is a
// read whose reply could not fit the frame buffer. A read block that starts in
// a table but would run past its end is MODBUS_UNKNOWN_BLOCK. A request with a
// function other than 3 or 6 gives MODBUS_BAD_FUNCTION. Reads `request` under
// modbus_tx_mutex when it is modbus_tx_buffer, so do not call it holding that.
int modbus_unpackage(const unsigned char* response, int responseLength, const unsigned char* request);
