#include "app/parameter_sets_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/language.h"
#include "app/qt_text.h"
#include "modbus/line_state.h"
#include "model/app_state.h"
#include "model/panel_texts.h"
#include "model/shown_captions.h"
#include "model/uir_ids.h"
#include "pages/write_guard.h"
#include "platform/os/app_dirs.h"
#include "platform/os/gbk.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/port_open.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ParameterSets)
};

constexpr const char* kDeclined = "not written: declined";

const QColor kDiffers(255, 228, 196);
const QColor kConfirmed(0, 120, 0);
const QColor kFailed(190, 0, 0);

QWidget* mainWidget()
{
    return qtui::PanelWidget(panelMain.load());
}

using qtext::qs;

QString valueText(const psets::RegisterInfo* info, int word)
{
    return info != nullptr ? qs(psets::FormatValue(*info, word)) : QString::number(word);
}

void tell(QMessageBox::Icon icon, const QString& text)
{
    auto* box = new QMessageBox(icon, Tr::tr("Parameters"), text, QMessageBox::Ok, mainWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

QString stamp()
{
    return QDateTime::currentDateTime().toString("yyyy-MM-ddTHH-mm-ss-zzz");
}

// Runs `work` on its own thread and `done` on the UI thread afterwards, for
// the owner's lifetime; an owner that goes first waits for the thread.
class Job : public QObject {
public:
    Job(QObject* owner, std::function<void()> work, std::function<void()> done)
        : QObject(owner), done_(std::move(done))
    {
        thread_ = std::thread([this, work = std::move(work)] {
            work();
            qtui::RunOnUiThread(this, [this] { finish(); });
        });
    }
    ~Job() override
    {
        if (thread_.joinable()) thread_.join();
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

private:
    void finish()
    {
        thread_.join();
        done_();
        deleteLater();
    }
    std::function<void()> done_;
    std::thread thread_;
};

}  // namespace

void SaveParametersTo(const std::string& path)
{
    if (!PortOpen()) {
        tell(QMessageBox::Warning,
             Tr::tr("The port is not open: choose %1 and press %2 first.")
                 .arg(qs(ShownPanelText("mainwin.uir", uir::PANEL_MAIN, "MENU_COMCONFIGURE")),
                      qs(ShownPanelText("sample5.uir", uir::PANEL_COM, "CONFIGURE"))));
        return;
    }
    struct Result {
        bool ok = false;
        std::string error;
        std::map<int, int> words;
    };
    auto result = std::make_shared<Result>();
    new Job(
        mainWidget(),
        [result] {
            result->ok = psets::WaitForController(psets::kDefaultGiveUpMs, &result->error) &&
                         psets::ReadPagesFresh(psets::kDefaultGiveUpMs, &result->error);
            if (result->ok) result->words = psets::TableWords();
        },
        [result, path] {
            std::string error = result->error;
            if (result->ok) {
                const psets::ParameterSet set = psets::SetFromWords(result->words, "");
                if (psets::SaveSetFile(path, set, &error)) {
                    tell(QMessageBox::Information,
                         Tr::tr("%1 registers saved to %2").arg(set.entries.size()).arg(qs(path)));
                    return;
                }
            }
            tell(QMessageBox::Warning, Tr::tr("Nothing saved: %1").arg(qs(error)));
        });
}

bool SaveBackupNow(std::string* path, std::string* error)
{
    if (!PortOpen()) {
        *error = "the port is not open";
        return false;
    }
    // The pages are read on a thread of their own; the event loop keeps the
    // panels drawn meanwhile.
    struct Result {
        bool ok = false;
        std::string error;
        std::map<int, int> words;
    };
    auto result = std::make_shared<Result>();
    QEventLoop loop;
    new Job(
        &loop,
        [result] {
            result->ok = psets::WaitForController(psets::kDefaultGiveUpMs, &result->error) &&
                         psets::ReadPagesFresh(psets::kDefaultGiveUpMs, &result->error);
            if (result->ok) result->words = psets::TableWords();
        },
        [&loop] { loop.quit(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!result->ok) {
        *error = result->error;
        return false;
    }
    return psets::SaveBackup(result->words, "backup before restoring factory settings", path, error);
}

bool OfferBackupBeforeRestore()
{
    const std::string question = Gbk(Tr::tr("Save the controller's parameters to a backup file before the "
                                            "factory settings are restored?\n\nYes saves them to %1, No "
                                            "goes on without a backup, Cancel restores nothing.")
                                         .arg(QString::fromStdString(ConsoleStateDir() + "/backups/")));
    // Titled as the factory-restore question that follows.
    const std::string title = QuestionFor(GuardAsk::FactoryRestore).title;
    const int answer = ConfirmPopup(title.c_str(), question.c_str(), CONFIRM_YES_NO_CANCEL, ANSWER_YES);
    if (answer == ANSWER_NO) return true;
    if (answer != ANSWER_YES) return false;  // cancelled, or nothing could be asked
    std::string path;
    std::string error;
    if (!SaveBackupNow(&path, &error)) {
        const std::string text =
            Gbk(Tr::tr("No backup was saved, nothing is restored:\n%1").arg(QString::fromStdString(error)));
        MessagePopup(title.c_str(), text.c_str());
        return false;
    }
    return true;
}

CompareWindow* OpenComparison(const std::string& path)
{
    psets::ParameterSet set;
    std::string error;
    if (!psets::LoadSetFile(path, &set, &error)) {
        tell(QMessageBox::Warning, Tr::tr("The file was not loaded, nothing is written:\n%1").arg(qs(error)));
        return nullptr;
    }
    auto* window = new CompareWindow(path, std::move(set), mainWidget());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->readController();
    return window;
}

bool SaveComparisonPicture(const std::string& path)
{
    const std::map<int, int> words = psets::TableWords();
    psets::ParameterSet set = psets::SetFromWords(words, "reference set, bench 3");
    if (set.entries.size() < 40) return false;
    set.entries[2].word += 2;
    set.entries[39].word += 3000;
    CompareWindow window("reference.json", std::move(set), nullptr);
    window.showController(words);
    window.announceCounts();
    return window.grab().save(QString::fromStdString(path));
}

void InstallFileMenu()
{
    QWidget* main = mainWidget();
    if (main == nullptr) return;
    auto* entry = main->findChild<QAction*>("MENU_FILE");
    if (entry == nullptr) return;
    auto* menu = new QMenu(main);
    QAction* save = menu->addAction(Tr::tr("Save parameters…"));
    save->setObjectName("SAVE_PARAMETERS");
    QObject::connect(save, &QAction::triggered, main, [main] {
        const QString start = QDir::homePath() + "/parameters-" + stamp() + ".json";
        const QString path = QFileDialog::getSaveFileName(main, Tr::tr("Save parameters"), start,
                                                          Tr::tr("Parameter sets (*.json)"));
        if (!path.isEmpty()) SaveParametersTo(path.toStdString());
    });
    QAction* compare = menu->addAction(Tr::tr("Compare with file…"));
    compare->setObjectName("COMPARE_WITH_FILE");
    QObject::connect(compare, &QAction::triggered, main, [main] {
        const QString path = QFileDialog::getOpenFileName(main, Tr::tr("Compare with file"), QDir::homePath(),
                                                          Tr::tr("Parameter sets (*.json)"));
        if (!path.isEmpty()) OpenComparison(path.toStdString());
    });
    entry->setMenu(menu);
}

CompareWindow::CompareWindow(std::string path, psets::ParameterSet set, QWidget* parent)
    : QWidget(parent, Qt::Window), path_(std::move(path)), set_(std::move(set))
{
    setObjectName("COMPARE_WINDOW");
    setWindowTitle(Tr::tr("Compare with %1").arg(QFileInfo(qs(path_)).fileName()));
    auto* layout = new QVBoxLayout(this);
    QString head = Tr::tr("File: %1").arg(qs(path_));
    if (!set_.saved.empty()) head += Tr::tr("   saved %1").arg(qs(set_.saved));
    if (!set_.note.empty()) head += Tr::tr("   note: %1").arg(qs(set_.note));
    auto* title = new QLabel(head, this);
    title->setWordWrap(true);
    layout->addWidget(title);

    table_ = new QTableWidget(static_cast<int>(set_.entries.size()), kColumns, this);
    table_->setObjectName("COMPARE_TABLE");
    table_->setHorizontalHeaderLabels({Tr::tr("Write"), Tr::tr("Register"), Tr::tr("Page"), Tr::tr("Caption"),
                                       Tr::tr("Controller"), Tr::tr("File"), Tr::tr("Unit"),
                                       Tr::tr("Outcome")});
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const psets::Entry& e = set_.entries[static_cast<std::size_t>(r)];
        const psets::RegisterInfo* info = psets::FindRegister(e.reg);
        auto* check = new QTableWidgetItem();
        if (info != nullptr && !info->action()) {
            check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            check->setCheckState(Qt::Unchecked);
        } else {
            check->setFlags(Qt::ItemIsSelectable);
            check->setToolTip(Tr::tr("A command or test switch: never written from a file"));
        }
        table_->setItem(r, kWrite, check);
        table_->setItem(r, kRegister, new QTableWidgetItem(QString::number(e.reg)));
        // Page and caption as the panels show them; the file keeps the shipped ones.
        table_->setItem(r, kPage,
                        new QTableWidgetItem(info != nullptr ? qs(ShownPageCaption(*info)) : QString()));
        table_->setItem(r, kCaption,
                        new QTableWidgetItem(info != nullptr ? qs(ShownRegisterCaption(*info)) : QString()));
        table_->setItem(r, kController, new QTableWidgetItem("…"));
        table_->setItem(r, kFile, new QTableWidgetItem(valueText(info, e.word)));
        table_->setItem(r, kUnit, new QTableWidgetItem(info != nullptr ? qs(info->unit) : QString()));
        auto* outcome = new QTableWidgetItem(
            info != nullptr && info->action() ? Tr::tr("never written from a file") : "");
        table_->setItem(r, kOutcome, outcome);
        for (int c : {kRegister, kController, kFile})
            table_->item(r, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(kCaption, QHeaderView::Stretch);
    table_->setColumnWidth(kController, 110);
    table_->setColumnWidth(kFile, 110);
    table_->setColumnWidth(kOutcome, 220);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kWrite && !busy() && haveController_) announceCounts();
    });
    layout->addWidget(table_, 1);

    status_ = new QLabel(this);
    status_->setObjectName("COMPARE_STATUS");
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout();
    reread_ = new QPushButton(Tr::tr("&Read controller again"), this);
    reread_->setObjectName("COMPARE_READ");
    write_ = new QPushButton(Tr::tr("&Write checked"), this);
    write_->setObjectName("COMPARE_WRITE");
    auto* close = new QPushButton(Tr::tr("&Close"), this);
    close->setObjectName("COMPARE_CLOSE");
    only_ = new QCheckBox(Tr::tr("&Only rows that differ or were written"), this);
    only_->setObjectName("COMPARE_ONLY_DIFFERING");
    buttons->addWidget(reread_);
    buttons->addWidget(only_);
    buttons->addStretch(1);
    buttons->addWidget(write_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(reread_, &QPushButton::clicked, this, [this] { readController(); });
    connect(only_, &QCheckBox::toggled, this, [this] { filterRows(); });
    connect(write_, &QPushButton::clicked, this, [this] { writeChecked(); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
    auto* progress = new QTimer(this);
    connect(progress, &QTimer::timeout, this, [this] {
        if (busy() && writing_ > 0) {
            setStatus(Tr::tr("Writing %1 of %2…").arg(std::min(progress_.load() + 1, writing_)).arg(writing_),
                      false);
        }
    });
    progress->start(100);
    write_->setEnabled(false);
    resize(1120, 640);
}

CompareWindow::~CompareWindow()
{
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void CompareWindow::run(std::function<void()> work, std::function<void()> done)
{
    if (busy()) return;
    if (worker_.joinable()) worker_.join();
    done_ = std::move(done);
    finished_ = false;
    write_->setEnabled(false);
    reread_->setEnabled(false);
    worker_ = std::thread([this, work = std::move(work)] {
        work();
        qtui::RunOnUiThread(this, [this] { finishRun(); });
    });
}

void CompareWindow::finishRun()
{
    if (worker_.joinable()) worker_.join();
    finished_ = true;
    writing_ = 0;
    reread_->setEnabled(true);
    if (done_) done_();
    updateCounts();
}

void CompareWindow::setStatus(const QString& text, bool error)
{
    status_->setText(text);
    status_->setStyleSheet(error ? "color: rgb(190, 0, 0);" : "");
}

void CompareWindow::readController()
{
    struct Result {
        bool ok = false;
        std::string error;
        std::map<int, int> words;
    };
    auto result = std::make_shared<Result>();
    const int giveUp = giveUpMs;
    setStatus(Tr::tr("Reading the controller…"), false);
    run(
        [this, result, giveUp] {
            result->ok = psets::WaitForController(giveUp, &result->error, &cancel_) &&
                         psets::ReadPagesFresh(giveUp, &result->error, &cancel_);
            if (result->ok) result->words = psets::TableWords();
        },
        [this, result] {
            if (!result->ok) {
                setStatus(Tr::tr("The controller was not read: %1").arg(qs(result->error)), true);
                return;
            }
            showController(result->words);
            announceCounts();
        });
}

void CompareWindow::showController(const std::map<int, int>& words)
{
    controller_ = words;
    const QSignalBlocker block(table_);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const psets::Entry& e = set_.entries[static_cast<std::size_t>(r)];
        const psets::RegisterInfo* info = psets::FindRegister(e.reg);
        auto it = words.find(e.reg);
        const bool known = it != words.end();
        const bool differs = !known || it->second != e.word;
        table_->item(r, kController)->setText(known ? valueText(info, it->second) : "?");
        QTableWidgetItem* check = table_->item(r, kWrite);
        if (check->flags() & Qt::ItemIsUserCheckable)
            check->setCheckState(differs ? Qt::Checked : Qt::Unchecked);
        for (int c = 0; c < kColumns; ++c) {
            table_->item(r, c)->setBackground(differs ? QBrush(kDiffers) : QBrush());
            QFont font = table_->item(r, c)->font();
            font.setBold(differs && (c == kController || c == kFile));
            table_->item(r, c)->setFont(font);
        }
    }
    haveController_ = true;
    filterRows();
}

int CompareWindow::updateCounts()
{
    int checked = 0;
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->item(r, kWrite)->checkState() == Qt::Checked) ++checked;
    }
    write_->setEnabled(haveController_ && !busy() && checked > 0);
    return checked;
}

void CompareWindow::announceCounts()
{
    int differing = 0;
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->item(r, kController)->background() != QBrush()) ++differing;
    }
    setStatus(Tr::tr("%1 of %2 registers differ; %3 checked to write.")
                  .arg(differing)
                  .arg(table_->rowCount())
                  .arg(updateCounts()),
              false);
}

void CompareWindow::writeChecked()
{
    if (busy()) return;
    std::vector<psets::Entry> entries;
    std::vector<psets::RestoreRow> declined;
    std::vector<int> asked;  // guarded registers the operator agreed to turn on
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->item(r, kWrite)->checkState() != Qt::Checked) continue;
        const psets::Entry& e = set_.entries[static_cast<std::size_t>(r)];
        // Turning the hall-fault mask on is asked as on the debug panel.
        if (!psets::GuardedTurnOns({e}, controller_).empty()) {
            if (!ConfirmWrite(e.reg, e.word)) {
                psets::RestoreRow row;
                row.entry = e;
                row.outcome = kDeclined;
                declined.push_back(row);
                continue;
            }
            asked.push_back(e.reg);
        }
        entries.push_back(e);
    }
    if (entries.empty()) {
        if (!declined.empty()) showOutcomes(declined);
        return;
    }
    struct Result {
        std::string error;
        std::string backup;
        std::vector<psets::RestoreRow> rows;
        std::map<int, int> after;
    };
    auto result = std::make_shared<Result>();
    result->rows = declined;
    const std::string note = "backup before writing from " + path_;
    const int giveUp = giveUpMs;
    writing_ = static_cast<int>(entries.size());
    progress_ = 0;
    setStatus(Tr::tr("Reading the controller before writing…"), false);
    run(
        [this, result, entries, asked, note, giveUp]() mutable {
            std::string error;
            if (!psets::WaitForController(giveUp, &error, &cancel_) ||
                !psets::ReadPagesFresh(giveUp, &error, &cancel_)) {
                result->error =
                    Tr::tr("nothing written, the controller was not read: %1").arg(qs(error)).toStdString();
                return;
            }
            const std::map<int, int> before = psets::TableWords();
            // The mask may have been turned off since the window last read it:
            // a row that turns it on now and was not asked is not written.
            for (const psets::Entry& e : psets::GuardedTurnOns(entries, before)) {
                if (std::find(asked.begin(), asked.end(), e.reg) != asked.end()) continue;
                psets::RestoreRow row;
                row.entry = e;
                row.outcome = "not written: turns the mask on, not asked; read the controller again";
                result->rows.push_back(row);
                entries.erase(std::remove_if(entries.begin(), entries.end(),
                                             [&](const psets::Entry& w) { return w.reg == e.reg; }),
                              entries.end());
            }
            if (entries.empty()) return;
            // Every press backs up what the controller holds just before its
            // writes: an earlier press's backup holds values since written over.
            std::string backup;
            if (!psets::SaveBackup(before, note, &backup, &error)) {
                result->error =
                    Tr::tr("nothing written, the backup could not be saved: %1").arg(qs(error)).toStdString();
                return;
            }
            result->backup = backup;
            const std::vector<psets::RestoreRow> written =
                psets::Restore(entries, before, giveUp, &progress_, &cancel_);
            result->rows.insert(result->rows.end(), written.begin(), written.end());
            if (!written.empty() && written.front().readBack) result->after = psets::TableWords();
        },
        [this, result] {
            if (!result->backup.empty()) backupPath_ = result->backup;
            if (!result->error.empty()) {
                setStatus(qs(result->error), true);
                return;
            }
            if (!result->after.empty()) showController(result->after);
            showOutcomes(result->rows);
        });
}

void CompareWindow::filterRows()
{
    for (int r = 0; r < table_->rowCount(); ++r) {
        const bool differs = table_->item(r, kController)->background() != QBrush();
        const bool written = table_->item(r, kOutcome)->data(Qt::ForegroundRole).isValid();
        const bool marked = differs || written;
        table_->setRowHidden(r, only_->isChecked() && !marked);
    }
}

void CompareWindow::showOutcomes(const std::vector<psets::RestoreRow>& rows)
{
    const QSignalBlocker block(table_);
    int confirmed = 0;
    int declined = 0;
    for (const psets::RestoreRow& row : rows) {
        const bool wasDeclined = row.outcome == kDeclined;
        declined += wasDeclined ? 1 : 0;
        for (int r = 0; r < table_->rowCount(); ++r) {
            if (set_.entries[static_cast<std::size_t>(r)].reg != row.entry.reg) continue;
            QTableWidgetItem* outcome = table_->item(r, kOutcome);
            outcome->setText(qs(row.outcome));
            outcome->setForeground(row.confirmed ? kConfirmed : kFailed);
            if (row.confirmed) {
                ++confirmed;
                table_->item(r, kWrite)->setCheckState(Qt::Unchecked);
            }
        }
    }
    const int written = static_cast<int>(rows.size()) - declined;
    QString text =
        written > 0
            ? Tr::tr("%1 of %2 written registers confirmed by reading back.").arg(confirmed).arg(written)
            : Tr::tr("Nothing written.");
    if (declined > 0) text += Tr::tr(" %1 not written: declined.").arg(declined);
    if (!backupPath_.empty()) text += Tr::tr(" Backup: %1").arg(qs(backupPath_));
    setStatus(text, confirmed != written);
    filterRows();
    updateCounts();
}
