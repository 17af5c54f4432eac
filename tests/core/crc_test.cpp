#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "modbus/modbus_crc.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using testsupport::BitwiseCrc;
using testsupport::HexBytes;
using testsupport::ToHex;

namespace {

// The two CRC bytes in the order they go on the wire.
std::vector<unsigned char> WireCrc(const std::vector<unsigned char>& message)
{
    const int crc = modrtuChecksum(message.data(), static_cast<int>(message.size()));
    return {static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc & 0xFF)};
}

}  // namespace

TEST(Crc, MatchesIndependentVectors)
{
    const QJsonArray vectors = testsupport::LoadVectors()["crc"].toArray();
    ASSERT_FALSE(vectors.isEmpty());
    for (const QJsonValue& v : vectors) {
        const auto message = HexBytes(v["bytes"]);
        EXPECT_EQ(ToHex(WireCrc(message)), v["wire_crc"].toString().toStdString()) << ToHex(message);
    }
}

// Random messages over the whole byte range, including the bytes >= 0x80 that
// a signed-char index would get wrong.
TEST(Crc, AgreesWithBitwiseComputation)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int length = 0; length <= 60; ++length) {
        for (int round = 0; round < 20; ++round) {
            std::vector<unsigned char> message(static_cast<size_t>(length));
            for (auto& b : message) b = static_cast<unsigned char>(byte(random));
            const unsigned expected = BitwiseCrc(message);
            const auto wire = WireCrc(message);
            ASSERT_EQ(wire[0], expected & 0xFF) << ToHex(message);
            ASSERT_EQ(wire[1], expected >> 8) << ToHex(message);

            message.insert(message.end(), wire.begin(), wire.end());
            ASSERT_EQ(modrtuChecksum(message.data(), static_cast<int>(message.size())), 0) << ToHex(message);
        }
    }
}

TEST(Crc, NothingToCoverGivesInitialValue)
{
    const unsigned char byte = 0x01;
    EXPECT_EQ(modrtuChecksum(&byte, 0), 0xFFFF);
    EXPECT_EQ(modrtuChecksum(&byte, -5), 0xFFFF);
    EXPECT_EQ(modrtuChecksum(nullptr, 8), 0xFFFF);
}
