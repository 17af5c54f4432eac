// A recorded session played back: a session against the simulated controller
// is captured as `watch` or `dump` runs it live on the stepped clock, then the
// capture is played back, headless and in the window, and must give what the
// live run gave. Files that are no capture of the line are refused.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "app/command_line.h"
#include "engine/line_capture.h"
#include "modbus/capture_file.h"
#include "modbus/write_outcome.h"
#include "platform/clock.h"
#include "serial/line_machine.h"
#include "serial/replay_port.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

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

std::vector<unsigned char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Outcome {
    int rc = -1;
    std::string out;
    std::string err;
};

Outcome command(std::vector<std::string> args)
{
    testsupport::StreamCapture out;
    testsupport::StreamCapture err;
    Outcome r;
    r.rc = RunCommand(args, out.file(), err.file());
    r.out = out.text();
    r.err = err.text();
    return r;
}

// The simulated controller on a pseudo-terminal, and a command run live on it
// with the line captured to a file.
class Replayed : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = sim_.start();
        ASSERT_FALSE(path_.empty()) << sim_.error();
        for (int reg = 2762; reg <= 2764; ++reg) sim_.setRegister(reg, 0);
        stepped_.emplace(sim_);
    }
    void TearDown() override
    {
        stepped_.reset();
        sim_.stop();
    }

    // Runs `args` live on the simulator with the line captured to capture.pcapng.
    Outcome live(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, {"--device", path_});
        LineCapture capture(TheLine());
        std::string error;
        EXPECT_TRUE(capture.start(capturePath(), &error)) << error;
        stepped_->rebase();
        Outcome r = command(args);
        capture.stop();
        // The replay keeps the console's time itself.
        stepped_.reset();
        return r;
    }
    std::string capturePath() const { return file("capture.pcapng"); }
    std::string file(const char* name) const { return dir_.filePath(name).toStdString(); }

    sim::Simulator sim_;
    std::string path_;
    std::optional<testsupport::SteppedSimulator> stepped_;
    QTemporaryDir dir_;
};

}  // namespace

// The events, their times and first-out marks, printed and in the --out file,
// are those of the live watch that made the capture; so is the exit status.
TEST_F(Replayed, WatchOfACaptureGivesTheEventsOfTheLiveWatch)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002},
                               {t + 2500, 2763, 0x0001},
                               {t + 3500, 2762, 0},
                               {t + 4000, 2763, 0}}));
    const Outcome was = live({"watch", "--duration", "5", "--out", file("live.csv")});
    ASSERT_EQ(was.rc, kCommandDiffers) << was.err;

    const Outcome again = command({"watch", "--replay", capturePath(), "--out", file("replay.csv")});
    EXPECT_EQ(again.rc, kCommandDiffers) << again.err;
    EXPECT_TRUE(contains(again.err, "end of capture")) << again.err;
    EXPECT_EQ(again.out, was.out);
    EXPECT_EQ(fileLines(file("replay.csv")), fileLines(file("live.csv")));
    EXPECT_EQ(std::count(again.out.begin(), again.out.end(), '\n'), 4) << again.out;
}
