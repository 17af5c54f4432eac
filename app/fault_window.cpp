#include "app/fault_window.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <atomic>
#include <deque>

#include "app/language.h"
#include "app/shown_texts.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "engine/fault_tracker.h"
#include "engine/status_text.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/gbk.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "platform/ui/uir.h"
#include "serial/line_machine.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(FaultWindow)
};

constexpr const char* kPanel = "PANEL_FAULTS";
constexpr int kShownEvents = 2000;  // the list's bound; faults.csv keeps every event
constexpr int kPumpMs = 200;
constexpr int kReplayPumpMs = 20;  // a replay may go far faster than the line
constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 680;
const QColor kActive(0xC0, 0x00, 0x00);

QString qs(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

void name(QWidget* w, const char* constant, const QString& accessibleName)
{
    w->setObjectName(constant);
    w->setAccessibleDescription(constant);
    w->setAccessibleName(accessibleName);
}

QString timeText(std::int64_t wallMs, const char* format = "yyyy-MM-dd hh:mm:ss.zzz")
{
    return QDateTime::fromMSecsSinceEpoch(wallMs).toString(format);
}

// The event's word as the list shows it (faults.csv keeps FaultEventName's).
QString eventText(FaultEventKind kind)
{
    switch (kind) {
        case FaultEventKind::On:
            return Tr::tr("ON", "fault event: the fault came on");
        case FaultEventKind::Off:
            return Tr::tr("OFF", "fault event: the fault went off");
        case FaultEventKind::Lost:
            return Tr::tr("lost", "fault event: the link was lost while the fault was on");
    }
    return QString();
}

QString whereText(const FaultEvent& e)
{
    return QString("%1 bit %2").arg(e.registerAddress()).arg(e.bitInWord());
}

// The events shown, newest first, at most kShownEvents of them. ON rows of
// faults still on are drawn red.
class EventModel : public QAbstractTableModel {
public:
    enum Column { Time, Event, Fault, Where, Duration, First, kColumns };

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(events_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kColumns; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char* const kTitles[kColumns] = {
            QT_TRANSLATE_NOOP("FaultWindow", "Time"),     QT_TRANSLATE_NOOP("FaultWindow", "Event"),
            QT_TRANSLATE_NOOP("FaultWindow", "Fault"),    QT_TRANSLATE_NOOP("FaultWindow", "Register"),
            QT_TRANSLATE_NOOP("FaultWindow", "Duration"), QT_TRANSLATE_NOOP("FaultWindow", "First-out")};
        return section >= 0 && section < kColumns ? Tr::tr(kTitles[section]) : QVariant();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const FaultEvent* e = at(index.row());
        if (e == nullptr) return {};
        const bool on = e->kind == FaultEventKind::On;
        if (role == Qt::ForegroundRole) return on && isActive(*e) ? QVariant(kActive) : QVariant();
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
            case Time:
                return timeText(e->wallMs);
            case Event:
                return eventText(e->kind);
            case Fault:
                return qs(ShownFaultCaption(e->bit));
            case Where:
                return whereText(*e);
            case Duration:
                if (on) return isActive(*e) ? Tr::tr("still on") : QString();
                return e->kind == FaultEventKind::Lost
                           ? Tr::tr("%1 s, link lost").arg(qs(FaultDurationText(e->durationS)))
                           : Tr::tr("%1 s").arg(qs(FaultDurationText(e->durationS)));
            case First:
                return on ? (e->first ? Tr::tr("yes") : Tr::tr("no")) : QString();
            default:
                return {};
        }
    }

    // The titles and texts again, in the language of the moment.
    void showAgain()
    {
        emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
        if (!events_.empty()) emit dataChanged(index(0, 0), index(rowCount({}) - 1, kColumns - 1));
    }

    void add(const FaultEvent& e)
    {
        // The ON row that this event ends is redrawn in the normal colour.
        const std::uint64_t ended =
            e.kind == FaultEventKind::On ? 0 : active_[static_cast<std::size_t>(e.bit)];
        active_[static_cast<std::size_t>(e.bit)] = e.kind == FaultEventKind::On ? e.sequence : 0;
        beginInsertRows(QModelIndex(), 0, 0);
        events_.push_back(e);
        endInsertRows();
        if (events_.size() > static_cast<std::size_t>(kShownEvents)) {
            const int last = static_cast<int>(events_.size()) - 1;
            beginRemoveRows(QModelIndex(), last, last);
            events_.pop_front();
            endRemoveRows();
        }
        if (ended != 0) {
            const int row = rowOf(ended);
            if (row >= 0) emit dataChanged(index(row, 0), index(row, kColumns - 1));
        }
    }

    void clear()
    {
        beginResetModel();
        events_.clear();
        endResetModel();
    }

    // Row `row` counted from the newest; nullptr outside the list.
    const FaultEvent* at(int row) const
    {
        if (row < 0 || row >= static_cast<int>(events_.size())) return nullptr;
        return &events_[events_.size() - 1 - static_cast<std::size_t>(row)];
    }
    const std::deque<FaultEvent>& oldestFirst() const { return events_; }

private:
    bool isActive(const FaultEvent& e) const
    {
        return active_[static_cast<std::size_t>(e.bit)] == e.sequence;
    }
    int rowOf(std::uint64_t sequence) const
    {
        for (std::size_t i = 0; i < events_.size(); ++i) {
            if (events_[i].sequence == sequence) return static_cast<int>(events_.size() - 1 - i);
        }
        return -1;
    }

    std::deque<FaultEvent> events_;
    std::array<std::uint64_t, kFaultBitCount> active_{};  // sequence of each bit's ON while it is on
};

// The tooltips of the "Error list" rows on the main panel.
class ErrorListTips : public FaultObserver {
public:
    // Every row gets one at once: its register and bit.
    ErrorListTips()
    {
        for (int bit = 0; bit < kFaultBitCount; ++bit) show(bit);
    }
    void faultEvent(const FaultEvent& e) override
    {
        Bit& b = bits_[static_cast<std::size_t>(e.bit)];
        b.lastOnWallMs = e.onsetWallMs;
        b.on = e.kind == FaultEventKind::On;
        b.lost = e.kind == FaultEventKind::Lost;
        b.durationS = e.durationS;
        b.sinceOpen = e.occurrence;
        show(e.bit);
    }
    // As at start-up: no fault seen.
    void reset()
    {
        bits_ = {};
        for (int bit = 0; bit < kFaultBitCount; ++bit) show(bit);
    }
    void portOpened() override
    {
        for (int bit = 0; bit < kFaultBitCount; ++bit) {
            Bit& b = bits_[static_cast<std::size_t>(bit)];
            if (b.lastOnWallMs == 0) continue;
            b.sinceOpen = 0;
            show(bit);
        }
    }

private:
    struct Bit {
        std::int64_t lastOnWallMs = 0;  // 0: never seen on
        bool on = false;
        bool lost = false;
        double durationS = 0;
        int sinceOpen = 0;
    };

    void show(int bit) const
    {
        const Bit& b = bits_[static_cast<std::size_t>(bit)];
        QString text =
            Tr::tr("%1 bit %2. ").arg(kStatusTable.first_register + kFaultWordItem + bit / 16).arg(bit % 16);
        const QString since = timeText(b.lastOnWallMs);
        if (b.lastOnWallMs == 0) {
            text += Tr::tr("Not on since the console started.");
        } else if (b.on) {
            text += Tr::tr("On since %1.").arg(since);
        } else {
            const QString duration = qs(FaultDurationText(b.durationS));
            text += b.lost ? Tr::tr("Last on %1 for %2 s (then the link was lost).").arg(since, duration)
                           : Tr::tr("Last on %1 for %2 s.").arg(since, duration);
        }
        if (b.lastOnWallMs != 0) {
            text += b.sinceOpen == 0   ? Tr::tr(" Not on since the port was opened.")
                    : b.sinceOpen == 1 ? Tr::tr(" Once since the port was opened.")
                                       : Tr::tr(" %1 times since the port was opened.").arg(b.sinceOpen);
        }
        SetTableCellToolTip(panelMain.load(), uir::panel_main::TABLE_1, MakePoint(1, bit + 1),
                            Gbk(text).c_str());
    }

    std::array<Bit, kFaultBitCount> bits_{};
};

class FaultWindow : public QWidget, private FaultObserver {
public:
    FaultWindow();
    ~FaultWindow() override;

    void pump();
    RunLog::Copy run() const { return run_.copy(); }
    std::size_t backlog() { return feed_.backlog(); }
    // What the line reported up to now is taken and forgotten with the rest.
    void forget()
    {
        feed_.pump();
        tracker_.reset();
        model_.clear();
        tips_.reset();
        showSnapshot();
        showResolution();
    }
    void drain()
    {
        pump();
        journal_.drain();
    }

protected:
    void showEvent(QShowEvent* event) override;
    // Every text in the new language; the events and the journal stay.
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildEvents();
    QWidget* buildSnapshot();
    void faultEvent(const FaultEvent& e) override;
    void showSnapshot();
    void showResolution();
    void save();
    void journalProblem(const QString& message);

    FaultTracker tracker_;
    FaultFeed feed_{tracker_, TheLine().observers()};
    FaultJournal journal_;
    RunLog run_;  // for the service report
    ErrorListTips tips_;
    EventModel model_;

    QLabel* resolution_ = nullptr;
    QTableView* events_ = nullptr;
    QLabel* snapshotTitle_ = nullptr;
    QTableWidget* snapshot_ = nullptr;
    QLabel* journalLine_ = nullptr;
    QTimer pumpTimer_;
    bool journalReported_ = false;
    ShownTexts texts_;
};

// The window for other threads (the replay asks how far behind it is): the
// window lives until the communication thread has ended.
std::atomic<FaultWindow*>& liveWindow()
{
    static std::atomic<FaultWindow*> w{nullptr};
    return w;
}

FaultWindow::FaultWindow()
    : journal_(ConsoleStateDir() + "/" + kFaultJournalName, [this](const std::string& message) {
          // From the journal's thread: shown on the UI thread.
          const QString text = qs(message);
          qtui::RunOnUiThread(this, [this, text] { journalProblem(text); });
      })
{
    name(this, kPanel, QString());
    resolution_ = new QLabel;
    name(resolution_, "FAULT_RESOLUTION", QString());
    texts_.keep([this] {
        setWindowTitle(Tr::tr("Fault history"));
        setAccessibleName(Tr::tr("Fault history"));
        resolution_->setAccessibleName(Tr::tr("Time resolution"));
    });
    resolution_->setWordWrap(true);

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(buildEvents());
    split->addWidget(buildSnapshot());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({kWindowWidth * 3 / 5, kWindowWidth * 2 / 5});

    auto* save = new QPushButton;
    name(save, "FAULT_SAVE", QString());
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    auto* clear = new QPushButton;
    name(clear, "FAULT_CLEAR", QString());
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.clear();
        showSnapshot();
    });
    journalLine_ = new QLabel;
    name(journalLine_, "FAULT_JOURNAL", QString());
    texts_.keep([this, save, clear] {
        save->setText(Tr::tr("Save as CSV…"));
        save->setAccessibleName(Tr::tr("Save as CSV"));
        clear->setText(Tr::tr("Clear list"));
        clear->setAccessibleName(Tr::tr("Clear list"));
        journalLine_->setAccessibleName(Tr::tr("Journal"));
        // A journal that cannot be written keeps its message as it came.
        // The events of a replay happened long ago and are in a journal already, if anywhere.
        if (Replaying())
            journalLine_->setText(Tr::tr("Journal: nothing is written during a replay"));
        else if (journalLine_->styleSheet().isEmpty())
            journalLine_->setText(Tr::tr("Journal: %1").arg(qs(journal_.path())));
    });
    journalLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(clear);
    buttons->addSpacing(16);
    buttons->addWidget(journalLine_, 1);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(resolution_);
    outer->addWidget(split, 1);
    outer->addLayout(buttons);
    resize(kWindowWidth, kWindowHeight);

    if (!Replaying()) tracker_.addObserver(&journal_);
    tracker_.addObserver(&run_);
    tracker_.addObserver(&tips_);
    tracker_.addObserver(this);
    showResolution();
    showSnapshot();
    connect(&pumpTimer_, &QTimer::timeout, this, [this] { pump(); });
    pumpTimer_.start(Replaying() ? kReplayPumpMs : kPumpMs);
    liveWindow() = this;
}

FaultWindow::~FaultWindow()
{
    liveWindow() = nullptr;
    pumpTimer_.stop();
    tracker_.removeObserver(this);
    events_->setModel(nullptr);
}

QWidget* FaultWindow::buildEvents()
{
    auto* box = new QGroupBox;
    auto* layout = new QVBoxLayout(box);
    events_ = new QTableView;
    name(events_, "FAULT_EVENTS", QString());
    texts_.keep([this, box] {
        box->setTitle(
            Tr::tr("Events, newest first (the last %1 here; faults.csv keeps all)").arg(kShownEvents));
        events_->setAccessibleName(Tr::tr("Fault events"));
    });
    events_->setModel(&model_);
    events_->setSelectionBehavior(QAbstractItemView::SelectRows);
    events_->setSelectionMode(QAbstractItemView::SingleSelection);
    events_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    events_->verticalHeader()->setVisible(false);
    events_->verticalHeader()->setDefaultSectionSize(events_->fontMetrics().height() + 6);
    events_->setWordWrap(false);
    // Widths from the longest texts the columns hold; the fault's caption takes the rest.
    QHeaderView* header = events_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const auto width = [this](const char* sample) {
        return events_->fontMetrics().horizontalAdvance(sample) + 16;
    };
    header->resizeSection(EventModel::Time, width("2026-12-08 00:00:00.000"));
    header->resizeSection(EventModel::Event, width("Event"));
    header->resizeSection(EventModel::Where, width("2764 bit 15"));
    header->resizeSection(EventModel::Duration, width("9999.9 s, link lost"));
    header->resizeSection(EventModel::First, width("First-out"));
    header->setSectionResizeMode(EventModel::Fault, QHeaderView::Stretch);
    connect(events_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showSnapshot(); });
    layout->addWidget(events_);
    return box;
}

QWidget* FaultWindow::buildSnapshot()
{
    auto* box = new QGroupBox;
    auto* layout = new QVBoxLayout(box);
    snapshotTitle_ = new QLabel;
    name(snapshotTitle_, "FAULT_SNAPSHOT_TITLE", QString());
    snapshotTitle_->setWordWrap(true);
    snapshot_ = new QTableWidget(DATAITEMOR_COUNT, 2);
    name(snapshot_, "FAULT_SNAPSHOT", QString());
    snapshot_->verticalHeader()->setVisible(false);
    snapshot_->verticalHeader()->setDefaultSectionSize(snapshot_->fontMetrics().height() + 4);
    snapshot_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    snapshot_->setSelectionMode(QAbstractItemView::NoSelection);
    snapshot_->setWordWrap(false);
    snapshot_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    snapshot_->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        snapshot_->setItem(i, 0, new QTableWidgetItem);
        snapshot_->setItem(i, 1, new QTableWidgetItem);
    }
    texts_.keep([this, box] {
        box->setTitle(Tr::tr("Freeze frame: the status values of the onset reply"));
        snapshotTitle_->setAccessibleName(Tr::tr("Freeze frame of"));
        snapshot_->setAccessibleName(Tr::tr("Freeze frame"));
        snapshot_->setHorizontalHeaderLabels({Tr::tr("Value"), Tr::tr("At the onset")});
        // The status items as the main panel names them now.
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) snapshot_->item(i, 0)->setText(qs(ShownStatusCaption(i)));
    });
    layout->addWidget(snapshotTitle_);
    layout->addWidget(snapshot_, 1);
    return box;
}

void FaultWindow::pump()
{
    feed_.pump();
    showResolution();
}

void FaultWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    texts_.showAgain();
    model_.showAgain();
    showSnapshot();
    showResolution();
}

void FaultWindow::showEvent(QShowEvent* event)
{
    showResolution();
    QWidget::showEvent(event);
}

void FaultWindow::faultEvent(const FaultEvent& e)
{
    model_.add(e);
    if (!events_->selectionModel()->currentIndex().isValid()) showSnapshot();
}

// The freeze frame of the selected event (an OFF or lost row shows its
// onset's); with nothing selected, that of the newest onset.
void FaultWindow::showSnapshot()
{
    const FaultEvent* e = model_.at(events_->selectionModel()->currentIndex().row());
    const bool selected = e != nullptr;
    for (int row = 0; e == nullptr && model_.at(row) != nullptr; ++row) {
        if (model_.at(row)->kind == FaultEventKind::On) e = model_.at(row);
    }
    if (e == nullptr) {
        snapshotTitle_->setText(
            Tr::tr("No onset in the list. Select an event to see the status values at its onset."));
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) snapshot_->item(i, 1)->setText(QString());
        return;
    }
    QString title = Tr::tr("%1 (%2) came on at %3")
                        .arg(qs(ShownFaultCaption(e->bit)), whereText(*e), timeText(e->onsetWallMs));
    if (e->kind == FaultEventKind::On) title += e->first ? Tr::tr(", first-out") : Tr::tr(", not first-out");
    if (!selected) title = Tr::tr("Newest onset: %1").arg(title);
    snapshotTitle_->setText(title);
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        QString text = qs(StatusValueText(i, e->frame[static_cast<std::size_t>(i)]));
        const std::string unit = StatusUnit(i);
        if (!unit.empty()) text += " " + qs(unit);
        snapshot_->item(i, 1)->setText(text);
    }
}

// Kept up to date while the window is shown (and when it is shown).
void FaultWindow::showResolution()
{
    if (!isVisible()) return;
    const double interval = tracker_.readIntervalS();
    const QString now = interval > 0 ? Tr::tr("now a status read every %1 s").arg(interval, 0, 'f', 2)
                                     : Tr::tr("no status replies now");
    const QString text = Tr::tr(
                             "Times are those of the status replies, so each is exact to one status read "
                             "interval: %1 (0.5 s on the standard passes, about 0.05 s with line-rate "
                             "polling).")
                             .arg(now);
    if (resolution_->text() != text) resolution_->setText(text);
}

void FaultWindow::save()
{
    const QString folder = qs(ConsoleStateDir());
    std::string ignored;
    MakeFolder(folder.toStdString(), &ignored);
    const QString file = QFileDialog::getSaveFileName(
        this, Tr::tr("Save fault events"),
        folder + "/faults-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".csv",
        Tr::tr("CSV (*.csv)"));
    if (file.isEmpty()) return;
    QByteArray text = QByteArray::fromStdString(FaultJournalHeader()) + "\n";
    for (const FaultEvent& e : model_.oldestFirst())
        text += QByteArray::fromStdString(FaultJournalLine(e)) + "\n";
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size() ||
        !out.flush()) {
        const QString message = Tr::tr("Cannot write %1: %2").arg(file, out.errorString());
        MessagePopup(Gbk(Tr::tr("Save fault events")).c_str(), Gbk(message).c_str());
    }
}

void FaultWindow::journalProblem(const QString& message)
{
    if (message.isEmpty()) {  // written again, with the lines kept meanwhile
        journalLine_->setText(Tr::tr("Journal: %1").arg(qs(journal_.path())));
        journalLine_->setStyleSheet(QString());
        return;
    }
    journalLine_->setText(
        Tr::tr("%1 (the fault history goes on; its lines are kept until it can be written)").arg(message));
    journalLine_->setStyleSheet("color: #b01010;");
    if (journalReported_) return;
    journalReported_ = true;
    // A queued call of its own, not a timer slot: the box may run its loop here.
    MessagePopup(Gbk(Tr::tr("Fault history")).c_str(), Utf8ToGbkLenient(message.toStdString()).c_str());
}

FaultWindow* window()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* f = dynamic_cast<FaultWindow*>(w)) return f;
    }
    return nullptr;
}

}  // namespace

void CreateFaultWindow()
{
    if (window() == nullptr) new FaultWindow;
}

void DestroyFaultWindow()
{
    delete window();
}

void faults(int, int, void*, int)
{
    FaultWindow* w = window();
    if (w == nullptr) return;
    if (w->isVisible()) {
        w->hide();
    } else {
        w->pump();
        w->show();
        w->raise();
    }
}

void PumpFaultHistory()
{
    if (FaultWindow* w = window()) w->pump();
}

void ForgetFaultHistory()
{
    if (FaultWindow* w = window()) w->forget();
}

void DrainFaultHistory()
{
    if (FaultWindow* w = window()) w->drain();
}

bool SaveFaultsPng(const std::string& path)
{
    FaultWindow* w = window();
    if (w == nullptr) return false;
    if (!w->isVisible()) w->show();
    w->pump();
    return w->grab().save(qs(path), "PNG");
}

RunLog::Copy RunOfThisConsole()
{
    FaultWindow* w = window();
    if (w == nullptr) return {};
    w->pump();
    return w->run();
}

std::size_t FaultHistoryBacklog()
{
    FaultWindow* w = liveWindow().load();
    return w != nullptr ? w->backlog() : 0;
}

QWidget* FaultWidget()
{
    return window();
}
