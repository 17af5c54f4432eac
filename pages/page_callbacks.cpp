#include "pages/page_callbacks.h"

#include <QCoreApplication>
#include <QString>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/send_rows.h"
#include "pages/write_guard.h"
#include "platform/os/gbk.h"
#include "serial/port_open.h"
#include "serial/port_watch.h"

namespace {

// The rows in the order SendRows gives them, built once from the catalogue's
// layout (which never changes with the resources).
const std::vector<SendRow>& sendRows()
{
    static const std::vector<SendRow> rows = [] {
        std::vector<SendRow> out;
        const RegisterCatalogue& catalogue = RegisterLayout();
        for (RegisterPanel panel : {RegisterPanel::Set, RegisterPanel::Debug}) {
            for (const RegisterEntry& e : catalogue.pageRegisters()) {
                for (const RegisterControl& c : e.controls) {
                    if (c.panel != panel || c.send == nullptr) continue;
                    out.push_back(SendRow{c.send, c.panel, c.page, &PanelHandleOf(c), c.id,
                                          kPageTables[e.tab].items, e.tab, e.index, c.sendKind});
                }
            }
        }
        return out;
    }();
    return rows;
}

// A register holds a signed 16-bit word; the stored value is truncated toward
// zero when it is sent, so anything strictly between -32769 and 32768 fits.
bool fitsRegister(double v)
{
    return std::isfinite(v) && v > -32769.0 && v < 32768.0;
}

// Decimals that show a limit of this scale sensibly: none for whole units,
// one per power of ten for 1/10^n, three otherwise.
int limitDecimals(int num, int den)
{
    if (num != 1) return 3;
    int decimals = 0;
    for (int d = den; d > 1; d /= 10) {
        if (d % 10 != 0) return 3;
        ++decimals;
    }
    return decimals;
}

// Tells the operator that the entry cannot be written and which entries can,
// in the control's own units.
void refuseEntry(const SendRow& row)
{
    const RegisterControl* control = SendRowControl(row);
    const std::string unit = control != nullptr ? control->unit : std::string();
    const DataItem& item = row.table[row.index];
    double lo = -32768.0;
    double hi = 32767.0;
    int decimals = 0;
    if (row.kind == SendKind::Scaled) {
        const int num = item.scale_num.load();
        const int den = item.scale_den.load();
        lo = lo * num / den;
        hi = hi * num / den;
        decimals = limitDecimals(num, den);
    }
    const QString range = QString::number(lo, 'f', decimals) + " .. " + QString::number(hi, 'f', decimals) +
                          (unit.empty() ? QString() : " " + QString::fromStdString(unit));
    const QString text =
        QCoreApplication::translate("PageCallbacks", "Value out of range, nothing sent.\nAccepted range: %1")
            .arg(range);
    MessagePopup(
        Utf8ToGbkLenient(QCoreApplication::translate("PageCallbacks", "Error").toStdString()).c_str(),
        Utf8ToGbkLenient(text.toStdString()).c_str());
}

// The register value for a press of the row's button. False when nothing is
// to be stored: the control could not be read, or the entry does not fit the
// register (the operator has been told).
// `typed` receives the entry as the operator sees it.
bool registerValue(const SendRow& row, double* out, double* typed)
{
    const int page = row.page->load();
    switch (row.kind) {
        case SendKind::None:
            return false;
        case SendKind::Command:
            *out = *typed = 1.0;
            return true;
        case SendKind::Integer: {
            int v = 0;
            if (GetCtrlVal(page, row.control, &v) < 0) return false;
            *out = *typed = v;
            return true;
        }
        case SendKind::Direct:
        case SendKind::Scaled: {
            double v = 0.0;
            if (GetCtrlVal(page, row.control, &v) < 0) return false;
            const double reg = row.kind == SendKind::Scaled ? unscaledEntry(row.table[row.index], v) : v;
            if (!fitsRegister(reg)) {
                refuseEntry(row);
                return false;
            }
            *out = reg;
            *typed = v;
            return true;
        }
    }
    return false;
}

// The write as the operator sees it: panel, page, caption, entry and unit.
WriteRequest describe(const SendRow& row, double typed)
{
    WriteRequest w;
    if (const RegisterControl* c = SendRowControl(row)) {
        w.panel = Utf8ToGbkLenient(c->panelTitle);
        w.page = Utf8ToGbkLenient(c->pageCaption);
        w.caption = Utf8ToGbkLenient(c->caption);
        w.unit = Utf8ToGbkLenient(c->unit);
    }
    w.typed = typed;
    if (row.kind == SendKind::Scaled) {
        w.scaleNum = row.table[row.index].scale_num.load();
        w.scaleDen = row.table[row.index].scale_den.load();
    }
    return w;
}

// The callback behind every "__OK" button; callbackData is its SendRow. The
// value and the mark for sending are set together under the write lock, with
// a write record whose outcome the status line and the journal report.
int sendCallback(int, int, int event, void* callbackData, int, int)
{
    if (event != EVENT_COMMIT || callbackData == nullptr) return 0;
    const SendRow& row = *static_cast<const SendRow*>(callbackData);
    double reg = 0.0;
    double typed = 0.0;
    if (!registerValue(row, &reg, &typed)) return 0;
    DataItem& item = row.table[row.index];
    // The guard asks (or refuses) before anything is marked for sending.
    if (!ConfirmWrite(item.address.load(), reg)) return 0;
    // While the console waits to reconnect its device a write stays marked and goes out on its return.
    const bool portOpen = comConfigure_success_flag.load() == 1 || WaitingPort() != 0;
    SubmitWrite(item, reg, describe(row, typed), portOpen);
    return 0;
}

// Asks for the table's block to be read again and every item repainted.
void requestTable(const ItemTable& table)
{
    table.items[0].query_flag.store(1);
    for (int i = 0; i < table.count; ++i) table.items[i].refresh_flag.store(1);
}

constexpr int kPageTableCount = static_cast<int>(std::size(kPageTables));

}  // namespace

int cb_refreshTab1(int, int, int event, void*, int, int)
{
    if (event != EVENT_ACTIVE_TAB_CHANGE) return 0;
    int index = -1;
    if (GetActiveTabPage(panel_set.load(), uir::panel_set::TAB, &index) < 0) return 0;
    if (index < 0 || index >= kPageTableCount) return 0;
    requestTable(kPageTables[index]);
    return 0;
}

int refreshDebugTab(int, int, int event, void*, int, int)
{
    if (event != EVENT_ACTIVE_TAB_CHANGE) return 0;
    requestTable(kPageTables[5]);
    return 0;
}

int PressSendButton(const SendRow& row, int panel, int control)
{
    return sendCallback(panel, control, EVENT_COMMIT, const_cast<SendRow*>(&row), 0, 0);
}

WriteRequest DescribeSendRow(const SendRow& row, double typed)
{
    return describe(row, typed);
}

const SendRow* SendRows(std::size_t* count)
{
    const std::vector<SendRow>& rows = sendRows();
    if (count != nullptr) *count = rows.size();
    return rows.data();
}

const RegisterControl* SendRowControl(const SendRow& row)
{
    const RegisterEntry* e = Catalogue().pageEntry(row.tab, row.index);
    if (e == nullptr) return nullptr;
    for (const RegisterControl& c : e->controls) {
        if (c.panel == row.panel && c.page == row.pageIndex && c.id == row.control) return &c;
    }
    return nullptr;
}

const CallbackEntry* PageCallbacks(int* count)
{
    static const std::vector<CallbackEntry> entries = [] {
        std::vector<CallbackEntry> e;
        for (const SendRow& row : sendRows()) {
            e.push_back(CallbackEntry{row.name, sendCallback, nullptr, const_cast<SendRow*>(&row)});
        }
        e.push_back(CallbackEntry{"cb_refreshTab1", cb_refreshTab1, nullptr, nullptr});
        e.push_back(CallbackEntry{"refreshDebugTab", refreshDebugTab, nullptr, nullptr});
        return e;
    }();
    if (count != nullptr) *count = static_cast<int>(entries.size());
    return entries.data();
}
