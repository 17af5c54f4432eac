// drive-console watch against the simulated controller over a
// pseudo-terminal: what it prints and writes, and its exit statuses. The
// command runs in this process on the stepped clock (its durations and
// give-up times then cost nothing); the interrupt runs the program itself,
// on real time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "app/command_line.h"
#include "platform/os/clock.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;

namespace {

std::vector<std::string> fileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class Watch : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = sim_.start();
        ASSERT_FALSE(path_.empty()) << sim_.error();
        // The simulator's own passing faults stay out of the way.
        for (int reg = 2762; reg <= 2764; ++reg) sim_.setRegister(reg, 0);
        stepped_.emplace(sim_);
    }
    void TearDown() override
    {
        stepped_.reset();
        sim_.stop();
    }

    // Runs watch on the simulator. The give-up time is short where the
    // controller is meant to fall silent, ample where it answers.
    int run(std::vector<std::string> args, const char* timeout = "10")
    {
        args.insert(args.begin(), {"watch", "--device", path_, "--timeout", timeout});
        testsupport::StreamCapture out;
        testsupport::StreamCapture err;
        if (stepped_) stepped_->rebase();
        const int rc = RunCommand(args, out.file(), err.file());
        out_ = out.text();
        err_ = err.text();
        return rc;
    }
    std::string file(const char* name) const { return dir_.filePath(name).toStdString(); }

    // The status block goes silent `ms` into the next run, by the console's clock.
    void silenceStatusAfter(std::int64_t ms)
    {
        const std::int64_t fromMs = ClockMs() + ms;
        stepped_->clock().every(100, [this, fromMs] {
            if (ClockMs() < fromMs || silenced_.exchange(true)) return;
            sim::Fault quiet;
            quiet.silent = true;
            sim_.setFault(2748, quiet);
        });
    }

    sim::Simulator sim_;
    std::string path_;
    std::optional<testsupport::SteppedSimulator> stepped_;
    std::atomic<bool> silenced_{false};
    QTemporaryDir dir_;
    std::string out_;
    std::string err_;
};

}  // namespace

TEST_F(Watch, NoFaultExitsZero)
{
    EXPECT_EQ(run({"--duration", "1.5"}), kCommandOk) << err_;
    EXPECT_EQ(out_, "");
    EXPECT_TRUE(contains(err_, "0 fault onsets")) << err_;
}

// A fault that trips for two seconds shows with its duration, first-out mark
// and freeze frame, printed and in the --out file.
TEST_F(Watch, FaultOfTwoSecondsIsPrintedAndWrittenAndExitsOne)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}, {t + 3500, 2762, 0}}));
    const std::string csv = file("watch.csv");
    ASSERT_EQ(run({"--duration", "4.5", "--out", csv}), kCommandDiffers) << err_;

    std::istringstream printed(out_);
    std::string on, off, more;
    std::getline(printed, on);
    std::getline(printed, off);
    EXPECT_FALSE(std::getline(printed, more)) << out_;
    EXPECT_TRUE(contains(on, "  ON    2762 bit 1   overVolt  first: yes")) << on;
    EXPECT_TRUE(contains(off, "  OFF   2762 bit 1   overVolt  ")) << off;
    const double duration = std::stod(off.substr(off.rfind("overVolt") + 10));
    EXPECT_NEAR(duration, 2.0, 0.6);

    const std::vector<std::string> lines = fileLines(csv);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("time,event,register,bit,caption,duration_s,first,System status,", 0), 0u);
    EXPECT_TRUE(contains(lines[1], ",ON,2762,1,overVolt,,yes,")) << lines[1];
    EXPECT_TRUE(contains(lines[1], ",0x0002 (overVolt),")) << "the freeze frame: " << lines[1];
    EXPECT_TRUE(contains(lines[2], ",OFF,2762,1,overVolt,")) << lines[2];
}

TEST_F(Watch, SilentControllerExitsTwo)
{
    sim::Fault silent;
    silent.silent = true;
    sim_.setFault(4039, silent);  // the password is never echoed
    EXPECT_EQ(run({}, "1"), kCommandNoAnswer);
    EXPECT_TRUE(contains(err_, "did not accept the password within 1.0 s")) << err_;

    // Silent 1.5 s into the run with no fault seen: a run cut short is no pass.
    sim_.clearFaults();
    silenceStatusAfter(1500);
    EXPECT_EQ(run({"--duration", "30"}, "3"), kCommandNoAnswer);
    EXPECT_EQ(out_, "");
    EXPECT_TRUE(contains(err_, "no status reply for")) << err_;
}

// A controller that cuts out after a fault: the fault is lost, the watch gives
// up, and the exit status tells of the fault, not of a loose cable.
TEST_F(Watch, SilenceAfterAFaultLosesItAndExitsOne)
{
    sim_.setRegister(2762, 0x0002);
    silenceStatusAfter(1500);
    EXPECT_EQ(run({"--duration", "30"}, "3"), kCommandDiffers);
    EXPECT_TRUE(contains(out_, "  ON    2762 bit 1")) << out_;
    EXPECT_TRUE(contains(out_, "  lost  2762 bit 1   overVolt  ")) << out_;
    EXPECT_TRUE(contains(err_, "no status reply for")) << err_;

    // Given up sooner than the fault history's own 3 s rule would end the
    // link: the watch itself ends the fault as lost.
    stepped_->clock().stopTimers();
    sim_.clearFaults();
    silenced_ = false;
    silenceStatusAfter(1500);
    EXPECT_EQ(run({"--duration", "30"}, "1"), kCommandDiffers);
    EXPECT_TRUE(contains(out_, "  ON    2762 bit 1")) << out_;
    EXPECT_TRUE(contains(out_, "  lost  2762 bit 1   overVolt  ")) << out_;
    EXPECT_TRUE(contains(err_, "no status reply for")) << err_;
}

// The --out file took its header, then could no longer be written (here a
// folder takes its place, as a full disk would refuse it): the fault seen is
// still the finding, and the file's failure is told.
TEST_F(Watch, AFaultSeenExitsOneEvenWhenTheOutFileFailedOnTheWay)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}}));
    const std::string csv = file("failing.csv");
    const std::int64_t breakAtMs = ClockMs() + 500;
    std::atomic<bool> broken{false};
    stepped_->clock().every(100, [&] {
        if (ClockMs() < breakAtMs || broken.exchange(true)) return;
        std::remove(csv.c_str());
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(csv)));
    });
    EXPECT_EQ(run({"--duration", "3", "--out", csv}), kCommandDiffers) << err_;
    EXPECT_TRUE(broken.load());
    EXPECT_TRUE(contains(out_, "  ON    2762 bit 1")) << out_;
    EXPECT_TRUE(contains(err_, "events could not be written to " + csv)) << err_;
    const std::vector<std::string> journal =
        fileLines(std::string(qgetenv("XDG_STATE_HOME").constData()) + "/drive-console/faults.csv");
    ASSERT_FALSE(journal.empty());
    EXPECT_TRUE(contains(journal.back(), ",ON,2762,1,overVolt,,yes,")) << "faults.csv has it";
}

TEST_F(Watch, BadArgumentsOrAFileThatCannotBeWrittenExitThree)
{
    testsupport::StreamCapture out;
    testsupport::StreamCapture err;
    EXPECT_EQ(RunCommand({"watch"}, out.file(), err.file()), kCommandBadInput);
    EXPECT_EQ(run({"--duration", "-1"}), kCommandBadInput);
    EXPECT_EQ(run({"--duration", "soon"}), kCommandBadInput);
    EXPECT_EQ(run({"--note", "x"}), kCommandBadInput);
    EXPECT_EQ(run({"--out", "/dev/null/watch.csv"}), kCommandBadInput);
    EXPECT_TRUE(contains(err_, "cannot write /dev/null/watch.csv")) << err_;
    EXPECT_EQ(sim_.requestCount(), 0u)
        << "nothing goes on the line before the arguments and the file are good";
}

// Ctrl-C on the real program ends the watch with every event written.
TEST_F(Watch, InterruptEndsTheProgramCleanlyWithTheFileComplete)
{
    stepped_.reset();  // the program has a clock of its own
    sim_.setRegister(2762, 0x0002);
    const std::string csv = file("interrupted.csv");
    const std::string errFile = file("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> args = {DSC_CONSOLE_BINARY, "watch", "--device", path_, "--out", csv};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const bool onWritten = testsupport::WaitFor([&] { return fileLines(csv).size() >= 2; }, 10000ms);
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(onWritten);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), kCommandDiffers);
    std::ifstream in(csv);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.back(), '\n');
    const std::vector<std::string> lines = fileLines(csv);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(contains(lines[1], ",ON,2762,1,overVolt,,yes,")) << lines[1];
    const std::vector<std::string> errLines = fileLines(errFile);
    EXPECT_TRUE(std::find(errLines.begin(), errLines.end(), "drive-console: interrupted") != errLines.end());
}
