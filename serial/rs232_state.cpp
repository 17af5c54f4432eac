#include "serial/rs232_state.h"

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

int blinkStep(std::atomic<int>& counter)
{
    const int next = counter.load() < 10 ? counter.load() + 1 : 0;
    counter.store(next);
    return next < 3 ? 1 : 0;
}
