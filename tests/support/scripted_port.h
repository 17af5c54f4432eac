// A fixture for the tests of the line on the scripted driver: COM kPort open
// on it and counted open, fresh data-item tables, the recording user interface
// (main panel handle 1) and the line machine set back before and after.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/fake_serial.h"
#include "tests/support/recording_ui.h"

namespace testsupport {

class ScriptedPortTest : public ::testing::Test {
protected:
    static constexpr int kPort = 6;

    void SetUp() override;
    void TearDown() override;

    FakeSerialDriver driver;
    RecordingUi ui;
};

// A read reply from slave 1 for `count` registers, register i holding base + i.
std::vector<unsigned char> ReadReply(int count, int base);

}  // namespace testsupport
