// Whether the controller is answering: the replies the line reports, the
// LINK_STATUS line and the dimming of the main panel's read-outs.
#include "engine/link_status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/ems.h"
#include "engine/traffic_decode.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "model/uir_ids.h"
#include "pages/link_status_view.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"

using testsupport::RecordingUi;

namespace {

using testsupport::kMainPanel;

std::atomic<std::int64_t> g_now{50000};
std::int64_t fakeClock()
{
    return g_now.load();
}

// A read reply carrying `count` zero registers, for the request last built.
std::vector<unsigned char> readReply(int count)
{
    std::vector<unsigned char> f = {0x01, 0x03, static_cast<unsigned char>(2 * count)};
    f.resize(3 + 2 * static_cast<std::size_t>(count), 0);
    const int crc = modrtuChecksum(f.data(), static_cast<int>(f.size()));
    f.push_back(static_cast<unsigned char>(crc >> 8));
    f.push_back(static_cast<unsigned char>(crc & 0xFF));
    return f;
}

// Hands `reply` to the line as a frame just ended, to be parsed against the
// request last built; the parser's result.
int parseOnTheLine(const std::vector<unsigned char>& reply)
{
    std::copy(reply.begin(), reply.end(), modbus_rx_buffer);
    receive_frame_length = static_cast<int>(reply.size());
    receive_frame_end_flag = 1;
    return TheLine().parseFrame();
}

// The exact echo of the write request last built.
std::vector<unsigned char> echo()
{
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    return std::vector<unsigned char>(modbus_tx_buffer, modbus_tx_buffer + 8);
}

class LinkStatus : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClockSource(fakeClock);
        fillDataItems();
        ResetLinkHealth();
        panelMain = kMainPanel;
        comConfigure_success_flag = 0;
        hci_commnication_enable_5927 = 0;
    }
    void TearDown() override
    {
        comConfigure_success_flag = 0;
        SetClockSource(nullptr);
    }

    int dimmed(int control) const { return static_cast<int>(ui.ctrlAttr(kMainPanel, control, ATTR_DIMMED)); }
    std::string line() const
    {
        const auto w = ui.writesTo(kMainPanel, uir::panel_main::LINK_STATUS);
        return w.empty() ? std::string() : w.back().text;
    }
    void pass(std::int64_t advanceMs)
    {
        g_now += advanceMs;
        const LinkStatusView view = CurrentLinkStatus();
        drawn.draw(view.text, view.dimmed);
    }

    RecordingUi ui;
    LinkStatusPanel drawn;
};

}  // namespace

TEST_F(LinkStatus, OnlyAnAcceptedStatusReplyCounts)
{
    // What the line events hold of each reply: a status reply to the plots
    // and recordings, or not.
    LineEventReader events;
    const auto lastIsStatusReply = [&events] {
        LineEvent e[16];
        bool status = false;
        for (int n = events.read(e, 16); n > 0; n = events.read(e, 16)) {
            for (int i = 0; i < n; ++i) {
                std::int16_t words[DATAITEMOR_COUNT];
                if (e[i].kind == LineEventKind::ReplyAccepted) status = StatusReplyWords(e[i], words);
            }
        }
        return status;
    };
    // A read as the line sends it.
    const auto read = [](int first, int count) {
        modbus_package(0, first, 3, count);
        LineRequestSent(echo().data(), 8);
    };
    read(2548, DATAITEM1_COUNT);
    auto page = readReply(DATAITEM1_COUNT);
    ASSERT_EQ(parseOnTheLine(page), MODBUS_READ_ACCEPTED);
    EXPECT_EQ(MsSinceStatusReply(), -1) << "a page reply says nothing about the status";
    EXPECT_FALSE(lastIsStatusReply());

    // Part of the block: the motor speed is read, the fault words are not, so
    // the guard must not take the status as known.
    for (const auto& [first, count] : {std::pair<int, int>{2748, 11}, {2758, 1}}) {
        read(first, count);
        ASSERT_EQ(parseOnTheLine(readReply(count)), MODBUS_READ_ACCEPTED) << first;
        EXPECT_EQ(MsSinceStatusReply(), -1) << first;
        EXPECT_FALSE(lastIsStatusReply()) << first;
    }

    read(2748, DATAITEMOR_COUNT);
    auto status = readReply(DATAITEMOR_COUNT);
    status[5] ^= 1;  // bad CRC
    parseOnTheLine(status);
    EXPECT_EQ(MsSinceStatusReply(), -1);
    status[5] ^= 1;
    ASSERT_EQ(parseOnTheLine(status), MODBUS_READ_ACCEPTED);
    EXPECT_TRUE(lastIsStatusReply());
    g_now += 150;
    EXPECT_EQ(MsSinceStatusReply(), 150);
}

TEST_F(LinkStatus, ReadOutsAreGreyBeforeTheFirstReplyAndAfterThreeSecondsOfSilence)
{
    namespace m = uir::panel_main;
    pass(0);
    for (int control : {m::RING_QUERY_0, m::NUMERIC_QUERY_10, m::TABLE_1, m::TABLE_2, m::RING_QUERY_25}) {
        EXPECT_EQ(dimmed(control), 1) << control;
    }
    NoteAcceptedReply();
    pass(200);
    EXPECT_EQ(dimmed(m::TABLE_1), 0);
    EXPECT_EQ(dimmed(m::NUMERIC_QUERY_1), 0);
    // Replies every 2.9 s: never grey.
    for (int i = 0; i < 20; ++i) {
        pass(2900 - 200);
        EXPECT_EQ(dimmed(m::TABLE_1), 0) << i;
        NoteAcceptedReply();
        pass(200);
    }
    pass(3000 - 200);
    EXPECT_EQ(dimmed(m::TABLE_1), 0) << "3 s exactly is not yet stale";
    pass(1);
    EXPECT_EQ(dimmed(m::TABLE_1), 1);
    EXPECT_EQ(dimmed(m::NUMERIC_QUERY_24), 1);
    NoteAcceptedReply();
    pass(0);
    EXPECT_EQ(dimmed(m::TABLE_1), 0) << "normal again on the next reply";
    // Dimming never writes a value.
    for (const auto& w : ui.writes()) {
        EXPECT_TRUE(w.kind == testsupport::UiWrite::CtrlAttr || w.control == m::LINK_STATUS) << w.control;
    }
}

TEST_F(LinkStatus, LineSaysClosedSilentOrReplyingAndLocked)
{
    pass(0);
    EXPECT_EQ(line(), "port closed");
    comConfigure_success_flag = 1;
    pass(0);
    pass(6400);
    EXPECT_NE(line().find("\nNO REPLY for 6 s \xA1\xA4 locked"), std::string::npos) << line();
    NoteAcceptedReply();
    NotePasswordAccepted();
    pass(2000);
    EXPECT_NE(line().find("\nreplying \xA1\xA4 unlocked"), std::string::npos) << line();
    pass(9000);
    EXPECT_NE(line().find("\nNO REPLY for 11 s"), std::string::npos) << line();
    // Opened again long after the last reply: the silence counts from the open.
    comConfigure_success_flag = 0;
    pass(60000);
    EXPECT_EQ(line(), "port closed");
    comConfigure_success_flag = 1;
    pass(0);
    pass(2500);
    EXPECT_NE(line().find("\nNO REPLY for 2 s"), std::string::npos) << line();
}

TEST_F(LinkStatus, EveryAcceptedReplyCountsAndOnlyThePasswordEchoOnThisPortUnlocks)
{
    namespace m = uir::panel_main;
    comConfigure_success_flag = 1;
    pass(0);
    pass(1500);
    EXPECT_NE(line().find("\nNO REPLY for 1 s"), std::string::npos) << line();

    // The first page read is accepted; no status read yet.
    modbus_package(0, 2548, 3, DATAITEM1_COUNT);
    ASSERT_EQ(parseOnTheLine(readReply(DATAITEM1_COUNT)), MODBUS_READ_ACCEPTED);
    pass(200);
    EXPECT_NE(line().find("\nreplying \xA1\xA4 locked"), std::string::npos) << line();
    EXPECT_EQ(dimmed(m::TABLE_1), 0);
    EXPECT_EQ(MsSinceStatusReply(), -1) << "the motor-test guard still waits for a status read";

    // A write echo keeps it replying; a rejected reply does not.
    pass(1800);
    modbus_package(58, 2550, 6, 0);
    ASSERT_EQ(parseOnTheLine(echo()), MODBUS_WRITE_ECHO);
    modbus_package(0, 2548, 3, DATAITEM1_COUNT);
    auto damaged = readReply(DATAITEM1_COUNT);
    damaged.back() ^= 1;
    ASSERT_EQ(parseOnTheLine(damaged), MODBUS_BAD_CRC);
    pass(2000);
    EXPECT_NE(line().find("\nreplying \xA1\xA4 locked"), std::string::npos) << line();
    pass(1);
    EXPECT_NE(line().find("\nNO REPLY for 2 s"), std::string::npos) << line();

    // The password echo unlocks.
    modbus_package(PASSWORD_VALUE, PASSWORD_REGISTER, 6, 0);
    ASSERT_EQ(parseOnTheLine(echo()), MODBUS_PASSWORD_ACCEPTED);
    pass(0);
    EXPECT_NE(line().find("\nreplying \xA1\xA4 unlocked"), std::string::npos) << line();

    // Another port: neither its answers nor its unlock carry over.
    ResetLine("port opened again");
    pass(0);
    EXPECT_NE(line().find("\nNO REPLY for 0 s \xA1\xA4 locked"), std::string::npos) << line();
    EXPECT_EQ(dimmed(m::TABLE_1), 1);
    modbus_package(PASSWORD_VALUE, PASSWORD_REGISTER, 6, 0);
    ASSERT_EQ(parseOnTheLine(echo()), MODBUS_PASSWORD_ACCEPTED);
    EXPECT_TRUE(PortUnlocked());
    // A port that is closed is locked too.
    TheLine().portClosed("closed by the operator");
    EXPECT_FALSE(PortUnlocked());
}
