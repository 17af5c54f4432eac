// One line of text per line event, for the traffic monitor and saved traffic,
// and what a status reply is.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/line_events.h"
#include "modbus/line_observer.h"

// "TX", "RX" or "--" (time-outs and port errors).
const char* DirectionOf(const LineEvent& event);
// The bytes as upper-case hex pairs ("01 03 0A BC 00 1A 87 D2"); for a port
// error, its message.
std::string HexOf(const LineEvent& event);
// What the event means, in the panels' words (UTF-8), e.g.
// "W 2550 Over volt = 58", "W 2550 Over volt = 58 → echo ✓",
// "R 2748..2773 (26) → 52 bytes ✓" or "R 2548..2562 (15) → ✗ CRC or length wrong".
std::string DecodeLineEvent(const LineEvent& event);
// The whole line of the traffic list (UTF-8): time, direction, meaning, the
// response time of a reply and the bytes, e.g.
// "10:02:03.456  RX  R 2748..2773 (26) → 57 bytes ✓  (38 ms)   01 03 34 ...".
std::string TrafficLine(const LineEvent& event);
// The line standing for `count` events a reader lost.
std::string LostEventsLine(std::uint64_t count);
// Local time of the event, "hh:mm:ss.zzz".
std::string TimeOfDay(const LineEvent& event);
// Local time with date and offset, ISO 8601: "2026-12-08T07:41:05.123+01:00".
std::string IsoTime(std::int64_t wallMs);
// A status reply is a reply the parser accepted to the read of the whole
// status block (2748, 26 registers), the only read of it the console sends.
// Only such a reply brings every status value up to date at once: the motor
// speed and fault words that the motor-test guard trusts for 2 s after it,
// the fault history, the plots and the recordings. Link health and all of
// these use this one definition; a read of part of the block is none.
//
// The words of a status reply, as signed 16-bit numbers in item order, into
// words[0..25]; false (and nothing written) for any other event.
bool StatusReplyWords(const LineEvent& event, std::int16_t* words);
bool StatusReplyWords(const LineReport& report, std::int16_t* words);
// The same from a request (`requestLength` bytes) and the reply the parser
// accepted for it (the caller has checked that it did).
bool StatusReplyWords(const unsigned char* request, int requestLength, const unsigned char* reply,
                      int replyLength, std::int16_t* words);
