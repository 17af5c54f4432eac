// Which device a COM number opens: enumeration through a fake device list,
// by-id names, the operator's bindings kept in the settings file, the --com
// option above them, and an absent device on the port panel.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/app_state.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/os/app_dirs.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "serial/port_binding.h"
#include "serial/port_watch.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using testsupport::PtyPair;
using testsupport::RecordingUi;

namespace {

using testsupport::kPortPanel;

class FakeEnumerator : public PortEnumerator {
public:
    std::vector<SerialPortEntry> list;
    std::vector<SerialPortEntry> ports() override { return list; }
};

SerialPortEntry Usb(const std::string& path, const std::string& byId)
{
    SerialPortEntry e;
    e.path = path;
    e.byIdPath = byId;
    e.manufacturer = "FTDI";
    e.product = "FT232R USB UART";
    e.serialNumber = "A10K3BZ7";
    e.vendorId = 0x0403;
    e.productId = 0x6001;
    return e;
}

// A folder of its own under the test's temporary home.
fs::path ScratchDir(const char* name)
{
    const fs::path dir = fs::path(ConsoleStateDir()) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

class PortChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPortEnumerator(&fake);
        child = kPortPanel;
        ui.setInt(kPortPanel, uir::panel_com::COMSELECT, 4);
    }
    void TearDown() override
    {
        SetPortEnumerator(nullptr);
        for (int port = 1; port <= kMaxComPort; ++port) {
            SetComBinding(port, "");
            SetComDevice(port, "");
        }
    }
    FakeEnumerator fake;
    RecordingUi ui;
};

}  // namespace

TEST_F(PortChoice, ListedDevicesAreSortedAndDescribedOneALine)
{
    SerialPortEntry acm;
    acm.path = "/dev/ttyACM0";
    acm.product = "Drive Link";
    SerialPortEntry onboard;
    onboard.path = "/dev/ttyS0";
    fake.list = {Usb("/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A10K3BZ7-if00-port0"), onboard, acm};

    const std::vector<SerialPortEntry> ports = ListSerialPorts();
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].path, "/dev/ttyACM0");
    EXPECT_EQ(ports[2].path, "/dev/ttyUSB0");
    EXPECT_EQ(PortListLine(ports[2]),
              "/dev/ttyUSB0\t/dev/serial/by-id/usb-FTDI_A10K3BZ7-if00-port0\t"
              "FTDI FT232R USB UART, serial A10K3BZ7, 0403:6001");
    EXPECT_EQ(PortListLine(ports[1]), "/dev/ttyS0\t-");
    EXPECT_EQ(DescribePort(ports[0]), "Drive Link");
    // A binding keeps the by-id name where there is one.
    EXPECT_EQ(ports[2].stablePath(), "/dev/serial/by-id/usb-FTDI_A10K3BZ7-if00-port0");
    EXPECT_EQ(ports[0].stablePath(), "/dev/ttyACM0");
}

TEST_F(PortChoice, ByIdLinksMapDevicesToTheirStableNames)
{
    PtyPair pty;
    const fs::path dir = ScratchDir("by-id");
    fs::create_symlink(pty.slavePath(), dir / "usb-Maker_Adapter_123-if00");
    fs::create_symlink(dir / "gone", dir / "usb-Dangling");
    std::ofstream(dir / "plain-file") << "x";

    const auto links = ByIdLinks(dir.string());
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links.begin()->first, fs::canonical(pty.slavePath()).string());
    EXPECT_EQ(links.begin()->second, (dir / "usb-Maker_Adapter_123-if00").string());
    EXPECT_TRUE(ByIdLinks((dir / "missing").string()).empty());

    // A bound link finds its device in the list, as does the device path itself.
    fake.list = {Usb(fs::canonical(pty.slavePath()).string(), "")};
    const auto ports = ListSerialPorts();
    EXPECT_NE(FindPort(ports, (dir / "usb-Maker_Adapter_123-if00").string()), nullptr);
    EXPECT_NE(FindPort(ports, pty.slavePath()), nullptr);
    EXPECT_EQ(FindPort(ports, (dir / "usb-Dangling").string()), nullptr);
    EXPECT_EQ(FindPort(ports, ""), nullptr);

    // The device line of a COM number bound to the link names both and the adapter.
    SetComBinding(4, (dir / "usb-Maker_Adapter_123-if00").string());
    EXPECT_EQ(DeviceInfoText(4, ports), (dir / "usb-Maker_Adapter_123-if00").string() + " = " +
                                            ports[0].path +
                                            "\nFTDI FT232R USB UART, serial A10K3BZ7, 0403:6001");
}

TEST_F(PortChoice, BindingsAreStoredReloadedAndTheComOptionWins)
{
    std::string error;
    ASSERT_TRUE(SaveComBinding(4, "/dev/serial/by-id/usb-A", &error)) << error;
    ASSERT_TRUE(SaveComBinding(5, "/dev/ttyACM0", &error)) << error;
    ASSERT_TRUE(SaveComBinding(5, "", &error)) << error;  // removed again
    ASSERT_TRUE(SaveReconnectChoice(true, &error)) << error;
    EXPECT_FALSE(SaveComBinding(21, "/dev/x", &error));
    EXPECT_EQ(ComDevicePath(4), "/dev/ttyS3");  // saving alone does not apply

    SetReconnectEnabled(false);
    LoadPortChoices();
    EXPECT_EQ(ComDevicePath(4), "/dev/serial/by-id/usb-A");
    EXPECT_EQ(ComDeviceSource(4), ComPathSource::Binding);
    EXPECT_EQ(ComDevicePath(5), "/dev/ttyS4");
    EXPECT_EQ(ComDeviceSource(5), ComPathSource::Default);
    EXPECT_TRUE(ReconnectEnabled());

    // A network device is kept as written; a malformed one is left out, by name.
    ASSERT_TRUE(SaveComBinding(6, "rfc2217://bench-pi:2000", &error)) << error;
    ASSERT_TRUE(SaveComBinding(7, "tcp://bench-pi", &error)) << error;
    const std::vector<std::string> problems = LoadPortChoices();
    EXPECT_EQ(ComDevicePath(6), "rfc2217://bench-pi:2000");
    EXPECT_EQ(ComDeviceSource(7), ComPathSource::Default);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("COM7 in ", 0), 0u) << problems[0];
    EXPECT_NE(problems[0].find("bad network device 'tcp://bench-pi': no port"), std::string::npos)
        << problems[0];
    ASSERT_EQ(BoundNetworkDevices().size(), 1u);
    EXPECT_EQ(BoundNetworkDevices()[0].port, 6);
    EXPECT_EQ(BoundNetworkDevices()[0].path, "rfc2217://bench-pi:2000");

    ASSERT_TRUE(ParseComOption("4=/dev/ttyUSB7"));
    EXPECT_EQ(ComDevicePath(4), "/dev/ttyUSB7");
    EXPECT_EQ(ComDeviceSource(4), ComPathSource::Option);
    EXPECT_EQ(ComBinding(4), "/dev/serial/by-id/usb-A");  // kept for the next run
    SetReconnectEnabled(false);
}

TEST_F(PortChoice, TwoConsolesSavingAtOnceKeepEachOthersBindings)
{
    // Each binds its own COM numbers, over and over, while the other does.
    std::vector<pid_t> children;
    for (const int first : {1, 11}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int round = 0; round < 5; ++round) {
                for (int port = first; port < first + 10; ++port) {
                    const std::string device =
                        "tcp://console-" + std::to_string(first) + ":" + std::to_string(port);
                    ok = SaveComBinding(port, device, nullptr) && ok;
                }
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_TRUE(LoadPortChoices().empty());
    for (int port = 1; port <= 20; ++port) {
        const int first = port <= 10 ? 1 : 11;
        EXPECT_EQ(ComBinding(port), "tcp://console-" + std::to_string(first) + ":" + std::to_string(port));
    }
}

TEST_F(PortChoice, AnUnwritableSettingsFileIsReportedAndTheChoiceStillHolds)
{
    // The config folder's place is taken by a plain file.
    const fs::path blocker = ScratchDir("blocked") / "config";
    std::ofstream(blocker) << "x";
    const std::string saved = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);

    fake.list = {Usb("/dev/ttyUSB0", "/dev/serial/by-id/usb-A")};
    ui.setSelectionAnswer(0);
    ChooseDevice(kPortPanel, uir::panel_com::CHOOSE_DEVICE, EVENT_COMMIT, nullptr, 0, 0);
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);

    EXPECT_EQ(ComDevicePath(4), "/dev/serial/by-id/usb-A");
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_NE(ui.popups()[0].text.find("could not be kept"), std::string::npos) << ui.popups()[0].text;
}

TEST_F(PortChoice, ChoosingADeviceBindsTheSelectedComNumberByItsStableName)
{
    SerialPortEntry onboard;
    onboard.path = "/dev/ttyS0";
    fake.list = {onboard, Usb("/dev/ttyUSB0", "/dev/serial/by-id/usb-A")};

    ui.setSelectionAnswer(-1);  // cancelled: nothing changes
    ChooseDevice(kPortPanel, uir::panel_com::CHOOSE_DEVICE, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(ComDeviceSource(4), ComPathSource::Default);

    ui.setSelectionAnswer(1);
    ChooseDevice(kPortPanel, uir::panel_com::CHOOSE_DEVICE, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_EQ(ui.selections().size(), 2u);
    EXPECT_EQ(ui.selections()[1][1],
              "/dev/ttyUSB0\t/dev/serial/by-id/usb-A\t"
              "FTDI FT232R USB UART, serial A10K3BZ7, 0403:6001");
    EXPECT_EQ(ComDevicePath(4), "/dev/serial/by-id/usb-A");
    EXPECT_TRUE(ui.popups().empty());
    // Stored: a new run opens the same adapter.
    SetComBinding(4, "");
    LoadPortChoices();
    EXPECT_EQ(ComDevicePath(4), "/dev/serial/by-id/usb-A");
    // Absent here: the device line says so.
    EXPECT_EQ(ui.ctrlText(kPortPanel, uir::panel_com::DEVICE_INFO),
              "/dev/serial/by-id/usb-A\nno such device");
}

TEST_F(PortChoice, ANetworkDeviceIsTypedAsHostPortAndKindAndOfferedAgainAmongTheRecentTen)
{
    fs::remove(ConsoleSettingsFile());
    fake.list = {Usb("/dev/ttyUSB0", "/dev/serial/by-id/usb-A")};
    const auto choose = [&](int row) {
        ui.setSelectionAnswer(row);
        ChooseDevice(kPortPanel, uir::panel_com::CHOOSE_DEVICE, EVENT_COMMIT, nullptr, 0, 0);
    };
    const auto answer = [&](const std::string& host, int port, int kind) {
        ServerAddressEntry entry;
        entry.host = host;
        entry.port = port;
        entry.kind = kind;
        ui.setAddressAnswer(entry);
    };

    // The last row names a device by its parts; the kinds are RFC 2217, then raw TCP.
    answer(" bench-pi ", 2000, 0);
    choose(1);
    ASSERT_EQ(ui.selections()[0].size(), 2u);
    EXPECT_EQ(ui.selections()[0][1].rfind("Network device\xA1\xAD\t", 0), 0u) << ui.selections()[0][1];
    EXPECT_EQ(ComDevicePath(4), "rfc2217://bench-pi:2000");
    EXPECT_EQ(ui.ctrlText(kPortPanel, uir::panel_com::DEVICE_INFO), "rfc2217://bench-pi:2000\nnot connected");

    // The form starts from the bound device; an IPv6 address gets its brackets.
    answer("::1", 2001, 1);
    choose(2);  // the serial device, the recent one, the form
    ASSERT_EQ(ui.addressForms().size(), 2u);
    EXPECT_EQ(ui.addressForms()[1].host, "bench-pi");
    EXPECT_EQ(ui.addressForms()[1].port, 2000);
    EXPECT_EQ(ui.addressForms()[1].kind, 0);
    EXPECT_EQ(ComDevicePath(4), "tcp://[::1]:2001");

    // Malformed or cancelled: said by name, or nothing, and the binding stands.
    answer("bench pi", 2000, 0);
    choose(3);
    ui.cancelAddress();
    choose(3);
    EXPECT_EQ(ComDevicePath(4), "tcp://[::1]:2001");
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_NE(ui.popups()[0].text.find("rfc2217://bench pi:2000"), std::string::npos) << ui.popups()[0].text;

    // The recent ones, newest first, pick as a device does; kept for the next run.
    ASSERT_EQ(ui.selections().back().size(), 4u);
    EXPECT_EQ(ui.selections().back()[1].rfind("tcp://[::1]:2001\t", 0), 0u);
    EXPECT_EQ(ui.selections().back()[2].rfind("rfc2217://bench-pi:2000\t", 0), 0u);
    choose(2);
    EXPECT_EQ(ComDevicePath(4), "rfc2217://bench-pi:2000");
    EXPECT_EQ(RecentNetworkDevices(),
              (std::vector<std::string>{"rfc2217://bench-pi:2000", "tcp://[::1]:2001"}));

    // Ten at most, each once; a serial device does not count.
    std::string error;
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(SaveComBinding(5, "tcp://pi-" + std::to_string(i % 11) + ":4000", &error));
    ASSERT_TRUE(SaveComBinding(5, "/dev/ttyUSB0", &error));
    const std::vector<std::string> recent = RecentNetworkDevices();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent[0], "tcp://pi-0:4000");
    EXPECT_EQ(recent[1], "tcp://pi-10:4000");
    EXPECT_EQ(recent[9], "tcp://pi-2:4000");
}

TEST_F(PortChoice, AnAbsentBindingTakesTheConfigFailedPath)
{
    SetComBinding(4, (ScratchDir("absent") / "usb-Unplugged").string());
    using namespace uir::panel_com;
    ui.setInt(kPortPanel, BTLSELECT, 5);
    ui.setInt(kPortPanel, JYSELECT, 2);
    ui.setInt(kPortPanel, LONGSELECT, 2);
    ui.setInt(kPortPanel, STOPSELECT, 1);
    Configure(kPortPanel, CONFIGURE, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].text, "config failed!");
    EXPECT_EQ(WaitingPort(), 0);
}
