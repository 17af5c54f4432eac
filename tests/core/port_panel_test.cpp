// The port panel's callbacks over pseudo-terminals, with a recording UI whose
// rings the tests set and whose popups they capture.
#include <gtest/gtest.h>

#include <optional>

#include "engine/console_state.h"
#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/password_timers.h"
#include "pages/sample5.h"
#include "platform/port/serial.h"
#include "serial/notices.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;
using testsupport::PtyPair;
using testsupport::RecordingUi;
using testsupport::ToHex;

namespace {

using testsupport::kMainPanel;
using testsupport::kPortPanel;
const std::string kPasswordFrame = "01060fc759274169";

// Ring item values of the port panel.
struct Selection {
    int port, baud, parity, dataBits, stopBits;
};
constexpr Selection kDefaults = {4, 5, 2, 2, 1};  // COM4, 19200, odd, 8, 1

class PortPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDataItems();
        panelMain = kMainPanel;
        child = kPortPanel;
        comConfigure_flag = 1;
        SetComDevice(4, pty4.slavePath());
        SetComDevice(7, pty7.slavePath());
        SetComDevice(9, "/nonexistent/serial-device");
        select(kDefaults);
    }
    void TearDown() override
    {
        for (int port : {4, 7}) CloseCom(port);
    }

    void select(const Selection& s)
    {
        using namespace uir::panel_com;
        ui.setInt(kPortPanel, COMSELECT, s.port);
        ui.setInt(kPortPanel, BTLSELECT, s.baud);
        ui.setInt(kPortPanel, JYSELECT, s.parity);
        ui.setInt(kPortPanel, LONGSELECT, s.dataBits);
        ui.setInt(kPortPanel, STOPSELECT, s.stopBits);
    }

    static void press(int (*callback)(int, int, int, void*, int, int), int event = EVENT_COMMIT)
    {
        callback(kPortPanel, 0, event, nullptr, 0, 0);
    }

    std::vector<std::string> popupTexts() const
    {
        std::vector<std::string> out;
        for (const auto& p : ui.popups()) out.push_back(p.title + "/" + p.text);
        return out;
    }

    double timerAttr(int control, int attribute) const { return ui.ctrlAttr(kMainPanel, control, attribute); }

    RecordingUi ui;
    PtyPair pty4;
    PtyPair pty7;
};

}  // namespace

TEST_F(PortPanel, ConfigureOpensHidesWritesThePasswordAndArmsTheTimers)
{
    press(Configure);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_EQ(active_comselect.load(), 4);
    EXPECT_EQ(btlselect, 19200);
    EXPECT_EQ(jhselect, 1);
    EXPECT_EQ(longselect, 8);
    EXPECT_EQ(stopselect, 1);
    EXPECT_EQ(comConfigure_flag.load(), 0);
    EXPECT_EQ(ui.panelShown(kPortPanel), 0);
    EXPECT_EQ(ToHex(pty4.read(1000ms)), kPasswordFrame);
    using namespace uir::panel_main;
    EXPECT_EQ(timerAttr(TIMER_CMPW, ATTR_INTERVAL), 10.0);
    EXPECT_EQ(timerAttr(TIMER_CMPW_RT, ATTR_INTERVAL), 0.05);
    EXPECT_EQ(timerAttr(TIMER_CMPW, ATTR_ENABLED), 1);
    EXPECT_EQ(timerAttr(TIMER_CMPW_RT, ATTR_ENABLED), 1);
    EXPECT_TRUE(popupTexts().empty());
}

TEST_F(PortPanel, RingValuesMapToPortSettings)
{
    struct Case {
        Selection ring;
        long baud;
        int parity, dataBits, stopBits;
    };
    const Case cases[] = {
        {{7, 6, 3, 2, 2}, 115200, 2, 8, 2}, {{7, 1, 1, 2, 1}, 1200, 0, 8, 1},
        {{7, 2, 2, 2, 1}, 2400, 1, 8, 1},   {{7, 3, 3, 1, 1}, 4800, 2, 7, 1},
        {{7, 4, 1, 2, 2}, 9600, 0, 8, 2},   {{4, 5, 2, 2, 1}, 19200, 1, 8, 1},
    };
    for (const Case& c : cases) {
        select(c.ring);
        press(Configure);
        EXPECT_EQ(comselect, c.ring.port);
        EXPECT_EQ(btlselect, c.baud);
        EXPECT_EQ(jhselect, c.parity);
        EXPECT_EQ(longselect, c.dataBits);
        EXPECT_EQ(stopselect, c.stopBits);
    }
    // A value no ring item has leaves the previous selection as it was.
    select({0, 9, 0, 7, 5});
    press(Configure);
    EXPECT_EQ(comselect, 4);
    EXPECT_EQ(btlselect, 19200);
    EXPECT_EQ(jhselect, 1);
    EXPECT_EQ(longselect, 8);
    EXPECT_EQ(stopselect, 1);
}

TEST_F(PortPanel, ReconfigureClosesAndReopensTheSameOrAnotherPort)
{
    press(Configure);
    ASSERT_EQ(comConfigure_success_flag.load(), 1);
    pty4.read(500ms);
    press(Configure);  // same port: closed and opened again
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_EQ(ToHex(pty4.read(1000ms)), kPasswordFrame);
    select({7, 5, 2, 2, 1});
    press(Configure);
    EXPECT_EQ(active_comselect.load(), 7);
    EXPECT_EQ(ToHex(pty7.read(1000ms)), kPasswordFrame);
    EXPECT_LT(GetInQLen(4), 0) << "the old port stays open";
    EXPECT_TRUE(popupTexts().empty());
}

TEST_F(PortPanel, FailedOpensSayConfigFailedAndLeaveThePanelShown)
{
    const Selection failing[] = {
        {9, 5, 2, 2, 1},  // no such device
        {4, 5, 2, 3, 1},  // 9 data bits
    };
    for (const Selection& s : failing) {
        ui.clear();
        comConfigure_flag = 1;
        select(s);
        press(Configure);
        EXPECT_EQ(comConfigure_success_flag.load(), 0);
        EXPECT_EQ(popupTexts(), std::vector<std::string>{"Error/config failed!"});
        EXPECT_EQ(comConfigure_flag.load(), 1);
        EXPECT_EQ(ui.panelShown(kPortPanel), -1);
        EXPECT_EQ(timerAttr(uir::panel_main::TIMER_CMPW, ATTR_ENABLED), -1);
    }
    EXPECT_TRUE(pty4.read(200ms).empty());
}

TEST_F(PortPanel, CloseComClosesAndDarkensTheLedsAndQuitNeverCloses)
{
    press(Configure);
    pty4.read(500ms);
    press(Quit);
    EXPECT_EQ(comConfigure_success_flag.load(), 1);
    EXPECT_EQ(comConfigure_flag.load(), 0);
    EXPECT_GE(GetInQLen(4), 0);
    press(CloseCOM);
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_LT(GetInQLen(4), 0);
    using namespace uir::panel_main;
    ASSERT_FALSE(ui.writesTo(kMainPanel, LED_TRANSMIT).empty());
    EXPECT_EQ(ui.writesTo(kMainPanel, LED_TRANSMIT).back().integer, 0);
    EXPECT_EQ(ui.writesTo(kMainPanel, LED_RECIEVE).back().integer, 0);
    // With no port open it changes nothing.
    ui.clear();
    press(CloseCOM);
    EXPECT_TRUE(ui.writes().empty());
    EXPECT_TRUE(popupTexts().empty());
}

TEST_F(PortPanel, CallbacksIgnoreEveryOtherEvent)
{
    for (auto cb : {Configure, CloseCOM, Quit}) press(cb, EVENT_TIMER_TICK);
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_EQ(comConfigure_flag.load(), 1);
    EXPECT_TRUE(ui.writes().empty());
}

TEST_F(PortPanel, PortClosedWhileIdleDisarmsTheTimersWithOneMessage)
{
    press(Configure);
    pty4.read(500ms);
    com_idle = 1;
    press(CloseCOM);
    ui.clear();
    using namespace uir::panel_main;
    timer_cmPW(kMainPanel, TIMER_CMPW, EVENT_TIMER_TICK, nullptr, 0, 0);
    EXPECT_EQ(timer_cmPW_rt(kMainPanel, TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0), -1);
    for (int i = 0; i < 5; ++i) timer_cmPW_rt(kMainPanel, TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0);
    EXPECT_EQ(popupTexts(), std::vector<std::string>{"Error/Port not open! "});
    EXPECT_EQ(timerAttr(TIMER_CMPW, ATTR_ENABLED), 0);
    EXPECT_EQ(timerAttr(TIMER_CMPW_RT, ATTR_ENABLED), 0);
    EXPECT_TRUE(pty4.read(200ms).empty());
}

TEST_F(PortPanel, PasswordTimerWaitsForAnIdleLineAndWritesOnce)
{
    press(Configure);
    pty4.read(500ms);
    using namespace uir::panel_main;
    com_idle = 0;  // a reply is awaited
    for (int i = 0; i < 3; ++i) timer_cmPW(kMainPanel, TIMER_CMPW, EVENT_TIMER_TICK, nullptr, 0, 0);
    timer_cmPW_rt(kMainPanel, TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0);
    EXPECT_TRUE(pty4.read(200ms).empty());
    com_idle = 1;
    for (int i = 0; i < 3; ++i) timer_cmPW_rt(kMainPanel, TIMER_CMPW_RT, EVENT_TIMER_TICK, nullptr, 0, 0);
    EXPECT_EQ(ToHex(pty4.read(500ms)), kPasswordFrame);
    EXPECT_EQ(com_idle.load(), 0);
    EXPECT_EQ(communication_password_sendFlag.load(), 0);
}

// The start-up reset leaves nothing of the port state of a run before: the
// selections, the port opened last, the COM table and the reconnect switch.
// A ring value the table does not know then keeps no rate of that run.
TEST_F(PortPanel, TheStartUpResetForgetsThePortStateOfTheRunBefore)
{
    select({4, 6, 2, 2, 1});  // 115200
    press(Configure);
    ASSERT_EQ(comConfigure_success_flag.load(), 1);
    ASSERT_NE(OpenPortDescription(), "");
    SetReconnectEnabled(true);
    SetComBinding(5, "/dev/ttyUSB9");
    CloseCom(4);

    ResetConsoleState();
    EXPECT_EQ(OpenPortDescription(), "");
    EXPECT_EQ(std::vector<int>({comvalue, btlvalue, comselect, btlselect, jhselect, longselect, stopselect}),
              std::vector<int>(7, 0));
    EXPECT_FALSE(ReconnectEnabled());
    EXPECT_EQ(ComDeviceSource(4), ComPathSource::Default);
    EXPECT_EQ(ComBinding(5), "");

    panelMain = kMainPanel;
    child = kPortPanel;
    SetComDevice(4, pty4.slavePath());
    select({4, 9, 2, 2, 1});  // no such rate on the ring
    press(Configure);
    EXPECT_EQ(comConfigure_success_flag.load(), 0) << "opened at " << btlselect << " bit/s";
    EXPECT_EQ(popupTexts(), std::vector<std::string>{"Error/config failed!"});
}

TEST(ErrorCheckDeathTest, ShowsTheBoxAndEndsWithStatusMinusOne)
{
    EXPECT_EXIT(
        {
            std::string seen;
            SetPopupHandler([&](const std::string& title, const std::string& text) {
                std::fprintf(stderr, "[%s|%s]", title.c_str(), text.c_str());
            });
            ErrorCheck("Error Setting Com Time", -7, "bad");
        },
        ::testing::ExitedWithCode(255),
        "^\\[ErrorCheck\\|Error Setting Com Time \\(Error = -7\\)\\.\n\nQuit\\? \\]");
    // The hook installed from above runs first; once it is gone, it does not.
    const auto fatalError = [](bool hookLives) {
        SetPopupHandler([](const std::string& title, const std::string&) {
            std::fprintf(stderr, "[%s]", title.c_str());
        });
        std::optional<FatalErrorHook> hook;
        hook.emplace([] { std::fprintf(stderr, "[records written]"); });
        if (!hookLives) hook.reset();
        ErrorCheck("Error Setting Com Time", -7, "bad");
    };
    EXPECT_EXIT(fatalError(true), ::testing::ExitedWithCode(255), "^\\[records written\\]\\[ErrorCheck\\]$");
    EXPECT_EXIT(fatalError(false), ::testing::ExitedWithCode(255), "^\\[ErrorCheck\\]$");
    // Hooks nest: the command's journal, then the capture of its whole run;
    // once the inner one is gone, the outer one still runs.
    const auto nested = [](bool innerLives) {
        SetPopupHandler([](const std::string& title, const std::string&) {
            std::fprintf(stderr, "[%s]", title.c_str());
        });
        const FatalErrorHook outer([] { std::fprintf(stderr, "[capture written]"); });
        std::optional<FatalErrorHook> inner;
        inner.emplace([] { std::fprintf(stderr, "[journal written]"); });
        if (!innerLives) inner.reset();
        ErrorCheck("Error Setting Com Time", -7, "bad");
    };
    EXPECT_EXIT(nested(true), ::testing::ExitedWithCode(255),
                "^\\[journal written\\]\\[capture written\\]\\[ErrorCheck\\]$");
    EXPECT_EXIT(nested(false), ::testing::ExitedWithCode(255), "^\\[capture written\\]\\[ErrorCheck\\]$");
    // Without a window the box is one line on standard error, shown by no backend.
    const auto headless = [] {
        SetPopupHandler([](const std::string&, const std::string&) { std::fprintf(stderr, "[popup]"); });
        StderrNotices sink;
        const NoticesInstalled installed(sink);
        ErrorCheck("Error Setting Com Time", -7, "bad");
    };
    EXPECT_EXIT(headless(), ::testing::ExitedWithCode(255),
                "^drive-console: ErrorCheck: Error Setting Com Time \\(Error = -7\\)\\.  Quit\\?\n$");
}
