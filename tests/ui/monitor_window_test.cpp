// The line monitor window on the offscreen platform: its controls, the menu
// entry that opens it, and what it shows of reported line events.
#include "app/monitor_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>
#include <utility>

#include "app/mainwin.h"
#include "app/traffic_model.h"
#include "engine/line_capture.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/line_machine.h"
#include "tests/support/capture_items.h"
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
        capture.emplace(TheLine());
        CreateMonitor(&*capture);
        window = MonitorWidget();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        DestroyMonitor();
        capture.reset();
        SetPopupHandler({});
        qtui::ShutdownUserInterface();
    }

    template <typename T>
    T* find(const char* constant)
    {
        return window->findChild<T*>(constant);
    }
    QString text(const char* constant) { return find<QLabel>(constant)->text(); }
    QString traffic()
    {
        QAbstractItemModel* rows = find<QListView>("TRAFFIC")->model();
        QStringList lines;
        for (int i = 0; i < rows->rowCount(); ++i) lines << rows->index(i, 0).data().toString();
        return lines.join('\n');
    }
    QLineSeries* series(const QString& name)
    {
        for (QAbstractSeries* s : find<QChartView>("PLOT")->chart()->series()) {
            if (s->name() == name) return qobject_cast<QLineSeries*>(s);
        }
        return nullptr;
    }
    // The lowest and the highest value a line draws.
    static std::pair<double, double> extent(const QLineSeries* line)
    {
        double lo = line->at(0).y();
        double hi = lo;
        for (const QPointF& p : line->points()) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
        return {lo, hi};
    }
    // Reports a status read and its accepted reply, status item i holding wordOf(i).
    static void reportStatus(const std::function<int(int)>& wordOf)
    {
        const auto read = WithCrc({0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A});
        std::vector<unsigned char> reply = {0x01, 0x03, 52};
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
            const int word = wordOf(i);
            reply.push_back(static_cast<unsigned char>(word >> 8));
            reply.push_back(static_cast<unsigned char>(word & 0xFF));
        }
        ReportExchange(read, WithCrc(reply), MODBUS_READ_ACCEPTED);
    }
    // Lets the window's drain timer run.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds within = 3000ms)
    {
        return testsupport::WaitFor(
            [&] {
                QApplication::processEvents();
                return condition();
            },
            within);
    }

    // Clicks `button`, whose file dialog is then given `path` and accepted.
    static void clickAndChoose(QPushButton* button, const QString& path)
    {
        bool chosen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || chosen) return;
            chosen = true;
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog makes it protected
        });
        poll.start(10);
        button->click();
        EXPECT_TRUE(chosen) << button->objectName().toStdString();
    }

    QWidget* window = nullptr;
    std::vector<std::string> popups;
    std::optional<LineCapture> capture;  // the console's, as the window keeps it
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

    // Every counter and every response-time figure had something to show...
    ReportExchange(read, WithCrc({0x01, 0x83, 0x02}), MODBUS_EXCEPTION_2);
    ReportExchange(read, WithCrc({0x02, 0x03, 0x00}), MODBUS_BAD_SLAVE);
    const auto password = WithCrc({0x01, 0x06, 0x0F, 0xC7, 0x59, 0x27});
    ReportExchange(password, password, MODBUS_PASSWORD_ACCEPTED);
    LinePortError("Com Read failed! ");
    const char* const counters[] = {"LINK_REQUESTS",        "LINK_REPLIES_OK",  "LINK_TIMEOUTS",
                                    "LINK_CRC_ERRORS",      "LINK_EXCEPTIONS",  "LINK_OTHER_REJECTS",
                                    "LINK_PASSWORD_WRITES", "LINK_PORT_ERRORS", "LINK_BYTES_SENT",
                                    "LINK_BYTES_RECEIVED"};
    const char* const responseTimes[] = {"LINK_RESPONSE_LAST_MS", "LINK_RESPONSE_MIN_MS",
                                         "LINK_RESPONSE_MEAN_MS", "LINK_RESPONSE_MAX_MS"};
    ASSERT_TRUE(waitFor([&] { return text("LINK_PORT_ERRORS") == "1"; }));
    for (const char* c : counters) EXPECT_NE(text(c), "0") << c;
    for (const char* r : responseTimes) EXPECT_NE(text(r), "–") << r;
    EXPECT_NE(text("LINK_LAST_GOOD_REPLY"), "–");

    // ... and "Reset counters" starts every one of them from nothing.
    find<QPushButton>("LINK_RESET")->click();
    for (const char* c : counters) EXPECT_EQ(text(c), "0") << c;
    for (const char* r : responseTimes) EXPECT_EQ(text(r), "–") << r;
    EXPECT_EQ(text("LINK_LAST_GOOD_REPLY"), "–");
    EXPECT_EQ(text("LINK_STATE"), "No good reply yet");
    ReportExchange(write, write, MODBUS_WRITE_ECHO);
    ASSERT_TRUE(waitFor([&] { return text("LINK_REQUESTS") == "1"; }));
    EXPECT_EQ(text("LINK_REPLIES_OK"), "1");
    EXPECT_EQ(text("LINK_CRC_ERRORS"), "0");
    EXPECT_EQ(text("LINK_BYTES_SENT"), "8");
    EXPECT_EQ(text("LINK_RESPONSE_MIN_MS"), text("LINK_RESPONSE_MAX_MS"));
    EXPECT_NE(text("LINK_RESPONSE_LAST_MS"), "–");
    EXPECT_TRUE(popups.empty());
}

TEST_F(Monitor, PlotShowsWhatCameBeforeItOpenedInPhysicalUnits)
{
    // An empty plot's time axis already ends now and spans the window.
    monitor(0, 0, nullptr, 0);
    auto* axis =
        qobject_cast<QDateTimeAxis*>(find<QChartView>("PLOT")->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    EXPECT_NEAR(static_cast<double>(axis->max().toMSecsSinceEpoch()), static_cast<double>(now), 5000.0);
    EXPECT_EQ(axis->min().msecsTo(axis->max()), 2 * 60000);
    monitor(0, 0, nullptr, 0);

    // Battery voltage (600/32767 V per count) swings while the window is hidden.
    for (const int raw : {16000, 20000, 12000}) reportStatus([raw](int i) { return i == 1 ? raw : 0; });
    QApplication::processEvents();
    QLineSeries* battery = series("Battery voltage (V)");
    ASSERT_NE(battery, nullptr);
    // Opened, the plot draws at once what was kept, the swing's peak among it.
    monitor(0, 0, nullptr, 0);
    ASSERT_GE(battery->count(), 2);
    const auto [lo, hi] = extent(battery);
    EXPECT_NEAR(hi, 20000 * 600.0 / 32767, 1e-9);
    EXPECT_NEAR(lo, 12000 * 600.0 / 32767, 1e-9);
    EXPECT_NEAR(battery->points().constLast().y(), 12000 * 600.0 / 32767, 1e-9);
}

TEST_F(Monitor, EachUnitHasItsOwnScaleSoSmallChangesShowBesideLargeOnes)
{
    monitor(0, 0, nullptr, 0);
    // Battery voltage and motor speed alone: 48.0 / 48.5 V beside 0 / 1000 RPM.
    auto* values = find<QListWidget>("PLOT_VALUES");
    ASSERT_NE(values, nullptr);
    for (int i = 0; i < values->count(); ++i) {
        const int item = values->item(i)->data(Qt::UserRole).toInt();
        const bool ticked = item == STATUS_BATTERY_VOLTAGE || item == STATUS_MOTOR_SPEED;
        values->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    for (int n = 0; n < 6; ++n) {
        const bool high = n % 2 == 1;
        reportStatus([high](int i) {
            if (i == STATUS_BATTERY_VOLTAGE) return high ? 2649 : 2621;  // 600/32767 V per count
            if (i == STATUS_MOTOR_SPEED) return high ? 1000 : 0;
            return 0;
        });
    }
    monitor(0, 0, nullptr, 0);
    monitor(0, 0, nullptr, 0);  // shown again: drawn at once
    QApplication::processEvents();
    QChart* chart = find<QChartView>("PLOT")->chart();
    const double plotHeight = chart->plotArea().height();
    ASSERT_GT(plotHeight, 100.0);

    std::vector<QAbstractAxis*> scales;
    for (const char* caption : {"Battery voltage (V)", "Motor speed (RPM)"}) {
        SCOPED_TRACE(caption);
        QLineSeries* line = series(caption);
        ASSERT_NE(line, nullptr);
        ASSERT_GE(line->count(), 2);
        const auto [lo, hi] = extent(line);
        const double x = line->at(0).x();
        const double height =
            chart->mapToPosition(QPointF(x, lo), line).y() - chart->mapToPosition(QPointF(x, hi), line).y();
        EXPECT_GT(height, plotHeight / 2) << "the line spans " << height << " of " << plotHeight << " px";
        for (QAbstractAxis* a : line->attachedAxes()) {
            if (a->orientation() == Qt::Vertical) scales.push_back(a);
        }
    }
    ASSERT_EQ(scales.size(), 2u);
    EXPECT_NE(scales[0], scales[1]);
    EXPECT_EQ(scales[0]->titleText(), "V");
    EXPECT_EQ(scales[1]->titleText(), "RPM");
    EXPECT_NE(scales[0]->alignment(), scales[1]->alignment()) << "one left, one right";

    // Pointing at a line tells the value nearest in time, and when it was.
    QLineSeries* battery = series("Battery voltage (V)");
    const QPointF last = battery->points().constLast();
    emit battery->hovered(QPointF(last.x() + 10, 48.1), true);
    const QString time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last.x())).toString("hh:mm:ss");
    EXPECT_EQ(text("PLOT_HOVER"), "Battery voltage: 48.51 V at " + time);

    // Unticked, a unit's scale goes with its last value.
    for (int i = 0; i < values->count(); ++i) {
        if (values->item(i)->data(Qt::UserRole).toInt() == STATUS_MOTOR_SPEED)
            values->item(i)->setCheckState(Qt::Unchecked);
    }
    EXPECT_EQ(chart->axes(Qt::Vertical).size(), 1);
}

TEST_F(Monitor, CountersReadThroughAccessibility)
{
    monitor(0, 0, nullptr, 0);
    const auto write = WithCrc({0x01, 0x06, 0x09, 0xF6, 0x00, 0x3A});
    ReportExchange(write, write, MODBUS_WRITE_ECHO);
    LineRequestSent(write.data(), 8);
    LineReplyTimeout(nullptr, 0);
    ASSERT_TRUE(waitFor([&] { return text("LINK_REQUESTS") == "2"; }));

    QAccessibleInterface* requests = QAccessible::queryAccessibleInterface(find<QLabel>("LINK_REQUESTS"));
    ASSERT_NE(requests, nullptr);
    EXPECT_EQ(requests->text(QAccessible::Name), "Requests: 2");
    EXPECT_EQ(requests->text(QAccessible::Value), "2");
    // Every value of the window says what it is and what it shows.
    int values = 0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->accessibleName().isEmpty()) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), label->accessibleName()) << label->objectName().toStdString();
        EXPECT_EQ(a->text(QAccessible::Value), label->text()) << label->objectName().toStdString();
        EXPECT_TRUE(label->accessibleName().endsWith(": " + label->text()))
            << label->objectName().toStdString();
        ++values;
    }
    // 15 counters, the link state, the recording and capture status and the plot's pointer
    EXPECT_EQ(values, 19);
}

TEST_F(Monitor, RecordingThatCannotStartSaysWhy)
{
    std::string error;
    EXPECT_FALSE(StartRecording("/dev/full", &error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos);
    EXPECT_EQ(text("RECORD_STATUS").toStdString(), error);
}

TEST(TrafficList, KeepsItsLastRowsAndWhatCameWhilePaused)
{
    TrafficModel rows;
    QAbstractItemModelTester checker(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // Writes of 2550 with the values first..last-1, in batches as the monitor reads them.
    const auto add = [&rows](int first, int last) {
        std::vector<LineEvent> batch;
        for (int v = first; v < last; ++v) {
            LineEvent e;
            e.kind = LineEventKind::RequestSent;
            const std::vector<unsigned char> frame = WithCrc(
                {0x01, 0x06, 0x09, 0xF6, static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)});
            std::copy(frame.begin(), frame.end(), e.bytes);
            e.length = static_cast<int>(frame.size());
            batch.push_back(e);
            if (batch.size() == 64 || v == last - 1) {
                rows.add(batch.data(), static_cast<int>(batch.size()));
                batch.clear();
            }
        }
    };
    const auto row = [&rows](int i) { return rows.rowText(i).toStdString(); };
    constexpr int kRows = TrafficModel::kRows;

    add(0, kRows + 500);
    ASSERT_EQ(rows.rowCount(), kRows);
    EXPECT_NE(row(0).find("Over volt = 500 "), std::string::npos) << row(0);
    EXPECT_NE(row(kRows - 1).find("Over volt = 2499 "), std::string::npos) << row(kRows - 1);

    // Paused, the rows hold still; of what comes meanwhile the newest rows wait.
    rows.setPaused(true);
    add(kRows + 500, 2 * kRows + 600);
    rows.addLost(7);
    EXPECT_EQ(rows.rowCount(), kRows);
    EXPECT_EQ(rows.waiting(), kRows);
    EXPECT_NE(row(0).find("Over volt = 500 "), std::string::npos) << row(0);

    rows.setPaused(false);
    ASSERT_EQ(rows.rowCount(), kRows);
    EXPECT_EQ(rows.waiting(), 0);
    EXPECT_EQ(row(kRows - 1), "… 7 frames not shown: the monitor fell behind");
    EXPECT_NE(row(kRows - 2).find("Over volt = 4599 "), std::string::npos) << row(kRows - 2);
    EXPECT_NE(row(0).find("Over volt = 2601 "), std::string::npos) << row(0);
    EXPECT_EQ(rows.text().count('\n'), kRows);

    rows.clear();
    EXPECT_EQ(rows.rowCount(), 0);
}

// "Capture line…" captures from then on until pressed again; "Save the last
// 10 minutes…" writes what the console kept, from before the capture too.
TEST_F(Monitor, CaptureButtonsCaptureTheLineAndSaveItsLastMinutes)
{
    monitor(0, 0, nullptr, 0);
    auto* start = find<QPushButton>("CAPTURE");
    auto* last = find<QPushButton>("CAPTURE_LAST");
    ASSERT_NE(start, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(start->text(), "Capture line…");
    EXPECT_EQ(last->text(), "Save the last 10 minutes…");
    EXPECT_EQ(text("CAPTURE_STATUS"), "Not capturing");
    const auto read = WithCrc({0x01, 0x03, 0x09, 0xF4, 0x00, 0x0F});
    ReportExchange(read, WithCrc({0x01, 0x83, 0x02}), MODBUS_EXCEPTION_2);  // before the capture

    const QString path = QString::fromStdString(testsupport::TestFilePath("monitor.pcapng"));
    clickAndChoose(start, path);
    EXPECT_EQ(start->text(), "Stop capture");
    EXPECT_EQ(text("CAPTURE_STATUS"), "Capturing to monitor.pcapng: 0 packets");
    reportStatus([](int i) { return i; });
    const auto write = WithCrc({0x01, 0x06, 0x09, 0xF6, 0x00, 0x3A});
    ReportExchange(write, write, MODBUS_WRITE_ECHO);
    start->click();
    EXPECT_EQ(start->text(), "Capture line…");
    EXPECT_EQ(text("CAPTURE_STATUS"), "Captured 4 packets to monitor.pcapng");
    const testsupport::CaptureItems captured = testsupport::ReadCaptureFile(path.toStdString());
    ASSERT_EQ(captured.error, "");
    ASSERT_EQ(captured.packets.size(), 4u);
    EXPECT_EQ(captured.packets[2].bytes, write);
    EXPECT_EQ(captured.packets[3].comment, "accepted");
    testsupport::ExpectTsharkDecodes(path.toStdString(), captured.packets);

    const QString lastPath = QString::fromStdString(testsupport::TestFilePath("last.pcapng"));
    clickAndChoose(last, lastPath);
    EXPECT_EQ(text("CAPTURE_STATUS"), "Saved the last minutes to last.pcapng");
    const testsupport::CaptureItems kept = testsupport::ReadCaptureFile(lastPath.toStdString());
    ASSERT_EQ(kept.error, "");
    ASSERT_EQ(kept.packets.size(), 6u);
    EXPECT_EQ(kept.packets[1].comment, "rejected: exception 2");
    EXPECT_TRUE(popups.empty());
}

// A capture that cannot be made, or stops being written, says why; the
// window goes on showing the line.
TEST_F(Monitor, ACaptureThatCannotBeWrittenSaysWhyAndTheLineGoesOn)
{
    monitor(0, 0, nullptr, 0);
    std::string error;
    EXPECT_FALSE(StartCapture("/nonexistent-folder/x.pcapng", &error));
    EXPECT_NE(error.find("/nonexistent-folder/x.pcapng"), std::string::npos) << error;
    EXPECT_EQ(text("CAPTURE_STATUS").toStdString(), error);

    const std::string path = testsupport::TestFilePath("full.pcapng");
    const testsupport::FileSizeLimit full(1000);
    ASSERT_TRUE(full.set());
    ASSERT_TRUE(StartCapture(path, &error)) << error;
    for (int i = 0; i < 40; ++i) reportStatus([i](int item) { return item + i; });
    // The file is written once a second, off the line's thread.
    ASSERT_TRUE(waitFor([&] { return find<QPushButton>("CAPTURE")->text() == "Capture line…"; }, 10000ms));
    ASSERT_TRUE(waitFor([&] { return !popups.empty(); }));
    EXPECT_EQ(popups[0].rfind("Capture/Capture stopped: cannot write " + path + ": ", 0), 0u) << popups[0];
    EXPECT_EQ(text("CAPTURE_STATUS").toStdString(), popups[0].substr(8));
    reportStatus([](int item) { return item; });
    EXPECT_TRUE(waitFor([&] { return text("LINK_REQUESTS") == "41"; })) << "the line goes on";
}
