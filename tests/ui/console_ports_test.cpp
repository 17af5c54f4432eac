// The port options of the real program and of the console with its widgets:
// --list-ports, --simulate opening the port by itself, and the port panel's
// COM ring and reconnect switch as the operator works them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

#include "app/console_extras.h"
#include "app/mainwin.h"
#include "app/shell_menus.h"
#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"
#include "serial/port_binding.h"
#include "serial/port_watch.h"
#include "tests/support/console_window.h"

using testsupport::FindControl;
using testsupport::RunUntil;
using testsupport::WindowArguments;

namespace {

// The real program with `arguments`: its exit status and what it printed
// (with its error stream when `arguments` sends it there).
std::pair<int, std::string> runProgram(const std::string& arguments)
{
    std::FILE* out = ::popen((std::string(DSC_CONSOLE_BINARY) + " " + arguments).c_str(), "r");
    if (out == nullptr) return {-1, ""};
    std::string text;
    char buf[512];
    while (std::fgets(buf, sizeof buf, out) != nullptr) text += buf;
    const int status = ::pclose(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

}  // namespace

TEST(ConsoleProgram, ListPortsPrintsOneDeviceALineAndExitsZero)
{
    auto [status, text] = runProgram("--com 4=rfc2217://bench-pi:2000 --list-ports");
    EXPECT_EQ(status, 0);
    // The devices present, then the network devices bound.
    const std::string network = "rfc2217://bench-pi:2000\t-\tnetwork device of COM4\n";
    ASSERT_GE(text.size(), network.size());
    EXPECT_EQ(text.substr(text.size() - network.size()), network) << text;
    text.resize(text.size() - network.size());
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        EXPECT_EQ(text.compare(start, 5, "/dev/"), 0) << text.substr(start, nl - start);
    }
    EXPECT_EQ(start, text.size()) << "last line unterminated";
}

TEST(ConsoleProgram, AMalformedNetworkDeviceEndsWithStatus3AndAShotThatCannotBeWrittenWith1)
{
    const auto [malformed, said] = runProgram("--com 4=tcp://bench-pi --list-ports 2>&1");
    EXPECT_EQ(malformed, 3) << said;
    EXPECT_EQ(said.rfind("drive-console: bad --com value '4=tcp://bench-pi': bad network device", 0), 0u)
        << said;

    // In a ThreadSanitizer build the program needs the options this test has:
    // Qt renders on threads of its own that are not instrumented.
    setenv("TSAN_OPTIONS", "ignore_noninstrumented_modules=1", 0);
    const auto [status, text] = runProgram("--screenshots /dev/null/shots 2>&1");
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find("could not render /dev/null/shots/main.png"), std::string::npos) << text;
}

TEST(ConsoleProgram, SimulateShowsLiveValuesWithNoClick)
{
    std::string error;
    ASSERT_TRUE(StartBuiltInSimulator(&error)) << error;
    std::vector<std::string> popups;
    SetPopupHandler([&](const std::string& t, const std::string& m) { popups.push_back(t + "/" + m); });
    bool live = false;
    QTimer::singleShot(0, [&] {
        live = RunUntil(
            [] {
                if (comConfigure_success_flag.load() != 1 || hci_commnication_enable_5927.load() != 1) {
                    return false;
                }
                // A status value drawn on the main panel that did not come from the start values.
                for (int id : queryItemID) {
                    double v = 0;
                    if (GetCtrlVal(panelMain.load(), id, &v) == 0 && v != 0.0) return true;
                }
                return false;
            },
            15000);
        QuitCallback(panelMain.load(), uir::panel_main::QUITBUTTON, EVENT_COMMIT, nullptr, 0, 0);
    });
    ConsoleOptions options;
    options.simulate = true;
    EXPECT_EQ(WinMain(WindowArguments::argc(), WindowArguments::argv(), options), 0);
    StopBuiltInSimulator();
    SetPopupHandler({});
    EXPECT_TRUE(live);
    EXPECT_EQ(active_comselect.load(), 4);
    EXPECT_TRUE(popups.empty());
}

TEST(ConsoleProgram, WithoutSimulateNothingOpensByItself)
{
    QTimer::singleShot(0, [] {
        RunUntil([] { return false; }, 600);
        QuitCallback(panelMain.load(), uir::panel_main::QUITBUTTON, EVENT_COMMIT, nullptr, 0, 0);
    });
    EXPECT_EQ(WinMain(WindowArguments::argc(), WindowArguments::argv(), ConsoleOptions()), 0);
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
}

TEST(ConsoleProgram, OperatorsRingAndSwitchTakeEffectAtOnce)
{
    ASSERT_TRUE(qtui::InitUserInterface(WindowArguments::argc(), WindowArguments::argv()));
    ASSERT_TRUE(LoadConsolePanels());
    SetComDevice(7, "/dev/null");
    ShowPortChoices();

    auto* ring = FindControl<QComboBox>(child.load(), "COMSELECT");
    auto* info = FindControl<QLabel>(child.load(), "DEVICE_INFO");
    ASSERT_NE(ring, nullptr);
    ASSERT_NE(info, nullptr);
    ring->setCurrentIndex(6);  // COM7
    EXPECT_EQ(info->text().toStdString(), "/dev/null (command line)");
    ring->setCurrentIndex(2);  // COM3, nothing there
    EXPECT_EQ(info->text().toStdString(), "/dev/ttyS2\nno such device");

    auto* reconnect = FindControl<qtui::SwitchButton>(child.load(), "RECONNECT");
    ASSERT_NE(reconnect, nullptr);
    EXPECT_FALSE(reconnect->isChecked());
    reconnect->click();
    EXPECT_TRUE(ReconnectEnabled());
    SetReconnectEnabled(false);
    LoadPortChoices();  // kept in the settings
    EXPECT_TRUE(ReconnectEnabled());
    SetReconnectEnabled(false);

    ShutdownConsole();
    qtui::ShutdownUserInterface();
}

// --lang renders every panel and window in each language, and each language
// draws its own texts.
TEST(ConsoleProgram, ScreenshotsInEachLanguageRenderEveryPanel)
{
    setenv("TSAN_OPTIONS", "ignore_noninstrumented_modules=1", 0);
    const char* state = std::getenv("XDG_STATE_HOME");
    ASSERT_NE(state, nullptr);
    const char* const files[] = {"main.png",
                                 "com.png",
                                 "set.png",
                                 "set-1-basic.png",
                                 "set-2-temp.png",
                                 "set-3-func.png",
                                 "set-4-throttle.png",
                                 "set-5-motor.png",
                                 "set-6-debug.png",
                                 "debug.png",
                                 "debug-1-settings.png",
                                 "debug-2-test.png",
                                 "monitor.png",
                                 "faults.png",
                                 "compare.png",
                                 "about.png"};
    std::map<std::string, QByteArray> debug;
    for (const char* lang : {"shipped", "en", "zh_CN"}) {
        const std::string dir = std::string(state) + "/pictures-" + lang;
        const std::string command =
            std::string(DSC_CONSOLE_BINARY) + " --lang " + lang + " --screenshots " + dir + " 2>&1";
        std::FILE* out = ::popen(command.c_str(), "r");
        ASSERT_NE(out, nullptr);
        std::string text;
        char buf[512];
        while (std::fgets(buf, sizeof buf, out) != nullptr) text += buf;
        const int status = ::pclose(out);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << lang << ": " << text;
        for (const char* file : files) {
            QFile picture(QString::fromStdString(dir + "/" + file));
            EXPECT_TRUE(picture.open(QIODevice::ReadOnly) && picture.size() > 0) << lang << ": " << file;
            if (std::string(file) == "debug-2-test.png") debug[lang] = picture.readAll();
        }
        // The package's font draws every character shown: the list of those
        // that would show as boxes is there, and empty.
        QFile glyphs(QString::fromStdString(dir + "/missing-glyphs.txt"));
        ASSERT_TRUE(glyphs.open(QIODevice::ReadOnly)) << lang;
        EXPECT_EQ(glyphs.readAll().toStdString(), "") << lang;
    }
    EXPECT_NE(debug["shipped"], debug["en"]);
    EXPECT_NE(debug["en"], debug["zh_CN"]);
}
