// What the parser made of a reply (modbus_unpackage, modbus/modbus.h).
#pragma once

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
