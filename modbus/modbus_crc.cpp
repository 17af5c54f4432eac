#include "modbus/modbus_crc.h"

// TODO(modbus): tables and checksum.
const int auchCRCHi_exp[256] = {};
const int auchCRCLo_exp[256] = {};
int modrtuChecksum(const unsigned char*, int) { return 0xFFFF; }
