// Widgets from a panel description, and copying a control's store into them.
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/ui/qt/qt_internal.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/qt_widgets.h"

namespace qtui::detail {

namespace {

using uirfile::Kind;

constexpr double kOpenRange = 1e9;  // spin-box range of a numeric without limits
constexpr int kTableVisibleRows = 16;
constexpr int kDimmedText = 0xA0A8B0;  // grey of dimmed read-outs and table rows

// Sets a style-sheet property and re-applies the style when it changes.
void setStyleFlag(QWidget* w, const char* name, bool on)
{
    if (w->property(name).toBool() == on) return;
    w->setProperty(name, on);
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
}

QString qs(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QColor rgb(int value)
{
    return QColor::fromRgb(static_cast<QRgb>(value) & 0xFFFFFFu);
}

void nameWidget(QWidget* w, const std::string& constant, const QString& accessibleName)
{
    w->setObjectName(qs(constant));
    w->setAccessibleDescription(qs(constant));
    w->setAccessibleName(accessibleName);
}

// A grid that places items at given cells or, without one, below everything.
struct Grid {
    QGridLayout* layout = nullptr;
    int nextRow = 0;
    int lastCol = 0;

    int rowFor(const uirfile::GridCell& at) const { return at.row < 0 ? nextRow : at.row; }
    void put(QWidget* w, int row, int col, int rowSpan, int colSpan, Qt::Alignment align = {})
    {
        layout->addWidget(w, row, col, rowSpan, colSpan, align);
        nextRow = std::max(nextRow, row + rowSpan);
        lastCol = std::max(lastCol, col + colSpan - 1);
    }
    void finish()
    {
        layout->setRowStretch(nextRow, 1);
        layout->setColumnStretch(lastCol + 1, 1);
    }
};

QGridLayout* newGrid(QWidget* host, int margin)
{
    auto* g = new QGridLayout(host);
    g->setContentsMargins(margin, margin, margin, margin);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(4);
    return g;
}

QLabel* captionLabel(const uirfile::Control& c, QWidget* buddy)
{
    auto* l = new QLabel(qs(c.caption));
    l->setObjectName(qs(c.constant + "_caption"));
    l->setProperty("role", "caption");
    l->setBuddy(buddy);
    return l;
}

QLineEdit* readOut(int minWidth)
{
    auto* e = new QLineEdit;
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMinimumWidth(minWidth);
    return e;
}

class Builder;

// What a kind's build step gets: the control's description, its record, the
// panel or page that holds it, and the widget that owns its timer.
struct BuildStep {
    Builder& builder;
    const uirfile::Control& c;
    CtrlRec& r;
    PanelRec& holder;
    QWidget* timerOwner;
};

// What each kind of control does: build its widget (nullptr: a control
// without one, placed nowhere), connect the widget's signals to the
// control's events, and copy the control's store into the widget.
struct KindOps {
    Kind kind;
    QWidget* (*build)(BuildStep& step);
    void (*connect)(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks);
    void (*sync)(CtrlRec& c);
};

const KindOps& opsOf(Kind kind);

class Builder {
public:
    Builder(const Hooks& hooks, Built& built) : hooks_(hooks), built_(built) {}

    // The translation context of the texts of `holder`: "uir/<PANEL>" or
    // "uir/<PANEL>/<PAGE>" (translations/README.md).
    std::string context(const PanelRec& holder) const
    {
        return holder.page ? "uir/" + built_.panel->constant + "/" + holder.constant
                           : "uir/" + built_.panel->constant;
    }

    // Shows `source` through the translators with `set` now and again after
    // every language switch. Without a translator, `source` as it is.
    void show(const PanelRec& holder, const std::string& source, const std::string& disambiguation,
              std::function<void(const QString&)> set)
    {
        const QByteArray ctx = QByteArray::fromStdString(context(holder));
        const QByteArray src = QByteArray::fromStdString(source);
        const QByteArray dis = QByteArray::fromStdString(disambiguation);
        auto entry = [ctx, src, dis, set = std::move(set)] {
            set(QCoreApplication::translate(ctx.constData(), src.constData(),
                                            dis.isEmpty() ? nullptr : dis.constData()));
        };
        entry();
        built_.panel->texts.push_back(std::move(entry));
    }

    void buildScope(const std::vector<uirfile::Control>& controls, const std::vector<uirfile::Box>& boxes,
                    QWidget* host, PanelRec& holder, QWidget* timerOwner)
    {
        Grid main{newGrid(host, 8)};
        std::map<std::string, Grid> boxGrids;
        for (const uirfile::Box& b : boxes) {
            auto* group = new QGroupBox(qs(b.title));
            group->setObjectName(qs(b.name));
            group->setAccessibleName(qs(b.title));
            show(holder, b.title, b.name, [group = QPointer<QGroupBox>(group)](const QString& t) {
                if (group == nullptr) return;
                group->setTitle(t);
                group->setAccessibleName(t);
            });
            boxGrids[b.name] = Grid{newGrid(group, 6)};
            main.put(group, main.rowFor(b.at), b.at.col, b.at.rowSpan, b.at.colSpan);
        }
        for (const uirfile::Control& c : controls) {
            auto rec = std::make_shared<CtrlRec>();
            Grid& grid = c.box.empty() ? main : boxGrids.at(c.box);
            buildControl(c, *rec, holder, grid, timerOwner);
            holder.controls[c.id] = rec;
            showControl(c, rec, holder);
            opsOf(c.kind).connect(rec, hooks_);
        }
        for (auto& entry : boxGrids) entry.second.finish();
        main.finish();
    }

    void buildMenus(const uirfile::Panel& desc, QMenuBar* bar, int menuBarHandle, int panelHandle)
    {
        for (const uirfile::MenuEntry& m : desc.menus) {
            if (!m.items.empty()) {
                // The entry and its items belong to the bar (the list is a window of its own).
                auto* menu = new QMenu(bar);
                menu->setObjectName(qs(m.constant + "_list"));
                for (const uirfile::MenuItem& item : m.items) {
                    auto* a = new QAction(qs(item.caption), bar);
                    a->setObjectName(qs(item.constant));
                    showAction(a, item.caption, item.constant);
                    menu->addAction(a);
                    connectMenu(a, item.callback, item.callbackData, menuBarHandle, item.id, panelHandle);
                }
                auto* entry = new QAction(qs(m.caption), bar);
                entry->setObjectName(qs(m.constant));
                showAction(entry, m.caption, m.constant);
                entry->setMenu(menu);
                bar->addAction(entry);
                continue;
            }
            QAction* a = bar->addAction(qs(m.caption));
            a->setObjectName(qs(m.constant));
            showAction(a, m.caption, m.constant);
            connectMenu(a, m.callback, m.callbackData, menuBarHandle, m.id, panelHandle);
        }
    }

    // The pages of a tab control: each a panel record of its own.
    QWidget* buildTab(const uirfile::Control& c, CtrlRec& r, PanelRec& holder, QWidget* timerOwner)
    {
        auto* tabs = new QTabWidget;
        for (const uirfile::Page& p : c.pages) {
            auto page = std::make_shared<PanelRec>();
            page->handle = hooks_.newHandle();
            page->parent = holder.handle;
            page->page = true;
            page->constant = p.constant;
            auto* w = new QWidget;
            nameWidget(w, p.constant, qs(p.caption));
            page->widget = w;
            buildScope(p.controls, p.boxes, w, *page, timerOwner);
            const int index = tabs->addTab(w, qs(p.caption));
            show(*page, p.caption, p.constant,
                 [tabs = QPointer<QTabWidget>(tabs), w = QPointer<QWidget>(w), index](const QString& t) {
                     if (tabs != nullptr) tabs->setTabText(index, t);
                     if (w != nullptr) w->setAccessibleName(t);
                 });
            r.pages.push_back(page->handle);
            built_.pages.push_back(page);
        }
        return tabs;
    }

    // A control's caption (with its accessible name) and its list items or
    // table cells, each through the translators.
    void showControl(const uirfile::Control& c, const std::shared_ptr<CtrlRec>& rec, const PanelRec& holder);

private:
    void showAction(QAction* a, const std::string& caption, const std::string& constant)
    {
        show(*built_.panel, caption, constant, [a = QPointer<QAction>(a)](const QString& t) {
            if (a != nullptr) a->setText(t);
        });
    }

    void connectMenu(QAction* a, MenuCallbackPtr cb, void* data, int menuBarHandle, int id, int panelHandle)
    {
        Hooks hooks = hooks_;
        QObject::connect(a, &QAction::triggered, a, [hooks, cb, data, menuBarHandle, id, panelHandle] {
            if (cb != nullptr) hooks.menuEvent(cb, data, menuBarHandle, id, panelHandle);
        });
    }

    void buildControl(const uirfile::Control& c, CtrlRec& r, PanelRec& holder, Grid& grid,
                      QWidget* timerOwner)
    {
        r.id = c.id;
        r.kind = c.kind;
        r.constant = c.constant;
        r.holder = holder.handle;
        r.callback = c.callback;
        r.callbackData = c.callbackData;
        r.indicator = c.indicator;
        r.hasMin = c.hasMin;
        r.hasMax = c.hasMax;
        r.min = c.min;
        r.max = c.max;
        r.prec = c.prec;
        r.visible = c.visible ? 1 : 0;

        BuildStep step{*this, c, r, holder, timerOwner};
        QWidget* w = opsOf(c.kind).build(step);
        if (w == nullptr) return;
        if (c.kind != Kind::Button) nameWidget(w, c.constant, qs(c.caption));
        r.widget = w;

        const int row = grid.rowFor(c.at);
        const int col = c.at.col;
        const int rs = c.at.rowSpan;
        const int cs = c.at.colSpan;
        const bool captioned = c.kind == Kind::Numeric || c.kind == Kind::Ring || c.kind == Kind::Switch;
        if (captioned) {
            auto* l = captionLabel(c, w);
            r.caption = l;
            grid.put(l, row, col, 1, 1);
            grid.put(w, row, col + 1, rs, cs, c.kind == Kind::Switch ? Qt::AlignLeft : Qt::Alignment());
        } else if (c.kind == Kind::Led) {
            auto* l = captionLabel(c, w);
            r.caption = l;
            grid.put(w, row, col, 1, 1, Qt::AlignCenter);
            grid.put(l, row, col + 1, rs, cs);
        } else {
            grid.put(r.frame != nullptr ? r.frame.data() : w, row, col, rs, cs);
        }
        if (!c.visible) {
            if (r.frame != nullptr) r.frame->hide();
            w->hide();
            if (r.caption != nullptr) r.caption->hide();
        }
    }

    const Hooks& hooks_;
    Built& built_;
};

void Builder::showControl(const uirfile::Control& c, const std::shared_ptr<CtrlRec>& rec,
                          const PanelRec& holder)
{
    // Captions of numerics, rings, switches, lamps and tables are told apart
    // by the control's constant; the rest share one translation per text.
    const bool owned = c.kind == Kind::Numeric || c.kind == Kind::Ring || c.kind == Kind::Switch ||
                       c.kind == Kind::Led || c.kind == Kind::Table;
    const std::string dis = c.constant;
    std::weak_ptr<CtrlRec> weak = rec;
    if (c.kind == Kind::Button) {
        show(holder, c.caption, dis, [weak](const QString& t) {
            auto r = weak.lock();
            auto* b = r != nullptr ? qobject_cast<QPushButton*>(r->widget.data()) : nullptr;
            if (b == nullptr) return;
            const uirfile::Accelerated a = uirfile::SplitAccelerator(t.toStdString());
            b->setText(qs(a.qtText));
            b->setAccessibleName(qs(a.text));
        });
    } else if (c.kind == Kind::Text) {
        // A text the program has since set is left as it is.
        const QString shipped = qs(c.caption);
        show(holder, c.caption, dis, [weak, shipped](const QString& t) {
            auto r = weak.lock();
            auto* l = r != nullptr ? qobject_cast<QLabel*>(r->widget.data()) : nullptr;
            if (l == nullptr) return;
            std::lock_guard<std::mutex> lock(r->mutex);
            r->captionShipped = shipped;
            r->captionShown = t;
            if (r->text != shipped) return;
            l->setText(t);
            l->setAccessibleName(t);
        });
    } else if (owned && !c.caption.empty()) {
        show(holder, c.caption, dis, [weak](const QString& t) {
            auto r = weak.lock();
            if (r == nullptr) return;
            if (auto* l = qobject_cast<QLabel*>(r->caption.data())) l->setText(t);
            if (r->widget != nullptr) r->widget->setAccessibleName(t);
        });
    }
    for (std::size_t i = 0; c.kind == Kind::Ring && i < c.items.size(); ++i) {
        show(holder, c.items[i].caption, dis, [weak, i](const QString& t) {
            auto r = weak.lock();
            if (r == nullptr || i >= static_cast<std::size_t>(r->ringCaptions.size())) return;
            r->ringCaptions[static_cast<int>(i)] = t;
            if (auto* box = qobject_cast<QComboBox*>(r->widget.data())) {
                box->setItemText(static_cast<int>(i), t);  // the choice stays, no signal
            } else if (auto* e = qobject_cast<QLineEdit*>(r->widget.data());
                       e != nullptr && static_cast<std::size_t>(r->ringPos.load()) == i) {
                e->setText(t);
            }
        });
    }
    for (std::size_t row = 0; c.kind == Kind::Table && row < c.cells.size(); ++row) {
        const QString shipped = qs(c.cells[row]);
        show(holder, c.cells[row], dis, [weak, row, shipped](const QString& t) {
            auto r = weak.lock();
            auto* table = r != nullptr ? qobject_cast<QTableWidget*>(r->widget.data()) : nullptr;
            if (table == nullptr) return;
            std::lock_guard<std::mutex> lock(r->mutex);
            const std::size_t at = row * static_cast<std::size_t>(r->cols);
            if (at >= r->cells.size()) return;
            CellStore& cell = r->cells[at];
            cell.shipped = shipped;
            cell.translated = t;
            // A cell the program has since written is left as it is.
            if (cell.text != shipped) return;
            if (QTableWidgetItem* item = table->item(static_cast<int>(row), 0)) item->setText(t);
        });
    }
}

// --- Building ---------------------------------------------------------------------

QWidget* buildNumeric(BuildStep& step)
{
    const uirfile::Control& c = step.c;
    if (c.indicator) {
        auto* e = readOut(c.width > 0 ? c.width : 80);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e->setText(FormatNumber(0.0, c.prec));
        return e;
    }
    auto* s = new QDoubleSpinBox;
    s->setDecimals(c.prec);
    s->setRange(c.hasMin ? c.min : -kOpenRange, c.hasMax ? c.max : kOpenRange);
    s->setSingleStep(1.0);
    s->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    s->setValue(0.0);
    if (c.width > 0) s->setMinimumWidth(c.width);
    step.r.number = s->value();
    return s;
}

QWidget* buildRing(BuildStep& step)
{
    const uirfile::Control& c = step.c;
    CtrlRec& r = step.r;
    for (const uirfile::RingItem& item : c.items) {
        r.ringValues.push_back(item.value);
        r.ringCaptions.push_back(qs(item.caption));
    }
    r.ringPos = c.init;
    r.integer = c.items[static_cast<std::size_t>(c.init)].value;
    if (c.indicator) {
        auto* e = readOut(c.width > 0 ? c.width : 80);
        e->setText(r.ringCaptions.at(c.init));
        return e;
    }
    auto* box = new QComboBox;
    box->addItems(r.ringCaptions);
    box->setCurrentIndex(c.init);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    if (c.width > 0) box->setMinimumWidth(c.width);
    return box;
}

QWidget* buildSwitch(BuildStep&)
{
    return new SwitchButton;
}

QWidget* buildButton(BuildStep& step)
{
    const uirfile::Control& c = step.c;
    uirfile::Accelerated a = uirfile::SplitAccelerator(c.caption);
    auto* b = new QPushButton(qs(a.qtText));
    b->setAutoDefault(false);
    if (c.width > 0) b->setMinimumWidth(c.width);
    if (c.key == "Esc") {
        // Works wherever the focus is inside the panel's window.
        b->setShortcut(QKeySequence(Qt::Key_Escape));
        b->setToolTip(QStringLiteral("Esc"));
    }
    if (c.emphasis) b->setProperty("role", "stop");
    nameWidget(b, c.constant, qs(a.text));
    return b;
}

QWidget* buildLed(BuildStep&)
{
    return new LedLamp;
}

QWidget* buildText(BuildStep& step)
{
    const QString caption = qs(step.c.caption);
    auto* l = new QLabel(caption);
    if (step.c.width > 0) l->setMinimumWidth(step.c.width);
    step.r.text = caption;
    return l;
}

QWidget* buildTable(BuildStep& step)
{
    const uirfile::Control& c = step.c;
    CtrlRec& r = step.r;
    r.rows = c.rows;
    r.cols = c.cols;
    r.cells.resize(static_cast<std::size_t>(c.rows) * static_cast<std::size_t>(c.cols));
    auto* t = new QTableWidget(c.rows, c.cols);
    t->horizontalHeader()->hide();
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setWordWrap(false);
    const int rowHeight = t->fontMetrics().height() + 6;
    t->verticalHeader()->setMinimumSectionSize(rowHeight);
    t->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int col = 0; col < c.cols; ++col) {
        t->horizontalHeader()->setSectionResizeMode(
            col, col + 1 == c.cols ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    for (int row = 0; row < c.rows; ++row) {
        for (int col = 0; col < c.cols; ++col) {
            QString text;
            if (col == 0 && row < static_cast<int>(c.cells.size())) {
                text = qs(c.cells[static_cast<std::size_t>(row)]);
            }
            r.cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(c.cols) +
                    static_cast<std::size_t>(col)]
                .text = text;
            t->setItem(row, col, new QTableWidgetItem(text));
        }
    }
    const int shown = std::min(c.rows, kTableVisibleRows);
    t->setMinimumHeight(shown * rowHeight + 2 * t->frameWidth());
    if (c.rows <= kTableVisibleRows) t->setMaximumHeight(t->minimumHeight());
    t->setMinimumWidth(c.width > 0 ? c.width : 160);

    auto* frame = new QWidget;
    auto* v = new QVBoxLayout(frame);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    if (!c.caption.empty()) {
        auto* title = new QLabel(qs(c.caption));
        title->setObjectName(qs(c.constant + "_caption"));
        title->setProperty("role", "title");
        v->addWidget(title);
        r.caption = title;
    }
    v->addWidget(t);
    r.frame = frame;
    return t;
}

void syncTimer(CtrlRec& c);

// A timer has no widget: it runs on the widget that owns the panel's timers.
QWidget* buildTimer(BuildStep& step)
{
    auto* t = new QTimer(step.timerOwner);
    t->setObjectName(qs(step.c.constant));
    step.r.interval = step.c.interval;
    step.r.enabled = step.c.enabled ? 1 : 0;
    step.r.timer = t;
    syncTimer(step.r);
    return nullptr;
}

QWidget* buildPicture(BuildStep&)
{
    return new MotorPicture;
}

QWidget* buildSplitter(BuildStep& step)
{
    auto* f = new QFrame;
    f->setFrameShape(step.c.at.rowSpan > step.c.at.colSpan ? QFrame::VLine : QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

QWidget* buildTabControl(BuildStep& step)
{
    return step.builder.buildTab(step.c, step.r, step.holder, step.timerOwner);
}

// --- Connecting -----------------------------------------------------------------

void connectNothing(const std::shared_ptr<CtrlRec>&, const Hooks&) {}

void connectNumeric(const std::shared_ptr<CtrlRec>& rec, const Hooks&)
{
    if (auto* s = qobject_cast<QDoubleSpinBox*>(rec->widget.data())) {
        QObject::connect(s, &QDoubleSpinBox::valueChanged, s, [rec](double v) { rec->number = v; });
    }
}

void connectRing(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks)
{
    auto* box = qobject_cast<QComboBox*>(rec->widget.data());
    if (box == nullptr) return;
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [rec, hooks](int pos) {
        if (pos < 0 || pos >= static_cast<int>(rec->ringValues.size())) return;
        {
            std::lock_guard<std::mutex> lock(rec->mutex);
            rec->ringPos = pos;
            rec->integer = rec->ringValues[static_cast<std::size_t>(pos)];
        }
        // The operator's choice commits at once (writes from code never signal).
        hooks.controlEvent(rec, EVENT_COMMIT, 0, 0);
    });
}

void connectSwitch(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks)
{
    QWidget* w = rec->widget;
    QObject::connect(static_cast<SwitchButton*>(w), &QAbstractButton::toggled, w, [rec, hooks](bool on) {
        rec->integer = on ? 1 : 0;
        hooks.controlEvent(rec, EVENT_COMMIT, 0, 0);
    });
}

void connectButton(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks)
{
    QWidget* w = rec->widget;
    QObject::connect(static_cast<QPushButton*>(w), &QPushButton::clicked, w,
                     [rec, hooks] { hooks.controlEvent(rec, EVENT_COMMIT, 0, 0); });
}

void connectTimer(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks)
{
    QObject::connect(rec->timer.data(), &QTimer::timeout, rec->timer.data(),
                     [rec, hooks] { hooks.controlEvent(rec, EVENT_TIMER_TICK, 0, 0); });
}

void connectTab(const std::shared_ptr<CtrlRec>& rec, const Hooks& hooks)
{
    QWidget* w = rec->widget;
    QObject::connect(static_cast<QTabWidget*>(w), &QTabWidget::currentChanged, w, [rec, hooks](int page) {
        if (page < 0) return;
        int old = rec->integer.exchange(page);
        if (old != page) hooks.controlEvent(rec, EVENT_ACTIVE_TAB_CHANGE, old, page);
    });
}

// --- Synchronising ----------------------------------------------------------------

void syncNothing(CtrlRec&) {}

void syncNumeric(CtrlRec& c)
{
    QWidget* w = c.widget;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QString text = FormatNumber(c.number.load(), c.prec);
        if (e->text() != text) e->setText(text);
    } else if (auto* s = qobject_cast<QDoubleSpinBox*>(w)) {
        const QSignalBlocker block(s);
        s->setValue(c.number.load());
    }
}

void syncRing(CtrlRec& c)
{
    QWidget* w = c.widget;
    const int pos = c.ringPos.load();
    if (pos < 0 || pos >= c.ringCaptions.size()) return;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != c.ringCaptions.at(pos)) e->setText(c.ringCaptions.at(pos));
    } else if (auto* box = qobject_cast<QComboBox*>(w)) {
        const QSignalBlocker block(box);
        box->setCurrentIndex(pos);
    }
}

void syncSwitch(CtrlRec& c)
{
    if (auto* b = qobject_cast<QAbstractButton*>(c.widget.data())) {
        const QSignalBlocker block(b);
        b->setChecked(c.integer.load() != 0);
    }
}

void syncLed(CtrlRec& c)
{
    if (auto* lamp = qobject_cast<LedLamp*>(c.widget.data())) {
        lamp->setState(c.integer.load() != 0, rgb(c.onColor.load()), rgb(c.offColor.load()));
    }
}

void syncText(CtrlRec& c)
{
    auto* l = qobject_cast<QLabel*>(c.widget.data());
    if (l == nullptr) return;
    std::lock_guard<std::mutex> lock(c.mutex);
    if (c.textDirty) {
        const QString& shown =
            !c.captionShipped.isEmpty() && c.text == c.captionShipped ? c.captionShown : c.text;
        l->setText(shown);
        l->setAccessibleName(shown);
        c.textDirty = false;
    }
    const int color = c.textColor.load();
    if (color >= 0) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, rgb(color));
        l->setPalette(p);
    }
}

void syncTable(CtrlRec& c)
{
    auto* t = qobject_cast<QTableWidget*>(c.widget.data());
    if (t == nullptr) return;
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!c.cellsDirty) return;
    for (int i = 0; i < static_cast<int>(c.cells.size()); ++i) {
        CellStore& cell = c.cells[static_cast<std::size_t>(i)];
        if (!cell.dirty) continue;
        QTableWidgetItem* item = t->item(i / c.cols, i % c.cols);
        if (item == nullptr) continue;
        const QString& shown =
            !cell.shipped.isEmpty() && cell.text == cell.shipped ? cell.translated : cell.text;
        if (item->text() != shown) item->setText(shown);
        if (item->toolTip() != cell.toolTip) item->setToolTip(cell.toolTip);
        if (c.dimmed.load() != 0) {
            item->setForeground(QBrush(rgb(kDimmedText)));
        } else {
            item->setForeground(cell.color == kNoColor ? t->palette().text() : QBrush(rgb(cell.color)));
        }
        cell.dirty = false;
    }
    c.cellsDirty = false;
}

void syncTimer(CtrlRec& c)
{
    QTimer* t = c.timer;
    if (t == nullptr) return;
    const double seconds = c.interval.load();
    const int ms = static_cast<int>(std::max(1.0, std::min(std::round(seconds * 1000.0), 86400000.0)));
    if (t->interval() != ms) t->setInterval(ms);
    const bool on = c.enabled.load() != 0;
    if (on && !t->isActive()) t->start();
    if (!on && t->isActive()) t->stop();
}

void syncTab(CtrlRec& c)
{
    if (auto* tabs = qobject_cast<QTabWidget*>(c.widget.data())) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(c.integer.load());
    }
}

// One row per kind, in the order of uirfile::Kind.
const KindOps kKindOps[] = {
    {Kind::Numeric, buildNumeric, connectNumeric, syncNumeric},
    {Kind::Ring, buildRing, connectRing, syncRing},
    {Kind::Switch, buildSwitch, connectSwitch, syncSwitch},
    {Kind::Button, buildButton, connectButton, syncNothing},
    {Kind::Led, buildLed, connectNothing, syncLed},
    {Kind::Text, buildText, connectNothing, syncText},
    {Kind::Table, buildTable, connectNothing, syncTable},
    {Kind::Timer, buildTimer, connectTimer, syncTimer},
    {Kind::Picture, buildPicture, connectNothing, syncNothing},
    {Kind::Splitter, buildSplitter, connectNothing, syncNothing},
    {Kind::Tab, buildTabControl, connectTab, syncTab},
};
static_assert(std::size(kKindOps) == static_cast<std::size_t>(Kind::Tab) + 1, "one row per kind");

const KindOps& opsOf(Kind kind)
{
    const KindOps& ops = kKindOps[static_cast<std::size_t>(kind)];
    Q_ASSERT(ops.kind == kind);
    return ops;
}

Qt::WindowFlags windowFlags(bool topLevel, bool closeBox)
{
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (topLevel) f |= Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    if (closeBox) f |= Qt::WindowCloseButtonHint;
    return f;
}

}  // namespace

void KeepMessageReadable(QMessageBox* box, const QString& text, int minEm)
{
    const QFontMetrics metrics(box->font());
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest < minEm * QFontInfo(box->font()).pixelSize()) {
        box->setStyleSheet(QStringLiteral("QLabel { min-width: %1em; }").arg(minEm));
    }
}

std::unique_ptr<QWidget> BuildConfirmBox(const QString& title, const QString& text, int buttons,
                                         int defaultAnswer)
{
    QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == CONFIRM_YES_NO_CANCEL) shown |= QMessageBox::Cancel;
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, title, text, shown);
    box->setObjectName(QStringLiteral("ConfirmPopup"));
    KeepMessageReadable(box.get(), text, 22);
    const QMessageBox::StandardButton def = defaultAnswer == ANSWER_YES  ? QMessageBox::Yes
                                            : defaultAnswer == ANSWER_NO ? QMessageBox::No
                                                                         : QMessageBox::Cancel;
    box->setDefaultButton(def);
    box->setEscapeButton(buttons == CONFIRM_YES_NO_CANCEL ? QMessageBox::Cancel : QMessageBox::No);
    return box;
}

QString FormatNumber(double value, int prec)
{
    return QString::number(value, 'f', prec);
}

Built BuildPanel(const uirfile::Panel& desc, QWidget* parentWindow, const Hooks& hooks)
{
    Built built;
    built.panel = std::make_shared<PanelRec>();
    PanelRec& panel = *built.panel;
    panel.handle = hooks.newHandle();
    panel.constant = desc.constant;
    panel.title = qs(desc.title);

    auto* window =
        new PanelWindow(parentWindow, windowFlags(parentWindow == nullptr, !desc.closeControl.empty()));
    nameWidget(window, desc.constant, qs(desc.title));
    window->setWindowTitle(qs(desc.title));
    window->setStyleSheet(PanelStyleSheet());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    panel.widget = window;

    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Builder builder(hooks, built);
    if (!desc.menuBar.empty()) {
        auto* bar = new QMenuBar(window);
        bar->setNativeMenuBar(false);
        nameWidget(bar, desc.menuBar, QString());
        outer->setMenuBar(bar);
        builder.buildMenus(desc, bar, hooks.newHandle(), panel.handle);
    }
    auto* body = new QWidget(window);
    body->setObjectName(QStringLiteral("body"));
    outer->addWidget(body);
    builder.buildScope(desc.controls, desc.boxes, body, panel, window);

    if (!desc.closeControl.empty()) {
        for (const uirfile::Control& c : desc.controls) {
            if (c.constant != desc.closeControl) continue;
            window->setCloseButton(qobject_cast<QAbstractButton*>(panel.controls.at(c.id)->widget.data()));
        }
    }
    builder.show(panel, desc.title, "", [&panel, window = QPointer<QWidget>(window)](const QString& t) {
        if (window == nullptr) return;
        // A temporary title (the reconnect wait) stays until it is restored.
        const bool showingBase = window->windowTitle() == panel.title;
        panel.title = t + panel.titleSuffix;
        if (showingBase) window->setWindowTitle(panel.title);
        window->setAccessibleName(panel.title);
    });
    OnLanguageChange(window, [weak = std::weak_ptr<PanelRec>(built.panel)] {
        if (auto p = weak.lock()) {
            for (const auto& text : p->texts) text();
        }
    });
    if (desc.width > 0) window->resize(desc.width, desc.height);
    built.window = window;
    return built;
}

void SyncWidget(CtrlRec& c)
{
    opsOf(c.kind).sync(c);
    QWidget* w = c.widget;
    if (c.kind == Kind::Timer || w == nullptr) return;
    setStyleFlag(w, "dimmed", c.dimmed.load() != 0);
    setStyleFlag(w, "marked", c.marked.load() != 0);
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        if (c.toolTipDirty) {
            w->setToolTip(c.toolTip);
            if (c.caption != nullptr) c.caption->setToolTip(c.toolTip);
            c.toolTipDirty = false;
        }
    }
    const bool hidden = c.visible.load() == 0;
    for (QWidget* part : {c.frame.data(), w, c.caption.data()}) {
        if (part != nullptr && part->isHidden() != hidden) part->setHidden(hidden);
    }
}

}  // namespace qtui::detail
