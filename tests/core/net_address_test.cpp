// Network device addresses: the forms accepted, and for each malformed one a
// message that names the device and what is wrong with it.
#include "platform/port/net_address.h"

#include <gtest/gtest.h>

#include <string>

using netport::FormatNetAddress;
using netport::IsNetworkPath;
using netport::NetAddress;
using netport::NetKind;
using netport::ParseNetAddress;

TEST(NetAddress, AcceptsNamesIpv4AndBracketedIpv6)
{
    struct Case {
        const char* text;
        NetKind kind;
        const char* host;
        int port;
        bool literal;
    };
    const Case cases[] = {
        {"tcp://bench-pi:4001", NetKind::RawTcp, "bench-pi", 4001, false},
        {"rfc2217://192.168.1.20:2000", NetKind::ComPortControl, "192.168.1.20", 2000, true},
        {"rfc2217://[::1]:1", NetKind::ComPortControl, "::1", 1, true},
        {"tcp://[fe80::1%eth0]:65535", NetKind::RawTcp, "fe80::1%eth0", 65535, true},
        {"tcp://[2001:db8:0:0:0:0:2:1]:502", NetKind::RawTcp, "2001:db8:0:0:0:0:2:1", 502, true},
        {"tcp://[::ffff:10.0.0.1]:502", NetKind::RawTcp, "::ffff:10.0.0.1", 502, true},
        {"tcp://serial.lab.example.com:0502", NetKind::RawTcp, "serial.lab.example.com", 502, false},
        {"tcp://localhost:7", NetKind::RawTcp, "localhost", 7, false},
    };
    for (const Case& c : cases) {
        NetAddress a;
        std::string error;
        ASSERT_TRUE(ParseNetAddress(c.text, &a, &error)) << c.text << ": " << error;
        EXPECT_EQ(a.kind, c.kind) << c.text;
        EXPECT_EQ(a.host, c.host) << c.text;
        EXPECT_EQ(a.port, c.port) << c.text;
        EXPECT_EQ(a.literal, c.literal) << c.text;
        EXPECT_TRUE(IsNetworkPath(c.text)) << c.text;
    }
    NetAddress a;
    ASSERT_TRUE(ParseNetAddress("rfc2217://[::1]:2000", &a, nullptr));
    EXPECT_EQ(FormatNetAddress(a), "rfc2217://[::1]:2000");
    ASSERT_TRUE(ParseNetAddress("tcp://pi:01", &a, nullptr));
    EXPECT_EQ(FormatNetAddress(a), "tcp://pi:1");
}

TEST(NetAddress, RefusesMalformedDevicesNamingThem)
{
    struct Case {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"udp://pi:2000", "unknown kind 'udp'"},
        {"TCP://pi:2000", "unknown kind 'TCP'"},
        {"tcp://", "no HOST:PORT"},
        {"tcp://pi", "no port"},
        {"tcp://pi:", "no port"},
        {"tcp://:2000", "no host"},
        {"tcp://pi:0", "port 0 is outside 1..65535"},
        {"tcp://pi:65536", "port 65536 is outside 1..65535"},
        {"tcp://pi:99999999999999999999", "is outside 1..65535"},
        {"tcp://pi:-1", "port '-1' is not a number"},
        {"tcp://pi:20x", "'x' after the port"},
        {"tcp://pi:2000/", "'/' after the port"},
        {"tcp://pi:2000 ", "' ' after the port"},
        {"tcp://::1:2000", "written in brackets"},
        {"tcp://[::1]", "no port"},
        {"tcp://[::1]2000", "'2000' after the address"},
        {"tcp://[::1:2000", "no closing ']'"},
        {"tcp://[::1::2]:2000", "'::1::2' is not an IPv6 address"},
        {"tcp://[12345::]:2000", "is not an IPv6 address"},
        {"tcp://[1:2:3:4:5:6:7]:2000", "is not an IPv6 address"},
        {"tcp://[]:2000", "is not an IPv6 address"},
        {"tcp://[fe80::1%]:2000", "is not an IPv6 address"},
        {"tcp://256.1.1.1:2000", "host '256.1.1.1' is not a name"},
        {"tcp://10.0.0:2000", "host '10.0.0' is not a name"},
        {"tcp://010.0.0.1:2000", "host '010.0.0.1' is not a name"},
        {"tcp://bad_name:2000", "host 'bad_name' is not a name"},
        {"tcp://-pi:2000", "host '-pi' is not a name"},
        {"tcp://pi..lab:2000", "host 'pi..lab' is not a name"},
        {"tcp://pi.:2000", "host 'pi.' is not a name"},
    };
    for (const Case& c : cases) {
        NetAddress a;
        a.port = 99;
        std::string error;
        EXPECT_FALSE(ParseNetAddress(c.text, &a, &error)) << c.text;
        EXPECT_EQ(error.rfind(std::string("bad network device '") + c.text + "': ", 0), 0u) << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.text << " -> " << error;
        EXPECT_EQ(a.port, 99) << "a refused device leaves the result alone: " << c.text;
    }
    const std::string longLabel(64, 'a');
    EXPECT_FALSE(ParseNetAddress("tcp://" + longLabel + ":1", nullptr, nullptr));
    EXPECT_TRUE(ParseNetAddress("tcp://" + longLabel.substr(1) + ":1", nullptr, nullptr));
}

TEST(NetAddress, OnlyAWrittenSchemeMarksANetworkPath)
{
    for (const char* path : {"tcp://x", "rfc2217://", "udp://pi:1", "a+b.c-d://"}) {
        EXPECT_TRUE(IsNetworkPath(path)) << path;
    }
    for (const char* path : {"/dev/ttyUSB0", "COM3", "\\\\.\\COM12", "://pi:1", "1tcp://pi:1", "/dev/x://y",
                             "simulator#1", ""}) {
        EXPECT_FALSE(IsNetworkPath(path)) << path;
    }
    std::string error;
    EXPECT_FALSE(ParseNetAddress("/dev/ttyUSB0", nullptr, &error));
    EXPECT_NE(error.find("tcp://HOST:PORT or rfc2217://HOST:PORT"), std::string::npos) << error;
}
