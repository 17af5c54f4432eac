// The guards around the writes that can hurt: the motor-test STOP ahead of
// every other write, the refusals and questions before arming a test, the
// questions before a factory restore and the hall-fault mask, leaving a test
// running, the unstored-change counter and the unsent-entry marks.
#include "pages/write_guard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/console_state.h"
#include "engine/ems.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "serial/rs232.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using testsupport::RecordingUi;

namespace {

constexpr int SET = 50, DEBUG = 60;
constexpr int P6 = 106, P1 = 101;
constexpr int D1 = 201, D2 = 202;

std::atomic<std::int64_t> g_now{100000};
std::int64_t fakeClock()
{
    return g_now.load();
}

int fire(const char* name)
{
    int count = 0;
    const CallbackEntry* entries = PageCallbacks(&count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(entries[i].name, name) == 0) {
            return entries[i].control(0, 0, EVENT_COMMIT, entries[i].callbackData, 0, 0);
        }
    }
    ADD_FAILURE() << "no callback " << name;
    return -1;
}

// The write the request chooser builds next, as (address, value); the line is
// handed back at once as if the reply had come.
std::pair<int, int> nextWrite()
{
    com_idle = 1;
    buildNextRequest();
    if (tx_package_flag.exchange(0) != 1) return {-1, -1};
    std::lock_guard<std::mutex> lock(modbus_tx_mutex);
    const unsigned char* f = modbus_tx_buffer;
    if (f[1] != 6) return {-(f[2] << 8 | f[3]), 0};  // a read: negative address
    return {f[2] << 8 | f[3], f[4] << 8 | f[5]};
}

class WriteGuard : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
        SetClockSource(fakeClock);
        panel_set = SET;
        panel_debug = DEBUG;
        panel_set_tab[0] = P1;
        panel_set_tab[5] = P6;
        panel_debug_tab[0] = D1;
        panel_debug_tab[1] = D2;
        fillDataItems();
        for (const ItemTable& t : kPageTables) {
            for (int i = 0; i < t.count; ++i) {
                t.items[i].query_flag = 0;
                t.items[i].refresh_flag = 0;
            }
        }
        ResetLinkHealth();
        ResetWriteGuard();
        // A controller that answers, a still motor, no fault.
        NoteStatusReply();
        for (int i : {10, 14, 15, 16}) dataItemOR[i].value = 0;
        query_enable_flag = 1;
        ResetWriteTracking();
        comConfigure_success_flag = 1;  // writes are marked, not ended as "port closed"
    }
    void TearDown() override
    {
        comConfigure_success_flag = 0;
        ResetWriteTracking();
        SetClockSource(nullptr);
    }

    static int flag(int address) { return dataItem6[address - 2648].send_flag.load(); }

    RecordingUi ui;
};

}  // namespace

TEST_F(WriteGuard, StopGoesOutNextAheadOfPendingWritesAndReplacesAnUnsentArming)
{
    dataItem1[2].value = 58;
    dataItem1[2].send_flag = SEND_PENDING;
    dataItem6[2].value = 1;  // an arming not yet sent
    dataItem6[2].send_flag = SEND_PENDING;
    dataItem6[3].value = 2;
    dataItem6[3].send_flag = SEND_PENDING;
    dataItem6[0].query_flag = 1;

    fire("debug_tab1_send_1");  // fails to read its control: nothing more queued
    EXPECT_EQ(testStop(DEBUG, uir::panel_debg::TEST_STOP, EVENT_COMMIT, nullptr, 0, 0), 0);
    EXPECT_TRUE(ui.questions().empty()) << "STOP is never asked";

    EXPECT_EQ(nextWrite(), std::make_pair(REG_TEST_ENABLE, 0));
    EXPECT_EQ(nextWrite(), std::make_pair(REG_TEST_MODE, TEST_MODE_NORMAL));
    EXPECT_EQ(nextWrite(), std::make_pair(2550, 58));
    EXPECT_EQ(nextWrite(), std::make_pair(-2648, 0)) << "the arming is gone, the page read follows";
    // The switch and the ring of the debug panel show what was sent.
    EXPECT_EQ(dataItem6[2].refresh_flag.load(), 1);
    EXPECT_EQ(dataItem6[3].refresh_flag.load(), 1);
}

TEST_F(WriteGuard, StopOnTheBusyLineWaitsForItAndStillGoesFirst)
{
    dataItem1[0].send_flag = SEND_PENDING;
    com_idle = 0;  // a reply is awaited
    SendTestStop();
    buildNextRequest();
    EXPECT_EQ(tx_package_flag.load(), 0);
    EXPECT_EQ(flag(REG_TEST_ENABLE), SEND_URGENT) << "kept until the line is free";
    EXPECT_EQ(nextWrite().first, REG_TEST_ENABLE);
}

TEST_F(WriteGuard, APressWhileStopWaitsLeavesTheStopAsItIs)
{
    SendTestStop();
    WriteRecord ended;
    const std::uint64_t id = SubmitWrite(dataItem6[2], 1, WriteRequest{}, true);
    ASSERT_TRUE(WaitForWrite(id, std::chrono::milliseconds(0), &ended));
    EXPECT_EQ(ended.outcome, WriteOutcome::Superseded);
    EXPECT_EQ(flag(REG_TEST_ENABLE), SEND_URGENT);
    EXPECT_EQ(dataItem6[2].value.load(), 0.0);
    EXPECT_EQ(nextWrite(), std::make_pair(REG_TEST_ENABLE, 0));
    EXPECT_EQ(nextWrite(), std::make_pair(REG_TEST_MODE, TEST_MODE_NORMAL));
}

TEST_F(WriteGuard, ConfirmedOutcomesReachTheGuardWithTheHeldWord)
{
    StartWriteGuard();
    SubmitWrite(dataItem6[2], 1, WriteRequest{}, true);
    const std::pair<int, int> sent = nextWrite();
    ASSERT_EQ(sent, std::make_pair(REG_TEST_ENABLE, 1));
    unsigned char request[8];
    {
        std::lock_guard<std::mutex> lock(modbus_tx_mutex);
        std::memcpy(request, modbus_tx_buffer, sizeof request);
    }
    WriteReplyArrived(request, request, 8, MODBUS_WRITE_ECHO);
    AbandonWrites("closed");  // ends the read-back wait: confirmed, not read back
    EXPECT_TRUE(MotorTestEnabled());
    StopWriteGuard();
}

TEST_F(WriteGuard, ArmingIsRefusedWithTheReasonAndNothingSent)
{
    struct Case {
        const char* name;
        void (*setup)();
        const char* reason;
    };
    const Case cases[] = {
        {"silent controller", [] { g_now += 2001; }, "not answered a status read in the last 2 s"},
        {"never answered", [] { ResetLinkHealth(); }, "not answered"},
        {"motor turning", [] { dataItemOR[10].value = -35; }, "motor is turning (Motor speed: -35 RPM)"},
        {"fault active", [] { dataItemOR[14].value = 1 << 12; }, "A fault is active: hall fault."},
        {"fault bit 15", [] { dataItemOR[16].value = -32768; }, "A fault is active: resvd."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        ui.clear();
        ui.setAnswer(ANSWER_YES);
        c.setup();
        ui.setInt(D2, uir::dbg_tab2::BINARYSWITCH_3, 1);
        fire("debug_tab2_send_3");
        ui.setInt(P6, uir::tabpanel_6::TAB6_BINARYSWITCH_3, 1);
        fire("tab6_send_3");
        EXPECT_EQ(flag(REG_TEST_ENABLE), 0);
        EXPECT_EQ(dataItem6[2].value.load(), 2.0) << "the item keeps its value";
        EXPECT_TRUE(ui.questions().empty());
        ASSERT_EQ(ui.popups().size(), 2u);
        EXPECT_EQ(ui.popups()[0].title, "Motor test refused");
        EXPECT_NE(ui.popups()[0].text.find(c.reason), std::string::npos) << ui.popups()[0].text;
    }
}

TEST_F(WriteGuard, ArmingAsksWithTheTestValuesAndOnlyYesSends)
{
    namespace d2 = uir::dbg_tab2;
    ui.setInt(D2, d2::BINARYSWITCH_3, 1);
    ui.setInt(D2, d2::RING_4, 2);
    ui.setDouble(D2, d2::NUMERIC_SET_10, 12.5);
    fire("debug_tab2_send_3");
    ASSERT_EQ(ui.questions().size(), 1u);
    const std::string text = ui.questions()[0].text;
    EXPECT_EQ(ui.questions()[0].title, "Start motor test");
    // Captions, ring items and units as the debug page shows them (GBK).
    EXPECT_NE(text.find(": 12.50 Hz"), std::string::npos) << text;
    EXPECT_NE(text.find("\xB5\xE7\xC1\xF7\xBB\xB7"
                        "DEBUG"),
              std::string::npos)
        << "ring item by its caption";
    EXPECT_EQ(flag(REG_TEST_ENABLE), 0) << "No sends nothing";

    ui.setAnswer(ANSWER_YES);
    fire("debug_tab2_send_3");
    EXPECT_EQ(flag(REG_TEST_ENABLE), SEND_PENDING);
    EXPECT_EQ(dataItem6[2].value.load(), 1.0);

    // Switching the test off is never asked and never refused.
    ui.clear();
    dataItemOR[10].value = 900;
    ui.setInt(D2, d2::BINARYSWITCH_3, 0);
    fire("debug_tab2_send_3");
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_TRUE(ui.popups().empty());
    EXPECT_EQ(dataItem6[2].value.load(), 0.0);
}

TEST_F(WriteGuard, FactoryRestoreAndHallMaskAskAndCancelSendsNothing)
{
    namespace d1 = uir::dbg_tab1;
    ui.setInt(D1, d1::BINARYSWITCH_7, 1);
    ui.setInt(D1, d1::BINARYSWITCH_15, 1);
    for (const char* name : {"tab6_send_7", "debug_tab1_send_7", "debug_tab1_send_15"}) {
        SCOPED_TRACE(name);
        for (int answer : {ANSWER_NO, ANSWER_CANCEL, ANSWER_YES}) {
            fillDataItems();
            ui.clear();
            ui.setAnswer(answer);
            fire(name);
            ASSERT_EQ(ui.questions().size(), 1u);
            const bool restore = std::strstr(name, "_7") != nullptr;
            EXPECT_EQ(ui.questions()[0].title, restore ? "Restore factory settings" : "Hall-fault mask");
            if (restore) {
                EXPECT_NE(ui.questions()[0].text.find("powered off"), std::string::npos);
            }
            const int address = restore ? REG_RESTORE_FACTORY : REG_HALL_FAULT_MASK;
            EXPECT_EQ(flag(address), answer == ANSWER_YES ? SEND_PENDING : 0);
        }
    }
    // With the switch off the debug buttons send 0 without a question.
    ui.clear();
    ui.setInt(D1, d1::BINARYSWITCH_15, 0);
    fire("debug_tab1_send_15");
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(flag(REG_HALL_FAULT_MASK), SEND_PENDING);
}

TEST_F(WriteGuard, BackupOfferComesFirstAndItsCancelSendsNothing)
{
    int offers = 0;
    bool saved = false;
    SetBackupOffer([&] {
        ++offers;
        return saved;
    });
    ui.setAnswer(ANSWER_YES);
    fire("tab6_send_7");
    EXPECT_EQ(offers, 1);
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(flag(REG_RESTORE_FACTORY), 0);
    saved = true;
    fire("tab6_send_7");
    EXPECT_EQ(ui.questions().size(), 1u);
    EXPECT_EQ(flag(REG_RESTORE_FACTORY), SEND_PENDING);
    SetBackupOffer({});
}

TEST_F(WriteGuard, LeavingARunningTestAsksAndYesSendsStop)
{
    EXPECT_TRUE(ConfirmLeavingMotorTest());
    EXPECT_TRUE(ui.questions().empty()) << "no confirmed test enable: nothing to ask";

    GuardOnWriteConfirmed(REG_TEST_ENABLE, 1);
    ASSERT_TRUE(MotorTestEnabled());
    ui.setAnswer(ANSWER_CANCEL);
    EXPECT_FALSE(ConfirmLeavingMotorTest());
    ui.setAnswer(ANSWER_NO);
    EXPECT_TRUE(ConfirmLeavingMotorTest());
    EXPECT_EQ(flag(REG_TEST_ENABLE), 0);
    ui.setAnswer(ANSWER_YES);
    EXPECT_TRUE(ConfirmLeavingMotorTest());
    ASSERT_EQ(ui.questions().size(), 3u);
    EXPECT_EQ(ui.questions()[0].text.rfind("Stop the motor test?", 0), 0u);
    EXPECT_EQ(flag(REG_TEST_ENABLE), SEND_URGENT);
    EXPECT_EQ(flag(REG_TEST_MODE), SEND_URGENT);

    // A confirmed test enable 0 ends the question.
    GuardOnWriteConfirmed(REG_TEST_ENABLE, 0);
    ui.clear();
    EXPECT_TRUE(ConfirmLeavingMotorTest());
    EXPECT_TRUE(ui.questions().empty());
}

TEST_F(WriteGuard, ConfirmedWritesCountUntilAConfirmedStore)
{
    const auto shown = [&](int panel, int control) {
        const auto w = ui.writesTo(panel, control);
        return w.empty() ? std::string() : w.back().text;
    };
    GuardOnWriteConfirmed(2550, 58);
    GuardOnWriteConfirmed(2571, 1);
    GuardOnWriteConfirmed(PASSWORD_REGISTER, PASSWORD_VALUE);  // not a parameter
    GuardOnWriteConfirmed(REG_PARAMETER_STORE, 0);             // not a store
    EXPECT_EQ(UnstoredChangeCount(), 2);
    EXPECT_EQ(shown(SET, uir::panel_set::UNSTORED), "2 changes not stored in the controller");
    EXPECT_EQ(shown(DEBUG, uir::panel_debg::UNSTORED), "2 changes not stored in the controller");
    GuardOnWriteConfirmed(REG_PARAMETER_STORE, 1);
    EXPECT_EQ(UnstoredChangeCount(), 0);
    EXPECT_EQ(shown(SET, uir::panel_set::UNSTORED).find("No confirmed change"), 0u);
    GuardOnWriteConfirmed(2660, 5);
    EXPECT_EQ(shown(DEBUG, uir::panel_debg::UNSTORED), "1 change not stored in the controller");

    // The Store button presses the store command: 2655 = 1.
    storeParameters(SET, uir::panel_set::STORE, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(flag(REG_PARAMETER_STORE), SEND_PENDING);
    EXPECT_EQ(dataItem6[7].value.load(), 1.0);
}

TEST_F(WriteGuard, OnlyConfirmedParameterWritesAreChangesNotStored)
{
    StartWriteGuard();
    // The next write goes out and the controller echoes it.
    const auto echoNext = [] {
        const std::pair<int, int> sent = nextWrite();
        unsigned char request[8];
        {
            std::lock_guard<std::mutex> lock(modbus_tx_mutex);
            std::memcpy(request, modbus_tx_buffer, sizeof request);
        }
        WriteReplyArrived(request, request, 8, MODBUS_WRITE_ECHO);
        return sent;
    };
    // The port closes before the read-back: confirmed, not read back.
    const auto write = [&](DataItem& item, int value) {
        SubmitWrite(item, value, WriteRequest{}, true);
        EXPECT_EQ(echoNext(), std::make_pair(item.address.load(), value));
        AbandonWrites("closed");
    };
    write(dataItem6[2], 1);  // arming a test
    SendTestStop();
    EXPECT_EQ(echoNext(), std::make_pair(REG_TEST_ENABLE, 0));
    EXPECT_EQ(echoNext(), std::make_pair(REG_TEST_MODE, TEST_MODE_NORMAL));
    AbandonWrites("closed");
    write(dataItem6[6], 1);  // restore factory settings
    EXPECT_EQ(UnstoredChangeCount(), 0) << "arming, STOP and a factory restore are not changes";
    EXPECT_FALSE(MotorTestEnabled()) << "the STOP was confirmed";
    write(dataItem1[2], 58);
    write(dataItem6[14], 1);  // the hall-fault mask is a parameter
    EXPECT_EQ(UnstoredChangeCount(), 2);
    write(dataItem6[7], 1);  // the store command
    EXPECT_EQ(UnstoredChangeCount(), 0);
    StopWriteGuard();
}

TEST_F(WriteGuard, TypedEntryIsMarkedUntilSentOrReadAgain)
{
    namespace t1 = uir::tabpanel_1;
    const auto marked = [&](int panel, int control) { return ui.ctrlAttr(panel, control, ATTR_MARKED); };
    // The page shows the item's value: nothing marked, however often asked.
    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, dataItem1[2].value.load());
    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_4, 17);  // a start value the item does not hold
    MarkUnsentEntries();
    MarkUnsentEntries();
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_3), 0);
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_4), 0);

    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, 58);  // typed
    MarkUnsentEntries();
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_3), 1);
    fire("tab1_send_3");
    MarkUnsentEntries();
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_3), 0) << "sent";

    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, 59);
    MarkUnsentEntries();
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_3), 1);
    dataItem1[2].value = 61;  // the page read again, and the refresh shows it
    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, 61);
    MarkUnsentEntries();
    EXPECT_EQ(marked(P1, t1::TAB1_NUMERIC_SET_3), 0) << "read again";
}

// The start-up reset leaves nothing of the guard's state from before: no
// count, no test enabled, no backup offer, no marks, and the guard hears the
// write outcomes again once started.
TEST_F(WriteGuard, TheStartUpResetForgetsEverythingTheGuardKept)
{
    namespace t1 = uir::tabpanel_1;
    int offers = 0;
    SetBackupOffer([&] { return ++offers, true; });
    StartWriteGuard();
    GuardOnWriteConfirmed(2550, 58);
    GuardOnWriteConfirmed(REG_TEST_ENABLE, 1);
    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, dataItem1[2].value.load());
    MarkUnsentEntries();
    ui.setDouble(P1, t1::TAB1_NUMERIC_SET_3, 58);  // typed, not sent
    MarkUnsentEntries();
    ASSERT_EQ(ui.ctrlAttr(P1, t1::TAB1_NUMERIC_SET_3, ATTR_MARKED), 1);

    ResetConsoleState();
    EXPECT_EQ(UnstoredChangeCount(), 0);
    EXPECT_FALSE(MotorTestEnabled());
    ui.setAnswer(ANSWER_NO);
    EXPECT_FALSE(ConfirmWrite(REG_RESTORE_FACTORY, 1));
    EXPECT_EQ(offers, 0) << "the offer of the run before is gone";
    EXPECT_EQ(ui.questions().size(), 1u);
    // What the page shows at the start is the baseline, whatever was typed before.
    panel_set_tab[0] = P1;
    MarkUnsentEntries();
    EXPECT_EQ(ui.ctrlAttr(P1, t1::TAB1_NUMERIC_SET_3, ATTR_MARKED), 0);

    StartWriteGuard();
    SubmitWrite(dataItem1[2], 58, WriteRequest{}, true);
    std::uint16_t word = 0;
    ASSERT_TRUE(TakeWrite(dataItem1[2], &word));
    const std::vector<unsigned char> echo = testsupport::WithCrc({0x01, 0x06, 0x09, 0xF6, 0x00, 0x3A});
    WriteReplyArrived(echo.data(), echo.data(), 8, MODBUS_WRITE_ECHO);
    AbandonWrites("closed");  // not read back: confirmed as echoed
    EXPECT_EQ(UnstoredChangeCount(), 1) << "the guard hears the outcomes again";
    StopWriteGuard();
}
