// The port panel on a network device: "Configure" makes the connection off
// the UI thread and the device line says where it stands; the server going
// away is an unplug, with its one box or, with reconnection on, the wait and
// the way back, the writes pressed meanwhile going out then. Against the
// simulated controller behind a real ser2net, or a server played by the test
// for the connections that are not made. On real time.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/ems.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/port_opener.h"
#include "serial/port_watch.h"
#include "tests/support/net_server.h"
#include "tests/support/ser2net.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::NetServer;
using testsupport::Ser2net;
using testsupport::WaitFor;

namespace {

constexpr int kDcLimit = 2551;

class RemotePanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        for (int reg = 2762; reg <= 2764; ++reg) sim.setRegister(reg, 0);  // no passing faults
        panel_set_tab[0] = testsupport::kPagePanel;
        StartPortWatch();
        ASSERT_TRUE(StartCommThread());
    }
    void TearDown() override
    {
        ThePortOpener().join();
        StopCommThread();
        StopPortWatch();
        line.stop();
        SetReconnectEnabled(false);
    }

    // COM4 on `device`; "Configure" pressed.
    void configure(const std::string& device)
    {
        SetComDevice(4, device);
        line.configure();
    }
    std::string deviceLine() { return ui.ctrlText(testsupport::kPortPanel, uir::panel_com::DEVICE_INFO); }
    bool opened() const { return ThePortOpener().opening() == 0 && comConfigure_success_flag.load() == 1; }

    // ser2net serving the simulator, on `port` (0: a free one).
    const std::string& serve(int port = 0)
    {
        server.reset();
        server.emplace(line.path(), Ser2net::Kind::ComPort, port);
        EXPECT_TRUE(server->started()) << server->error();
        return server->address();
    }

    testsupport::SimulatedLine line;
    sim::Simulator& sim = line.sim();
    testsupport::RecordingUi& ui = line.ui();
    std::optional<Ser2net> server;
};

}  // namespace

TEST_F(RemotePanel, AConnectionNotMadeReturnsAtOnceAndEndsInConfigFailedWithTheReason)
{
    NetServer::Script silent;
    silent.kind = NetServer::Kind::Raw;
    silent.acceptNothing = true;
    NetServer nothing(silent);
    configure(nothing.address());
    // The callback is back before the connection is decided.
    EXPECT_EQ(ThePortOpener().opening(), 4);
    EXPECT_EQ(deviceLine(), nothing.address() + " (command line)\nconnecting; settings are the server's");
    line.configure();  // pressed again meanwhile: one open at a time
    ASSERT_TRUE(WaitFor([&] { return !ui.popups().empty(); }, 8000ms));
    EXPECT_EQ(ui.popups().size(), 1u);
    EXPECT_EQ(ui.popups()[0].text, "config failed!");
    EXPECT_EQ(comConfigure_success_flag.load(), 0);
    EXPECT_EQ(deviceLine(), nothing.address() + " (command line)\nconfig failed! 127.0.0.1 port " +
                                std::to_string(nothing.port()) +
                                ": no answer within 5 s; settings are the server's");

    // Refused, over the COM port option: the reason, and no note on the settings.
    const std::string refused = "rfc2217://127.0.0.1:" + std::to_string(NetServer::FreePort());
    configure(refused);
    ASSERT_TRUE(WaitFor([&] { return ui.popups().size() == 2; }, 8000ms));
    EXPECT_EQ(deviceLine().rfind(refused + " (command line)\nconfig failed! 127.0.0.1 port ", 0), 0u)
        << deviceLine();
    EXPECT_NE(deviceLine().find("refused"), std::string::npos) << deviceLine();
}

TEST_F(RemotePanel, TheServerGoingAwayIsAnUnplugWithOneBoxAndCloseDuringAConnectionWaitsForIt)
{
    const std::string device = serve();
    configure(device);
    line.close();  // pressed while the connection is being made
    ASSERT_TRUE(WaitFor([&] { return ThePortOpener().opening() == 0; }, 8000ms));
    EXPECT_EQ(comConfigure_success_flag.load(), 0) << "closed once it opened";
    EXPECT_TRUE(ui.popups().empty());

    configure(device);
    ASSERT_TRUE(WaitFor([&] { return opened() && sim.requestCount() >= 4; }, 10000ms));
    EXPECT_EQ(deviceLine(), device + " (command line)\nconnected");
    server.reset();
    ASSERT_TRUE(WaitFor([&] { return !ui.popups().empty(); }, 8000ms));
    EXPECT_TRUE(WaitFor([] { return comConfigure_success_flag.load() == 0; }, 3000ms));
    EXPECT_EQ(WaitingPort(), 0);
    EXPECT_EQ(ui.popups().size(), 1u) << "one box for the loss";
    EXPECT_EQ(deviceLine(), device + " (command line)\nnot connected");
}

TEST_F(RemotePanel, WithReconnectOnTheConsoleWaitsForTheServerAndResumesWithPendingWrites)
{
    SetReconnectEnabled(true);
    const std::string device = serve();
    const int port = server->port();
    configure(device);
    ASSERT_TRUE(WaitFor([&] { return opened() && sim.requestCount() >= 4; }, 10000ms));

    server.reset();
    ASSERT_TRUE(WaitFor([] { return WaitingPort() == 4; }, 8000ms));
    EXPECT_TRUE(WaitFor(
        [&] { return ui.panelTitle(testsupport::kMainPanel) == "waiting for " + device + " on COM4"; },
        3000ms));
    const std::string waiting = device + " (command line)\nwaiting for " + device;
    EXPECT_TRUE(WaitFor([&] { return deviceLine() == waiting; }, 3000ms)) << deviceLine();
    line.pressDcLimit(7);
    EXPECT_EQ(dataItem1[3].send_flag.load(), 1) << "kept for the server's return";

    sim.clearRequests();
    serve(port);
    ASSERT_TRUE(WaitFor([&] { return sim.requests().size() >= 3; }, 10000ms));
    const auto log = sim.requests();
    EXPECT_EQ(log[0].function, 6);
    EXPECT_EQ(log[0].address, sim::kPasswordRegister);
    EXPECT_EQ(log[1].function, 6);
    EXPECT_EQ(log[1].address, kDcLimit);
    EXPECT_EQ(log[1].quantityOrValue, 7);
    EXPECT_EQ(WaitingPort(), 0);
    EXPECT_EQ(ui.panelTitle(testsupport::kMainPanel), "Drive Service Console - COM4 " + device)
        << "two consoles are told apart by their devices";
    EXPECT_TRUE(ui.popups().empty());
}
