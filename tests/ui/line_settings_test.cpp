// The line-rate switch and reply time-out kept in the settings file, with
// XDG_CONFIG_HOME pointed at a fresh folder for each test.
#include "app/line_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QFile>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/console_state.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "serial/fast_line.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"

namespace {

using testsupport::kPortPanel;

class LineSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string dir = (std::filesystem::temp_directory_path() / "dsc-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        home = dir;
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    }
    void TearDown() override
    {
        SetFastLineArmedHook(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    static std::string file() { return ConsoleSettingsFile(); }

    int switchShown() const
    {
        const auto w = ui.writesTo(kPortPanel, uir::panel_com::FAST_LINE);
        return w.empty() ? -1 : w.back().integer;
    }
    double timeoutShown() const
    {
        const auto w = ui.writesTo(kPortPanel, uir::panel_com::FAST_LINE_TIMEOUT);
        return w.empty() ? -1 : w.back().number;
    }

    std::string home;
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(LineSettings, NothingKeptShowsOffAndFiveHundredThenWhatThePortPanelArmsIsKept)
{
    LoadLineSettings(kPortPanel, false);
    EXPECT_EQ(switchShown(), 0);
    EXPECT_EQ(timeoutShown(), 500.0);

    FastLineSettingsUsed({true, 800});
    ASSERT_TRUE(QFile::exists(QString::fromStdString(file())));
    const FastLineSettings kept = KeptLineSettings();
    EXPECT_TRUE(kept.enabled);
    EXPECT_EQ(kept.replyTimeoutMs, 800);
    EXPECT_TRUE(ui.popups().empty());
}

TEST_F(LineSettings, ValuesOutOfRangeOrUnreadableInTheFileAreNotTakenAsTheyStand)
{
    std::filesystem::create_directories(home + "/drive-console");
    std::ofstream(file()) << "[line]\nfastLine=true\nreplyTimeoutMs=99999\n";
    LoadLineSettings(kPortPanel, false);
    EXPECT_EQ(switchShown(), 1);
    EXPECT_EQ(timeoutShown(), 10000.0);

    // (Of another size than before: Qt's settings cache looks at size and time.)
    std::ofstream(file()) << "[line]\nfastLine=maybe\nreplyTimeoutMs=not-yet\n";
    const FastLineSettings kept = KeptLineSettings();
    EXPECT_FALSE(kept.enabled);
    EXPECT_EQ(kept.replyTimeoutMs, 500);
}

TEST_F(LineSettings, TheCommandLineSwitchHoldsForTheRunOnly)
{
    KeepLineSettings({false, 300});
    LoadLineSettings(kPortPanel, true);
    EXPECT_EQ(switchShown(), 1);
    EXPECT_EQ(timeoutShown(), 300.0);

    FastLineSettingsUsed({true, 400});
    EXPECT_FALSE(KeptLineSettings().enabled) << "turned on by --fast-line, not by the operator";
    EXPECT_EQ(KeptLineSettings().replyTimeoutMs, 400);
    FastLineSettingsUsed({false, 400});
    EXPECT_FALSE(KeptLineSettings().enabled);
}

TEST_F(LineSettings, AFileThatCannotBeWrittenIsReportedAndTheRunGoesOn)
{
    // A plain file where the settings folder should be.
    std::ofstream(home + "/drive-console") << "in the way";
    LoadLineSettings(kPortPanel, false);
    EXPECT_EQ(timeoutShown(), 500.0);
    EXPECT_FALSE(KeepLineSettings({true, 700}));
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_NE(ui.popups()[0].text.find("could not be kept"), std::string::npos);

    ArmFastLine({true, 700}, 19200, 1, 8, 1);
    FastLineSettingsUsed({true, 700});
    EXPECT_EQ(ui.popups().size(), 2u);
    EXPECT_TRUE(FastLineActive()) << "the mode is armed all the same";
    EXPECT_EQ(FastLineReplyTimeoutMs(), 700);
}

// The start-up reset ends what the last load set up: the port panel's opens
// are no longer kept, and --fast-line of that run holds no more.
TEST_F(LineSettings, TheStartUpResetEndsTheKeepingAndTheForcedSwitch)
{
    LoadLineSettings(kPortPanel, true);
    ResetConsoleState();
    FastLineSettingsUsed({true, 900});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file())));
}
