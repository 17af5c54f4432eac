// A command of the command line run in this process against the simulated
// controller over a pseudo-terminal, on the stepped clock (its durations and
// give-up times then cost nothing), with a temporary folder for its files.
// Header only: the command line lives in the application shell, which the
// support library does not link.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace testsupport {

class SimulatedCommandTest : public ::testing::Test {
protected:
    // `command`: the one run() runs; a fixture that runs several names its own.
    explicit SimulatedCommandTest(const char* command = "") : command_(command) {}

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

    // Runs the command on the simulator; its output goes to out_ and err_.
    // The give-up time is short where the controller is meant to fall
    // silent, ample where it answers.
    int run(std::vector<std::string> args, const char* timeout = "10")
    {
        args.insert(args.begin(), {command_, "--device", path_, "--timeout", timeout});
        StreamCapture out;
        StreamCapture err;
        if (stepped_) stepped_->rebase();
        const int rc = RunCommand(args, out.file(), err.file());
        out_ = out.text();
        err_ = err.text();
        return rc;
    }
    // A file in the test's folder.
    std::string file(const std::string& name) const
    {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

    sim::Simulator sim_;
    std::string path_;
    std::optional<SteppedSimulator> stepped_;
    QTemporaryDir dir_;
    std::string out_;
    std::string err_;

private:
    std::string command_;
};

}  // namespace testsupport
