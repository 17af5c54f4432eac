// tshark reading the console's captures, with the user link type 147 mapped
// to Modbus RTU as the README tells.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/capture_items.h"
#include "tests/support/test_support.h"

namespace testsupport {

namespace {

// One line of tshark's fields for each packet of `path`; nullopt when tshark is missing.
std::optional<std::vector<std::vector<std::string>>> tsharkFields(const std::string& path)
{
    if (std::system("command -v tshark >/dev/null 2>&1") != 0) return std::nullopt;
    const std::string command =
        "tshark -r '" + path +
        "' -o 'uat:user_dlts:\"User 0 (DLT=147)\",\"mbrtu\",\"0\",\"\",\"0\",\"\"' -o "
        "mbrtu.crc_verification:TRUE"
        " -T fields -E separator=/t -E occurrence=f -e frame.protocols -e _ws.malformed -e mbrtu.crc16.status"
        " -e frame.packet_flags_direction -e modbus.func_code -e frame.comment 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::vector<std::vector<std::string>> rows;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
            fields.push_back(line.substr(from, tab - from));
        }
        fields.push_back(line.substr(from));
        fields.resize(6);
        rows.push_back(fields);
    }
    return rows;
}

}  // namespace

// tshark decodes every frame of the capture as Modbus RTU, with no malformed
// one, the CRC as the console judged it, and the capture's direction and comment.
void ExpectTsharkDecodes(const std::string& path, const std::vector<CapturePacket>& packets)
{
    const auto rows = tsharkFields(path);
    if (!rows) {
        std::fprintf(stderr,
                     "tshark is not installed (tools/install-deps.sh installs it): decoding not checked\n");
        return;
    }
    ASSERT_EQ(rows->size(), packets.size());
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const std::vector<std::string>& f = (*rows)[i];
        const CapturePacket& p = packets[i];
        SCOPED_TRACE("packet " + std::to_string(i + 1) + ": " + ToHex(p.bytes) + " " + p.comment);
        EXPECT_EQ(f[1], "") << "malformed";
        EXPECT_EQ(f[3], p.direction == CaptureDirection::Outbound ? "0x00000002" : "0x00000001");
        EXPECT_EQ(f[5], p.comment);
        if (p.comment.rfind("not part of a frame", 0) == 0) continue;
        EXPECT_NE(f[0].find("mbrtu:modbus"), std::string::npos) << f[0];
        EXPECT_EQ(f[2], p.comment == "rejected: CRC" ? "0" : "1") << "CRC status";
        EXPECT_EQ(f[4], std::to_string(p.bytes[1] & 0x7F));
    }
}

}  // namespace testsupport
