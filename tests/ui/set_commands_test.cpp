// The dump, verify and restore commands against the simulated controller over
// a pseudo-terminal, and the capture of the line that every command makes;
// the simulator's request log is the record of what went over the line. The console's clock is stepped: each
// pass of the line comes as soon as the simulator has answered the one before.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/port/serial.h"
#include "sets/parameter_set.h"
#include "tests/support/capture_items.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace {

struct Write {
    int reg;
    int word;
    bool operator==(const Write& o) const { return reg == o.reg && word == o.word; }
};

// The system's driver, whose port fails at the write of the `failAt`-th
// parameter write (the password writes not counted): that write and every
// one after it never reach the controller.
class FailingWrites : public SerialDriver {
public:
    explicit FailingWrites(int failAt) : failAt_(failAt) {}
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& s, int* error) override
    {
        auto inner = SystemSerialDriver().open(path, s, error);
        if (!inner) return nullptr;
        return std::make_unique<Device>(std::move(inner), this);
    }

private:
    class Device : public SerialDevice {
    public:
        Device(std::unique_ptr<SerialDevice> inner, FailingWrites* d) : inner_(std::move(inner)), d_(d) {}
        int write(const char* b, int n) override
        {
            const bool parameterWrite =
                n == 8 && b[1] == 6 && ((b[2] & 0xFF) << 8 | (b[3] & 0xFF)) != sim::kPasswordRegister;
            if (parameterWrite && ++d_->writes_ >= d_->failAt_) return -1;
            return inner_->write(b, n);
        }
        int read(char* b, int n, double t) override { return inner_->read(b, n, t); }
        int inputQueueLength() override { return inner_->inputQueueLength(); }
        int flushInput() override { return inner_->flushInput(); }
        int flushOutput() override { return inner_->flushOutput(); }
        int close() override { return inner_->close(); }
        void setWriteTimeout(double s) override { inner_->setWriteTimeout(s); }

    private:
        std::unique_ptr<SerialDevice> inner_;
        FailingWrites* d_;
    };
    const int failAt_;
    std::atomic<int> writes_{0};
};

// The commands against the simulated controller on the console's clock `C`.
template <testsupport::LineClock C>
class CommandsOn : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Backups and the journal go to a folder of this test's own.
        setenv("XDG_STATE_HOME", dir_.filePath("state").toLocal8Bit().constData(), 1);
        ASSERT_TRUE(controller_.started()) << controller_.error();
    }

    // Runs a command with the device and a give-up time added: short where
    // the controller is meant to stay silent, ample where it answers, so that
    // a loaded machine does not give up on a write that is on its way.
    int run(std::vector<std::string> args, const char* timeout = "10")
    {
        args.insert(args.end(), {"--device", controller_.path(), "--timeout", timeout});
        testsupport::StreamCapture out;
        testsupport::StreamCapture err;
        if (controller_.settle() != nullptr) controller_.settle()->rebase();
        const int rc = RunCommand(args, out.file(), err.file());
        out_ = out.text();
        err_ = err.text();
        return rc;
    }

    std::string dumpTo(const char* name)
    {
        std::string file = dir_.filePath(name).toStdString();
        EXPECT_EQ(run({"dump", "--out", file}), kCommandOk) << err_;
        return file;
    }

    // The parameter writes on the line (the password writes left out).
    std::vector<Write> parameterWrites()
    {
        std::vector<Write> writes;
        for (const sim::RequestRecord& r : sim_.requests()) {
            if (r.function == 6 && r.address != sim::kPasswordRegister) {
                writes.push_back({r.address, static_cast<std::int16_t>(r.quantityOrValue)});
            }
        }
        return writes;
    }

    int simWord(int reg) { return static_cast<std::int16_t>(sim_.registerValue(reg)); }

    // A copy of `file` with the words of `changes`.
    std::string changed(const std::string& file, const std::map<int, int>& changes)
    {
        psets::ParameterSet set;
        std::string error;
        EXPECT_TRUE(psets::LoadSetFile(file, &set, &error)) << error;
        for (psets::Entry& e : set.entries) {
            auto it = changes.find(e.reg);
            if (it != changes.end()) e.word = it->second;
        }
        std::string out = file + ".changed.json";
        EXPECT_TRUE(psets::SaveSetFile(out, set, &error)) << error;
        return out;
    }

    QString stateDir() const { return dir_.filePath("state/drive-console"); }
    QStringList backups() const
    {
        return QDir(stateDir() + "/backups").entryList({"*.json"}, QDir::Files, QDir::Name);
    }
    // The journal's lines after its header, each split into its columns.
    std::vector<std::vector<std::string>> journal() const
    {
        auto lines = testsupport::ReadCsv((stateDir() + "/writes.csv").toStdString());
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }

    testsupport::SimulatedController controller_{C};
    sim::Simulator& sim_ = controller_.sim();
    QTemporaryDir dir_;
    std::string out_;
    std::string err_;
};

class SetCommands : public CommandsOn<testsupport::LineClock::Stepped> {};
// A capture is written off the line's thread once a second of real time: its
// tests run on the real clock, on which the line's minutes are real minutes.
class CapturedCommands : public CommandsOn<testsupport::LineClock::Real> {};

}  // namespace

TEST_F(SetCommands, DumpHoldsEveryParameterRegisterAsTheControllerHoldsIt)
{
    sim_.setRegister(2550, static_cast<std::uint16_t>(-7));
    const std::string file = dumpTo("dump.json");
    psets::ParameterSet set;
    std::string error;
    ASSERT_TRUE(psets::LoadSetFile(file, &set, &error)) << error;
    ASSERT_EQ(set.entries.size(), 70u);
    for (const psets::Entry& e : set.entries) EXPECT_EQ(e.word, simWord(e.reg)) << e.reg;
    EXPECT_EQ(set.entries[2].word, -7);
    EXPECT_TRUE(parameterWrites().empty()) << "a dump writes nothing";

    // Without --out the set goes to standard output.
    ASSERT_EQ(run({"dump"}), kCommandOk) << err_;
    psets::ParameterSet fromStdout;
    EXPECT_TRUE(psets::FromJson(QByteArray::fromStdString(out_), &fromStdout, &error)) << error;
    EXPECT_EQ(fromStdout.entries.size(), 70u);
}

TEST_F(SetCommands, VerifyPassesThenReportsTheOneChangedRegister)
{
    const std::string file = dumpTo("ref.json");
    EXPECT_EQ(run({"verify", file}), kCommandOk) << err_;
    EXPECT_EQ(out_, "");
    sim_.setRegister(2630, 9);
    EXPECT_EQ(run({"verify", file}), kCommandDiffers);
    EXPECT_EQ(out_.rfind("2630 MOTOR / ", 0), 0u) << out_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 1) << out_;
    EXPECT_TRUE(parameterWrites().empty()) << "verify writes nothing";
}

TEST_F(SetCommands, RestoreWritesExactlyTheDifferingRegistersAndTheControllerEqualsTheFile)
{
    const std::string file = dumpTo("before.json");
    sim_.setRegister(2550, 12);
    sim_.setRegister(2608, 30000);
    sim_.setRegister(2654, 1);  // a factory restore asked for: never written back
    sim_.clearRequests();

    EXPECT_EQ(run({"restore", file}), kCommandOk) << "2654 differs, but is not compared: " << out_;
    psets::ParameterSet set;
    std::string error;
    ASSERT_TRUE(psets::LoadSetFile(file, &set, &error));
    std::vector<Write> expected;
    for (const psets::Entry& e : set.entries) {
        if (e.reg == 2550 || e.reg == 2608) expected.push_back({e.reg, e.word});
        if (e.reg != 2654) {
            EXPECT_EQ(simWord(e.reg), e.word) << e.reg;
        }
    }
    EXPECT_EQ(parameterWrites(), expected);
    EXPECT_NE(out_.find("2550     BASIC"), std::string::npos) << out_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 4)
        << "2654 not compared, header, two rows: " << out_;
    EXPECT_NE(out_.find("2654 DEBUG / "), std::string::npos) << out_;
    EXPECT_NE(out_.find(": not compared (command register)\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("confirmed"), std::string::npos) << out_;
    EXPECT_EQ(simWord(2654), 1);

    sim_.setRegister(2654, static_cast<std::uint16_t>(set.entries[6 + 15 + 7 + 16 + 6 + 11].word));
    sim_.clearRequests();
    EXPECT_EQ(run({"restore", file}), kCommandOk) << out_ << err_;
    EXPECT_TRUE(parameterWrites().empty()) << "nothing differs, nothing is written";
}

TEST_F(SetCommands, DryRunWritesNothingAndOnlyNarrowsTheWrites)
{
    const std::string file = dumpTo("ref.json");
    sim_.setRegister(2550, 12);
    sim_.setRegister(2551, 13);
    sim_.clearRequests();

    EXPECT_EQ(run({"restore", file, "--dry-run"}), kCommandOk) << err_;
    EXPECT_TRUE(parameterWrites().empty());
    EXPECT_NE(out_.find("would write 2550"), std::string::npos) << out_;
    EXPECT_NE(out_.find("would write 2551"), std::string::npos) << out_;

    EXPECT_EQ(run({"restore", file, "--only", "2551"}), kCommandOk) << out_ << err_;
    ASSERT_EQ(parameterWrites().size(), 1u);
    EXPECT_EQ(parameterWrites()[0].reg, 2551);
    EXPECT_EQ(simWord(2550), 12) << "not named, not written";
}

TEST_F(SetCommands, SilentControllerGivesUpWithStatus2)
{
    sim::Fault silent;
    silent.silent = true;
    sim_.setFault(sim::kPasswordRegister, silent);
    EXPECT_EQ(run({"dump"}, "1"), kCommandNoAnswer);
    EXPECT_NE(err_.find("did not accept the password"), std::string::npos) << err_;
    EXPECT_EQ(out_, "");

    sim_.clearFaults();
    sim_.setFault(2588, silent);
    // Longer than the reply time-out: the page reads may start before the
    // command waits for them, and the silent read then holds the line for 2 s.
    EXPECT_EQ(run({"dump"}, "3"), kCommandNoAnswer);
    EXPECT_NE(err_.find("no reply to the read of registers 2588..2603"), std::string::npos) << err_;
}

TEST_F(SetCommands, BadFileOrArgumentsGiveStatus3AndNothingGoesOnTheLine)
{
    const std::string bad = dir_.filePath("bad.json").toStdString();
    std::FILE* f = std::fopen(bad.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(
        "{\"format\": \"drive-console-parameters\", \"version\": 1,\n\"registers\": [\n"
        "{\"register\": 2550, \"word\": 5},\n{\"register\": 2550, \"word\": 6}]}\n",
        f);
    std::fclose(f);
    EXPECT_EQ(run({"restore", bad}), kCommandBadInput);
    EXPECT_NE(err_.find("line 4: register 2550 appears twice"), std::string::npos) << err_;
    EXPECT_EQ(sim_.requestCount(), 0u) << "a bad file never opens the line";

    const std::string partial = dir_.filePath("partial.json").toStdString();
    f = std::fopen(partial.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(
        "{\"format\": \"drive-console-parameters\", \"version\": 1,\n\"registers\": [\n"
        "{\"register\": 2550, \"word\": 5}]}\n",
        f);
    std::fclose(f);
    EXPECT_EQ(run({"restore", partial, "--only", "2551"}), kCommandBadInput) << "2551 is not in the file";
    EXPECT_EQ(run({"restore", partial, "--only", "1234"}), kCommandBadInput);
    EXPECT_EQ(run({"verify"}), kCommandBadInput);
    EXPECT_EQ(run({"dump", "--parity", "mark"}), kCommandBadInput);
    EXPECT_EQ(RunCommand({"dump"}, stdout, stderr), kCommandBadInput) << "no device";
    EXPECT_EQ(sim_.requestCount(), 0u);
}

TEST_F(SetCommands, PanelResourcesThatMissARegisterStopEveryCommandWithStatus3)
{
    testsupport::EditedResources uir;
    ASSERT_TRUE(uir.replace("debug.uir", "cb=debug_tab2_send_10", "cb=debug_tab2_send_9"));
    for (const char* command : {"dump", "verify", "restore"}) {
        std::vector<std::string> args{command};
        if (std::string(command) != "dump") args.push_back("any.json");
        EXPECT_EQ(run(args), kCommandBadInput) << command;
        EXPECT_NE(err_.find("debug_tab2_send_10"), std::string::npos) << err_;
        EXPECT_TRUE(out_.empty()) << out_;
    }
    EXPECT_TRUE(sim_.requests().empty()) << "nothing went over the line";
}

TEST_F(SetCommands, RestoreSavesTheOldValuesFirstAndJournalsEveryWrite)
{
    const std::string file = dumpTo("ref.json");
    const int old2550 = simWord(2550);
    sim_.setRegister(2550, 12);
    sim_.setRegister(2608, 30000);
    EXPECT_EQ(run({"restore", file}), kCommandOk) << out_ << err_;

    ASSERT_EQ(backups().size(), 1);
    const std::string backup = (stateDir() + "/backups/" + backups()[0]).toStdString();
    EXPECT_NE(err_.find(backup), std::string::npos) << "the path is printed: " << err_;
    psets::ParameterSet saved;
    std::string error;
    ASSERT_TRUE(psets::LoadSetFile(backup, &saved, &error)) << error;
    ASSERT_EQ(saved.entries.size(), 70u);
    std::map<int, int> savedWords;
    for (const psets::Entry& e : saved.entries) savedWords[e.reg] = e.word;
    EXPECT_EQ(savedWords[2550], 12) << "the value before the restore";
    EXPECT_EQ(savedWords[2608], 30000);
    EXPECT_EQ(simWord(2550), old2550);

    const auto lines = journal();
    ASSERT_EQ(lines.size(), 2u) << "one line per write";
    const int regs[] = {2550, 2608};
    for (std::size_t i = 0; i < 2; ++i) {
        const psets::RegisterInfo& info = *psets::FindRegister(regs[i]);
        ASSERT_EQ(lines[i].size(), 11u);
        EXPECT_EQ(lines[i][1], "command line");
        EXPECT_EQ(lines[i][10], controller_.path()) << "the device written to";
        EXPECT_EQ(lines[i][2], info.page);
        EXPECT_EQ(lines[i][3], info.caption);
        EXPECT_EQ(lines[i][4], std::to_string(regs[i]));
        EXPECT_EQ(lines[i][8], "confirmed");
    }

    // A dry run and a restore with nothing to write leave no backup and no line.
    EXPECT_EQ(run({"restore", file, "--dry-run"}), kCommandOk) << err_;
    EXPECT_EQ(run({"restore", file}), kCommandOk) << err_;
    EXPECT_EQ(backups().size(), 1);
    EXPECT_EQ(journal().size(), 2u);
}

TEST_F(SetCommands, AFileTurningTheHallFaultMaskOnIsRefusedUnlessAllowed)
{
    ASSERT_EQ(simWord(2662), 0);
    const std::string file = changed(dumpTo("ref.json"), {{2662, 1}, {2550, 40}});
    sim_.clearRequests();
    EXPECT_EQ(run({"restore", file}), kCommandBadInput);
    EXPECT_NE(err_.find("2662"), std::string::npos) << err_;
    EXPECT_NE(err_.find("--allow-hall-fault-mask"), std::string::npos) << err_;
    EXPECT_TRUE(parameterWrites().empty()) << "the whole file is refused";
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_EQ(run({"restore", file, "--dry-run"}), kCommandBadInput) << "a dry run tells the same";
    EXPECT_EQ(run({"restore", file, "--only", "2550"}), kCommandOk) << "the mask left out: " << err_;

    EXPECT_EQ(run({"restore", file, "--allow-hall-fault-mask"}), kCommandOk) << out_ << err_;
    EXPECT_EQ(simWord(2662), 1);
    EXPECT_EQ(simWord(2550), 40);
}

TEST_F(SetCommands, CommandAndTestRegistersAreListedButNeverCompared)
{
    const std::string file = dumpTo("ref.json");
    sim_.setRegister(2654, 1);
    EXPECT_EQ(run({"verify", file}), kCommandOk) << out_;
    EXPECT_EQ(out_.rfind("2654 DEBUG / ", 0), 0u) << out_;
    EXPECT_NE(out_.find("not compared (command register)"), std::string::npos) << out_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 1) << out_;
    sim_.setRegister(2630, 9);
    EXPECT_EQ(run({"verify", file}), kCommandDiffers) << "a parameter still counts";
}

TEST_F(SetCommands, ABackupThatCannotBeWrittenStopsTheRestoreBeforeAnyWrite)
{
    const std::string file = dumpTo("ref.json");
    sim_.setRegister(2550, 12);
    // A file stands where the backups folder would have to be.
    ASSERT_TRUE(QDir().mkpath(stateDir()));
    std::ofstream(stateDir().toStdString() + "/backups") << "x";
    sim_.clearRequests();
    EXPECT_EQ(run({"restore", file}), kCommandBadInput);
    EXPECT_NE(err_.find("nothing written, the backup could not be saved"), std::string::npos) << err_;
    EXPECT_TRUE(parameterWrites().empty());
    EXPECT_EQ(simWord(2550), 12);
    EXPECT_TRUE(journal().empty());
}

// The port fails at the second of three writes: the first is confirmed, the
// other two never go out, and each of the three has its line in the journal.
TEST_F(SetCommands, APortThatFailsPartWayLeavesAJournalLineForEveryPlannedWrite)
{
    const std::string file = dumpTo("ref.json");
    sim_.setRegister(2550, 12);
    sim_.setRegister(2551, 13);
    sim_.setRegister(2552, 14);
    sim_.clearRequests();
    FailingWrites driver(2);
    SetSerialDriver(&driver);
    EXPECT_EQ(run({"restore", file}), kCommandNoAnswer) << out_ << err_;
    SetSerialDriver(nullptr);

    ASSERT_EQ(parameterWrites().size(), 1u);
    EXPECT_EQ(parameterWrites()[0].reg, 2550);
    // The write the port failed on and the next end on two threads at about
    // the same time: their lines may come in either order.
    auto lines = journal();
    ASSERT_EQ(lines.size(), 3u) << "one line per planned write";
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.at(4) < b.at(4); });
    const std::pair<int, const char*> expected[] = {
        {2550, "confirmed"}, {2551, "port closed"}, {2552, "port closed"}};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(lines[i].size(), 11u);
        EXPECT_EQ(lines[i][1], "command line");
        EXPECT_EQ(lines[i][4], std::to_string(expected[i].first));
        EXPECT_EQ(lines[i][8], expected[i].second) << lines[i][4];
    }
    EXPECT_EQ(lines[1][9], "write to the port failed") << "the write the port failed on";
    for (const int reg : {2551, 2552}) {
        EXPECT_NE(out_.find(std::to_string(reg) + " "), std::string::npos) << out_;
        EXPECT_EQ(simWord(reg), reg - 2538) << "not written";
    }
    EXPECT_NE(out_.find("not written: port closed"), std::string::npos) << out_;
}

// A capture of a dump holds exactly the frames on the line, in order, with
// their directions, on an interface named after the command's port; tshark
// decodes every one of them.
TEST_F(CapturedCommands, DumpWithCaptureGivesTheFramesOnTheLineAsTsharkDecodesThem)
{
    const std::string path = dir_.filePath("dump.pcapng").toStdString();
    ASSERT_EQ(run({"dump", "--out", dir_.filePath("dump.json").toStdString(), "--capture", path}), kCommandOk)
        << err_;
    EXPECT_NE(err_.find("packets captured to " + path), std::string::npos) << err_;
    const testsupport::CaptureItems items = testsupport::ReadCaptureFile(path);
    ASSERT_EQ(items.error, "");
    EXPECT_EQ(items.application.rfind("drive-console ", 0), 0u) << items.application;
    ASSERT_EQ(items.interfaces.size(), 1u);
    EXPECT_EQ(items.interfaces[0].name, "COM1 " + controller_.path() + " 19200 8O1");
    EXPECT_EQ(items.interfaces[0].description, items.interfaces[0].name + ", 100 ms passes");
    ASSERT_EQ(items.ends.size(), 1u);
    EXPECT_EQ(items.ends[0].comment, "port closed: the command ended");

    std::vector<std::vector<unsigned char>> tap;
    for (const sim::RequestRecord& r : sim_.requests()) {
        tap.emplace_back(r.raw.begin(), r.raw.end());
        if (!r.reply.empty()) tap.emplace_back(r.reply.begin(), r.reply.end());
    }
    // A reply still on its way when the command ended was never read.
    if (tap.size() == items.packets.size() + 1 && !sim_.requests().back().reply.empty()) tap.pop_back();
    ASSERT_EQ(items.packets.size(), tap.size());
    for (std::size_t i = 0; i < tap.size(); ++i) {
        const CapturePacket& p = items.packets[i];
        EXPECT_EQ(p.bytes, tap[i]) << "packet " << i;
        EXPECT_EQ(p.direction, i % 2 == 0 ? CaptureDirection::Outbound : CaptureDirection::Inbound) << i;
        if (i % 2 == 1) {
            EXPECT_TRUE(p.comment == "accepted" || p.comment == "password echo") << p.comment;
        }
    }
    testsupport::ExpectTsharkDecodes(path, items.packets);
}

// A capture that cannot be created stops the command before the port opens;
// one that fails on the way stops, the command does its work and ends with
// status 3, unless it found what it looks for.
TEST_F(CapturedCommands, ACaptureThatCannotBeWrittenEndsTheCommandWithStatus3)
{
    const std::string nowhere = dir_.filePath("no/such/folder/x.pcapng").toStdString();
    EXPECT_EQ(run({"dump", "--capture", nowhere}), kCommandBadInput);
    EXPECT_NE(err_.find("cannot create " + nowhere), std::string::npos) << err_;
    EXPECT_EQ(out_, "");
    EXPECT_EQ(sim_.requestCount(), 0u) << "nothing went over the line";

    const std::string path = dir_.filePath("watch.pcapng").toStdString();
    const testsupport::FileSizeLimit full(700);  // the headers and a few packets
    ASSERT_TRUE(full.set());
    EXPECT_EQ(run({"watch", "--duration", "3", "--capture", path}), kCommandBadInput) << err_;
    EXPECT_NE(err_.find("Capture stopped: cannot write " + path), std::string::npos) << err_;
    EXPECT_NE(err_.find("0 fault onsets, a status read every"), std::string::npos)
        << "the watch went on polling: " << err_;

    sim_.setRegister(2762, 0x0002);  // a fault bit on
    EXPECT_EQ(run({"watch", "--duration", "3", "--capture", path}), kCommandDiffers) << err_;
    EXPECT_NE(err_.find("Capture stopped: cannot write " + path), std::string::npos) << err_;
}
