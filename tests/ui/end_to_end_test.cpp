// The whole console with real widgets (offscreen) against the simulated
// controller on a pseudo-terminal: what the operator does on the panels and
// what goes over the line. The line runs on a stepped clock: each pass comes
// as soon as the simulator has answered the one before; the widgets run on
// real time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>

#include "app/mainwin.h"
#include "engine/write_journal.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "tests/support/console_window.h"
#include "tools/sim/simulator.h"

namespace {

using testsupport::FindControl;
using testsupport::RunUntil;

class EndToEnd : public testsupport::SimulatedWindowTest {
protected:
    // Runs the console; `script` runs on the UI thread once the port is open and
    // every page has been read, and the console quits after it.
    void runConsole(const std::function<void()>& script)
    {
        // Every page read back and shown: typing now is not overwritten by a late refresh.
        SimulatedWindowTest::runConsole(
            [&] {
                if (hci_commnication_enable_5927.load() != 1) return false;
                for (const ItemTable& t : kPageTables) {
                    for (int i = 0; i < t.count; ++i) {
                        const auto word = static_cast<std::int16_t>(sim_.registerValue(t.first_register + i));
                        if (t.items[i].value.load() != word || t.items[i].refresh_flag.load() != 0)
                            return false;
                    }
                }
                return true;
            },
            script);
    }

    std::vector<sim::RequestRecord> requestsSince(std::size_t first)
    {
        auto log = sim_.requests();
        const std::size_t dropped = sim_.requestCount() - log.size();
        const std::size_t skip = first > dropped ? first - dropped : 0;
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(std::min(skip, log.size())));
        return log;
    }
};

}  // namespace

TEST_F(EndToEnd, OkWritesOnceBeforeTheNextReadAndThePageReadsBack)
{
    runConsole([&] {
        const int page1 = panel_set_tab[0].load();
        auto* overVolt = FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_3");
        auto* ok = FindControl<QPushButton>(page1, "TAB1_SEND_3");
        ASSERT_TRUE(overVolt != nullptr && ok != nullptr);

        // Changing a control alone writes nothing.
        std::size_t mark = sim_.requestCount();
        FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_4")->setValue(44);
        RunUntil([] { return false; }, 1500);
        // (The password is written again every 10 s of the line's time.)
        for (const auto& r : requestsSince(mark)) {
            if (r.address != sim::kPasswordRegister) {
                EXPECT_EQ(r.function, 3) << "unexpected write to " << r.address;
            }
        }

        // Pressing OK writes exactly once, before the next read.
        mark = sim_.requestCount();
        overVolt->setValue(58);
        ok->click();
        ASSERT_TRUE(RunUntil([&] { return sim_.registerValue(2550) == 58; }, 5000));
        ASSERT_TRUE(RunUntil([&] { return requestsSince(mark).size() >= 4; }, 5000));
        auto after = requestsSince(mark);
        after.erase(
            std::remove_if(after.begin(), after.end(),
                           [](const sim::RequestRecord& r) { return r.address == sim::kPasswordRegister; }),
            after.end());
        const auto isWrite = [](const sim::RequestRecord& r) { return r.function == 6 && r.address == 2550; };
        EXPECT_EQ(std::count_if(after.begin(), after.end(), isWrite), 1);
        const auto w = std::find_if(after.begin(), after.end(), isWrite);
        ASSERT_NE(w, after.end());
        EXPECT_EQ(w->quantityOrValue, 58);
        ASSERT_NE(w + 1, after.end());
        EXPECT_EQ((w + 1)->function, 3);
        for (auto r = after.begin(); r != w; ++r) EXPECT_NE(r->function, 6);

        // A value typed but not sent is replaced by what the controller holds
        // once the page is shown again and read back.
        overVolt->setValue(12);
        mark = sim_.requestCount();
        auto* tabs = FindControl<QTabWidget>(panel_set.load(), "TAB");
        ASSERT_NE(tabs, nullptr);
        tabs->setCurrentIndex(2);
        tabs->setCurrentIndex(0);
        ASSERT_TRUE(RunUntil(
            [&] {
                const auto log = requestsSince(mark);
                return std::any_of(log.begin(), log.end(),
                                   [](const auto& r) { return r.function == 3 && r.address == 2548; });
            },
            5000));
        EXPECT_TRUE(RunUntil([&] { return overVolt->value() == 58; }, 2000));
    });
    EXPECT_TRUE(popups_.empty());
}

TEST_F(EndToEnd, DebugFrequencyIsWrittenScaledAndAFaultTurnsItsRowRed)
{
    runConsole([&] {
        const int dbg2 = panel_debug_tab[1].load();
        auto* frequency = FindControl<QDoubleSpinBox>(dbg2, "NUMERIC_SET_10");
        ASSERT_NE(frequency, nullptr);
        frequency->setValue(500);
        FindControl<QPushButton>(dbg2, "DEBUG_TAB2_SEND_10")->click();
        EXPECT_TRUE(RunUntil([&] { return sim_.registerValue(2657) == 16383; }, 5000))
            << "register " << sim_.registerValue(2657) << " item " << dataItem6[9].value.load() << " flag "
            << dataItem6[9].send_flag.load() << " spin " << frequency->value();

        auto* errors = FindControl<QTableWidget>(panelMain.load(), "TABLE_1");
        ASSERT_NE(errors, nullptr);
        const auto red = [&](int row) {
            QTableWidgetItem* item = errors->item(row - 1, 0);
            return item != nullptr && item->foreground().color() == QColor(255, 0, 0);
        };
        sim_.setRegister(2762, 0x8002);  // overVolt and bit 15 of the first word
        EXPECT_TRUE(RunUntil([&] { return red(2) && red(16); }, 5000));
        EXPECT_FALSE(red(1));
        sim_.setRegister(2762, 0);
        EXPECT_TRUE(RunUntil([&] { return !red(2) && !red(16); }, 5000));
        sim_.releaseRegister(2762);

        // Live status values arrive scaled: the battery voltage read-out shows
        // the simulator's register times 600/32767.
        sim_.setRegister(2749, 32767 / 600 * 48);
        double shown = 0;
        EXPECT_TRUE(RunUntil(
            [&] {
                GetCtrlVal(panelMain.load(), uir::panel_main::NUMERIC_QUERY_1, &shown);
                return std::abs(shown - (32767 / 600 * 48) * 600.0 / 32767) < 1e-9;
            },
            5000));
        sim_.releaseRegister(2749);
    });
    EXPECT_TRUE(popups_.empty());
}

TEST_F(EndToEnd, StatusLineShowsEachOutcomeOnBothPanelsAndTheJournalKeepsIt)
{
    std::remove((ConsoleStateDir() + "/writes.csv").c_str());
    runConsole([&] {
        const int page1 = panel_set_tab[0].load();
        auto* overVolt = FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_3");
        auto* ok = FindControl<QPushButton>(page1, "TAB1_SEND_3");
        auto* setLine = FindControl<QLabel>(panel_set.load(), "WRITE_STATUS");
        auto* debugLine = FindControl<QLabel>(panel_debug.load(), "WRITE_STATUS");
        ASSERT_TRUE(overVolt != nullptr && ok != nullptr && setLine != nullptr && debugLine != nullptr);
        const auto shows = [](QLabel* l, const char* start) {
            return l->text().startsWith(QString::fromUtf8(start));
        };
        const auto red = [](QLabel* l) {
            return l->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
        };

        overVolt->setValue(58);
        ok->click();
        // Each panel's line is brought up on its own: wait for both.
        const auto both = [&](const char* start) { return shows(setLine, start) && shows(debugLine, start); };
        ASSERT_TRUE(RunUntil([&] { return both("Over volt = 58 V confirmed "); }, 5000))
            << setLine->text().toStdString() << " / " << debugLine->text().toStdString();
        EXPECT_FALSE(red(setLine));
        EXPECT_FALSE(red(debugLine));
        EXPECT_LE(setLine->sizeHint().width(), 1366);

        sim::Fault reject;
        reject.exceptionCode = 3;
        reject.times = 1;
        sim_.setFault(2550, reject);
        overVolt->setValue(59);
        ok->click();
        ASSERT_TRUE(
            RunUntil([&] { return both("Over volt = 59 V NOT confirmed: rejected, exception 3"); }, 5000))
            << setLine->text().toStdString() << " / " << debugLine->text().toStdString();
        EXPECT_TRUE(red(setLine));
        EXPECT_TRUE(red(debugLine));
    });
    // Quitting wrote out the journal.
    std::ifstream in(ConsoleStateDir() + "/writes.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], kWriteJournalHeader);
    EXPECT_NE(lines[1].find(",PARAMETER SET,BASIC,Over volt,2550,58,V,0x003A,confirmed,"), std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find(",2550,59,V,0x003B,rejected,exception 3 (illegal data value)"), std::string::npos)
        << lines[2];
    EXPECT_TRUE(popups_.empty());
}
