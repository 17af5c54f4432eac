// Hex log of the frames on the line, for looking at traffic in the field.
//
// Messages go to the Qt logging category "dsc.frames" at debug level, which is
// off unless enabled, e.g. QT_LOGGING_RULES="dsc.frames.debug=true".
#pragma once

#include "modbus/line_observer.h"

// The observer: logs every request sent ("TX"), every reply handed to the
// parser ("RX") and what had arrived of a reply given up ("RX timeout").
void LogLineReport(const LineReport& report);

// Logs "<direction> 01 03 0A 30 00 06 C6 1F" for `length` bytes (a null or
// empty frame logs the direction alone). Cheap when the category is off.
// Safe from any thread.
void logFrame(const char* direction, const unsigned char* bytes, int length);

// True when frame logging is enabled.
bool frameLogEnabled();
