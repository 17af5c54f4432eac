#include "app/monitor_window.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "app/language.h"
#include "app/shown_texts.h"
#include "app/traffic_model.h"
#include "app/value_label.h"
#include "engine/line_capture.h"
#include "engine/status_history.h"
#include "engine/status_recorder.h"
#include "engine/status_text.h"
#include "modbus/line_events.h"
#include "model/data_item.h"
#include "model/panel_texts.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/ui/ui.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(MonitorWindow)
};

namespace pm = uir::panel_monitor;

// Once a second: enough to read the counters and follow the traffic, and
// every redraw of the traffic list lays its rows out again. The line-event
// ring holds more than a minute of line-rate polling.
constexpr int kDrainMs = 1000;
constexpr int kPlotMs = 2000;
constexpr int kMaxMinutes = StatusHistory::kMinutes;
constexpr int kDefaultMinutes = 2;
constexpr std::int64_t kHealthyWithinMs = 3000;
constexpr int kBatch = 64;
// Plotted when the window opens: battery voltage, motor speed and the two temperatures.
constexpr int kDefaultPlotted[] = {STATUS_BATTERY_VOLTAGE, STATUS_MOTOR_SPEED, STATUS_CONTROLLER_TEMP,
                                   STATUS_MOTOR_TEMP};
// A value's scale spans at least ten steps of its last shown decimal, so that
// a steady value does not fill the plot with its rounding.
constexpr double kMinSpanSteps = 10.0;
constexpr double kMarginShare = 0.05;  // above and below the values drawn
constexpr int kLineWidth = 2;
constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 700;
constexpr int kCaptureStatusWidth = 330;
// The capture button's two captions.
constexpr const char* kCaptureLine = QT_TRANSLATE_NOOP("MonitorWindow", "Capture line…");
constexpr const char* kStopCapture = QT_TRANSLATE_NOOP("MonitorWindow", "Stop capture");

void name(QWidget* w, const char* constant)
{
    w->setObjectName(constant);
    w->setAccessibleDescription(constant);
}

QString stateDir()
{
    return QString::fromStdString(ConsoleStateDir());
}

// "20261209-113925": the time in a file name offered.
QString fileStamp()
{
    return QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
}

QString millis(std::int64_t us)
{
    return us < 0 ? QStringLiteral("–") : QString::number(static_cast<double>(us) / 1000.0, 'f', 0) + " ms";
}

class MonitorWindow;
MonitorWindow* g_window = nullptr;

class MonitorWindow : public QWidget {
public:
    // `capture`: the console's capture of the line, which outlives the
    // window; nullptr: none, and its buttons are off.
    explicit MonitorWindow(LineCapture* capture);
    // A capture goes on: its owner ends it.
    ~MonitorWindow() override { recorder_.stop(); }

    bool startRecording(const std::string& path, std::string* error);
    // Takes what the line reported so far and forgets it: the counters, the
    // plots' history and the traffic list start again.
    void forget()
    {
        drain();
        history_.clear();
        trafficRows_.clear();
        ResetLinkCounters();
        showCounters();
        showPlot();
    }
    bool startCapture(const std::string& path, std::string* error);
    // Takes what the line reported and redraws at once, not at the next tick.
    void refreshNow()
    {
        drain();
        showCounters();
        showRecording();
        showCapture();
        showPlot();
    }

protected:
    // Opened, the window shows what it kept while hidden at once.
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        refreshNow();
        traffic_->scrollToBottom();
    }
    // Every text in the new language; what the window holds stays.
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() != QEvent::LanguageChange) return;
        showNames();
        texts_.showAgain();
        refreshNow();
    }

private:
    QGroupBox* buildHealth();
    QGroupBox* buildPlot();
    QGroupBox* buildTraffic();
    QGroupBox* buildRecording();
    // `caption`: the source text (QT_TR_NOOP), shown in the language of the moment.
    ValueLabel* counter(QGridLayout* grid, int row, const char* caption, const char* constant);
    void showNames();

    void drain();
    void showCounters();
    void showPlot();
    void showRecording();
    void togglePause(bool paused);
    void copyTraffic();
    void saveTraffic();
    void toggleRecording();
    void showCapture();
    void toggleCapture();
    void saveLastMinutes();
    // A message box once the timer slot has returned: the box runs its own loop.
    void popupLater(const QString& title, const std::string& message);
    void plottedChanged(QListWidgetItem* item);
    QValueAxis* axisFor(int index);
    void dropAxisOf(int index);
    void colourAxes();
    void showHovered(int index, const QPointF& point);

    LineEventReader reader_;
    std::vector<LineEvent> batch_ = std::vector<LineEvent>(kBatch);
    std::uint64_t lostShown_ = 0;

    ValueLabel* health_ = nullptr;
    ValueLabel* requests_ = nullptr;
    ValueLabel* repliesOk_ = nullptr;
    ValueLabel* timeouts_ = nullptr;
    ValueLabel* crcErrors_ = nullptr;
    ValueLabel* exceptions_ = nullptr;
    ValueLabel* otherRejects_ = nullptr;
    ValueLabel* passwordWrites_ = nullptr;
    ValueLabel* portErrors_ = nullptr;
    ValueLabel* responseLast_ = nullptr;
    ValueLabel* responseMin_ = nullptr;
    ValueLabel* responseMean_ = nullptr;
    ValueLabel* responseMax_ = nullptr;
    ValueLabel* bytesSent_ = nullptr;
    ValueLabel* bytesReceived_ = nullptr;
    ValueLabel* lastGood_ = nullptr;

    TrafficModel trafficRows_;
    QListView* traffic_ = nullptr;
    QPushButton* pause_ = nullptr;

    QChart* chart_ = nullptr;
    QDateTimeAxis* axisX_ = nullptr;
    // One vertical scale per unit of the values ticked, alternately left and
    // right: battery voltage and motor speed each span the plot's height.
    std::map<QString, QValueAxis*> unitAxes_;
    ValueLabel* hovered_ = nullptr;
    QListWidget* values_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    StatusHistory history_;
    std::vector<StatusHistory::Point> points_;  // reused by every redraw
    std::array<QLineSeries*, DATAITEMOR_COUNT> series_{};
    std::array<QString, DATAITEMOR_COUNT> captions_;  // with the unit: "Battery voltage (V)"
    std::array<QString, DATAITEMOR_COUNT> names_;     // each status value's caption, from the catalogue
    std::array<QString, DATAITEMOR_COUNT> units_;     // "V"; "" when none

    StatusRecorder recorder_;
    QPushButton* record_ = nullptr;
    ValueLabel* recordStatus_ = nullptr;
    QString recordMessage_;

    LineCapture* capture_ = nullptr;
    QPushButton* captureButton_ = nullptr;
    QPushButton* captureLast_ = nullptr;
    ValueLabel* captureStatus_ = nullptr;
    QString captureMessage_;
    std::string capturePath_;  // of the capture running or last run
    QString statusFile_;       // the whole path of the file the status names

    std::vector<std::pair<QString, std::string>> popups_;  // for popupTimer_
    QTimer popupTimer_;

    QTimer drainTimer_;
    QTimer plotTimer_;
    ShownTexts texts_;
};

MonitorWindow::MonitorWindow(LineCapture* capture) : capture_(capture)
{
    name(this, "PANEL_MONITOR");
    texts_.keep([this] {
        setWindowTitle(Tr::tr("Line monitor"));
        setAccessibleName(Tr::tr("Line monitor"));
    });
    for (int i = 0; i < DATAITEMOR_COUNT; ++i)
        units_[static_cast<size_t>(i)] = QString::fromStdString(StatusUnit(i));
    showNames();

    auto* left = new QVBoxLayout;
    left->addWidget(buildHealth());
    left->addWidget(buildRecording());
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 0);
    top->addWidget(buildPlot(), 1);
    auto* upper = new QWidget;
    upper->setLayout(top);
    top->setContentsMargins(0, 0, 0, 0);

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(upper);
    split->addWidget(buildTraffic());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(split);
    resize(kWindowWidth, kWindowHeight);

    connect(&drainTimer_, &QTimer::timeout, this, [this] { drain(); });
    connect(&plotTimer_, &QTimer::timeout, this, [this] { showPlot(); });
    popupTimer_.setSingleShot(true);
    connect(&popupTimer_, &QTimer::timeout, this, [this] {
        const auto shown = std::move(popups_);
        popups_.clear();
        for (const auto& [title, message] : shown) MessagePopup(Gbk(title).c_str(), message.c_str());
    });
    drainTimer_.start(kDrainMs);
    plotTimer_.start(kPlotMs);
    showCounters();
    showRecording();
    showCapture();
    showPlot();
}

// The status items' names as the main panel shows them now, in the plot's
// list and legend and in the hovered value.
void MonitorWindow::showNames()
{
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        const auto at = static_cast<size_t>(i);
        names_[at] = QString::fromStdString(ShownStatusCaption(i));
        captions_[at] = units_[at].isEmpty() ? names_[at] : names_[at] + " (" + units_[at] + ")";
        if (values_ != nullptr && values_->item(i) != nullptr) values_->item(i)->setText(captions_[at]);
        if (series_[at] != nullptr) series_[at]->setName(captions_[at]);
    }
    // The list as wide as its longest name in this language (with the check box).
    if (values_ != nullptr) {
        const int scroll = values_->verticalScrollBar()->sizeHint().width();
        values_->setFixedWidth(values_->sizeHintForColumn(0) + 2 * values_->frameWidth() + scroll);
    }
    for (auto& [unit, axis] : unitAxes_) {
        if (unit.isEmpty()) axis->setTitleText(Tr::tr("no unit"));
    }
}

ValueLabel* MonitorWindow::counter(QGridLayout* grid, int row, const char* caption, const char* constant)
{
    auto* label = new QLabel;
    auto* value = new ValueLabel(QString());
    texts_.keep([label, value, caption] {
        label->setText(Tr::tr(caption));
        value->setCaption(Tr::tr(caption));
    });
    name(value, constant);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setMinimumWidth(110);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setObjectName(QString(constant) + "_caption");
    label->setBuddy(value);
    grid->addWidget(label, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

QGroupBox* MonitorWindow::buildHealth()
{
    auto* box = new QGroupBox;
    auto* grid = new QGridLayout(box);
    health_ = new ValueLabel(QString());
    texts_.keep([this, box] {
        box->setTitle(Tr::tr("Link health"));
        health_->setCaption(Tr::tr("Link health"));
    });
    health_->setObjectName("LINK_STATE");
    grid->addWidget(health_, 0, 0, 1, 2);
    int r = 1;
    requests_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Requests"), "LINK_REQUESTS");
    repliesOk_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Replies accepted"), "LINK_REPLIES_OK");
    timeouts_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Time-outs"), "LINK_TIMEOUTS");
    crcErrors_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "CRC or length rejects"), "LINK_CRC_ERRORS");
    exceptions_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Exception replies"), "LINK_EXCEPTIONS");
    otherRejects_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Other rejects"), "LINK_OTHER_REJECTS");
    passwordWrites_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Password writes"), "LINK_PASSWORD_WRITES");
    portErrors_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Port errors"), "LINK_PORT_ERRORS");
    responseLast_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Response time, last"),
                            "LINK_RESPONSE_LAST_MS");
    responseMin_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Response time, min"), "LINK_RESPONSE_MIN_MS");
    responseMean_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Response time, mean"),
                            "LINK_RESPONSE_MEAN_MS");
    responseMax_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Response time, max"), "LINK_RESPONSE_MAX_MS");
    bytesSent_ = counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Bytes sent"), "LINK_BYTES_SENT");
    bytesReceived_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Bytes received"), "LINK_BYTES_RECEIVED");
    lastGood_ =
        counter(grid, r++, QT_TRANSLATE_NOOP("MonitorWindow", "Last good reply"), "LINK_LAST_GOOD_REPLY");
    auto* reset = new QPushButton;
    name(reset, "LINK_RESET");
    texts_.keep([reset] {
        reset->setText(Tr::tr("Reset counters"));
        reset->setAccessibleName(Tr::tr("Reset counters"));
    });
    connect(reset, &QPushButton::clicked, this, [this] {
        ResetLinkCounters();
        showCounters();
    });
    grid->addWidget(reset, r, 0, 1, 2);
    return box;
}

QGroupBox* MonitorWindow::buildRecording()
{
    auto* box = new QGroupBox;
    auto* layout = new QVBoxLayout(box);
    record_ = new QPushButton;
    name(record_, "RECORD");
    connect(record_, &QPushButton::clicked, this, [this] { toggleRecording(); });
    recordStatus_ = new ValueLabel(QString());
    texts_.keep([this, box] {
        box->setTitle(Tr::tr("Recording"));
        record_->setAccessibleName(Tr::tr("Record status values"));
        recordStatus_->setCaption(Tr::tr("Recording status"));
    });
    name(recordStatus_, "RECORD_STATUS");
    recordStatus_->setWordWrap(true);
    recordStatus_->setMaximumWidth(260);
    layout->addWidget(record_);
    layout->addWidget(recordStatus_);
    return box;
}

QGroupBox* MonitorWindow::buildPlot()
{
    auto* box = new QGroupBox;
    auto* layout = new QHBoxLayout(box);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    axisX_ = new QDateTimeAxis;
    axisX_->setFormat("hh:mm:ss");
    axisX_->setTickCount(7);
    chart_->addAxis(axisX_, Qt::AlignBottom);
    auto* view = new QChartView(chart_);
    name(view, "PLOT");
    view->setRenderHint(QPainter::Antialiasing, false);
    view->setMinimumSize(480, 280);
    hovered_ = new ValueLabel(QString());
    name(hovered_, "PLOT_HOVER");
    texts_.keep([this, box, view] {
        // Titled as the main panel's box of the same values.
        const QString title = QString::fromStdString(ShownPanelText("mainwin.uir", uir::PANEL_MAIN, "live"));
        box->setTitle(title);
        view->setAccessibleName(Tr::tr("%1 plot").arg(title));
        hovered_->setCaption(Tr::tr("Value under the pointer"));
        hovered_->setValue(Tr::tr("Point at a line for its value and time"));
    });
    auto* plotColumn = new QVBoxLayout;
    plotColumn->addWidget(view, 1);
    plotColumn->addWidget(hovered_);
    layout->addLayout(plotColumn, 1);

    auto* side = new QVBoxLayout;
    values_ = new QListWidget;
    name(values_, "PLOT_VALUES");
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        auto* item = new QListWidgetItem(captions_[static_cast<size_t>(i)], values_);
        item->setData(Qt::UserRole, i);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    showNames();
    auto* plotLabel = new QLabel;
    side->addWidget(plotLabel);
    side->addWidget(values_, 1);
    auto* minutesRow = new QHBoxLayout;
    minutes_ = new QSpinBox;
    name(minutes_, "PLOT_MINUTES");
    minutes_->setRange(1, kMaxMinutes);
    minutes_->setValue(kDefaultMinutes);
    minutes_->setSuffix(" min");
    auto* minutesLabel = new QLabel;
    texts_.keep([this, plotLabel, minutesLabel] {
        values_->setAccessibleName(Tr::tr("Values to plot"));
        plotLabel->setText(Tr::tr("Plot"));
        minutes_->setAccessibleName(Tr::tr("Minutes shown"));
        minutesLabel->setText(Tr::tr("Window"));
    });
    minutesRow->addWidget(minutesLabel);
    minutesRow->addWidget(minutes_);
    side->addLayout(minutesRow);
    layout->addLayout(side);

    connect(values_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { plottedChanged(item); });
    connect(minutes_, &QSpinBox::valueChanged, this, [this] { showPlot(); });
    for (int i : kDefaultPlotted) values_->item(i)->setCheckState(Qt::Checked);
    return box;
}

QGroupBox* MonitorWindow::buildTraffic()
{
    auto* box = new QGroupBox;
    auto* layout = new QVBoxLayout(box);
    auto* buttons = new QHBoxLayout;
    pause_ = new QPushButton;
    name(pause_, "TRAFFIC_PAUSE");
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, [this](bool on) { togglePause(on); });
    auto* clear = new QPushButton;
    name(clear, "TRAFFIC_CLEAR");
    connect(clear, &QPushButton::clicked, this, [this] { trafficRows_.clear(); });
    auto* save = new QPushButton;
    name(save, "TRAFFIC_SAVE");
    connect(save, &QPushButton::clicked, this, [this] { saveTraffic(); });
    buttons->addWidget(pause_);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch(1);
    // The capture of the line, for protocol analysers: from now on, or what
    // the console kept of the last minutes.
    captureButton_ = new QPushButton;
    name(captureButton_, "CAPTURE");
    connect(captureButton_, &QPushButton::clicked, this, [this] { toggleCapture(); });
    captureLast_ = new QPushButton;
    name(captureLast_, "CAPTURE_LAST");
    connect(captureLast_, &QPushButton::clicked, this, [this] { saveLastMinutes(); });
    captureStatus_ = new ValueLabel(QString());
    name(captureStatus_, "CAPTURE_STATUS");
    captureStatus_->setFixedWidth(kCaptureStatusWidth);
    captureStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    captureButton_->setEnabled(capture_ != nullptr);
    captureLast_->setEnabled(capture_ != nullptr);
    buttons->addWidget(captureButton_);
    buttons->addWidget(captureLast_);
    buttons->addWidget(captureStatus_);
    layout->addLayout(buttons);

    traffic_ = new QListView;
    name(traffic_, "TRAFFIC");
    traffic_->setModel(&trafficRows_);
    // Every row one line of one font: the list lays out only the rows in view.
    traffic_->setUniformItemSizes(true);
    traffic_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    traffic_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    traffic_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    traffic_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    traffic_->setTextElideMode(Qt::ElideNone);
    traffic_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const QFontMetrics metrics(traffic_->font());
    trafficRows_.setCharSize(metrics.horizontalAdvance(QLatin1Char('0')), metrics.height() + 2);
    traffic_->setMinimumHeight(100);
    auto* copy = new QAction(traffic_);
    texts_.keep([this, box, clear, save, copy] {
        box->setTitle(Tr::tr("Traffic (last %1 frames)").arg(TrafficModel::kRows));
        pause_->setText(pause_->isChecked() ? Tr::tr("Resume") : Tr::tr("Pause"));
        clear->setText(Tr::tr("Clear"));
        save->setText(Tr::tr("Save as text…"));
        captureButton_->setAccessibleName(Tr::tr("Capture line"));
        captureLast_->setText(
            Tr::tr("Save the last %1 minutes…").arg(kCaptureKeepUs / (std::int64_t{60} * 1000000)));
        captureStatus_->setCaption(Tr::tr("Capture status"));
        traffic_->setAccessibleName(Tr::tr("Traffic"));
        copy->setText(Tr::tr("Copy"));
    });
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { copyTraffic(); });
    traffic_->addAction(copy);
    traffic_->setContextMenuPolicy(Qt::ActionsContextMenu);
    layout->addWidget(traffic_);
    return box;
}

void MonitorWindow::drain()
{
    QScrollBar* bar = traffic_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const int rowsBefore = trafficRows_.rowCount();
    for (;;) {
        const int n = reader_.read(batch_.data(), kBatch);
        if (reader_.lost() != lostShown_) {
            trafficRows_.addLost(reader_.lost() - lostShown_);
            lostShown_ = reader_.lost();
        }
        for (int i = 0; i < n; ++i) history_.take(batch_[static_cast<size_t>(i)]);
        trafficRows_.add(batch_.data(), n);
        if (n < kBatch) break;
    }
    // A list scrolled to its end follows the traffic; one scrolled back stays.
    if (atEnd && isVisible() && trafficRows_.rowCount() != rowsBefore) traffic_->scrollToBottom();
    const std::string error = recorder_.takeError();
    if (!error.empty()) {
        recordMessage_ = QString::fromStdString(error);
        popupLater(Tr::tr("Recording"), Gbk(QString::fromStdString(error)));
    }
    // A capture that cannot be written has stopped; the line goes on.
    const std::string captureError = capture_ != nullptr ? capture_->takeError() : std::string();
    if (!captureError.empty()) {
        captureMessage_ = QString::fromStdString(captureError);
        popupLater(Tr::tr("Capture"), Gbk(QString::fromStdString(captureError)));
    }
    // A hidden window leaves its labels alone and catches up when shown.
    if (isVisible()) {
        showCounters();
        showRecording();
        showCapture();
    }
}

void MonitorWindow::popupLater(const QString& title, const std::string& message)
{
    popups_.emplace_back(title, message);
    popupTimer_.start(0);
}

void MonitorWindow::togglePause(bool paused)
{
    pause_->setText(paused ? Tr::tr("Resume") : Tr::tr("Pause"));
    trafficRows_.setPaused(paused);
    if (!paused) traffic_->scrollToBottom();
}

void MonitorWindow::copyTraffic()
{
    QModelIndexList rows = traffic_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& row : rows) text += trafficRows_.rowText(row.row()) + '\n';
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void MonitorWindow::saveTraffic()
{
    QDir().mkpath(stateDir());
    const QString file =
        QFileDialog::getSaveFileName(this, Tr::tr("Save traffic"),
                                     stateDir() + "/traffic-" + fileStamp() + ".txt", Tr::tr("Text (*.txt)"));
    if (file.isEmpty()) return;
    QFile out(file);
    const QByteArray text = trafficRows_.text().toUtf8();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size() ||
        !out.flush()) {
        const std::string message = Gbk(Tr::tr("Cannot write %1: %2").arg(file, out.errorString()));
        MessagePopup(Gbk(Tr::tr("Save traffic")).c_str(), message.c_str());
    }
}

void MonitorWindow::showCounters()
{
    const LinkCounters c = ReadLinkCounters();
    const auto set = [](ValueLabel* label, const QString& text) { label->setValue(text); };
    // A style sheet is set only on a change: setting one re-polishes the label.
    const auto state = [this](const char* style) {
        if (health_->styleSheet() != QLatin1String(style)) health_->setStyleSheet(style);
    };
    set(requests_, QString::number(c.requests));
    set(repliesOk_, QString::number(c.repliesOk));
    set(timeouts_, QString::number(c.timeouts));
    set(crcErrors_, QString::number(c.crcErrors));
    set(exceptions_, QString::number(c.exceptions));
    set(otherRejects_, QString::number(c.otherRejects));
    set(passwordWrites_, QString::number(c.passwordWrites));
    set(portErrors_, QString::number(c.portErrors));
    set(responseLast_, millis(c.responseLastUs));
    set(responseMin_, millis(c.responseMinUs));
    set(responseMean_, millis(static_cast<std::int64_t>(c.responseMeanUs())));
    set(responseMax_, millis(c.responseMaxUs));
    set(bytesSent_, QString::number(c.bytesSent));
    set(bytesReceived_, QString::number(c.bytesReceived));
    const std::int64_t now = WallClockMs();
    if (c.lastGoodReplyWallMs < 0) {
        set(lastGood_, QStringLiteral("–"));
        set(health_, Tr::tr("No good reply yet"));
        state("color: #806000; font-weight: bold;");
        return;
    }
    set(lastGood_, QDateTime::fromMSecsSinceEpoch(c.lastGoodReplyWallMs).toString("hh:mm:ss.zzz"));
    const std::int64_t age = now - c.lastGoodReplyWallMs;
    if (age <= kHealthyWithinMs) {
        set(health_, Tr::tr("Line healthy: replies arriving"));
        state("color: #107010; font-weight: bold;");
    } else {
        set(health_, Tr::tr("No good reply for %1 s").arg(age / 1000));
        state("color: #b01010; font-weight: bold;");
    }
}

void MonitorWindow::plottedChanged(QListWidgetItem* item)
{
    const int i = item->data(Qt::UserRole).toInt();
    if (i < 0 || i >= DATAITEMOR_COUNT) return;
    QLineSeries*& s = series_[static_cast<size_t>(i)];
    if (item->checkState() == Qt::Checked && s == nullptr) {
        s = new QLineSeries;
        s->setName(captions_[static_cast<size_t>(i)]);
        s->setUseOpenGL(false);
        chart_->addSeries(s);
        QPen pen = s->pen();
        pen.setWidth(kLineWidth);
        s->setPen(pen);
        s->attachAxis(axisX_);
        s->attachAxis(axisFor(i));
        connect(s, &QLineSeries::hovered, this, [this, i](const QPointF& point, bool over) {
            if (over) showHovered(i, point);
        });
    } else if (item->checkState() != Qt::Checked && s != nullptr) {
        chart_->removeSeries(s);
        delete s;
        s = nullptr;
        dropAxisOf(i);
    }
    colourAxes();
    showPlot();
}

QValueAxis* MonitorWindow::axisFor(int index)
{
    const QString& unit = units_[static_cast<size_t>(index)];
    QValueAxis*& axis = unitAxes_[unit];
    if (axis == nullptr) {
        axis = new QValueAxis;
        axis->setTitleText(unit.isEmpty() ? Tr::tr("no unit") : unit);
        axis->setRange(0, 1);
        axis->setLabelFormat("%g");  // as many decimals as the step needs: 47.5, 4000
        const bool left = chart_->axes(Qt::Vertical).size() % 2 == 0;
        chart_->addAxis(axis, left ? Qt::AlignLeft : Qt::AlignRight);
    }
    return axis;
}

// Removes the scale of `index`'s unit once no ticked value uses it.
void MonitorWindow::dropAxisOf(int index)
{
    const QString& unit = units_[static_cast<size_t>(index)];
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        if (series_[static_cast<size_t>(i)] != nullptr && units_[static_cast<size_t>(i)] == unit) return;
    }
    const auto it = unitAxes_.find(unit);
    if (it == unitAxes_.end()) return;
    chart_->removeAxis(it->second);
    delete it->second;
    unitAxes_.erase(it);
}

// A scale that serves one value takes that value's colour.
void MonitorWindow::colourAxes()
{
    for (const auto& [unit, axis] : unitAxes_) {
        QLineSeries* only = nullptr;
        int count = 0;
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
            QLineSeries* s = series_[static_cast<size_t>(i)];
            if (s == nullptr || units_[static_cast<size_t>(i)] != unit) continue;
            only = s;
            ++count;
        }
        const QColor colour = count == 1 ? only->color() : chart_->palette().color(QPalette::WindowText);
        axis->setLinePenColor(colour);
        axis->setLabelsColor(colour);
        axis->setTitleBrush(colour);
    }
}

// The point of the line nearest in time to `point`, with its value and time.
void MonitorWindow::showHovered(int index, const QPointF& point)
{
    const QLineSeries* s = series_[static_cast<size_t>(index)];
    if (s == nullptr || s->count() == 0) return;
    const QList<QPointF> points = s->points();
    auto at = std::lower_bound(points.begin(), points.end(), point.x(),
                               [](const QPointF& p, double x) { return p.x() < x; });
    if (at == points.end() || (at != points.begin() && point.x() - (at - 1)->x() < at->x() - point.x())) --at;
    const QString unit = units_[static_cast<size_t>(index)];
    const QString text =
        QString("%1: %2%3 at %4")
            .arg(names_[static_cast<size_t>(index)])
            .arg(at->y(), 0, 'f', StatusDecimals(index))
            .arg(unit.isEmpty() ? QString() : " " + unit)
            .arg(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at->x())).toString("hh:mm:ss"));
    hovered_->setValue(text);
    if (isVisible()) QToolTip::showText(QCursor::pos(), text, this);
}

void MonitorWindow::showPlot()
{
    const std::int64_t now = WallClockMs();
    const std::int64_t from = now - static_cast<std::int64_t>(minutes_->value()) * 60000;
    // The time axis runs to now even with nothing to draw yet.
    axisX_->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(now));
    if (!isVisible()) return;
    // More than a low and a high per pixel would not show: the history
    // gathers the values into spans of one pixel's time.
    const double pixels = chart_->plotArea().width();
    const std::int64_t span =
        pixels >= 1 ? static_cast<std::int64_t>(static_cast<double>(now - from) / pixels) : 0;
    // Each scale spans what its values drew, and at least its smallest span.
    struct Extent {
        double lo = 0;
        double hi = 0;
        double minSpan = 0;
        bool any = false;
    };
    std::map<QValueAxis*, Extent> extents;
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        QLineSeries* s = series_[static_cast<size_t>(i)];
        if (s == nullptr) continue;
        Extent& e = extents[unitAxes_[units_[static_cast<size_t>(i)]]];
        e.minSpan = std::max(e.minSpan, kMinSpanSteps * std::pow(10.0, -StatusDecimals(i)));
        history_.points(i, from, span, &points_);
        QList<QPointF> shown;
        shown.reserve(static_cast<qsizetype>(points_.size()));
        for (const StatusHistory::Point& p : points_) {
            shown.append(QPointF(static_cast<double>(p.wallMs), p.value));
            e.lo = e.any ? std::min(e.lo, p.value) : p.value;
            e.hi = e.any ? std::max(e.hi, p.value) : p.value;
            e.any = true;
        }
        s->replace(shown);
    }
    for (const auto& [axis, e] : extents) {
        if (axis == nullptr) continue;
        if (!e.any) {
            axis->setRange(0, 1);
            continue;
        }
        const double middle = (e.lo + e.hi) / 2;
        const double half = std::max(e.hi - e.lo, e.minSpan) * (0.5 + kMarginShare);
        axis->setRange(middle - half, middle + half);
        axis->applyNiceNumbers();
    }
}

void MonitorWindow::showRecording()
{
    const QString label = recorder_.recording() ? Tr::tr("Stop recording") : Tr::tr("Record status values…");
    if (record_->text() != label) record_->setText(label);
    QString status;
    if (recorder_.recording()) {
        status = Tr::tr("Recording to %1: %2 rows")
                     .arg(QString::fromStdString(recorder_.path()))
                     .arg(recorder_.rows());
    } else if (!recordMessage_.isEmpty()) {
        status = recordMessage_;
    } else {
        status = Tr::tr("Not recording");
    }
    recordStatus_->setValue(status);
}

bool MonitorWindow::startRecording(const std::string& path, std::string* error)
{
    const bool ok = recorder_.start(path, error);
    recordMessage_ = ok ? QString() : QString::fromStdString(*error);
    showRecording();
    return ok;
}

void MonitorWindow::toggleRecording()
{
    if (recorder_.recording()) {
        recorder_.stop();
        recordMessage_ = Tr::tr("Recorded %1 rows to %2")
                             .arg(recorder_.rows())
                             .arg(QString::fromStdString(recorder_.path()));
        showRecording();
        return;
    }
    QDir().mkpath(stateDir());
    const QString file =
        QFileDialog::getSaveFileName(this, Tr::tr("Record status values"),
                                     stateDir() + "/status-" + fileStamp() + ".csv", Tr::tr("CSV (*.csv)"));
    if (file.isEmpty()) return;
    std::string error;
    if (!startRecording(file.toStdString(), &error))
        MessagePopup(Gbk(Tr::tr("Recording")).c_str(), error.c_str());
}

void MonitorWindow::showCapture()
{
    const bool on = capture_ != nullptr && capture_->capturing();
    const QString label = Tr::tr(on ? kStopCapture : kCaptureLine);
    if (captureButton_->text() != label) captureButton_->setText(label);
    QString status;
    if (on) {
        // The file's name: the whole path is in the tooltip.
        status = Tr::tr("Capturing to %1: %2 packets")
                     .arg(QFileInfo(QString::fromStdString(capturePath_)).fileName())
                     .arg(capture_->packetsWritten());
    } else if (!captureMessage_.isEmpty()) {
        status = captureMessage_;
    } else {
        status = Tr::tr("Not capturing");
    }
    captureStatus_->setValue(status);
    const QString tip = statusFile_.isEmpty() ? status : status + "\n" + statusFile_;
    if (captureStatus_->toolTip() != tip) captureStatus_->setToolTip(tip);
}

bool MonitorWindow::startCapture(const std::string& path, std::string* error)
{
    if (capture_ == nullptr) {
        *error = "the console keeps no capture of the line";
        return false;
    }
    const bool ok = capture_->start(path, error);
    capturePath_ = path;
    statusFile_ = QString::fromStdString(path);
    captureMessage_ = ok ? QString() : QString::fromStdString(*error);
    showCapture();
    return ok;
}

void MonitorWindow::toggleCapture()
{
    if (capture_ == nullptr) return;
    if (capture_->capturing()) {
        capture_->stop();
        // A failure on the last write is told instead.
        const std::string error = capture_->takeError();
        captureMessage_ = error.empty() ? Tr::tr("Captured %1 packets to %2")
                                              .arg(capture_->packetsWritten())
                                              .arg(QFileInfo(QString::fromStdString(capturePath_)).fileName())
                                        : QString::fromStdString(error);
        if (!error.empty())
            MessagePopup(Gbk(Tr::tr("Capture")).c_str(), Gbk(QString::fromStdString(error)).c_str());
        showCapture();
        return;
    }
    QDir().mkpath(stateDir());
    const QString file = QFileDialog::getSaveFileName(this, Tr::tr(kCaptureLine),
                                                      stateDir() + "/line-" + fileStamp() + ".pcapng",
                                                      Tr::tr("Captures (*.pcapng)"));
    if (file.isEmpty()) return;
    std::string error;
    if (!startCapture(file.toStdString(), &error))
        MessagePopup(Gbk(Tr::tr("Capture")).c_str(), Gbk(QString::fromStdString(error)).c_str());
}

void MonitorWindow::saveLastMinutes()
{
    if (capture_ == nullptr) return;
    QDir().mkpath(stateDir());
    const QString file = QFileDialog::getSaveFileName(this, captureLast_->text(),
                                                      stateDir() + "/line-last-" + fileStamp() + ".pcapng",
                                                      Tr::tr("Captures (*.pcapng)"));
    if (file.isEmpty()) return;
    std::string error;
    statusFile_ = file;
    if (capture_->saveLast(file.toStdString(), &error)) {
        captureMessage_ = Tr::tr("Saved the last minutes to %1").arg(QFileInfo(file).fileName());
    } else {
        captureMessage_ = QString::fromStdString(error);
        MessagePopup(Gbk(Tr::tr("Capture")).c_str(), Gbk(QString::fromStdString(error)).c_str());
    }
    showCapture();
}

}  // namespace

void CreateMonitor(LineCapture* capture)
{
    if (g_window == nullptr) g_window = new MonitorWindow(capture);
}

void DestroyMonitor()
{
    delete g_window;
    g_window = nullptr;
}

void monitor(int, int, void*, int)
{
    if (g_window == nullptr) return;
    if (g_window->isVisible()) {
        g_window->hide();
    } else {
        g_window->show();
        g_window->raise();
    }
}

void ForgetMonitorHistory()
{
    if (g_window != nullptr) g_window->forget();
}

bool StartRecording(const std::string& path, std::string* error)
{
    if (g_window == nullptr) {
        *error = "the monitor is not running";
        return false;
    }
    return g_window->startRecording(path, error);
}

bool StartCapture(const std::string& path, std::string* error)
{
    if (g_window == nullptr) {
        *error = "the monitor is not running";
        return false;
    }
    return g_window->startCapture(path, error);
}

bool SaveMonitorPng(const std::string& path)
{
    if (g_window == nullptr) return false;
    if (!g_window->isVisible()) g_window->show();
    g_window->refreshNow();
    return g_window->grab().save(QString::fromStdString(path), "PNG");
}

QWidget* MonitorWidget()
{
    return g_window;
}
