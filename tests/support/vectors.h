// The Modbus RTU vectors made by an independent implementation, and a plain
// bitwise CRC to check the table-driven one against.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <vector>

namespace testsupport {

// The parsed vectors file; an empty object when it cannot be read.
QJsonObject LoadVectors();
// The hex string of a JSON value as bytes.
std::vector<unsigned char> HexBytes(const QJsonValue& value);

// CRC-16/MODBUS computed bit by bit: the register after the message, whose
// low byte goes first on the wire.
unsigned BitwiseCrc(const std::vector<unsigned char>& bytes);
// The bytes followed by their CRC in wire order.
std::vector<unsigned char> WithCrc(std::vector<unsigned char> bytes);

}  // namespace testsupport
