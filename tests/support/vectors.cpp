#include "tests/support/vectors.h"

#include <QFile>
#include <QJsonDocument>

#include "tests/support/test_support.h"

namespace testsupport {

QJsonObject LoadVectors()
{
    QFile file(QStringLiteral(DSC_VECTORS_FILE));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

std::vector<unsigned char> HexBytes(const QJsonValue& value)
{
    return FromHex(value.toString().toStdString());
}

unsigned BitwiseCrc(const std::vector<unsigned char>& bytes)
{
    unsigned crc = 0xFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

std::vector<unsigned char> WithCrc(std::vector<unsigned char> bytes)
{
    const unsigned crc = BitwiseCrc(bytes);
    bytes.push_back(static_cast<unsigned char>(crc & 0xFF));
    bytes.push_back(static_cast<unsigned char>(crc >> 8));
    return bytes;
}

}  // namespace testsupport
