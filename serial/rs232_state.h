// The named state of the line, as the console has always shown it: the
// receive buffer and its counts, the silence and reply-wait timers, the idle
// line and the LED flags. The line machine (serial/line_machine.h) keeps it;
// the steps of serial/rs232.h run on it.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int RECEIVE_BUFFER_SIZE = 1024;
constexpr int FRAME_END_SILENCE_MS = 200;  // a frame ends after more than this of silence
constexpr int REPLY_TIMEOUT_MS = 2000;     // a reply is given up after more than this

extern std::atomic<int> com_idle;         // 1 = line idle; shared with the password timer
extern std::atomic<int> tx_package_flag;  // 1 = a request was built this pass
extern std::atomic<int> sendLedON;        // 1 = the last send step wrote a frame
extern unsigned char receive_buffer[RECEIVE_BUFFER_SIZE];
extern int receive_leng;
extern int receive_count;
// Clock readings of the silence and reply-wait timers are in microseconds
// (ClockUs), so that "more than 200 ms" is not rounded down to whole ms.
extern int receive_frame_end_delay;
extern std::int64_t receive_frame_end_delay_begin;
extern std::int64_t receive_frame_end_delay_end;
extern int receive_frame_end_flag;
extern int receive_frame_length;
extern int com_idle_delay;
extern std::int64_t com_idle_delay_begin;
extern std::int64_t com_idle_delay_end;
extern std::atomic<int> recieveLedON;
extern std::atomic<int> recieveLedShineDelay;

// One step of the shared blink rule of the activity LEDs: advances the counter
// (0..10, wrapping) and returns 1 for the calls on which it is below 3.
int blinkStep(std::atomic<int>& counter);
