// The dump, verify and restore commands against the simulated controller over
// a pseudo-terminal; the simulator's request log is the record of what went
// over the line.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "sets/parameter_set.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace {

struct Write {
    int reg;
    int word;
    bool operator==(const Write& o) const { return reg == o.reg && word == o.word; }
};

class SetCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = sim_.start();
        ASSERT_FALSE(path_.empty()) << sim_.error();
    }
    void TearDown() override { sim_.stop(); }

    // Runs a command with the device and a short give-up time added.
    int run(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--device", path_, "--timeout", "1"});
        testsupport::StreamCapture out;
        testsupport::StreamCapture err;
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

    sim::Simulator sim_;
    std::string path_;
    QTemporaryDir dir_;
    std::string out_;
    std::string err_;
};

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

    EXPECT_EQ(run({"restore", file}), kCommandDiffers) << "2654 still differs: " << out_;
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
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 4) << "switch note, header, two rows: " << out_;
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
    EXPECT_EQ(run({"dump"}), kCommandNoAnswer);
    EXPECT_NE(err_.find("did not accept the password"), std::string::npos) << err_;
    EXPECT_EQ(out_, "");

    sim_.clearFaults();
    sim_.setFault(2588, silent);
    EXPECT_EQ(run({"dump"}), kCommandNoAnswer);
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
