// The service report of the running console (offscreen) against the
// simulated controller on the stepped clock: every panel's picture goes in,
// and a controller that does not answer still gets its report.
#include "app/report_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <optional>

#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/line_flags.h"
#include "tests/support/console_window.h"
#include "tests/support/zip_reading.h"
#include "tools/sim/simulator.h"

namespace {

using testsupport::RunUntil;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class ReportWindowTest : public testsupport::SimulatedWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(state_.isValid() && folder_.isValid());
        setenv("XDG_STATE_HOME", state_.path().toLocal8Bit().constData(), 1);
        SimulatedWindowTest::SetUp();
    }

    // Runs the console until `ready`, makes the report and reads it back.
    std::optional<std::map<std::string, std::string>> report(const std::function<bool()>& ready)
    {
        std::optional<std::map<std::string, std::string>> members;
        runConsole(ready, [&] {
            bool finished = false;
            bool written = false;
            std::string text;
            SaveServiceReportIn(folder_.path().toStdString(), "", [&](bool ok, const std::string& t) {
                finished = true;
                written = ok;
                text = t;
            });
            ASSERT_TRUE(RunUntil([&] { return finished; }, 30000));
            ASSERT_TRUE(written) << text;
            EXPECT_EQ(text.rfind(folder_.path().toStdString() + "/drive-report-", 0), 0u) << text;
            std::string error;
            members = testsupport::ReadZip(text, &error);
            EXPECT_TRUE(members) << error;
        });
        return members;
    }

    QTemporaryDir state_;
    QTemporaryDir folder_;
};

TEST_F(ReportWindowTest, HasEveryPanelAsDrawnAndTheParameters)
{
    const auto members = report([] { return hci_commnication_enable_5927.load() == 1; });
    ASSERT_TRUE(members);
    for (const char* panel :
         {"main.png", "com.png", "set.png", "set-1-basic.png", "set-2-temp.png", "set-3-func.png",
          "set-4-throttle.png", "set-5-motor.png", "set-6-debug.png", "debug.png", "debug-1-settings.png",
          "debug-2-test.png", "monitor.png", "faults.png"}) {
        const auto png = members->find(std::string("panels/") + panel);
        ASSERT_NE(png, members->end()) << panel;
        EXPECT_EQ(png->second.substr(1, 3), "PNG") << panel;
    }
    EXPECT_EQ(members->count("parameters.json"), 1u);
    EXPECT_FALSE(contains(members->at("report.html"), "could not be read"));
}

TEST_F(ReportWindowTest, ASilentControllerStillGetsItsReportSayingSo)
{
    sim::Fault silent;
    silent.silent = true;
    sim_.setFault(sim::kPasswordRegister, silent);  // the password is never echoed
    const auto members = report([] { return comConfigure_success_flag.load() == 1; });
    ASSERT_TRUE(members);
    EXPECT_EQ(members->count("parameters.json"), 0u);
    EXPECT_TRUE(contains(members->at("report.html"), "The parameters could not be read"));
    EXPECT_EQ(members->count("panels/main.png"), 1u);
}

// A folder that cannot take the report: told why, and nothing left in it.
TEST_F(ReportWindowTest, AFolderThatCannotBeWrittenIsToldAndLeavesNothing)
{
    const std::string missing = folder_.filePath("gone").toStdString();
    runConsole([] { return hci_commnication_enable_5927.load() == 1; },
               [&] {
                   bool finished = false;
                   bool written = true;
                   std::string text;
                   SaveServiceReportIn(missing, "", [&](bool ok, const std::string& t) {
                       finished = true;
                       written = ok;
                       text = t;
                   });
                   ASSERT_TRUE(RunUntil([&] { return finished; }, 30000));
                   EXPECT_FALSE(written);
                   EXPECT_TRUE(contains(text, "gone")) << text;
               });
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{});
}

}  // namespace
