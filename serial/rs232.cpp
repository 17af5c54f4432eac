#include "serial/rs232.h"

#include <cstdlib>

std::atomic<int> com_idle{1};
std::atomic<int> tx_package_flag{0};
std::atomic<int> sendLedON{0};
unsigned char receive_buffer[RECEIVE_BUFFER_SIZE];
int receive_leng = 0;
int receive_count = 0;
int receive_frame_end_delay = 0;
std::int64_t receive_frame_end_delay_begin = 0;
std::int64_t receive_frame_end_delay_end = 0;
int receive_frame_end_flag = 0;
int receive_frame_length = 0;
int com_idle_delay = 0;
std::int64_t com_idle_delay_begin = 0;
std::int64_t com_idle_delay_end = 0;
std::atomic<int> recieveLedON{0};
std::atomic<int> recieveLedShineDelay{0};

bool take_idle_line() { return com_idle.exchange(0) == 1; }

// TODO(rs232)
void RS232Send() {}
void RS232Rec() {}
void ErrorCheck(const char*, int, const char*) { std::_Exit(-1); }
