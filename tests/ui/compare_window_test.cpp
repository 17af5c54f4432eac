// The comparison window on the running console (offscreen) against the
// simulated controller: what it marks, what it writes and when it backs up.
// The console's clock is stepped: each pass of the line comes as soon as the
// simulator has answered the one before.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/mainwin.h"
#include "app/parameter_sets_window.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "pages/write_guard.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "tests/support/console_window.h"
#include "tools/sim/simulator.h"

namespace {

using testsupport::RunUntil;

class CompareWindowTest : public testsupport::SimulatedWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(state_.isValid() && config_.isValid());
        setenv("XDG_STATE_HOME", state_.path().toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
        SimulatedWindowTest::SetUp();
    }
    void TearDown() override
    {
        SetConfirmHandler({});
        SimulatedWindowTest::TearDown();
    }

    // A file of what the controller holds, with `changes` applied.
    std::map<int, int> fileWords(const std::map<int, int>& changes)
    {
        std::map<int, int> words;
        for (const psets::RegisterInfo& r : psets::Registers()) {
            words[r.reg] = static_cast<std::int16_t>(sim_.registerValue(r.reg));
        }
        for (const auto& [reg, word] : changes) words[reg] = word;
        return words;
    }
    std::string saveFile(const char* name, const std::map<int, int>& words)
    {
        const std::string file = files_.filePath(name).toStdString();
        std::string error;
        EXPECT_TRUE(psets::SaveSetFile(file, psets::SetFromWords(words, "bench"), &error)) << error;
        return file;
    }
    // The outcome column of register `reg`.
    static QString outcomeOf(QTableWidget* table, int reg)
    {
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, CompareWindow::kRegister)->text().toInt() == reg)
                return table->item(r, CompareWindow::kOutcome)->text();
        }
        return "(no row)";
    }

    // Runs the console with the port open; `script` runs on the UI thread.
    void runConsole(const std::function<void()>& script)
    {
        SimulatedWindowTest::runConsole([] { return hci_commnication_enable_5927.load() == 1; }, script);
    }

    std::vector<sim::RequestRecord> parameterWrites()
    {
        std::vector<sim::RequestRecord> out;
        for (const auto& r : sim_.requests()) {
            if (r.function == 6 && r.address != sim::kPasswordRegister) out.push_back(r);
        }
        return out;
    }

    QStringList backups() const
    {
        return QDir(state_.path() + "/drive-console/backups").entryList({"*.json"}, QDir::Files);
    }

    QTemporaryDir state_;
    QTemporaryDir config_;
    QTemporaryDir files_;
};

}  // namespace

TEST_F(CompareWindowTest, TwoDifferingRowsAreCheckedWrittenAloneAndConfirmedAfterABackup)
{
    // The file: what the controller holds, with two registers changed.
    std::map<int, int> words = fileWords({});
    words[2550] -= 3;
    words[2609] += 1000;
    const std::string file = saveFile("ref.json", words);
    std::string error;

    runConsole([&] {
        auto* fileMenu = qtui::PanelWidget(panelMain.load())->findChild<QAction*>("MENU_FILE");
        ASSERT_NE(fileMenu, nullptr);
        ASSERT_NE(fileMenu->menu(), nullptr);
        EXPECT_NE(fileMenu->menu()->findChild<QAction*>("COMPARE_WITH_FILE"), nullptr);

        CompareWindow* window = OpenComparison(file);
        ASSERT_NE(window, nullptr);
        auto* table = window->findChild<QTableWidget*>("COMPARE_TABLE");
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(RunUntil([&] { return !window->busy(); }, 15000));
        ASSERT_EQ(table->rowCount(), 70);
        std::vector<int> checked;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, CompareWindow::kWrite)->checkState() == Qt::Checked) {
                checked.push_back(table->item(r, CompareWindow::kRegister)->text().toInt());
            }
        }
        EXPECT_EQ(checked, (std::vector<int>{2550, 2609}));
        EXPECT_TRUE(backups().isEmpty()) << "no backup before a write";

        sim_.clearRequests();
        window->findChild<QPushButton*>("COMPARE_WRITE")->click();
        // The moment the first write reaches the controller, the backup is there.
        bool backupFirst = false;
        ASSERT_TRUE(RunUntil(
            [&] {
                if (parameterWrites().empty()) return false;
                backupFirst = backups().size() == 1;
                return true;
            },
            15000));
        EXPECT_TRUE(backupFirst);
        ASSERT_TRUE(RunUntil([&] { return !window->busy(); }, 20000));

        const auto writes = parameterWrites();
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0].address, 2550);
        EXPECT_EQ(static_cast<std::int16_t>(writes[0].quantityOrValue), words[2550]);
        EXPECT_EQ(writes[1].address, 2609);
        EXPECT_EQ(static_cast<std::int16_t>(writes[1].quantityOrValue), words[2609]);
        for (int r = 0; r < table->rowCount(); ++r) {
            const int reg = table->item(r, CompareWindow::kRegister)->text().toInt();
            const QString outcome = table->item(r, CompareWindow::kOutcome)->text();
            if (reg == 2550 || reg == 2609) {
                EXPECT_EQ(outcome, "confirmed") << reg;
            }
        }
        EXPECT_EQ(static_cast<std::int16_t>(sim_.registerValue(2609)), words[2609]);
        window->findChild<QCheckBox*>("COMPARE_ONLY_DIFFERING")->setChecked(true);
        int shown = 0;
        for (int r = 0; r < table->rowCount(); ++r) shown += table->isRowHidden(r) ? 0 : 1;
        EXPECT_EQ(shown, 2) << "the two written rows stay in view";

        // The backup holds the controller's set from before the writes.
        ASSERT_EQ(backups().size(), 1);
        psets::ParameterSet backup;
        ASSERT_TRUE(psets::LoadSetFile(window->backupPath(), &backup, &error)) << error;
        ASSERT_EQ(backup.entries.size(), 70u);
        EXPECT_EQ(backup.entries[2].reg, 2550);
        EXPECT_EQ(backup.entries[2].word, words[2550] + 3);
        window->close();
    });
    EXPECT_TRUE(popups_.empty());
}

TEST_F(CompareWindowTest, ABadFileOpensNoWindowAndWritesNothing)
{
    const std::string file = files_.filePath("bad.json").toStdString();
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(
        "{\"format\": \"drive-console-parameters\", \"version\": 1, \"registers\": [\n"
        "{\"register\": 2550, \"word\": 99999}]}\n",
        f);
    std::fclose(f);
    runConsole([&] {
        sim_.clearRequests();
        EXPECT_EQ(OpenComparison(file), nullptr);
        auto* box = qtui::PanelWidget(panelMain.load())->findChild<QMessageBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().contains("line 2: word 99999 of register 2550")) << box->text().toStdString();
        box->close();
        RunUntil([] { return false; }, 300);
        EXPECT_TRUE(parameterWrites().empty());
    });
}

TEST_F(CompareWindowTest, SaveParametersReadsThePagesFreshAndSavesWhatTheControllerHolds)
{
    const std::string file = files_.filePath("saved.json").toStdString();
    runConsole([&] {
        sim_.setRegister(2630, 77);  // changed after the start-up reads: only a fresh read sees it
        SaveParametersTo(file);
        ASSERT_TRUE(RunUntil([&] { return QFile::exists(QString::fromStdString(file)); }, 15000));
        psets::ParameterSet set;
        std::string error;
        ASSERT_TRUE(psets::LoadSetFile(file, &set, &error)) << error;
        ASSERT_EQ(set.entries.size(), 70u);
        for (const psets::Entry& e : set.entries) {
            EXPECT_EQ(e.word, static_cast<std::int16_t>(sim_.registerValue(e.reg))) << e.reg;
        }
        EXPECT_TRUE(parameterWrites().empty());
    });
}

TEST_F(CompareWindowTest, TurningTheHallFaultMaskOnIsAskedAndNoLeavesItUnwritten)
{
    ASSERT_EQ(sim_.registerValue(2662), 0);
    const std::map<int, int> words = fileWords({{2662, 1}, {2550, 40}});
    const std::string file = saveFile("mask.json", words);
    std::vector<std::string> asked;
    SetConfirmHandler([&](const std::string& title, const std::string&) {
        asked.push_back(title);
        return ANSWER_NO;
    });
    runConsole([&] {
        CompareWindow* window = OpenComparison(file);
        ASSERT_NE(window, nullptr);
        auto* table = window->findChild<QTableWidget*>("COMPARE_TABLE");
        ASSERT_TRUE(RunUntil([&] { return !window->busy(); }, 15000));
        sim_.clearRequests();
        window->findChild<QPushButton*>("COMPARE_WRITE")->click();
        ASSERT_TRUE(RunUntil([&] { return !window->busy(); }, 20000));
        EXPECT_EQ(asked, std::vector<std::string>{QuestionFor(GuardAsk::HallMask).title});
        const auto writes = parameterWrites();
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].address, 2550) << "the other row is written";
        EXPECT_EQ(sim_.registerValue(2662), 0);
        EXPECT_EQ(outcomeOf(table, 2662), "not written: declined");
        EXPECT_EQ(outcomeOf(table, 2550), "confirmed");

        // Asked again on the next press; Yes writes it.
        SetConfirmHandler([&](const std::string& title, const std::string&) {
            asked.push_back(title);
            return ANSWER_YES;
        });
        window->findChild<QPushButton*>("COMPARE_WRITE")->click();
        ASSERT_TRUE(RunUntil([&] { return !window->busy(); }, 20000));
        EXPECT_EQ(asked.size(), 2u);
        EXPECT_EQ(sim_.registerValue(2662), 1);
        EXPECT_EQ(outcomeOf(table, 2662), "confirmed");

        // Each press backed up what the controller held just before it wrote:
        // the second backup has the first press's write, not the mask.
        ASSERT_EQ(backups().size(), 2);
        psets::ParameterSet second;
        std::string error;
        ASSERT_TRUE(psets::LoadSetFile(window->backupPath(), &second, &error)) << error;
        std::map<int, int> held;
        for (const psets::Entry& e : second.entries) held[e.reg] = e.word;
        EXPECT_EQ(held[2550], 40);
        EXPECT_EQ(held[2662], 0);
        window->close();
    });
}
