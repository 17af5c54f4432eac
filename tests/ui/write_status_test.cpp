// The status line under the parameter and debug panels: the latest outcome,
// and beside it, for as long as it lasts, a journal that cannot be written.
#include "app/write_status.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

using namespace std::chrono_literals;

TEST(WriteStatusLine, AnUnwritableJournalStaysUnderTheLatestOutcomeUntilItWorksAgain)
{
    constexpr int kSet = 11;
    constexpr int kDebug = 12;
    testsupport::RecordingUi ui;
    panel_set = kSet;
    panel_debug = kDebug;
    fillDataItems();
    ResetWriteTracking();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    setenv("XDG_STATE_HOME", dir.path().toLocal8Bit().constData(), 1);
    // A file stands where the state folder would have to be made.
    const std::string blocker = ConsoleStateDir();
    std::ofstream(blocker) << "x";

    const auto shown = [&](int panel) { return ui.ctrlText(panel, uir::panel_set::WRITE_STATUS); };
    const auto press = [](double value) {
        WriteRequest what;
        what.caption = "entry";
        what.typed = value;
        SubmitWrite(dataItem1[2], value, what, false);  // the port is closed: ends at once
    };
    StartWriteReporting();
    press(58);
    ASSERT_TRUE(testsupport::WaitFor(
        [&] { return shown(kSet).find("Journal not written") != std::string::npos; }, 5000ms))
        << shown(kSet);
    EXPECT_NE(shown(kSet).find("entry = 58 NOT confirmed: port closed"), std::string::npos) << shown(kSet);
    press(59);
    ASSERT_TRUE(
        testsupport::WaitFor([&] { return shown(kSet).find("entry = 59") != std::string::npos; }, 5000ms));
    EXPECT_NE(shown(kSet).find("Journal not written: " + blocker + "/writes.csv"), std::string::npos)
        << "a later outcome does not hide it: " << shown(kSet);
    EXPECT_EQ(ui.writesTo(kDebug, uir::panel_debg::WRITE_STATUS).back().text, shown(kSet));

    std::remove(blocker.c_str());
    press(60);
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            return shown(kSet).find("entry = 60") != std::string::npos &&
                   shown(kSet).find("Journal") == std::string::npos;
        },
        5000ms))
        << shown(kSet);
    StopWriteReporting();
    EXPECT_EQ(testsupport::ReadCsv(ConsoleStateDir() + "/writes.csv").size(), 1u + 3)
        << "the header and all three outcomes";
}
