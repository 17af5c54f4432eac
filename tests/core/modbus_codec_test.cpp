#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/data_item.h"
#include "pages/sample5.h"
#include "platform/port/serial.h"
#include "platform/ui/ui.h"
#include "serial/port_gate.h"
#include "serial/rs232.h"
#include "tests/support/fake_serial.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using testsupport::FromHex;
using testsupport::HexBytes;
using testsupport::ToHex;
using testsupport::WithCrc;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes TxFrame()
{
    return Bytes(modbus_tx_buffer, modbus_tx_buffer + 8);
}

// Puts `reply` into the receive buffer and parses it against the request in
// the transmit buffer.
int Parse(const Bytes& reply)
{
    std::memcpy(modbus_rx_buffer, reply.data(), reply.size());
    return modbus_unpackage(modbus_rx_buffer, static_cast<int>(reply.size()), modbus_tx_buffer);
}

const ItemTable& TableAt(int start)
{
    for (const ItemTable& t : kPageTables) {
        if (t.first_register == start) return t;
    }
    return kStatusTable;
}

void ClearFlags()
{
    for (const ItemTable* t : {&kPageTables[0], &kPageTables[1], &kPageTables[2], &kPageTables[3],
                               &kPageTables[4], &kPageTables[5], &kStatusTable}) {
        for (int i = 0; i < t->count; ++i) {
            t->items[i].refresh_flag = 0;
            t->items[i].query_flag = 1;
        }
    }
}

int RefreshFlagsSet(const ItemTable& t)
{
    int n = 0;
    for (int i = 0; i < t.count; ++i) n += t.items[i].refresh_flag.load();
    return n;
}

class Codec : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDataItems();
        ClearFlags();
        vectors_ = testsupport::LoadVectors();
        ASSERT_FALSE(vectors_.isEmpty()) << "vectors file missing";
    }
    QJsonObject vectors_;
};

}  // namespace

TEST_F(Codec, BuildsReadRequests)
{
    for (const QJsonValue& v : vectors_["read_requests"].toArray()) {
        modbus_tx_frame_byte_num = 0;
        modbus_package(12345, v["start"].toInt(), 3, v["quantity"].toInt());
        EXPECT_EQ(ToHex(TxFrame()), v["frame"].toString().toStdString());
        EXPECT_EQ(modbus_tx_frame_byte_num.load(), 8);
    }
}

// value -> register word -> frame; the signed value itself gives the same bytes.
TEST_F(Codec, BuildsWriteRequests)
{
    for (const QJsonValue& v : vectors_["write_requests"].toArray()) {
        const double value = v["value"].toDouble();
        const std::string frame = v["frame"].toString().toStdString();
        EXPECT_EQ(registerWord(value), v["word"].toInt()) << value;
        modbus_package(registerWord(value), v["register"].toInt(), 6, 99);
        EXPECT_EQ(ToHex(TxFrame()), frame);
        modbus_package(static_cast<int>(value), v["register"].toInt(), 6, 99);
        EXPECT_EQ(ToHex(TxFrame()), frame);
    }
}

TEST_F(Codec, StoresReadRepliesAsSignedValues)
{
    for (const QJsonValue& v : vectors_["read_replies"].toArray()) {
        ClearFlags();
        const int start = v["start"].toInt();
        const QJsonArray values = v["values"].toArray();
        const ItemTable& table = TableAt(start);
        ASSERT_EQ(table.first_register, start);
        ASSERT_EQ(table.count, values.size());

        modbus_package(0, start, 3, v["quantity"].toInt());
        ASSERT_EQ(Parse(HexBytes(v["frame"])), MODBUS_READ_ACCEPTED) << start;
        const bool pageTable = table.items != dataItemOR;
        for (int i = 0; i < table.count; ++i) {
            const DataItem& item = table.items[i];
            EXPECT_EQ(item.value.load(), values[i].toDouble()) << start << " entry " << i;
            EXPECT_EQ(item.refresh_flag.load(), 1);
            EXPECT_EQ(item.query_flag.load(), pageTable ? 0 : 1);
        }
        int elsewhere = 0;
        for (const ItemTable& t : kPageTables) elsewhere += t.items == table.items ? 0 : RefreshFlagsSet(t);
        if (pageTable) elsewhere += RefreshFlagsSet(kStatusTable);
        EXPECT_EQ(elsewhere, 0) << "a reply for " << start << " touched another table";
    }
}

TEST_F(Codec, AcceptsOnlyThePasswordEcho)
{
    for (const QJsonValue& v : vectors_["write_echoes"].toArray()) {
        hci_commnication_enable_5927 = 0;
        modbus_package(v["word"].toInt(), v["register"].toInt(), 6, 0);
        const bool password = v["word"].toInt() == PASSWORD_VALUE;
        EXPECT_EQ(Parse(HexBytes(v["frame"])), password ? MODBUS_PASSWORD_ACCEPTED : MODBUS_WRITE_ECHO);
        EXPECT_EQ(hci_commnication_enable_5927.load(), password ? 1 : 0);
    }
}

TEST_F(Codec, MapsExceptionCodes)
{
    for (const QJsonValue& v : vectors_["exception_replies"].toArray()) {
        const int function = v["function"].toInt();
        const int code = v["exception_code"].toInt();
        modbus_package(7, 2548, function, 15);
        const int expected = code >= 1 && code <= 4 ? MODBUS_EXCEPTION_1 - (code - 1) : MODBUS_BAD_FUNCTION;
        EXPECT_EQ(Parse(HexBytes(v["frame"])), expected) << "function " << function << " code " << code;
    }
}

// Frames that each hit one result code; `length` < 0 means the whole frame.
TEST_F(Codec, ResultCodesOfCraftedFrames)
{
    struct Case {
        const char* name;
        int start;
        int function;
        int quantityOrValue;
        Bytes reply;
        int length;
        int expected;
    };
    const Bytes reply4 = WithCrc(FromHex("01030c000100020003000400050006"));
    Bytes withTail = reply4;
    withTail.push_back(0x55);
    Bytes badCrcRead = reply4;
    badCrcRead[5] ^= 0x01;
    Bytes badCrcEcho = FromHex("01060fc759274169");
    badCrcEcho[7] ^= 0x80;
    // 98 registers: a valid frame of 201 bytes that no frame buffer can hold.
    Bytes tooLong = FromHex("0103c4");
    tooLong.resize(3 + 2 * 98, 0x11);
    tooLong = WithCrc(tooLong);
    const Case cases[] = {
        {"wrong slave", 2608, 3, 6, WithCrc(FromHex("02030c000100020003000400050006")), -1, MODBUS_BAD_SLAVE},
        {"other function", 2608, 3, 6, WithCrc(FromHex("01040c000100020003000400050006")), -1,
         MODBUS_BAD_FUNCTION},
        {"exception, tail ignored", 2608, 3, 6, FromHex("018302deadbeef"), -1, MODBUS_EXCEPTION_2},
        {"exception, unknown code", 2608, 3, 6, FromHex("018307"), -1, MODBUS_BAD_FUNCTION},
        {"exception without code", 2608, 3, 6, FromHex("0183"), -1, MODBUS_BAD_CRC},
        {"bad read CRC", 2608, 3, 6, badCrcRead, -1, MODBUS_BAD_CRC},
        {"bad echo CRC", 4039, 6, PASSWORD_VALUE, badCrcEcho, -1, MODBUS_BAD_CRC},
        {"byte count wrong", 2608, 3, 6, WithCrc(FromHex("0103ff000100020003000400050006")), -1,
         MODBUS_READ_ACCEPTED},
        {"trailing bytes", 2608, 3, 6, withTail, -1, MODBUS_READ_ACCEPTED},
        {"unknown block", 0x0001, 3, 2, WithCrc(FromHex("01030400010002")), -1, MODBUS_UNKNOWN_BLOCK},
        {"block past table end", 2612, 3, 6, reply4, -1, MODBUS_UNKNOWN_BLOCK},
        {"read reply cut short", 2608, 3, 6, reply4, 16, MODBUS_BAD_CRC},
        {"echo cut short", 4039, 6, PASSWORD_VALUE, FromHex("01060fc759274169"), 7, MODBUS_BAD_CRC},
        {"one byte", 2608, 3, 6, FromHex("01"), -1, MODBUS_BAD_CRC},
        {"nothing", 2608, 3, 6, {}, -1, MODBUS_BAD_CRC},
        {"reply too long for the buffer", 2548, 3, 98, tooLong, -1, MODBUS_BAD_CRC},
        {"unsupported function", 2608, 0x10, 6, WithCrc(FromHex("01100a300006")), -1, MODBUS_BAD_FUNCTION},
    };
    for (const Case& c : cases) {
        ClearFlags();
        hci_commnication_enable_5927 = 0;
        modbus_package(c.quantityOrValue, c.start, c.function, c.quantityOrValue);
        Bytes reply = c.reply;
        if (reply.empty()) reply.push_back(0x01);  // a valid pointer; the length stays 0
        const int length = c.length < 0 ? static_cast<int>(c.reply.size()) : c.length;
        const int result = modbus_unpackage(reply.data(), length, modbus_tx_buffer);
        EXPECT_EQ(result, c.expected) << c.name;
        if (result != MODBUS_READ_ACCEPTED) {
            EXPECT_EQ(RefreshFlagsSet(kPageTables[3]) + RefreshFlagsSet(kPageTables[0]), 0) << c.name;
        }
        EXPECT_EQ(hci_commnication_enable_5927.load(), 0) << c.name;
    }
}

// A reply cut short must not be completed by the tail of the previous frame
// still in the receive buffer, even when the two would make a valid frame.
TEST_F(Codec, ShortReplyIgnoresStaleTail)
{
    const Bytes reply = WithCrc(FromHex("01030c000100020003000400050006"));
    modbus_package(0, 2608, 3, 6);
    ASSERT_EQ(Parse(reply), MODBUS_READ_ACCEPTED);
    ClearFlags();
    dataItem4[5].value = -7.0;

    EXPECT_EQ(modbus_unpackage(modbus_rx_buffer, 9, modbus_tx_buffer), MODBUS_BAD_CRC);
    EXPECT_EQ(RefreshFlagsSet(kPageTables[3]), 0);
    EXPECT_EQ(dataItem4[5].value.load(), -7.0);
    EXPECT_EQ(dataItem4[0].query_flag.load(), 1);
}

TEST(RegisterWord, TruncatesAndKeepsLow16Bits)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {-1.0, 0xFFFF},
        {-0.9, 0},
        {-1.5, 0xFFFF},
        {-32768.0, 0x8000},
        {32767.99, 0x7FFF},
        {16383.9, 16383},
        {16383.5, 16383},
        {70000.0, 4464},
        {65536.0, 0},
        {2147483648.0, 0},       // 2^31
        {2147483653.0, 5},       // 2^31 + 5
        {4294967295.0, 0xFFFF},  // 2^32 - 1
        {-2147483649.0, 0xFFFF},
        {4503599627370497.0, 1},  // 2^52 + 1
        {-4503599627370497.0, 0xFFFF},
        {9223372036854775808.0, 0xFFFF},  // 2^63 saturates to the largest 64-bit value
        {-9223372036854775808.0, 0},
        {1e300, 0xFFFF},
        {-1e300, 0},
        {inf, 0xFFFF},
        {-inf, 0},
        {std::nan(""), 0},
    };
    for (const auto& [value, word] : cases) EXPECT_EQ(registerWord(value), word) << value;
}

// --- send_1frame ---------------------------------------------------------

namespace {

class SendFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPopupHandler([this](const std::string& title, const std::string& text) {
            popups_.emplace_back(title, text);
            mutexFreeDuringPopup_ = modbus_tx_mutex.try_lock();
            if (mutexFreeDuringPopup_) modbus_tx_mutex.unlock();
            gateHeldDuringPopup_ = PortGateHeld();
        });
        std::memset(modbus_tx_buffer, 0xA5, sizeof modbus_tx_buffer);
        modbus_tx_frame_byte_num = 42;
        tx_package_flag_send = 0;
    }
    void TearDown() override
    {
        SetPopupHandler({});
        if (opened_) CloseCom(kPort);
        SetSerialDriver(nullptr);
    }
    // Opens COM kPort over the fake driver.
    void OpenFake()
    {
        SetSerialDriver(&driver_);
        ASSERT_TRUE(SetComDevice(kPort, "fake-port"));
        ASSERT_EQ(OpenComConfig(kPort, "", 9600, 0, 8, 1, 1024, 1024), 0);
        opened_ = true;
        comConfigure_success_flag = 1;
        active_comselect = kPort;
    }

    static constexpr int kPort = 3;
    testsupport::FakeSerialDriver driver_;
    std::vector<std::pair<std::string, std::string>> popups_;
    bool mutexFreeDuringPopup_ = false;
    bool gateHeldDuringPopup_ = true;
    bool opened_ = false;
};

const std::pair<std::string, std::string> kPortNotOpen{"Error", "Port not open! "};
const std::pair<std::string, std::string> kWriteFailed{"Error", "Com write failed 11! "};

}  // namespace

TEST_F(SendFrame, PortClosedBuildsAndWritesNothing)
{
    SetSerialDriver(&driver_);
    comConfigure_success_flag = 0;
    const Bytes before(modbus_tx_buffer, modbus_tx_buffer + MODBUS_BUFFER_SIZE);

    EXPECT_EQ(send_1frame(6, PASSWORD_REGISTER, PASSWORD_VALUE), -1);
    EXPECT_EQ(popups_, (std::vector<std::pair<std::string, std::string>>{kPortNotOpen}));
    EXPECT_EQ(Bytes(modbus_tx_buffer, modbus_tx_buffer + MODBUS_BUFFER_SIZE), before);
    EXPECT_TRUE(driver_.written().empty());
    EXPECT_EQ(tx_package_flag_send.load(), 0);
}

TEST_F(SendFrame, WritesThePasswordFrame)
{
    OpenFake();
    EXPECT_EQ(send_1frame(6, PASSWORD_REGISTER, PASSWORD_VALUE), 0);
    EXPECT_EQ(ToHex(driver_.written()), "01060fc759274169");
    EXPECT_EQ(ToHex(TxFrame()), "01060fc759274169");
    EXPECT_EQ(modbus_tx_frame_byte_num.load(), 42);
    EXPECT_EQ(tx_package_flag_send.load(), 1);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_TRUE(popups_.empty());
}

TEST_F(SendFrame, ShortWriteClosesThePort)
{
    OpenFake();
    driver_.arrive(FromHex("0102"));
    driver_.setWriteLimit(5);
    HoldPortGate();
    EXPECT_EQ(send_1frame(6, PASSWORD_REGISTER, PASSWORD_VALUE), -1);
    EXPECT_TRUE(PortGateHeld());
    ReleasePortGate();

    EXPECT_EQ(popups_, (std::vector<std::pair<std::string, std::string>>{kWriteFailed}));
    EXPECT_TRUE(mutexFreeDuringPopup_);
    EXPECT_FALSE(gateHeldDuringPopup_);
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_EQ(driver_.inputFlushes(), 2) << "stale bytes before the write, the input after the failure";
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(tx_package_flag_send.load(), 0);
}

TEST_F(SendFrame, WritesToARealPort)
{
    testsupport::PtyPair pty;
    ASSERT_TRUE(SetComDevice(kPort, pty.slavePath()));
    ASSERT_EQ(OpenComConfig(kPort, "", 9600, 0, 8, 1, 1024, 1024), 0);
    opened_ = true;
    comConfigure_success_flag = 1;
    active_comselect = kPort;

    ASSERT_EQ(send_1frame(6, 2560, -1), 0);
    EXPECT_EQ(ToHex(pty.read(std::chrono::seconds(5))), "01060a00ffff8ba2");
}

// Frames go to the "dsc.frames" category only when it is enabled.
TEST_F(SendFrame, LogsFramesWhenEnabled)
{
    static std::vector<std::string> messages;
    messages.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (context.category != nullptr && std::string(context.category) == "dsc.frames") {
                messages.push_back(text.toStdString());
            }
        });
    OpenFake();
    ASSERT_EQ(send_1frame(6, 2560, -1), 0);
    EXPECT_TRUE(messages.empty());

    QLoggingCategory::setFilterRules(QStringLiteral("dsc.frames.debug=true"));
    ASSERT_EQ(send_1frame(6, PASSWORD_REGISTER, PASSWORD_VALUE), 0);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(messages, std::vector<std::string>{"TX 01 06 0F C7 59 27 41 69"});
}
