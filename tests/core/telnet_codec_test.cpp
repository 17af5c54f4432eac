// The Telnet reader and the COM port client as byte tables: what comes out of
// a stream however it is cut, what the client answers, and how it judges the
// server's answers to the line settings.
#include "platform/port/telnet_codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

using netport::ComPortClient;
using netport::TelnetEvent;
using netport::TelnetReader;
using testsupport::FromHex;
using testsupport::ToHex;
using Bytes = std::vector<std::uint8_t>;
using Stage = ComPortClient::Stage;

namespace {

Bytes Hex(const std::string& spaced)
{
    std::string hex;
    for (const char c : spaced) {
        if (c != ' ') hex += c;
    }
    const std::vector<unsigned char> b = FromHex(hex);
    return Bytes(b.begin(), b.end());
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// "FF FA 2C", as the tables write bytes.
std::string HexOf(const Bytes& bytes)
{
    std::string text;
    for (const char c : ToHex(std::vector<unsigned char>(bytes.begin(), bytes.end()))) {
        if (text.size() % 3 == 2) text += ' ';
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

TelnetEvent Option(std::uint8_t verb, std::uint8_t option)
{
    TelnetEvent e;
    e.kind = TelnetEvent::Kind::Option;
    e.verb = verb;
    e.option = option;
    return e;
}

TelnetEvent Sub(std::uint8_t option, const Bytes& payload, bool truncated = false)
{
    TelnetEvent e;
    e.kind = TelnetEvent::Kind::Subnegotiation;
    e.verb = 250;
    e.option = option;
    e.payload = payload;
    e.truncated = truncated;
    return e;
}

TelnetEvent Command(std::uint8_t verb)
{
    TelnetEvent e;
    e.verb = verb;
    return e;
}

struct Decoded {
    Bytes data;
    std::vector<TelnetEvent> events;
};

// Feeds `stream` cut at `cuts` (positions, ascending) into a fresh reader.
Decoded Feed(const Bytes& stream, const std::vector<std::size_t>& cuts)
{
    TelnetReader reader;
    Decoded d;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (const std::size_t to : ends) {
        reader.feed(stream.data() + from, to - from, &d.data, &d.events);
        from = to;
    }
    return d;
}

// The server's side of the settings: IAC SB 44 (code + 100) value IAC SE.
Bytes Answer(std::uint8_t command, const Bytes& value)
{
    Bytes b = {255, 250, 44, static_cast<std::uint8_t>(command + 100)};
    netport::AppendEscaped(value.data(), value.size(), &b);
    b.insert(b.end(), {255, 240});
    return b;
}

// Baud rate, parity, data bits, stop bits.
SerialSettings Settings(long baud, int parity, int dataBits, int stopBits)
{
    return SerialSettings{baud, parity, dataBits, stopBits};
}

Bytes Outgoing(ComPortClient& client)
{
    Bytes out;
    client.takeOutgoing(&out);
    return out;
}

Bytes Receive(ComPortClient& client, const Bytes& bytes)
{
    Bytes data;
    client.receive(bytes.data(), bytes.size(), &data);
    return data;
}

// A client past the option: the server has agreed to binary both ways and
// said DO COM-PORT-OPTION.
struct AgreedClient {
    explicit AgreedClient(const SerialSettings& s) : client(s)
    {
        Outgoing(client);
        Receive(client, Hex("FF FD 00 FF FB 00 FF FD 2C"));
        settings = Outgoing(client);
    }
    ComPortClient client;
    Bytes settings;
};

}  // namespace

TEST(TelnetReader, SplitsDataFromCommandsHoweverTheStreamIsCut)
{
    struct Case {
        const char* stream;
        const char* data;
        std::vector<TelnetEvent> events;
    };
    const std::vector<Case> cases = {
        {"01 02 03", "01 02 03", {}},
        {"FF FF 00 FF FF FF FF", "FF 00 FF FF", {}},
        {"01 FF FB 00 02 FF FE 2C 03", "01 02 03", {Option(251, 0), Option(254, 44)}},
        {"FF FA 2C 65 00 00 4B 00 FF F0 AA", "AA", {Sub(44, Hex("65 00 00 4B 00"))}},
        {"FF FA 2C 65 00 00 FF FF FF F0", "", {Sub(44, Hex("65 00 00 FF"))}},
        {"FF FA 2C FF F0", "", {Sub(44, {})}},
        {"FF F1 01 FF F9 02 FF F0", "01 02", {Command(241), Command(249), Command(240)}},
        // A byte that is no command after IAC: both go.
        {"01 FF 41 02", "01 02", {}},
        // A command inside a subnegotiation ends it unfinished.
        {"FF FA 2C 01 FF FD 03 04", "04", {Option(253, 3)}},
        {"FF FA 2C 01 FF 41 05", "05", {}},
        // 0xFF as the option of a negotiation or a subnegotiation.
        {"FF FB FF 07 FF FA FF 09 FF F0", "07", {Option(251, 255), Sub(255, Hex("09"))}},
    };
    for (const Case& c : cases) {
        const Bytes stream = Hex(c.stream);
        const Decoded whole = Feed(stream, {});
        EXPECT_EQ(HexOf(whole.data), HexOf(Hex(c.data))) << c.stream;
        EXPECT_EQ(whole.events, c.events) << c.stream;
        // Every single cut, and every byte alone.
        std::vector<std::size_t> all;
        for (std::size_t at = 0; at <= stream.size(); ++at) {
            const Decoded cut = Feed(stream, {at});
            EXPECT_EQ(cut.data, whole.data) << c.stream << " cut at " << at;
            EXPECT_EQ(cut.events, whole.events) << c.stream << " cut at " << at;
            all.push_back(at);
        }
        const Decoded bytewise = Feed(stream, all);
        EXPECT_EQ(bytewise.data, whole.data) << c.stream;
        EXPECT_EQ(bytewise.events, whole.events) << c.stream;
    }
}

TEST(TelnetReader, KeepsALongSubnegotiationsStartAndTheDataAfterIt)
{
    Bytes stream = {255, 250, 44};
    for (int i = 0; i < 1000; ++i) stream.push_back(static_cast<std::uint8_t>(i % 200));
    stream.insert(stream.end(), {255, 240, 0x11, 0x22});
    const Decoded d = Feed(stream, {500});
    ASSERT_EQ(d.events.size(), 1u);
    EXPECT_TRUE(d.events[0].truncated);
    EXPECT_EQ(d.events[0].payload.size(), TelnetReader::kMaxPayload);
    EXPECT_EQ(d.events[0].payload[5], 5);
    EXPECT_EQ(HexOf(d.data), "11 22");
}

TEST(TelnetCodec, DoublesEveryFf)
{
    const Bytes data = Hex("01 06 0F C7 00 FF FF 7A");
    Bytes out = {0xAA};
    netport::AppendEscaped(data.data(), data.size(), &out);
    EXPECT_EQ(HexOf(out), "AA 01 06 0F C7 00 FF FF FF FF 7A");
}

TEST(ComPortClient, OffersTheOptionAndBinaryThenSendsTheSettingsOnceAgreed)
{
    ComPortClient client(Settings(19200, 1, 8, 1));
    EXPECT_EQ(client.stage(), Stage::Negotiating);
    // WILL COM-PORT-OPTION, WILL BINARY, DO BINARY.
    EXPECT_EQ(HexOf(Outgoing(client)), "FF FB 2C FF FB 00 FF FD 00");
    // A serial device server's opening: go-ahead suppressed both ways, echo
    // offered, binary both ways, the COM port option asked for.
    const Bytes data = Receive(client, Hex("FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C"));
    EXPECT_TRUE(data.empty());
    const std::string settings =
        "FF FA 2C 01 00 00 4B 00 FF F0 "  // 19200 bit/s
        "FF FA 2C 02 08 FF F0 "           // 8 data bits
        "FF FA 2C 03 02 FF F0 "           // parity odd
        "FF FA 2C 04 01 FF F0 "           // 1 stop bit
        "FF FA 2C 05 01 FF F0";           // no flow control
    // DO SGA, WILL SGA, DONT ECHO (no echo of requests), then the settings;
    // the answers to its binary requests were already sent.
    EXPECT_EQ(HexOf(Outgoing(client)), "FF FD 03 FF FB 03 FF FE 01 " + settings);
    EXPECT_EQ(client.stage(), Stage::Configuring);
    EXPECT_TRUE(client.binaryFromServer());
    EXPECT_TRUE(client.binaryToServer());

    // A repeated request changes nothing and is not answered again.
    Receive(client, Hex("FF FD 2C FF FB 03 FF FD 00"));
    EXPECT_TRUE(Outgoing(client).empty());

    // The answers come one by one; only the last one makes it ready. The
    // flow-control answer is not waited for.
    Receive(client, Answer(1, Hex("00 00 4B 00")));
    Receive(client, Answer(2, Hex("08")) + Answer(3, Hex("02")));
    EXPECT_EQ(client.stage(), Stage::Configuring);
    Receive(client, Answer(4, Hex("01")));
    EXPECT_EQ(client.stage(), Stage::Ready);
    EXPECT_TRUE(client.failure().empty());
    EXPECT_TRUE(Outgoing(client).empty());
}

TEST(ComPortClient, RefusesOptionsItDoesNotPerform)
{
    AgreedClient c(Settings(9600, 0, 8, 1));
    // Terminal type, window size, echo by the server, and the server acting
    // as a COM port client itself.
    Receive(c.client, Hex("FF FD 18 FF FD 1F FF FB 01 FF FB 2C"));
    EXPECT_EQ(HexOf(Outgoing(c.client)), "FF FC 18 FF FC 1F FF FE 01 FF FE 2C");
    // Switching off what was on is acknowledged; what was off stays quiet.
    Receive(c.client, Hex("FF FE 00 FF FC 00 FF FE 18 FF FC 01"));
    EXPECT_EQ(HexOf(Outgoing(c.client)), "FF FC 00 FF FE 00");
    EXPECT_FALSE(c.client.binaryFromServer());
    EXPECT_FALSE(c.client.binaryToServer());
}

TEST(ComPortClient, ChecksEveryAnswerAgainstWhatWasAsked)
{
    struct Case {
        SerialSettings settings;
        Bytes answers;
        const char* failure;  // nullptr: ready
    };
    const std::vector<Case> cases = {
        {Settings(9600, 2, 7, 2),
         Answer(1, Hex("00 00 25 80")) + Answer(2, Hex("07")) + Answer(3, Hex("03")) + Answer(4, Hex("02")),
         nullptr},
        {Settings(19200, 1, 8, 1), Answer(1, Hex("00 00 25 80")),
         "the server did not take 19200 bit/s (it holds 9600 bit/s)"},
        {Settings(19200, 1, 8, 1), Answer(3, Hex("01")),
         "the server did not take parity odd (it holds parity none)"},
        {Settings(19200, 2, 8, 1), Answer(3, Hex("04")),
         "the server did not take parity even (it holds parity mark)"},
        {Settings(19200, 0, 7, 1), Answer(2, Hex("08")),
         "the server did not take 7 data bits (it holds 8 data bits)"},
        {Settings(19200, 0, 8, 2), Answer(4, Hex("03")),
         "the server did not take 2 stop bits (it holds 1.5 stop bits)"},
        {Settings(19200, 0, 8, 1), Answer(4, Hex("09")),
         "the server did not take 1 stop bit (it holds stop bit code 9)"},
        {Settings(19200, 0, 8, 1), Answer(1, Hex("00 4B")),
         "the server's answer to the bit rate is cut short"},
        {Settings(19200, 0, 8, 1), Answer(2, {}), "the server's answer to the data bits is cut short"},
        // A longer bit-rate answer than the option has is read by its first four bytes.
        {Settings(1200, 0, 8, 1),
         Answer(1, Hex("00 00 04 B0 00 00 00 00")) + Answer(2, Hex("08")) + Answer(3, Hex("01")) +
             Answer(4, Hex("01")),
         nullptr},
    };
    for (const Case& c : cases) {
        AgreedClient a(c.settings);
        // Answers to other commands, notifications and other options do not count.
        Receive(a.client, Answer(5, Hex("01")) + Answer(7, Hex("30")) + Answer(0, Hex("41")) +
                              Hex("FF FA 18 01 FF F0 FF FA 2C 01 00 00 00 01 FF F0"));
        EXPECT_EQ(a.client.stage(), Stage::Configuring) << c.failure;
        Receive(a.client, c.answers);
        if (c.failure == nullptr) {
            EXPECT_EQ(a.client.stage(), Stage::Ready) << a.client.failure();
        } else {
            EXPECT_EQ(a.client.stage(), Stage::Failed);
            EXPECT_EQ(a.client.failure(), c.failure);
        }
    }
}

TEST(ComPortClient, AServerWithoutTheOptionFailsTheSession)
{
    ComPortClient client(Settings(19200, 1, 8, 1));
    Outgoing(client);
    Receive(client, Hex("FF FE 2C"));
    EXPECT_EQ(client.stage(), Stage::Failed);
    EXPECT_NE(client.failure().find("does not take the COM port option"), std::string::npos);
    EXPECT_TRUE(Outgoing(client).empty()) << "no settings go to a server that refused the option";
}

TEST(ComPortClient, EscapesFfInsideItsCommandsAndReadsItInTheAnswers)
{
    AgreedClient a(Settings(0xFFFF, 0, 8, 1));
    EXPECT_EQ(HexOf(Bytes(a.settings.begin(), a.settings.begin() + 12)),
              "FF FA 2C 01 00 00 FF FF FF FF FF F0");
    Receive(a.client, Answer(1, Hex("00 00 FF FF")) + Answer(2, Hex("08")) + Answer(3, Hex("01")) +
                          Answer(4, Hex("01")));
    EXPECT_EQ(a.client.stage(), Stage::Ready) << a.client.failure();
    a.client.purge(netport::comport::kPurgeReceive);
    a.client.purge(netport::comport::kPurgeBoth);
    EXPECT_EQ(HexOf(Outgoing(a.client)), "FF FA 2C 0C 01 FF F0 FF FA 2C 0C 03 FF F0");
}

TEST(ComPortClient, DataBetweenNegotiationsArrivesWhole)
{
    AgreedClient a(Settings(19200, 1, 8, 1));
    // A reply holding 0xFF, a notification cut through the middle of it.
    const Bytes stream = Hex("01 06 0F C7 00 FF FF FF FA 2C 6B 00 FF F0 FF FF 7A");
    Bytes data;
    for (std::size_t at = 0; at < stream.size(); ++at) {
        const Bytes part = Receive(a.client, {stream[at]});
        data.insert(data.end(), part.begin(), part.end());
    }
    EXPECT_EQ(HexOf(data), "01 06 0F C7 00 FF FF 7A");
}

TEST(ComPortClient, AFloodOfRequestsNeverGrowsItsOutputPastTheBound)
{
    ComPortClient client(Settings(19200, 1, 8, 1));
    Bytes flood;
    for (int i = 0; i < 10000; ++i) flood.insert(flood.end(), {255, 253, 24});
    Receive(client, flood);
    EXPECT_LE(Outgoing(client).size(), ComPortClient::kMaxOutgoing);
    Receive(client, Hex("FF FD 18"));
    EXPECT_EQ(HexOf(Outgoing(client)), "FF FC 18") << "answers again once its output has gone";
}
