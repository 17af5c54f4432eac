// The line monitor window on the offscreen platform: its controls, the menu
// entry that opens it, and what it shows of reported line events.
#include "app/monitor_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/mainwin.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui.h"
#include "tests/support/line_script.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using namespace std::chrono_literals;

namespace {

int g_argc = 1;
char g_arg0[] = "monitor_window_test";
char* g_argv[] = {g_arg0, nullptr};

using testsupport::ReportExchange;
using testsupport::WithCrc;

class Monitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qtui::InitUserInterface(g_argc, g_argv));
        SetPopupHandler(
            [this](const std::string& t, const std::string& m) { popups.push_back(t + "/" + m); });
        fillDataItems();
        ASSERT_TRUE(LoadConsolePanels());
        CreateMonitor();
        window = MonitorWidget();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        DestroyMonitor();
        SetPopupHandler({});
        qtui::ShutdownUserInterface();
    }

    template <typename T>
    T* find(const char* constant)
    {
        return window->findChild<T*>(constant);
    }
    QString text(const char* constant) { return find<QLabel>(constant)->text(); }
    QString traffic() { return find<QPlainTextEdit>("TRAFFIC")->toPlainText(); }
    // Lets the window's drain timer run.
    bool waitFor(const std::function<bool()>& condition)
    {
        return testsupport::WaitFor(
            [&] {
                QApplication::processEvents();
                return condition();
            },
            3000ms);
    }

    QWidget* window = nullptr;
    std::vector<std::string> popups;
};

}  // namespace

TEST_F(Monitor, OpensFromItsMenuEntryBeforeHelpAndFitsTheScreen)
{
    QWidget* main = qtui::PanelWidget(panelMain.load());
    auto* bar = main->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction* a : bar->actions()) order << a->objectName();
    EXPECT_EQ(order, (QStringList{"MENU_FILE", "MENU_COMCONFIGURE", "MENU_SET", "MENU_DEBUG", "MENU_MONITOR",
                                  "MENU_FAULTS", "MENU1"}));
    QAction* entry = main->findChild<QAction*>("MENU_MONITOR");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "MONITOR");
    entry->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->objectName(), "PANEL_MONITOR");
    EXPECT_LE(window->width(), 1366);
    EXPECT_LE(window->frameGeometry().height(), 768);
    EXPECT_LE(window->minimumSizeHint().height(), 700);
    for (const char* constant : {"LINK_REQUESTS", "LINK_REPLIES_OK", "LINK_TIMEOUTS", "LINK_CRC_ERRORS",
                                 "LINK_EXCEPTIONS", "LINK_OTHER_REJECTS", "LINK_RESPONSE_LAST_MS",
                                 "LINK_RESPONSE_MAX_MS", "LINK_RESET", "TRAFFIC", "PLOT", "RECORD"}) {
        QWidget* w = find<QWidget>(constant);
        ASSERT_NE(w, nullptr) << constant;
        EXPECT_EQ(w->accessibleDescription(), constant);
        EXPECT_TRUE(w->isVisible()) << constant;
    }
    entry->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());

    const std::string png = testing::TempDir() + "/monitor.png";
    ASSERT_TRUE(SaveMonitorPng(png));
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), window->size());
}

TEST_F(Monitor, ShowsCountersAndDecodedTrafficAndResets)
{
    monitor(0, 0, nullptr, 0);
    const auto write = WithCrc({0x01, 0x06, 0x09, 0xF6, 0x00, 0x3A});  // 2550 = 58
    ReportExchange(write, write, MODBUS_WRITE_ECHO);
    const auto read = WithCrc({0x01, 0x03, 0x09, 0xF4, 0x00, 0x0F});
    const std::vector<unsigned char> bad = {0x01, 0x03, 0x1E, 0x00};
    ReportExchange(read, bad, MODBUS_BAD_CRC);
    LineRequestSent(read.data(), 8);
    LineReplyTimeout(nullptr, 0);

    ASSERT_TRUE(waitFor([&] { return text("LINK_REQUESTS") == "3"; }));
    EXPECT_EQ(text("LINK_REPLIES_OK"), "1");
    EXPECT_EQ(text("LINK_CRC_ERRORS"), "1");
    EXPECT_EQ(text("LINK_TIMEOUTS"), "1");
    const QString lines = traffic();
    EXPECT_TRUE(lines.contains("TX  W 2550 Over volt = 58   01 06 09 F6 00 3A")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("RX  W 2550 Over volt = 58 → echo ✓")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("RX  R 2548..2562 (15) → ✗ CRC or length wrong")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("--  R 2548..2562 (15) → ✗ no reply in time")) << lines.toStdString();

    // Paused, the list holds still; resumed, nothing that came meanwhile is missing.
    find<QPushButton>("TRAFFIC_PAUSE")->click();
    ReportExchange(write, write, MODBUS_WRITE_ECHO);
    ASSERT_TRUE(waitFor([&] { return text("LINK_REQUESTS") == "4"; }));
    EXPECT_EQ(traffic(), lines);
    find<QPushButton>("TRAFFIC_PAUSE")->click();
    EXPECT_EQ(traffic().count("echo ✓"), 2);
    find<QPushButton>("TRAFFIC_CLEAR")->click();
    EXPECT_TRUE(traffic().isEmpty());

    find<QPushButton>("LINK_RESET")->click();
    EXPECT_EQ(text("LINK_REQUESTS"), "0");
    EXPECT_EQ(text("LINK_CRC_ERRORS"), "0");
    EXPECT_TRUE(popups.empty());
}

TEST_F(Monitor, PlotsStatusRepliesInPhysicalUnits)
{
    monitor(0, 0, nullptr, 0);
    std::array<std::uint16_t, DATAITEMOR_COUNT> words{};
    words[1] = 16000;  // battery voltage, 600/32767 V per count
    testsupport::ReportStatusReply(words);
    testsupport::ReportStatusReply(words);
    auto* view = find<QChartView>("PLOT");
    ASSERT_NE(view, nullptr);
    QLineSeries* battery = nullptr;
    for (QAbstractSeries* s : view->chart()->series()) {
        if (s->name() == "Battery voltage (V)") battery = qobject_cast<QLineSeries*>(s);
    }
    ASSERT_NE(battery, nullptr);
    ASSERT_TRUE(waitFor([&] { return battery->count() == 2; }));
    EXPECT_NEAR(battery->at(1).y(), 16000 * 600.0 / 32767, 1e-9);
}

TEST_F(Monitor, RecordingThatCannotStartSaysWhy)
{
    std::string error;
    EXPECT_FALSE(StartRecording("/dev/full", &error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos);
    EXPECT_EQ(text("RECORD_STATUS").toStdString(), error);
}
