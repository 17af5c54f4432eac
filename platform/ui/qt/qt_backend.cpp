// The UiBackend over Qt Widgets: handles, value stores, hand-over to the UI
// thread, the event loop and message popups.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <deque>

#include "platform/os/gbk.h"
#include "platform/ui/qt/qt_internal.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/ui_wake.h"

namespace qtui {

namespace {

using detail::CtrlRec;
using detail::PanelRec;
using uirfile::Kind;

// Truncates toward zero and saturates, so no double is out of range for int.
int toInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

QString fromGbk(const char* text)
{
    return QString::fromStdString(GbkToUtf8Lenient(text));
}

bool hasIntValue(Kind k)
{
    return k == Kind::Ring || k == Kind::Switch || k == Kind::Led || k == Kind::Tab;
}

QStringList tabFields(const std::string& gbk)
{
    return fromGbk(gbk.c_str()).split(QLatin1Char('\t'));
}

// The list dialog of SelectionPopup: one row per entry, OK picks the current
// row (as does a double click), Cancel or closing picks nothing.
class SelectionDialog : public QDialog {
public:
    SelectionDialog(const QString& title, const std::string& heading, const std::vector<std::string>& rows)
    {
        setObjectName(QStringLiteral("SelectionPopup"));
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        auto* prompt = new QLabel(title, this);
        prompt->setObjectName(QStringLiteral("SelectionTitle"));
        QFont bold = prompt->font();
        bold.setBold(true);
        prompt->setFont(bold);
        layout->addWidget(prompt);
        list_ = new QTreeWidget(this);
        list_->setObjectName(QStringLiteral("SelectionList"));
        list_->setRootIsDecorated(false);
        list_->setAlternatingRowColors(true);
        list_->setUniformRowHeights(true);
        const QStringList head = tabFields(heading);
        list_->setColumnCount(static_cast<int>(head.size()));
        list_->setHeaderLabels(head);
        for (const std::string& row : rows) new QTreeWidgetItem(list_, tabFields(row));
        for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
        layout->addWidget(list_);
        if (rows.empty()) {
            auto* none = new QLabel(QStringLiteral("No serial device was found. Plug the adapter in and "
                                                   "open this list again."),
                                    this);
            none->setObjectName(QStringLiteral("SelectionEmpty"));
            layout->addWidget(none);
        }
        buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons_);
        connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
        QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
        ok->setEnabled(false);
        connect(list_, &QTreeWidget::currentItemChanged, ok,
                [ok](QTreeWidgetItem* item) { ok->setEnabled(item != nullptr); });
        if (!rows.empty()) list_->setCurrentItem(list_->topLevelItem(0));
        int width = 40;
        for (int c = 0; c < list_->columnCount(); ++c) width += list_->columnWidth(c);
        resize(std::clamp(width, 480, 1300), std::clamp(140 + 24 * static_cast<int>(rows.size()), 220, 600));
    }

    int chosen() const
    {
        QTreeWidgetItem* item = list_->currentItem();
        return result() == QDialog::Accepted && item != nullptr ? list_->indexOfTopLevelItem(item) : -1;
    }

private:
    QTreeWidget* list_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// The form of ServerAddressPopup: host, port and kind; OK only with a host.
class ServerAddressDialog : public QDialog {
public:
    ServerAddressDialog(const QString& title, const std::vector<std::string>& kinds,
                        const ServerAddressEntry& entry)
    {
        setObjectName(QStringLiteral("ServerAddressPopup"));
        setWindowTitle(title);
        auto* form = new QFormLayout(this);
        host_ = new QLineEdit(fromGbk(entry.host.c_str()), this);
        host_->setObjectName(QStringLiteral("ServerHost"));
        host_->setPlaceholderText(
            QCoreApplication::translate("PortPanel", "name, 192.0.2.10 or [2001:db8::10]"));
        form->addRow(QCoreApplication::translate("PortPanel", "Host"), host_);
        port_ = new QSpinBox(this);
        port_->setObjectName(QStringLiteral("ServerPort"));
        port_->setRange(1, 65535);
        port_->setValue(entry.port >= 1 && entry.port <= 65535 ? entry.port : 2000);
        form->addRow(QCoreApplication::translate("PortPanel", "Port"), port_);
        kind_ = new QComboBox(this);
        kind_->setObjectName(QStringLiteral("ServerKind"));
        for (const std::string& k : kinds) kind_->addItem(fromGbk(k.c_str()));
        kind_->setCurrentIndex(entry.kind >= 0 && entry.kind < kind_->count() ? entry.kind : 0);
        form->addRow(QCoreApplication::translate("PortPanel", "Kind"), kind_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
        const auto update = [this, ok] { ok->setEnabled(!host_->text().trimmed().isEmpty()); };
        connect(host_, &QLineEdit::textChanged, ok, update);
        update();
    }

    void take(ServerAddressEntry* entry) const
    {
        entry->host = host_->text().trimmed().toStdString();
        entry->port = port_->value();
        entry->kind = kind_->currentIndex();
    }

private:
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QComboBox* kind_ = nullptr;
};

// A worker waiting for something it handed to the UI thread.
struct Waiter {
    bool done = false;  // ran, or released because the loop ended
    bool ran = false;
};

class QtBackend final : public UiBackend {
public:
    // --- Life cycle (UI thread) ---------------------------------------------
    void start(QThread* uiThread, bool ownsApp)
    {
        uiThread_ = uiThread;
        ownsApp_ = ownsApp;
        std::lock_guard<std::mutex> lock(postMutex_);
        // Work handed over from other threads waits in posted_ (guarded by
        // postMutex_); the wake-up makes the UI thread run it. Nothing but the
        // wake-up crosses threads outside that mutex, so the hand-over is
        // ordered by locks that every checker sees.
        wake_ = std::make_unique<UiWake>([this] { runPosted(); });
    }

    void stop()
    {
        releaseWaiters();
        std::vector<std::shared_ptr<PanelRec>> all;
        {
            std::lock_guard<std::mutex> lock(regMutex_);
            for (auto& entry : panels_) all.push_back(entry.second);
            panels_.clear();
        }
        for (auto& p : all) {
            if (!p->page && p->parent == 0) delete p->widget.data();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::deque<std::function<void()>> dropped;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            dropped.swap(posted_);
            for (const std::shared_ptr<CtrlRec>& c : syncs_) c->syncQueued = false;
            syncs_.clear();
            wakePending_ = false;
            wake_.reset();
        }
        uiThread_ = nullptr;
        if (ownsApp_) {
            delete qApp;
            ownsApp_ = false;
        }
    }

    // Queues `fn` for the UI thread; false when the backend is stopped.
    bool queue(std::function<void()> fn) { return post(std::move(fn)); }

    bool isUiThread() const
    {
        QThread* t = uiThread_.load();
        return t != nullptr && QThread::currentThread() == t;
    }

    // --- Panels -------------------------------------------------------------
    int loadPanel(int parentPanel, const char* resourceFile, int panelResourceId) override
    {
        if (resourceFile == nullptr) return UIE_BAD_ARGUMENT;
        if (isUiThread()) return loadOnUi(parentPanel, resourceFile, panelResourceId);
        auto result = std::make_shared<int>(UIE_NO_LOOP);
        std::string file = resourceFile;
        int rc = runOnUiAndWait([this, result, parentPanel, file, panelResourceId] {
            *result = loadOnUi(parentPanel, file, panelResourceId);
        });
        return rc == UIE_NO_ERROR ? *result : rc;
    }

    int displayPanel(int panel) override { return showPanel(panel, true); }
    int hidePanel(int panel) override { return showPanel(panel, false); }

    int discardPanel(int panel) override
    {
        std::shared_ptr<PanelRec> rec;
        {
            std::lock_guard<std::mutex> lock(regMutex_);
            auto it = panels_.find(panel);
            if (it == panels_.end()) return UIE_BAD_HANDLE;
            if (it->second->page) return UIE_BAD_ARGUMENT;  // pages go with their panel
            rec = it->second;
            auto parent = panels_.find(rec->parent);
            if (parent != panels_.end()) {
                auto& siblings = parent->second->children;
                siblings.erase(std::remove(siblings.begin(), siblings.end(), panel), siblings.end());
            }
            forgetLocked(panel);
        }
        // Deleted later: the discard may come from a callback of the panel itself.
        onUi([rec] {
            if (QWidget* w = rec->widget) {
                w->hide();
                w->deleteLater();
            }
        });
        return UIE_NO_ERROR;
    }

    int getPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle) override
    {
        if (pageHandle == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, tabControl, &c);
        if (rc == UIE_NO_ERROR && c->kind != Kind::Tab) rc = UIE_BAD_TYPE;
        if (rc == UIE_NO_ERROR && (pageIndex < 0 || pageIndex >= static_cast<int>(c->pages.size()))) {
            rc = UIE_BAD_ARGUMENT;
        }
        // A failed lookup leaves a negative handle, which every later call refuses.
        *pageHandle = rc == UIE_NO_ERROR ? c->pages[static_cast<std::size_t>(pageIndex)] : rc;
        return rc;
    }

    int getActiveTabPage(int panel, int tabControl, int* pageIndex) override
    {
        if (pageIndex == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, tabControl, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind != Kind::Tab) return UIE_BAD_TYPE;
        *pageIndex = c->integer.load();
        return UIE_NO_ERROR;
    }

    // --- Controls -----------------------------------------------------------
    int getCtrlVal(int panel, int control, double* value) override
    {
        return readValue(panel, control, value, [](double v) { return v; });
    }

    int getCtrlVal(int panel, int control, int* value) override
    {
        return readValue(panel, control, value, toInt);
    }

    // Reads a control's stored value: a numeric through `fromNumber`, every
    // integer-valued kind as its integer.
    template <typename T, typename Convert>
    int readValue(int panel, int control, T* value, Convert fromNumber)
    {
        if (value == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind == Kind::Numeric) {
            *value = fromNumber(c->number.load());
        } else if (hasIntValue(c->kind)) {
            *value = c->integer.load();
        } else {
            return UIE_BAD_TYPE;
        }
        return UIE_NO_ERROR;
    }

    int setCtrlVal(int panel, int control, double value) override
    {
        if (std::isnan(value)) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind != Kind::Numeric) return setInt(c, toInt(value));
        if (std::isinf(value) && !(value > 0 ? c->hasMax : c->hasMin)) return UIE_BAD_ARGUMENT;
        if (c->hasMin) value = std::max(value, c->min);
        if (c->hasMax) value = std::min(value, c->max);
        // The widget already shows (or is about to show) what the store holds:
        // an unchanged value costs no hand-over and no repaint.
        if (c->number.exchange(value) == value) return UIE_NO_ERROR;
        requestSync(c);
        return UIE_NO_ERROR;
    }

    int setCtrlVal(int panel, int control, int value) override
    {
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind == Kind::Numeric) return setCtrlVal(panel, control, static_cast<double>(value));
        return setInt(c, value);
    }

    int setCtrlVal(int panel, int control, const char* value) override
    {
        if (value == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind != Kind::Text) return UIE_BAD_TYPE;
        QString text = fromGbk(value);
        {
            std::lock_guard<std::mutex> lock(c->mutex);
            c->text = text;
            c->textDirty = true;
        }
        requestSync(c);
        return UIE_NO_ERROR;
    }

    int setCtrlAttribute(int panel, int control, int attribute, int value) override
    {
        if (attribute == ATTR_INTERVAL)
            return setCtrlAttribute(panel, control, attribute, static_cast<double>(value));
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        switch (attribute) {
            case ATTR_ON_COLOR:
            case ATTR_OFF_COLOR:
                if (c->kind != Kind::Led) return UIE_BAD_TYPE;
                (attribute == ATTR_ON_COLOR ? c->onColor : c->offColor) = value & 0xFFFFFF;
                break;
            case ATTR_ENABLED:
                if (c->kind != Kind::Timer) return UIE_BAD_TYPE;
                c->enabled = value != 0 ? 1 : 0;
                break;
            case ATTR_VISIBLE:
                if (c->kind == Kind::Timer) return UIE_BAD_TYPE;
                c->visible = value != 0 ? 1 : 0;
                break;
            case ATTR_DIMMED:
                if (c->kind != Kind::Numeric && c->kind != Kind::Ring && c->kind != Kind::Table &&
                    c->kind != Kind::Text) {
                    return UIE_BAD_TYPE;
                }
                if (c->dimmed.exchange(value != 0 ? 1 : 0) == (value != 0 ? 1 : 0)) return UIE_NO_ERROR;
                if (c->kind == Kind::Table) {
                    std::lock_guard<std::mutex> lock(c->mutex);
                    for (detail::CellStore& cell : c->cells) cell.dirty = true;
                    c->cellsDirty = true;
                }
                break;
            case ATTR_MARKED:
                if (c->kind != Kind::Numeric && c->kind != Kind::Ring && c->kind != Kind::Switch)
                    return UIE_BAD_TYPE;
                if (c->marked.exchange(value != 0 ? 1 : 0) == (value != 0 ? 1 : 0)) return UIE_NO_ERROR;
                break;
            case ATTR_TEXT_COLOR:
                if (c->kind != Kind::Text) return UIE_BAD_TYPE;
                c->textColor = value & 0xFFFFFF;
                break;
            default:
                return UIE_BAD_ARGUMENT;
        }
        requestSync(c);
        return UIE_NO_ERROR;
    }

    int setCtrlAttribute(int panel, int control, int attribute, double value) override
    {
        if (attribute != ATTR_INTERVAL) {
            if (std::isnan(value)) return UIE_BAD_ARGUMENT;
            return setCtrlAttribute(panel, control, attribute, toInt(value));
        }
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind != Kind::Timer) return UIE_BAD_TYPE;
        if (!(value > 0.0 && value <= 86400.0)) return UIE_BAD_ARGUMENT;
        c->interval = value;
        requestSync(c);
        return UIE_NO_ERROR;
    }

    int setCtrlToolTip(int panel, int control, const char* text) override
    {
        if (text == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind == Kind::Timer) return UIE_BAD_TYPE;
        QString tip = fromGbk(text);
        {
            std::lock_guard<std::mutex> lock(c->mutex);
            c->toolTip = tip;
            c->toolTipDirty = true;
        }
        requestSync(c);
        return UIE_NO_ERROR;
    }

    int setTableCellVal(int panel, int control, Point cell, const char* value) override
    {
        if (value == nullptr) return UIE_BAD_ARGUMENT;
        QString text = fromGbk(value);
        return updateCell(panel, control, cell, [&text](detail::CellStore& s) { s.text = text; });
    }

    int setTableCellToolTip(int panel, int control, Point cell, const char* text) override
    {
        if (text == nullptr) return UIE_BAD_ARGUMENT;
        QString tip = fromGbk(text);
        return updateCell(panel, control, cell, [&tip](detail::CellStore& s) { s.toolTip = tip; });
    }

    int setTableCellAttribute(int panel, int control, Point cell, int attribute, int value) override
    {
        if (attribute != ATTR_TEXT_COLOR) return UIE_BAD_ARGUMENT;
        return updateCell(panel, control, cell,
                          [value](detail::CellStore& s) { s.color = value & 0xFFFFFF; });
    }

    // --- Loop and popups ----------------------------------------------------
    int runUserInterface() override
    {
        if (!isUiThread()) return UIE_BAD_ARGUMENT;
        {
            std::lock_guard<std::mutex> lock(popupMutex_);
            if (loopRunning_) return UIE_BAD_ARGUMENT;  // already inside the loop
            loopRunning_ = true;
        }
        int rc = QApplication::exec();
        releaseWaiters();
        return rc;
    }

    int quitUserInterface(int returnCode) override
    {
        if (isUiThread() && loopRunning()) {
            QCoreApplication::exit(returnCode);
            return UIE_NO_ERROR;
        }
        // Queued: a quit asked for just before the loop starts still ends it.
        return post([returnCode] { QCoreApplication::exit(returnCode); }) ? UIE_NO_ERROR : UIE_NO_BACKEND;
    }

    int messagePopup(const char* title, const char* message) override
    {
        QString t = fromGbk(title != nullptr ? title : "");
        QString m = fromGbk(message != nullptr ? message : "");
        if (!loopRunning()) {
            std::fprintf(stderr, "%s: %s\n", t.toLocal8Bit().constData(), m.toLocal8Bit().constData());
            return UIE_NO_LOOP;
        }
        if (isUiThread()) return showBox(t, m) ? UIE_NO_ERROR : UIE_NO_LOOP;
        auto acknowledged = std::make_shared<bool>(false);
        int rc = runOnUiAndWait([this, t, m, acknowledged] { *acknowledged = showBox(t, m); });
        return rc == UIE_NO_ERROR && !*acknowledged ? UIE_NO_LOOP : rc;
    }

    int confirmPopup(const char* title, const char* message, int buttons, int defaultAnswer) override
    {
        QString t = fromGbk(title != nullptr ? title : "");
        QString m = fromGbk(message != nullptr ? message : "");
        if (!loopRunning()) {
            std::fprintf(stderr, "%s: %s (not asked)\n", t.toLocal8Bit().constData(),
                         m.toLocal8Bit().constData());
            return UIE_NO_LOOP;
        }
        if (isUiThread()) return askBox(t, m, buttons, defaultAnswer);
        auto answer = std::make_shared<int>(UIE_NO_LOOP);
        int rc = runOnUiAndWait(
            [this, t, m, buttons, defaultAnswer, answer] { *answer = askBox(t, m, buttons, defaultAnswer); });
        return rc == UIE_NO_ERROR ? *answer : rc;
    }

    int setPanelAttribute(int panel, int attribute, const char* value) override
    {
        if (attribute != ATTR_TITLE || value == nullptr) return UIE_BAD_ARGUMENT;
        std::shared_ptr<PanelRec> rec = findPanel(panel);
        if (rec == nullptr) return UIE_BAD_HANDLE;
        if (rec->page) return UIE_BAD_ARGUMENT;
        // An empty text restores the base title, read on the UI thread, which alone changes it.
        const QString text = fromGbk(value);
        onUi([this, rec, text] {
            if (findPanel(rec->handle) == nullptr || rec->widget == nullptr) return;
            rec->widget->setWindowTitle(text.isEmpty() ? rec->title : text);
        });
        return UIE_NO_ERROR;
    }

    int selectionPopup(const char* title, const char* heading, const std::vector<std::string>& rows,
                       int* chosen) override
    {
        *chosen = -1;
        if (!loopRunning()) return UIE_NO_LOOP;
        const QString t = fromGbk(title);
        const std::string head = heading;
        auto pick = [this, t, head, rows] {
            SelectionDialog dialog(t, head, rows);
            ++modalDepth_;
            dialog.exec();
            --modalDepth_;
            return dialog.chosen();
        };
        if (isUiThread()) {
            *chosen = pick();
            return UIE_NO_ERROR;
        }
        auto result = std::make_shared<int>(-1);
        const int rc = runOnUiAndWait([pick, result] { *result = pick(); });
        *chosen = rc == UIE_NO_ERROR ? *result : -1;
        return rc;
    }

    int serverAddressPopup(const char* title, const std::vector<std::string>& kinds,
                           ServerAddressEntry* entry) override
    {
        if (!loopRunning()) return UIE_NO_LOOP;
        if (!isUiThread()) return UIE_BAD_ARGUMENT;
        ServerAddressDialog dialog(fromGbk(title), kinds, *entry);
        ++modalDepth_;
        const int result = dialog.exec();
        --modalDepth_;
        if (result != QDialog::Accepted) return 0;
        dialog.take(entry);
        return 1;
    }

    // --- For the public helpers (UI thread) ---------------------------------
    std::shared_ptr<PanelRec> findPanel(int handle)
    {
        std::lock_guard<std::mutex> lock(regMutex_);
        auto it = panels_.find(handle);
        return it == panels_.end() ? nullptr : it->second;
    }

private:
    bool loopRunning()
    {
        std::lock_guard<std::mutex> lock(popupMutex_);
        return loopRunning_;
    }

    int lookup(int panel, int control, std::shared_ptr<CtrlRec>* out)
    {
        std::shared_ptr<PanelRec> p = findPanel(panel);
        if (p == nullptr) return UIE_BAD_HANDLE;
        auto it = p->controls.find(control);
        if (it == p->controls.end()) return UIE_BAD_CONTROL;
        *out = it->second;
        return UIE_NO_ERROR;
    }

    int setInt(const std::shared_ptr<CtrlRec>& c, int value)
    {
        switch (c->kind) {
            case Kind::Ring: {
                std::lock_guard<std::mutex> lock(c->mutex);
                auto it = std::find(c->ringValues.begin(), c->ringValues.end(), value);
                if (it == c->ringValues.end()) return UIE_BAD_ARGUMENT;  // selection stays as it is
                const int pos = static_cast<int>(it - c->ringValues.begin());
                if (c->ringPos.exchange(pos) == pos) return UIE_NO_ERROR;  // unchanged: nothing to draw
                c->integer = value;
                break;
            }
            case Kind::Switch:
            case Kind::Led:
                if (c->integer.exchange(value != 0 ? 1 : 0) == (value != 0 ? 1 : 0)) return UIE_NO_ERROR;
                break;
            case Kind::Tab:
                if (value < 0 || value >= static_cast<int>(c->pages.size())) return UIE_BAD_ARGUMENT;
                c->integer = value;
                break;
            default:
                return UIE_BAD_TYPE;
        }
        requestSync(c);
        return UIE_NO_ERROR;
    }

    template <typename Change>
    int updateCell(int panel, int control, Point cell, Change change)
    {
        std::shared_ptr<CtrlRec> c;
        int rc = lookup(panel, control, &c);
        if (rc != UIE_NO_ERROR) return rc;
        if (c->kind != Kind::Table) return UIE_BAD_TYPE;
        if (cell.x < 1 || cell.x > c->cols || cell.y < 1 || cell.y > c->rows) return UIE_BAD_ARGUMENT;
        {
            std::lock_guard<std::mutex> lock(c->mutex);
            detail::CellStore& s =
                c->cells[static_cast<std::size_t>(cell.y - 1) * static_cast<std::size_t>(c->cols) +
                         static_cast<std::size_t>(cell.x - 1)];
            change(s);
            s.dirty = true;
            c->cellsDirty = true;
        }
        requestSync(c);
        return UIE_NO_ERROR;
    }

    // Brings a control's widgets up to its store: at once on the UI thread,
    // otherwise by one queued sync however many writes come before it runs.
    void requestSync(const std::shared_ptr<CtrlRec>& c)
    {
        if (isUiThread()) {
            detail::SyncWidget(*c);
            return;
        }
        if (c->syncQueued.exchange(true)) return;
        // Value changes come with every poll: they queue a pointer in a list
        // that keeps its capacity, so none of them allocates.
        std::lock_guard<std::mutex> lock(postMutex_);
        if (!wakeLocked()) {
            c->syncQueued = false;
            return;
        }
        syncs_.push_back(c);
    }

    // Makes sure the UI thread will look at the queues; postMutex_ held.
    bool wakeLocked()
    {
        if (!wake_ || !wake_->valid()) return false;
        if (wakePending_) return true;
        if (!wake_->signal()) return false;
        wakePending_ = true;
        return true;
    }

    // Queues `fn` to run on the UI thread; false when the backend is stopped.
    bool post(std::function<void()> fn)
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        if (!wakeLocked()) return false;
        posted_.push_back(std::move(fn));
        return true;
    }

    // UI thread: brings the changed controls up to their stores, then runs
    // what other threads handed over, in order.
    void runPosted()
    {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            if (wake_) wake_->clear();
            wakePending_ = false;
            syncing_.swap(syncs_);
            if (!posted_.empty()) batch.swap(posted_);
        }
        for (const std::shared_ptr<CtrlRec>& c : syncing_) {
            c->syncQueued = false;
            detail::SyncWidget(*c);
        }
        syncing_.clear();  // keeps its capacity for the next swap
        for (auto& fn : batch) fn();
    }

    void onUi(std::function<void()> fn)
    {
        if (isUiThread()) {
            fn();
        } else {
            post(std::move(fn));
        }
    }

    // Runs `fn` on the UI thread and waits for it, unless the loop is not
    // running or ends first (then UIE_NO_LOOP).
    int runOnUiAndWait(const std::function<void()>& fn)
    {
        auto w = std::make_shared<Waiter>();
        {
            std::lock_guard<std::mutex> lock(popupMutex_);
            if (!loopRunning_) return UIE_NO_LOOP;
            waiters_.push_back(w);
        }
        bool posted = post([this, w, fn] {
            {
                std::lock_guard<std::mutex> lock(popupMutex_);
                if (w->done) return;
            }
            fn();
            std::lock_guard<std::mutex> lock(popupMutex_);
            w->ran = true;
            w->done = true;
            popupCv_.notify_all();
        });
        std::unique_lock<std::mutex> lock(popupMutex_);
        if (!posted) w->done = true;
        popupCv_.wait(lock, [&w] { return w->done; });
        waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), w), waiters_.end());
        return w->ran ? UIE_NO_ERROR : UIE_NO_LOOP;
    }

    void releaseWaiters()
    {
        std::lock_guard<std::mutex> lock(popupMutex_);
        loopRunning_ = false;
        for (auto& w : waiters_) w->done = true;
        popupCv_.notify_all();
    }

    // True when the operator closed the box; false when the loop ended under it.
    bool showBox(const QString& title, const QString& text)
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
        box.setObjectName(QStringLiteral("MessagePopup"));
        detail::KeepMessageReadable(&box, text);
        bool acknowledged = false;
        QObject::connect(&box, &QDialog::finished, &box, [&acknowledged] { acknowledged = true; });
        ++modalDepth_;
        box.exec();
        --modalDepth_;
        return acknowledged;
    }

    // The operator's answer; UIE_NO_LOOP when the loop ended under the box.
    int askBox(const QString& title, const QString& text, int buttons, int defaultAnswer)
    {
        std::unique_ptr<QWidget> w = detail::BuildConfirmBox(title, text, buttons, defaultAnswer);
        auto* box = static_cast<QMessageBox*>(w.get());
        bool finished = false;
        QObject::connect(box, &QDialog::finished, box, [&finished] { finished = true; });
        ++modalDepth_;
        box->exec();
        --modalDepth_;
        if (!finished) return UIE_NO_LOOP;
        QAbstractButton* clicked = box->clickedButton();
        if (clicked == box->button(QMessageBox::Yes)) return ANSWER_YES;
        if (clicked == box->button(QMessageBox::No)) return ANSWER_NO;
        return buttons == CONFIRM_YES_NO_CANCEL ? ANSWER_CANCEL : ANSWER_NO;
    }

    int showPanel(int panel, bool show)
    {
        std::shared_ptr<PanelRec> rec = findPanel(panel);
        if (rec == nullptr) return UIE_BAD_HANDLE;
        if (rec->page) return UIE_NO_ERROR;  // a page is shown by its tab control
        onUi([this, rec, show] {
            if (findPanel(rec->handle) == nullptr) return;  // discarded meanwhile
            QWidget* w = rec->widget;
            if (w == nullptr) return;
            if (show) {
                w->show();
                w->raise();
            } else {
                w->hide();
            }
        });
        return UIE_NO_ERROR;
    }

    void forgetLocked(int handle)
    {
        auto it = panels_.find(handle);
        if (it == panels_.end()) return;
        std::vector<int> children = it->second->children;
        panels_.erase(it);
        for (int child : children) forgetLocked(child);
    }

    int newHandle()
    {
        std::lock_guard<std::mutex> lock(regMutex_);
        return nextHandle_++;
    }

    int loadOnUi(int parentPanel, const std::string& file, int number)
    {
        std::shared_ptr<PanelRec> parent;
        if (parentPanel != 0) {
            parent = findPanel(parentPanel);
            if (parent == nullptr || parent->page) return UIE_BAD_HANDLE;
        }
        uirfile::Panel desc;
        if (!uirfile::LoadPanelResource(file, number, &desc, nullptr)) return UIE_LOAD_FAILED;

        detail::Hooks hooks;
        hooks.newHandle = [this] { return newHandle(); };
        hooks.controlEvent = [this](const std::shared_ptr<CtrlRec>& c, int event, int d1, int d2) {
            deliver(c, event, d1, d2);
        };
        hooks.menuEvent = [this](MenuCallbackPtr cb, void* data, int bar, int entry, int panel) {
            if (modalDepth_ > 0 || GetUiBackend() != this || findPanel(panel) == nullptr) return;
            cb(bar, entry, data, panel);
        };
        detail::Built built =
            detail::BuildPanel(desc, parent != nullptr ? parent->widget.data() : nullptr, hooks);
        built.panel->parent = parentPanel;
        std::lock_guard<std::mutex> lock(regMutex_);
        if (parent != nullptr) {
            if (panels_.count(parentPanel) == 0) {  // the parent went away while this one was built
                delete built.window;
                return UIE_BAD_HANDLE;
            }
            parent->children.push_back(built.panel->handle);
        }
        panels_[built.panel->handle] = built.panel;
        for (auto& page : built.pages) {
            panels_[page->handle] = page;
            panels_[page->parent]->children.push_back(page->handle);
        }
        return built.panel->handle;
    }

    void deliver(const std::shared_ptr<CtrlRec>& c, int event, int d1, int d2)
    {
        // No callback while a popup is open: a timer tick would re-enter the code that raised it.
        if (modalDepth_ > 0 || c->callback == nullptr || GetUiBackend() != this) return;
        if (findPanel(c->holder) == nullptr) return;
        c->callback(c->holder, c->id, event, c->callbackData, d1, d2);
    }

    std::mutex regMutex_;
    std::map<int, std::shared_ptr<PanelRec>> panels_;
    int nextHandle_ = 1;

    std::mutex postMutex_;
    std::unique_ptr<UiWake> wake_;                   // guarded by postMutex_
    bool wakePending_ = false;                       // guarded by postMutex_: the wake was signalled
    std::deque<std::function<void()>> posted_;       // guarded by postMutex_
    std::vector<std::shared_ptr<CtrlRec>> syncs_;    // guarded by postMutex_: controls to bring up
    std::vector<std::shared_ptr<CtrlRec>> syncing_;  // UI thread only: the batch being brought up
    std::atomic<QThread*> uiThread_{nullptr};
    bool ownsApp_ = false;  // UI thread only

    std::mutex popupMutex_;
    std::condition_variable popupCv_;
    bool loopRunning_ = false;
    std::vector<std::shared_ptr<Waiter>> waiters_;
    int modalDepth_ = 0;  // UI thread only
};

QtBackend& backend()
{
    static QtBackend b;
    return b;
}

}  // namespace

namespace {
// Nested InitUserInterface / ShutdownUserInterface pairs (a test that brings
// up the UI around the console's own start-up and shutdown): only the
// outermost pair starts and stops the backend. UI thread only.
int g_initDepth = 0;
}  // namespace

bool InitUserInterface(int& argc, char** argv)
{
    if (g_initDepth > 0 && GetUiBackend() == &backend()) {
        ++g_initDepth;
        return true;
    }
    bool created = false;
    if (QCoreApplication::instance() == nullptr) {
        new QApplication(argc, argv);
        // On Unix the application sets the C library's locale from the
        // environment. Numbers the console writes with printf-style
        // formatting (the journals' CSV files, recordings, frame logs) keep
        // the decimal point in every locale; what the panels show follows
        // QLocale, which this does not touch.
        std::setlocale(LC_NUMERIC, "C");
        created = true;
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    backend().start(QCoreApplication::instance()->thread(), created);
    SetUiBackend(&backend());
    g_initDepth = 1;
    return true;
}

void ShutdownUserInterface()
{
    if (!backend().isUiThread()) return;
    if (g_initDepth > 1) {
        --g_initDepth;
        return;
    }
    g_initDepth = 0;
    if (GetUiBackend() == &backend()) SetUiBackend(nullptr);
    backend().stop();
}

bool SaveSelectionPopupPng(const std::string& title, const std::string& heading,
                           const std::vector<std::string>& rows, const std::string& path)
{
    if (!backend().isUiThread()) return false;
    SelectionDialog dialog(fromGbk(title.c_str()), heading, rows);
    dialog.setAttribute(Qt::WA_DontShowOnScreen, true);
    dialog.show();
    const QPixmap image = dialog.grab();
    dialog.hide();
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

void RunOnUiThread(QObject* context, std::function<void()> fn)
{
    // A QPointer is safe to make here: `context` lives until the caller's
    // thread is joined, and is only read and deleted on the UI thread.
    QPointer<QObject> guard(context);
    if (backend().queue([guard, fn] {
            if (guard) fn();
        })) {
        return;
    }
    // No backend running (a window used on its own): Qt's queue.
    QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

void AppendToPanelTitle(int panel, const QString& suffix)
{
    if (!backend().isUiThread()) return;
    std::shared_ptr<PanelRec> p = backend().findPanel(panel);
    if (p == nullptr || p->widget == nullptr || p->title.endsWith(suffix)) return;
    // The base title changes too, so that a title restored after a temporary
    // one (the reconnect wait) keeps the suffix.
    p->title += suffix;
    p->titleSuffix += suffix;
    p->widget->setWindowTitle(p->title);
}

QWidget* PanelWidget(int panel)
{
    if (!backend().isUiThread()) return nullptr;
    std::shared_ptr<PanelRec> p = backend().findPanel(panel);
    return p == nullptr ? nullptr : p->widget.data();
}

namespace {

bool renderBox(QWidget* box, const std::string& path)
{
    box->setAttribute(Qt::WA_DontShowOnScreen, true);
    box->show();
    QPixmap image = box->grab();
    box->hide();
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

}  // namespace

bool SaveMessagePng(const std::string& title, const std::string& text, const std::string& path)
{
    if (!backend().isUiThread()) return false;
    const QString message = fromGbk(text.c_str());
    QMessageBox box(QMessageBox::NoIcon, fromGbk(title.c_str()), message, QMessageBox::Ok);
    detail::KeepMessageReadable(&box, message);
    return renderBox(&box, path);
}

bool SaveConfirmPng(const std::string& title, const std::string& text, int buttons, int defaultAnswer,
                    const std::string& path)
{
    if (!backend().isUiThread()) return false;
    std::unique_ptr<QWidget> box =
        detail::BuildConfirmBox(fromGbk(title.c_str()), fromGbk(text.c_str()), buttons, defaultAnswer);
    return renderBox(box.get(), path);
}

bool SavePanelPng(int panel, const std::string& path)
{
    if (!backend().isUiThread()) return false;
    std::shared_ptr<PanelRec> p = backend().findPanel(panel);
    if (p == nullptr || p->widget == nullptr) return false;
    QWidget* target = p->widget;
    QWidget* window = target->window();

    // A tab page is drawn as the current page of its tab, without telling anyone.
    QTabWidget* tabs = nullptr;
    int oldIndex = -1;
    if (p->page) {
        for (QWidget* w = target->parentWidget(); w != nullptr && tabs == nullptr; w = w->parentWidget()) {
            tabs = qobject_cast<QTabWidget*>(w);
        }
        if (tabs == nullptr) return false;
        oldIndex = tabs->currentIndex();
        const QSignalBlocker block(tabs);
        tabs->setCurrentWidget(target);
    }
    const bool wasVisible = window->isVisible();
    if (!wasVisible) {
        window->setAttribute(Qt::WA_DontShowOnScreen, true);
        window->show();
    }
    QPixmap image = target->grab();
    if (!wasVisible) {
        window->hide();
        window->setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    if (tabs != nullptr) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(oldIndex);
    }
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

}  // namespace qtui
