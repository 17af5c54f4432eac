// The commands over a real serial device server: ser2net serving the
// simulated controller's pseudo-terminal, reached as rfc2217:// and tcp://.
// The same commands over the pseudo-terminal itself are the reference. On
// real time: the server's delays are part of what is tested.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "sets/parameter_set.h"
#include "tests/support/capture_items.h"
#include "tests/support/ser2net.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace {

class RemoteLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_STATE_HOME", dir_.filePath("state").toLocal8Bit().constData(), 1);
        ASSERT_FALSE(path_.empty()) << sim_.error();
        // The simulator's own passing faults stay out of the way.
        for (int reg = 2762; reg <= 2764; ++reg) sim_.setRegister(reg, 0);
    }
    void TearDown() override
    {
        server_.reset();
        sim_.stop();
    }

    // A server of `kind` for the simulator's line, in place of the one before.
    std::string serve(testsupport::Ser2net::Kind kind)
    {
        server_.reset();
        server_.emplace(path_, kind);
        EXPECT_TRUE(server_->started()) << server_->error();
        return server_->address();
    }

    int run(std::vector<std::string> args, const std::string& device)
    {
        args.insert(args.end(), {"--device", device, "--timeout", "15"});
        testsupport::StreamCapture out;
        testsupport::StreamCapture err;
        const int rc = RunCommand(args, out.file(), err.file());
        out_ = out.text();
        err_ = err.text();
        return rc;
    }

    // A dump to standard output without the time it was made.
    QJsonObject dump(const std::string& device)
    {
        EXPECT_EQ(run({"dump"}, device), kCommandOk) << device << ": " << err_;
        QJsonObject set = QJsonDocument::fromJson(QByteArray::fromStdString(out_)).object();
        EXPECT_FALSE(set.isEmpty()) << device;
        set.remove("saved");
        return set;
    }

    int count(int function, int address) const
    {
        int n = 0;
        for (const sim::RequestRecord& r : sim_.requests())
            n += r.function == function && r.address == address;
        return n;
    }

    sim::Simulator sim_;
    std::string path_ = sim_.start();
    std::optional<testsupport::Ser2net> server_;
    QTemporaryDir dir_;
    std::string out_;
    std::string err_;
};

}  // namespace

using Kind = testsupport::Ser2net::Kind;

TEST_F(RemoteLine, DumpAndVerifyThroughTheServerGiveWhatTheyGiveOnThePseudoTerminal)
{
    // Replies holding 0xFF (a negative word) cross the Telnet stream doubled.
    sim_.setRegister(2550, static_cast<std::uint16_t>(-7));
    const QJsonObject local = dump(path_);
    const std::string file = dir_.filePath("ref.json").toStdString();
    {
        std::ofstream out(file, std::ios::binary);
        out << out_;
    }
    sim_.setRegister(2630, 9);
    ASSERT_EQ(run({"verify", file}, path_), kCommandDiffers) << err_;
    const std::string differences = out_;
    sim_.setRegister(2630, 0);

    for (const Kind kind : {Kind::ComPort, Kind::Raw}) {
        const std::string device = serve(kind);
        sim_.clearRequests();
        EXPECT_EQ(dump(device), local) << device;
        EXPECT_GE(count(6, sim::kPasswordRegister), 1) << device << ": the password";
        for (const sim::Block& page : sim::kServedBlocks) {
            if (sim::IsParameter(page.first)) {
                EXPECT_GE(count(3, page.first), 1) << device << " page " << page.first;
            }
        }
        if (kind == Kind::ComPort) {
            EXPECT_EQ(run({"verify", file}, device), kCommandOk) << device << ": " << err_;
            EXPECT_EQ(out_, "") << device;
        }
        sim_.setRegister(2630, 9);
        EXPECT_EQ(run({"verify", file}, device), kCommandDiffers) << device << ": " << err_;
        EXPECT_EQ(out_, differences) << device;
        sim_.setRegister(2630, 0);
    }
}

TEST_F(RemoteLine, StatusIsPolledThroughTheServerAsOnThePseudoTerminal)
{
    const auto watch = [this](const std::string& device) {
        sim_.clearRequests();
        EXPECT_EQ(run({"watch", "--duration", "2"}, device), kCommandOk) << device << ": " << err_;
        EXPECT_GE(count(6, sim::kPasswordRegister), 1) << device;
        int unanswered = 0;
        for (const sim::RequestRecord& r : sim_.requests()) unanswered += r.repliedMs < 0;
        EXPECT_EQ(unanswered, 0) << device;
        return count(3, sim::kStatusFirst);
    };
    const int local = watch(path_);
    ASSERT_GE(local, 3);
    for (const Kind kind : {Kind::ComPort, Kind::Raw}) {
        const std::string device = serve(kind);
        // The same passes: within one status read of the pseudo-terminal's count.
        EXPECT_GE(watch(device), local - 1) << device;
    }
}

TEST_F(RemoteLine, ARestoreThroughTheServerIsConfirmedJournalledAndCapturedUnderTheNetworkDevice)
{
    const std::string file = dir_.filePath("ref.json").toStdString();
    ASSERT_EQ(run({"dump", "--out", file}, path_), kCommandOk) << err_;
    const std::uint16_t wanted = sim_.registerValue(2550);
    sim_.setRegister(2550, 0x00FF);  // the Telnet byte, in the value read and in the one replaced

    const std::string device = serve(Kind::ComPort);
    const std::string capture = dir_.filePath("restore.pcapng").toStdString();
    ASSERT_EQ(run({"restore", file, "--capture", capture}, device), kCommandOk) << out_ << err_;
    EXPECT_EQ(sim_.registerValue(2550), wanted);
    EXPECT_NE(out_.find("confirmed"), std::string::npos) << out_;

    const auto lines = testsupport::ReadCsv(dir_.filePath("state/drive-console/writes.csv").toStdString());
    ASSERT_EQ(lines.size(), 2u) << "the header and the one write";
    EXPECT_EQ(lines[1][4], "2550");
    EXPECT_EQ(lines[1][8], "confirmed");
    EXPECT_EQ(lines[1].back(), device) << "the device written to";

    const testsupport::CaptureItems items = testsupport::ReadCaptureFile(capture);
    EXPECT_EQ(items.error, "");
    ASSERT_FALSE(items.interfaces.empty());
    EXPECT_NE(items.interfaces[0].name.find(device), std::string::npos) << items.interfaces[0].name;
    EXPECT_FALSE(items.packets.empty());
}

#ifdef DSC_CONSOLE_BINARY
// Two consoles, each with its controller behind its own server, restoring at
// the same moment into the same journal: every line whole, each naming its device.
TEST_F(RemoteLine, TwoConsolesRestoringThroughTheirServersAtOnceKeepTheJournalWhole)
{
    sim::Simulator other;
    const std::string otherPath = other.start();
    ASSERT_FALSE(otherPath.empty()) << other.error();
    for (int reg = 2762; reg <= 2764; ++reg) other.setRegister(reg, 0);
    const std::string files[] = {dir_.filePath("a.json").toStdString(),
                                 dir_.filePath("b.json").toStdString()};
    ASSERT_EQ(run({"dump", "--out", files[0]}, path_), kCommandOk) << err_;
    ASSERT_EQ(run({"dump", "--out", files[1]}, otherPath), kCommandOk) << err_;
    for (sim::Simulator* s : {&sim_, &other}) {
        s->setRegister(2550, 12);
        s->setRegister(2608, 30000);
    }
    testsupport::Ser2net otherServer(otherPath, Kind::Raw);
    ASSERT_TRUE(otherServer.started()) << otherServer.error();
    const std::string devices[] = {serve(Kind::ComPort), otherServer.address()};

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_STATE_HOME", dir_.filePath("state"));
    QProcess consoles[2];
    for (int i = 0; i < 2; ++i) {
        consoles[i].setProcessEnvironment(env);
        consoles[i].start(DSC_CONSOLE_BINARY, {"restore", QString::fromStdString(files[i]), "--device",
                                               QString::fromStdString(devices[i]), "--timeout", "15"});
    }
    for (QProcess& c : consoles) {
        ASSERT_TRUE(c.waitForFinished(120000));
        EXPECT_EQ(c.exitCode(), kCommandOk) << c.readAllStandardError().toStdString();
    }

    const auto lines = testsupport::ReadCsv(dir_.filePath("state/drive-console/writes.csv").toStdString());
    ASSERT_EQ(lines.size(), 5u) << "one header, two writes each";
    std::map<std::string, int> perDevice;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), lines[0].size()) << "line " << i;
        EXPECT_EQ(lines[i][8], "confirmed");
        ++perDevice[lines[i].back()];
    }
    EXPECT_EQ(perDevice, (std::map<std::string, int>{{devices[0], 2}, {devices[1], 2}}));
    other.stop();
}
#endif

TEST_F(RemoteLine, ADeviceNoServerAnswersEndsTheCommandAsAPortThatDoesNotOpen)
{
    const std::string nowhere = "rfc2217://127.0.0.1:1";
    EXPECT_EQ(run({"dump"}, nowhere), kCommandNoAnswer);
    EXPECT_NE(err_.find("cannot open " + nowhere + ": "), std::string::npos) << "with the reason: " << err_;
}
