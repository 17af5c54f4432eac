// The application shell with real widgets on the offscreen platform: the
// menu toggles, the port panel's QUIT, and quitting with the port closed and
// open, including a worker thread that failed to start.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "app/mainwin.h"
#include "app/version.h"
#include "engine/ems.h"
#include "model/app_state.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"
#include "serial/port_gate.h"
#include "serial/rs232.h"
#include "tests/support/line_script.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;

namespace {

int g_argc = 1;
char g_arg0[] = "shell_test";
char* g_argv[] = {g_arg0, nullptr};

QAction* menuEntry(const char* name)
{
    QWidget* main = qtui::PanelWidget(panelMain.load());
    return main != nullptr ? main->findChild<QAction*>(name) : nullptr;
}

QPushButton* button(int panel, const char* name)
{
    QWidget* w = qtui::PanelWidget(panel);
    return w != nullptr ? w->findChild<QPushButton*>(name) : nullptr;
}

bool shown(std::atomic<int>& panel)
{
    QWidget* w = qtui::PanelWidget(panel.load());
    return w != nullptr && w->isVisible();
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A previous test in this process may have run and stopped the console.
        for (auto* flag :
             {&RS232COMThreadStop, &RefreshUIThreadStop, &RS232COMThreadStatue, &RefreshUIThreadStatue,
              &RS232COMThreadHandle, &RefreshUIThreadHandle, &comConfigure_flag, &panelSet_display_flag,
              &panel_debug_display_flag, &comConfigure_success_flag})
            flag->store(0);
        ASSERT_TRUE(qtui::InitUserInterface(g_argc, g_argv));
        SetPopupHandler(
            [this](const std::string& t, const std::string& m) { popups.push_back(t + "/" + m); });
    }
    void TearDown() override
    {
        SetPopupHandler({});
        qtui::ShutdownUserInterface();
    }
    std::vector<std::string> popups;
};

// Records, when the port is closed, whether both worker threads had ended.
class WatchingDriver : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& s, int* error) override
    {
        auto inner = PosixSerialDriver().open(path, s, error);
        if (!inner) return nullptr;
        return std::make_unique<Device>(std::move(inner), this);
    }
    std::atomic<int> closes{0};
    std::atomic<int> closesAfterThreadsEnded{0};

private:
    class Device : public SerialDevice {
    public:
        Device(std::unique_ptr<SerialDevice> inner, WatchingDriver* d) : inner_(std::move(inner)), d_(d) {}
        int write(const char* b, int n) override { return inner_->write(b, n); }
        int read(char* b, int n, double t) override { return inner_->read(b, n, t); }
        int inputQueueLength() override { return inner_->inputQueueLength(); }
        int flushInput() override { return inner_->flushInput(); }
        int flushOutput() override { return inner_->flushOutput(); }
        int close() override
        {
            ++d_->closes;
            if (RS232COMThreadStatue.load() == 1 && RefreshUIThreadStatue.load() == 1)
                ++d_->closesAfterThreadsEnded;
            return inner_->close();
        }

    private:
        std::unique_ptr<SerialDevice> inner_;
        WatchingDriver* d_;
    };
};

}  // namespace

TEST_F(Shell, MenuEntriesToggleTheirPanelsAndHelpDoesNothing)
{
    ASSERT_TRUE(LoadConsolePanels());
    DisplayPanel(panelMain.load());
    struct Entry {
        const char* name;
        std::atomic<int>* panel;
        std::atomic<int>* flag;
    };
    const Entry entries[] = {{"MENU_COMCONFIGURE", &child, &comConfigure_flag},
                             {"MENU_SET", &panel_set, &panelSet_display_flag},
                             {"MENU_DEBUG", &panel_debug, &panel_debug_display_flag}};
    for (const Entry& e : entries) {
        QAction* action = menuEntry(e.name);
        ASSERT_NE(action, nullptr) << e.name;
        for (int use = 1; use <= 3; ++use) {
            action->trigger();
            QApplication::processEvents();
            const bool expectShown = use % 2 == 1;
            EXPECT_EQ(shown(*e.panel), expectShown) << e.name << " use " << use;
            EXPECT_EQ(e.flag->load(), expectShown ? 1 : 0) << e.name << " use " << use;
        }
    }
    // Three uses left every panel shown; "Help" changes nothing.
    QAction* help = menuEntry("MENU1");
    ASSERT_NE(help, nullptr);
    help->trigger();
    QApplication::processEvents();
    for (const Entry& e : entries) {
        EXPECT_TRUE(shown(*e.panel)) << e.name;
        EXPECT_EQ(e.flag->load(), 1) << e.name;
    }
    EXPECT_TRUE(popups.empty());
}

TEST_F(Shell, PortPanelQuitThenTheMenuShowsItAgain)
{
    ASSERT_TRUE(LoadConsolePanels());
    DisplayPanel(panelMain.load());
    menuEntry("MENU_COMCONFIGURE")->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(shown(child));
    QPushButton* quit = button(child.load(), "QUIT");
    ASSERT_NE(quit, nullptr);
    quit->click();
    QApplication::processEvents();
    EXPECT_FALSE(shown(child));
    EXPECT_EQ(comConfigure_flag.load(), 0);
    menuEntry("MENU_COMCONFIGURE")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(shown(child));
}

TEST_F(Shell, StartValuesShowAfterTheFirstRefreshAndLedsAreOff)
{
    ConsoleOptions options;
    int ledTx = -1, ledRx = -1;
    double firstReadout = -1;
    // Start-up colours both LEDs: grey when off, green when lit.
    std::vector<QColor> off, lit;
    const auto colours = [](std::vector<QColor>* out) {
        for (const char* name : {"LED_TRANSMIT", "LED_RECIEVE"}) {
            auto* lamp = qtui::PanelWidget(panelMain.load())->findChild<qtui::LedLamp*>(name);
            out->push_back(lamp != nullptr ? lamp->shownColor() : QColor());
        }
    };
    QTimer::singleShot(600, [&] {
        GetCtrlVal(panelMain.load(), uir::panel_main::LED_TRANSMIT, &ledTx);
        GetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, &ledRx);
        GetCtrlVal(panel_set_tab[4].load(), uir::tabpanel_5::TAB5_NUMERIC_SET_4, &firstReadout);
        colours(&off);
        SetCtrlVal(panelMain.load(), uir::panel_main::LED_TRANSMIT, 1);
        SetCtrlVal(panelMain.load(), uir::panel_main::LED_RECIEVE, 1);
        colours(&lit);
        button(panelMain.load(), "QUITBUTTON")->click();
    });
    EXPECT_EQ(WinMain(g_argc, g_argv, options), 0);
    EXPECT_EQ(ledTx, 0);
    EXPECT_EQ(ledRx, 0);
    EXPECT_EQ(off, (std::vector<QColor>{QColor(0xA0, 0xA0, 0xA0), QColor(0xA0, 0xA0, 0xA0)}));
    EXPECT_EQ(lit, (std::vector<QColor>{QColor(0x00, 0xFF, 0x00), QColor(0x00, 0xFF, 0x00)}));
    EXPECT_EQ(firstReadout, 3.0);  // item 3 of the MOTOR page starts at 3
}

struct QuitCase {
    const char* name;
    bool portOpen;
    int failedThreadStarts;
};

class QuitConsole : public Shell, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitConsole, EndsBothThreadsThenClosesThePortAndReturnsZero)
{
    testsupport::PtyPair pty;
    WatchingDriver driver;
    SetSerialDriver(&driver);
    SetComDevice(4, pty.slavePath());
    FailNextThreadCreations(GetParam().failedThreadStarts);
    std::int64_t clickedAt = 0;
    QTimer::singleShot(300, [&] {
        if (GetParam().portOpen) {
            QPushButton* configure = button(child.load(), "CONFIGURE");
            ASSERT_NE(configure, nullptr);
            configure->click();
        }
        QTimer::singleShot(500, [&] {
            clickedAt = ClockMs();
            button(panelMain.load(), "QUITBUTTON")->click();
        });
    });
    ConsoleOptions options;
    const int rc = WinMain(g_argc, g_argv, options);
    const std::int64_t quitMs = ClockMs() - clickedAt;
    SetSerialDriver(nullptr);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(comConfigure_success_flag.load(), GetParam().portOpen ? 1 : 0);
    if (RS232COMThreadHandle.load() != 0) {
        EXPECT_EQ(RS232COMThreadStatue.load(), 1);
    }
    if (RefreshUIThreadHandle.load() != 0) {
        EXPECT_EQ(RefreshUIThreadStatue.load(), 1);
    }
    EXPECT_EQ(driver.closes.load(), GetParam().portOpen ? 1 : 0);
    if (GetParam().failedThreadStarts == 0) {
        EXPECT_EQ(driver.closesAfterThreadsEnded.load(), driver.closes.load());
    } else {
        EXPECT_EQ(RefreshUIThreadHandle.load(), 0);
    }
    EXPECT_TRUE(popups.empty());
    RecordProperty("quit_ms", static_cast<int>(quitMs));
}

INSTANTIATE_TEST_SUITE_P(Shutdown, QuitConsole,
                         ::testing::Values(QuitCase{"PortClosed", false, 0}, QuitCase{"PortOpen", true, 0},
                                           QuitCase{"RefreshThreadNeverStarted", true, 1},
                                           QuitCase{"NoThreadStarted", false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Shell, MainPanelTitleNamesTheConsoleAndItsVersionOnce)
{
    ASSERT_TRUE(LoadConsolePanels());
    QWidget* main = qtui::PanelWidget(panelMain.load());
    ASSERT_NE(main, nullptr);
    const QString version = QString::fromLatin1(ConsoleVersion());
    EXPECT_TRUE(QRegularExpression("^[0-9]+\\.[0-9]+\\.[0-9]+$").match(version).hasMatch())
        << version.toStdString();
    EXPECT_EQ(main->windowTitle(), "Drive Service Console " + version);
    ShowVersionInTitle(panelMain.load());
    EXPECT_EQ(main->windowTitle(), "Drive Service Console " + version);
    ShowVersionInTitle(-1);  // a bad handle changes nothing
}

TEST_F(Shell, PanelResourcesThatMissARegisterAreToldOnceAndTheConsoleRuns)
{
    testsupport::EditedResources uir;
    ASSERT_TRUE(uir.replace("mainwin.uir", "cb=tab1_send_3", "cb=tab1_send_2"));
    bool mainShown = false;
    QTimer::singleShot(400, [&] {
        mainShown = shown(panelMain);
        button(panelMain.load(), "QUITBUTTON")->click();
    });
    EXPECT_EQ(WinMain(g_argc, g_argv, ConsoleOptions()), 0);
    EXPECT_TRUE(mainShown);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].rfind("Error/", 0), 0u) << popups[0];
    EXPECT_NE(popups[0].find("tab1_send_3"), std::string::npos) << popups[0];
}

// The fatal port error ends the process at once. Before it does, what quitting
// would write is written: the write still waiting ends as at quit and is
// journaled, and the fault the line reported last is in faults.csv. The child
// process holds the port gate, as the port panel does while it opens the
// port, so that nothing else can end the write first.
TEST_F(Shell, AFatalPortErrorWritesWhatQuittingWritesBeforeTheProcessEnds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string state = testing::TempDir() + "shell-fatal-error-state";
    std::filesystem::remove_all(state);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    EXPECT_EXIT(
        {
            QTimer::singleShot(0, [] {
                HoldPortGate();
                comConfigure_success_flag = 1;
                SetCtrlVal(panel_set_tab[0].load(), uir::tabpanel_1::TAB1_NUMERIC_SET_4, 7.0);
                int count = 0;
                const CallbackEntry* e = PageCallbacks(&count);
                for (int i = 0; i < count; ++i) {
                    if (std::strcmp(e[i].name, "tab1_send_4") == 0)
                        e[i].control(0, 0, EVENT_COMMIT, e[i].callbackData, 0, 0);
                }
                testsupport::ReportFaultWords(0x0002);
                ErrorCheck("Error Setting Com Time", -7, "bad");
            });
            WinMain(g_argc, g_argv, ConsoleOptions());
        },
        ::testing::ExitedWithCode(255), "");
    const auto writes = testsupport::ReadCsv(state + "/drive-console/writes.csv");
    ASSERT_EQ(writes.size(), 2u) << "the header and the write";
    EXPECT_EQ(writes[1][4], "2551");
    EXPECT_EQ(writes[1][8], "port closed");
    EXPECT_EQ(writes[1][9], "the console quit");
    const auto faults = testsupport::ReadCsv(state + "/drive-console/faults.csv");
    ASSERT_EQ(faults.size(), 2u) << "the header and the fault";
    EXPECT_EQ(faults[1][1], "ON");
    EXPECT_EQ(faults[1][2], "2762");
    std::filesystem::remove_all(state);
}
