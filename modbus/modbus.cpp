#include "modbus/modbus.h"

unsigned char modbus_tx_buffer[MODBUS_BUFFER_SIZE];
unsigned char modbus_rx_buffer[MODBUS_BUFFER_SIZE];
std::atomic<int> modbus_tx_frame_byte_num{0};
std::atomic<int> hci_commnication_enable_5927{0};
std::mutex modbus_tx_mutex;

// TODO(modbus): frame building and parsing.
std::uint16_t registerWord(double) { return 0; }
void modbus_package(int, int, int, int) {}
int send_1frame(int, int, int) { return -1; }
int modbus_unpackage(const unsigned char*, int, const unsigned char*) { return -2; }
