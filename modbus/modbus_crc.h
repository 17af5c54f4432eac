// CRC-16/MODBUS (reflected 0xA001, initial 0xFFFF), table-driven.
#pragma once

extern const int auchCRCHi_exp[256];
extern const int auchCRCLo_exp[256];

// Returns (hi << 8) | lo: the first byte on the wire is result >> 8, the
// second result & 0xFF. Bytes are taken as unsigned. length <= 0 gives 0xFFFF.
int modrtuChecksum(const unsigned char* buffer, int length);
