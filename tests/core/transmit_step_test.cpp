// The send step and the transmit LED over a scripted port: what a short write
// does, and how the LED blinks while frames go out.
#include <gtest/gtest.h>

#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/port/serial.h"
#include "serial/line_view.h"
#include "serial/rs232.h"
#include "tests/support/fake_serial.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kPort = 3;
using testsupport::kMainPanel;

class TransmitStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSerialDriver(&driver);
        fillDataItems();
        query_enable_flag = 1;
        panelMain = kMainPanel;
        ASSERT_EQ(OpenComConfig(kPort, "", 19200, 1, 8, 1, 1024, 1024), 0);
        active_comselect = kPort;
        comConfigure_success_flag = 1;
        hci_commnication_enable_5927 = 1;
        for (const ItemTable& t : kPageTables) t.items[0].query_flag = 0;
    }
    void TearDown() override
    {
        StopCommThread();
        CloseCom(kPort);
        SetSerialDriver(nullptr);
    }

    testsupport::FakeSerialDriver driver;
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(TransmitStep, ShortWriteReportsOnceAndStopsTrafficUntilReconfigured)
{
    driver.setWriteLimit(5);
    dataItem1[2].value = 58;
    dataItem1[2].send_flag = 1;
    RS232COMThreadPass();
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].title, "Error");
    EXPECT_EQ(ui.popups()[0].text, "Com write failed! ");
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_GE(driver.inputFlushes(), 1);
    EXPECT_EQ(com_idle.load(), 0);
    EXPECT_EQ(dataItem1[2].send_flag.load(), 0) << "a lost write is not repeated";
    // With the port counted as closed the passes send nothing and report nothing.
    const size_t written = driver.written().size();
    for (int i = 0; i < 5; ++i) RS232COMThreadPass();
    EXPECT_EQ(driver.written().size(), written);
    EXPECT_EQ(ui.popups().size(), 1u);
    for (const ItemTable& t : kPageTables) EXPECT_EQ(t.items[0].query_flag.load(), 1);
}

TEST_F(TransmitStep, TransmitLedBlinksWhileFramesGoOutAndDarkensWhenNothingIs)
{
    // Every pass finds the line idle and sends a status read.
    std::vector<int> lit;
    for (int i = 0; i < 14; ++i) {
        com_idle = 1;
        ui.clear();
        RS232COMThreadPass();
        const auto w = ui.writesTo(kMainPanel, uir::panel_main::LED_TRANSMIT);
        ASSERT_FALSE(w.empty());
        lit.push_back(w.back().integer);
    }
    EXPECT_EQ(lit, (std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0}));
    // Nothing due: the send step clears its flag and the LED goes dark.
    dataItemOR[0].query_flag = 0;
    com_idle = 1;
    RS232COMThreadPass();
    EXPECT_EQ(sendLedON.load(), 0);
    EXPECT_EQ(ui.writesTo(kMainPanel, uir::panel_main::LED_TRANSMIT).back().integer, 0);
    EXPECT_EQ(sendLedShineDelay.load(), 0);
}

// The passes tell the LEDs to the installed view, which alone writes them: with
// another view in the presenter's place no LED control is written at all.
TEST_F(TransmitStep, LedsOfAPassGoToTheViewAndOnlyThroughIt)
{
    struct Leds : LineView {
        std::vector<int> tx, rx;
        void transmitLed(int lit) override { tx.push_back(lit); }
        void receiveLed(int lit) override { rx.push_back(lit); }
        void portTitleChanged() override {}
        void deviceInfoChanged() override {}
        void portOpened() override {}
        void passwordPhaseBegins() override {}
    } leds;
    const LineViewInstalled installed(leds);
    for (int i = 0; i < 4; ++i) {
        com_idle = 1;
        RS232COMThreadPass();
    }
    EXPECT_EQ(leds.tx, (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(leds.rx.size(), 4u);
    EXPECT_TRUE(ui.writesTo(kMainPanel, uir::panel_main::LED_TRANSMIT).empty());
    EXPECT_TRUE(ui.writesTo(kMainPanel, uir::panel_main::LED_RECIEVE).empty());
}

TEST_F(TransmitStep, PasswordPhaseSendsOnlyThePasswordWrite)
{
    hci_commnication_enable_5927 = 0;
    dataItem1[0].send_flag = 1;
    RS232COMThreadPass();
    EXPECT_EQ(testsupport::ToHex(driver.written()), "01060fc759274169");
    EXPECT_EQ(dataItem1[0].send_flag.load(), 1) << "no write before the password is accepted";
    EXPECT_EQ(com_idle.load(), 0);
}

TEST_F(TransmitStep, FailedPasswordWriteLeavesTheThreadRunningAndRetriesAfterReopen)
{
    hci_commnication_enable_5927 = 0;
    driver.setWriteLimit(3);
    ASSERT_TRUE(StartCommThread());
    ASSERT_TRUE(testsupport::WaitFor([&] { return !ui.popups().empty(); }, std::chrono::milliseconds(3000)));
    EXPECT_EQ(ui.popups()[0].text, "Com write failed 11! ");
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    // The thread goes on, with the line free for the next password write.
    EXPECT_TRUE(testsupport::WaitFor([] { return com_idle.load() == 1; }, std::chrono::milliseconds(1000)));
    EXPECT_EQ(RS232COMThreadStatue.load(), 0);
    // The port is opened again: the password phase starts over.
    driver.setWriteLimit(-1);
    const size_t before = driver.written().size();
    comConfigure_success_flag = 1;
    EXPECT_TRUE(testsupport::WaitFor([&] { return driver.written().size() >= before + 8; },
                                     std::chrono::milliseconds(3000)));
    StopCommThread();
    EXPECT_EQ(RS232COMThreadStatue.load(), 1);
    EXPECT_EQ(ui.popups().size(), 1u);
}
