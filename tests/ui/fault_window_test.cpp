// The fault history window on the offscreen platform, fed a scripted sequence
// of status replies through the line events on the stepped clock.
#include "app/fault_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include "app/mainwin.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/os/clock.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "tests/support/line_script.h"

namespace {

int g_argc = 1;
char g_arg0[] = "fault_window_test";
char* g_argv[] = {g_arg0, nullptr};
std::int64_t g_nowMs = 50000;

class FaultWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qtui::InitUserInterface(g_argc, g_argv));
        SetClockSource([] { return g_nowMs; });
        fillDataItems();
        ASSERT_TRUE(LoadConsolePanels());
        CreateFaultWindow();
        window = FaultWidget();
        ASSERT_NE(window, nullptr);
        events = window->findChild<QTableView*>("FAULT_EVENTS");
        snapshot = window->findChild<QTableWidget*>("FAULT_SNAPSHOT");
        ASSERT_NE(events, nullptr);
        ASSERT_NE(snapshot, nullptr);
    }
    void TearDown() override
    {
        DestroyFaultWindow();
        SetClockSource(nullptr);
        qtui::ShutdownUserInterface();
    }

    // A status reply with these fault words and battery voltage word, `ms` after the last.
    void reply(std::int64_t ms, std::uint16_t first, std::uint16_t second, std::uint16_t battery)
    {
        g_nowMs += ms;
        std::array<std::uint16_t, 26> words{};
        words[1] = battery;
        words[14] = first;
        words[15] = second;
        testsupport::ReportStatusReply(words);
    }
    QString cell(int row, int column) { return events->model()->index(row, column).data().toString(); }
    bool red(int row) { return events->model()->index(row, 0).data(Qt::ForegroundRole).isValid(); }
    QString shown(int item) { return snapshot->item(item, 1)->text(); }
    QString title() { return window->findChild<QLabel*>("FAULT_SNAPSHOT_TITLE")->text(); }

    QWidget* window = nullptr;
    QTableView* events = nullptr;
    QTableWidget* snapshot = nullptr;
};

}  // namespace

TEST_F(FaultWindowTest, OpensFromItsMenuEntryAndFitsTheScreen)
{
    QAction* entry = qtui::PanelWidget(panelMain.load())->findChild<QAction*>("MENU_FAULTS");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "FAULTS");
    entry->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->objectName(), "PANEL_FAULTS");
    EXPECT_LE(window->frameGeometry().width(), 1366);
    EXPECT_LE(window->frameGeometry().height(), 768);
    for (const char* constant :
         {"FAULT_EVENTS", "FAULT_SNAPSHOT", "FAULT_SAVE", "FAULT_CLEAR", "FAULT_RESOLUTION"}) {
        QWidget* w = window->findChild<QWidget*>(constant);
        ASSERT_NE(w, nullptr) << constant;
        EXPECT_EQ(w->accessibleDescription(), constant);
        EXPECT_TRUE(w->isVisible()) << constant;
    }
    EXPECT_EQ(window->findChild<QPushButton*>("FAULT_SAVE")->text(), "Save as CSV…");
    EXPECT_TRUE(window->findChild<QLabel*>("FAULT_RESOLUTION")->text().contains("one status read interval"));
    entry->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());

    const std::string png = testing::TempDir() + "/faults.png";
    ASSERT_TRUE(SaveFaultsPng(png));
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), window->size());
}

TEST_F(FaultWindowTest, ScriptedSequenceListsEventsNewestFirstWithTheSnapshotOfTheOnset)
{
    reply(0, 0x0000, 0x0000, 1000);
    reply(500, 0x0002, 0x0000, 2000);  // overVolt on: first-out
    reply(500, 0x0002, 0x0002, 3000);  // overSpeed on while overVolt is on
    reply(500, 0x0000, 0x0002, 4000);  // overVolt off after 1.0 s
    PumpFaultHistory();

    ASSERT_EQ(events->model()->rowCount(), 3);
    const QStringList expected[] = {{"OFF", "overVolt", "2762 bit 1", "1.0 s", ""},
                                    {"ON", "overSpeed", "2763 bit 1", "still on", "no"},
                                    {"ON", "overVolt", "2762 bit 1", "", "yes"}};
    for (int row = 0; row < 3; ++row) {
        QStringList got;
        for (int column = 1; column < 6; ++column) got << cell(row, column);
        EXPECT_EQ(got, expected[row]) << row;
    }
    EXPECT_FALSE(red(0));
    EXPECT_TRUE(red(1)) << "an active fault's ON row is red";
    EXPECT_FALSE(red(2)) << "no longer once it went off";

    // With nothing selected the newest onset shows; a selected row shows its
    // onset's values, an OFF row those of the ON it ends.
    const double volts = 3000 * 600.0 / 32767;
    EXPECT_EQ(shown(1), QString::number(volts, 'f', 2) + " V");
    EXPECT_TRUE(title().startsWith("Newest onset: overSpeed")) << title().toStdString();
    events->selectRow(2);
    EXPECT_EQ(shown(1), QString::number(2000 * 600.0 / 32767, 'f', 2) + " V");
    EXPECT_EQ(shown(14), "0x0002 (overVolt)");
    EXPECT_TRUE(title().contains("first-out")) << title().toStdString();
    events->selectRow(0);
    EXPECT_EQ(shown(1), QString::number(2000 * 600.0 / 32767, 'f', 2) + " V");

    // The main panel's "Error list" row tells when the fault last came on,
    // for how long and how often since the port opened.
    QApplication::processEvents();
    auto* list = qtui::PanelWidget(panelMain.load())->findChild<QTableWidget*>("TABLE_1");
    ASSERT_NE(list, nullptr);
    const QString tip = list->item(1, 0)->toolTip();
    EXPECT_TRUE(tip.contains("2762 bit 1. Last on ")) << tip.toStdString();
    EXPECT_TRUE(tip.contains(" for 1.0 s. Once since the port was opened.")) << tip.toStdString();
    EXPECT_TRUE(list->item(17, 0)->toolTip().contains("On since "))
        << list->item(17, 0)->toolTip().toStdString();
    EXPECT_EQ(list->item(47, 0)->toolTip(), "2764 bit 15. Not on since the console started.");

    // Clearing empties the list, not the history: overSpeed is still on.
    window->findChild<QPushButton*>("FAULT_CLEAR")->click();
    EXPECT_EQ(events->model()->rowCount(), 0);
    EXPECT_EQ(shown(1), "");
    reply(500, 0x0000, 0x0000, 5000);
    PumpFaultHistory();
    ASSERT_EQ(events->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), "OFF");
    EXPECT_EQ(cell(0, 4), "1.0 s");
}
