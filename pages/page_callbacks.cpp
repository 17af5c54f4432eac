#include "pages/page_callbacks.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/send_rows.h"
#include "pages/write_guard.h"
#include "serial/port_watch.h"
#include "serial/sample5.h"

namespace {

constexpr SendKind DIRECT = SendKind::Direct;
constexpr SendKind INTEGER = SendKind::Integer;
constexpr SendKind SCALED = SendKind::Scaled;
constexpr SendKind COMMAND = SendKind::Command;

namespace t1 = uir::tabpanel_1;
namespace t2 = uir::tabpanel_2;
namespace t3 = uir::tabpanel_3;
namespace t4 = uir::tabpanel_4;
namespace t5 = uir::tabpanel_5;
namespace t6 = uir::tabpanel_6;
namespace d1 = uir::dbg_tab1;
namespace d2 = uir::dbg_tab2;

const std::atomic<int>* const P1 = &panel_set_tab[0];
const std::atomic<int>* const P2 = &panel_set_tab[1];
const std::atomic<int>* const P3 = &panel_set_tab[2];
const std::atomic<int>* const P4 = &panel_set_tab[3];
const std::atomic<int>* const P5 = &panel_set_tab[4];
const std::atomic<int>* const P6 = &panel_set_tab[5];
const std::atomic<int>* const D1 = &panel_debug_tab[0];
const std::atomic<int>* const D2 = &panel_debug_tab[1];

constexpr const char* kDegC = "\xA1\xE6";    // "℃" in GBK
constexpr const char* kDegree = "\xB6\xC8";  // "度" in GBK

// clang-format off
const SendRow kSendRows[] = {
    {"tab1_send_1",  P1, t1::TAB1_NUMERIC_SET_1,  dataItem1, 0,  DIRECT, "V", "Dc current limited volt"},
    {"tab1_send_2",  P1, t1::TAB1_NUMERIC_SET_2,  dataItem1, 1,  DIRECT, "V", "Lack volt"},
    {"tab1_send_3",  P1, t1::TAB1_NUMERIC_SET_3,  dataItem1, 2,  DIRECT, "V", "Over volt"},
    {"tab1_send_4",  P1, t1::TAB1_NUMERIC_SET_4,  dataItem1, 3,  DIRECT, "A", "dc limit current"},
    {"tab1_send_5",  P1, t1::TAB1_NUMERIC_SET_5,  dataItem1, 4,  DIRECT, "A", "Boost dc current"},
    {"tab1_send_6",  P1, t1::TAB1_NUMERIC_SET_6,  dataItem1, 5,  DIRECT, "A", "Max phase current"},
    {"tab1_send_7",  P1, t1::TAB1_NUMERIC_SET_7,  dataItem1, 6,  DIRECT, "A", "Protected phase current"},
    {"tab1_send_8",  P1, t1::TAB1_NUMERIC_SET_8,  dataItem1, 7,  DIRECT, "A", "overload ph current2"},
    {"tab1_send_9",  P1, t1::TAB1_NUMERIC_SET_9,  dataItem1, 8,  DIRECT, "s", "overload time2"},
    {"tab1_send_10", P1, t1::TAB1_NUMERIC_SET_10, dataItem1, 9,  DIRECT, "A", "block ph current"},
    {"tab1_send_11", P1, t1::TAB1_NUMERIC_SET_11, dataItem1, 10, DIRECT, "ms", "block time"},
    {"tab1_send_12", P1, t1::TAB1_NUMERIC_SET_12, dataItem1, 11, DIRECT, "A", "Rated phase current"},
    {"tab1_send_13", P1, t1::TAB1_NUMERIC_SET_13, dataItem1, 12, DIRECT, "A", "Limit dc current"},
    {"tab1_send_14", P1, t1::TAB1_NUMERIC_SET_14, dataItem1, 13, DIRECT, "A", "overload ph current1"},
    {"tab1_send_15", P1, t1::TAB1_NUMERIC_SET_15, dataItem1, 14, DIRECT, "s", "overload time1"},

    {"tab2_send_1", P2, t2::TAB2_NUMERIC_SET_1,  dataItem2, 0, DIRECT,  kDegC, "Unwork temperature"},
    {"tab2_send_2", P2, t2::TAB2_NUMERIC_SET_2,  dataItem2, 1, DIRECT,  kDegC, "Rework temperature"},
    {"tab2_send_3", P2, t2::TAB2_NUMERIC_SET_3,  dataItem2, 2, DIRECT,  kDegC, "Limited current temperature"},
    {"tab2_send_4", P2, t2::TAB2_NUMERIC_SET_4,  dataItem2, 3, DIRECT,  kDegC, "M_unwork temperature"},
    {"tab2_send_5", P2, t2::TAB2_NUMERIC_SET_7,  dataItem2, 4, DIRECT,  kDegC, "M_Rework temperature"},
    {"tab2_send_6", P2, t2::TAB2_NUMERIC_SET_6,  dataItem2, 5, DIRECT,  kDegC, "M_Limited current temperature"},
    {"tab2_send_7", P2, t2::TAB2_BINARYSWITCH_5, dataItem2, 6, INTEGER, "", "Motor Temperatur Sensor"},

    {"tab3_send_1",  P3, t3::TAB3_BINARYSWITCH_1,  dataItem3, 0,  INTEGER, "", "Throttle protect"},
    {"tab3_send_2",  P3, t3::TAB3_BINARYSWITCH_2,  dataItem3, 1,  INTEGER, "", "Brake protect"},
    {"tab3_send_3",  P3, t3::TAB3_BINARYSWITCH_3,  dataItem3, 2,  INTEGER, "", "General brake"},
    {"tab3_send_4",  P3, t3::TAB3_RING_2,          dataItem3, 3,  INTEGER, "", "Ebrake Mode"},
    {"tab3_send_5",  P3, t3::TAB3_RING_1,          dataItem3, 4,  INTEGER, "", "Boost/3 Spd"},
    {"tab3_send_6",  P3, t3::TAB3_BINARYSWITCH_6,  dataItem3, 5,  INTEGER, "", "Cruise"},
    {"tab3_send_7",  P3, t3::TAB3_BINARYSWITCH_7,  dataItem3, 6,  INTEGER, "", "\xBF\xD8\xD6\xC6\xC6\xF7\xCF\xDE\xC1\xF7\xBF\xAA\xB7\xC5"},
    {"tab3_send_8",  P3, t3::TAB3_BINARYSWITCH_8,  dataItem3, 7,  INTEGER, "", "side support"},
    {"tab3_send_9",  P3, t3::TAB3_NUMERIC_SET_9,   dataItem3, 8,  DIRECT,  "%", "ReverseSpeed Limit"},
    {"tab3_send_10", P3, t3::TAB3_BINARYSWITCH_10, dataItem3, 9,  INTEGER, "", "Flux weakening"},
    {"tab3_send_11", P3, t3::TAB3_NUMERIC_SET_11,  dataItem3, 10, DIRECT,  "A", "Flux weaken current"},
    {"tab3_send_12", P3, t3::TAB3_NUMERIC_SET_12,  dataItem3, 11, DIRECT,  "A", "Electric brake phase current"},
    {"tab3_send_13", P3, t3::TAB3_BINARYSWITCH_13, dataItem3, 12, INTEGER, "", "Regenerative Charge"},
    {"tab3_send_14", P3, t3::TAB3_NUMERIC_SET_14,  dataItem3, 13, DIRECT,  "A", "Slide regenerative charge current"},
    {"tab3_send_15", P3, t3::TAB3_NUMERIC_SET_15,  dataItem3, 14, DIRECT,  "Rpm", "Slide regenerative charge speed"},
    {"tab3_send_16", P3, t3::TAB3_NUMERIC_SET_16,  dataItem3, 15, SCALED,  "", "Guard ph current coeff 0~1.0"},

    // TAB4_NUMERIC_SET_6 is sent unscaled although its item carries 5/32767.
    {"tab4_send_1", P4, t4::TAB4_NUMERIC_SET_1, dataItem4, 0, SCALED, "V", "Throttle min volt"},
    {"tab4_send_2", P4, t4::TAB4_NUMERIC_SET_2, dataItem4, 1, SCALED, "V", "Throttle max volt"},
    {"tab4_send_3", P4, t4::TAB4_NUMERIC_SET_3, dataItem4, 2, DIRECT, "ms", "Accelerate time"},
    {"tab4_send_4", P4, t4::TAB4_NUMERIC_SET_4, dataItem4, 3, DIRECT, "ms", "Decelerate time"},
    {"tab4_send_5", P4, t4::TAB4_NUMERIC_SET_5, dataItem4, 4, SCALED, "V", "Throttle mid volt"},
    {"tab4_send_6", P4, t4::TAB4_NUMERIC_SET_6, dataItem4, 5, DIRECT, "A", "Throttle mid current"},

    {"tab5_send_1",  P5, t5::TAB5_NUMERIC_SET_1,  dataItem5, 0,  DIRECT,  "", "hall squence"},
    {"tab5_send_2",  P5, t5::TAB5_NUMERIC_SET_2,  dataItem5, 1,  DIRECT,  "", "hall fixed angle"},
    {"tab5_send_3",  P5, t5::TAB5_NUMERIC_SET_3,  dataItem5, 2,  DIRECT,  "", "Motor direction"},
    {"tab5_send_4",  P5, t5::TAB5_NUMERIC_SET_4,  dataItem5, 3,  DIRECT,  "", "Motor Pn"},
    {"tab5_send_5",  P5, t5::TAB5_NUMERIC_SET_5,  dataItem5, 4,  DIRECT,  "", "motor L"},
    {"tab5_send_6",  P5, t5::TAB5_NUMERIC_SET_6,  dataItem5, 5,  DIRECT,  "", "motor R"},
    {"tab5_send_7",  P5, t5::TAB5_NUMERIC_SET_7,  dataItem5, 6,  DIRECT,  "", "Motor Lmd"},
    {"tab5_send_8",  P5, t5::TAB5_RING_8,         dataItem5, 7,  INTEGER, "", "Speed limit mode select"},
    {"tab5_send_9",  P5, t5::TAB5_NUMERIC_SET_9,  dataItem5, 8,  DIRECT,  "%", "Motor limit speed set"},
    {"tab5_send_10", P5, t5::TAB5_NUMERIC_SET_10, dataItem5, 9,  DIRECT,  "%", "Low speed set"},
    {"tab5_send_11", P5, t5::TAB5_NUMERIC_SET_11, dataItem5, 10, DIRECT,  "%", "Middle speed set"},

    // The store and restore buttons always send 1; the switches beside them
    // only show the registers as read back.
    {"tab6_send_1", P6, t6::TAB6_NUMERIC_SET_1,  dataItem6, 0, DIRECT,  "", "Current loop kp"},
    {"tab6_send_2", P6, t6::TAB6_NUMERIC_SET_2,  dataItem6, 1, DIRECT,  "", "Current loop ki"},
    {"tab6_send_3", P6, t6::TAB6_BINARYSWITCH_3, dataItem6, 2, INTEGER, "", "Hall angle test"},
    {"tab6_send_4", P6, t6::TAB6_RING_4,         dataItem6, 3, INTEGER, "", "Control mode"},
    {"tab6_send_5", P6, t6::TAB6_NUMERIC_SET_5,  dataItem6, 4, SCALED,  "degree", "Hall angle"},
    {"tab6_send_6", P6, t6::TAB6_NUMERIC_SET_6,  dataItem6, 5, DIRECT,  "A", "Test given current"},
    {"tab6_send_7", P6, 0,                       dataItem6, 6, COMMAND, "", "Restore factory settings"},
    {"tab6_send_8", P6, 0,                       dataItem6, 7, COMMAND, "", "Parameter store"},

    // The debug panel edits the same dataItem6; its store and restore
    // switches send their state.
    {"debug_tab1_send_1",  D1, d1::NUMERIC_SET_1,   dataItem6, 0,  DIRECT,  "", "\xB5\xE7\xC1\xF7\xB1\xC8\xC0\xFD\xCF\xB5\xCA\xFD"},
    {"debug_tab1_send_2",  D1, d1::NUMERIC_SET_2,   dataItem6, 1,  DIRECT,  "", "\xB5\xE7\xC1\xF7\xBB\xFD\xB7\xD6\xCF\xB5\xCA\xFD"},
    {"debug_tab2_send_3",  D2, d2::BINARYSWITCH_3,  dataItem6, 2,  INTEGER, "", "\xB2\xE2\xCA\xD4\xCA\xB9\xC4\xDC"},
    {"debug_tab2_send_4",  D2, d2::RING_4,          dataItem6, 3,  INTEGER, "", "\xD4\xCB\xD0\xD0\xC4\xA3\xCA\xBD\xD1\xA1\xD4\xF1"},
    {"debug_tab2_send_5",  D2, d2::NUMERIC_SET_5,   dataItem6, 4,  SCALED,  "A", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xB5\xE7\xC1\xF7" "D"},
    {"debug_tab1_send_6",  D1, d1::NUMERIC_SET_6,   dataItem6, 5,  DIRECT,  kDegree, "\xB5\xE7\xBD\xC7\xB6\xC8\xC6\xAB\xD2\xC6\xC1\xBF"},
    {"debug_tab1_send_7",  D1, d1::BINARYSWITCH_7,  dataItem6, 6,  INTEGER, "", "\xBB\xD6\xB8\xB4\xB3\xF6\xB3\xA7\xC9\xE8\xD6\xC3"},
    {"debug_tab1_send_8",  D1, d1::BINARYSWITCH_8,  dataItem6, 7,  INTEGER, "", "\xB1\xA3\xB4\xE6\xCA\xB9\xC4\xDC"},
    {"debug_tab2_send_9",  D2, d2::NUMERIC_SET_9,   dataItem6, 8,  SCALED,  "A", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xB5\xE7\xC1\xF7Q"},
    {"debug_tab2_send_10", D2, d2::NUMERIC_SET_10,  dataItem6, 9,  SCALED,  "Hz", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xC6\xB5\xC2\xCA"},
    {"debug_tab2_send_11", D2, d2::RING_11,         dataItem6, 10, INTEGER, "", "\xBD\xC7\xB6\xC8\xD1\xA1\xD4\xF1"},
    {"debug_tab2_send_12", D2, d2::NUMERIC_SET_12,  dataItem6, 11, SCALED,  "", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xB5\xE7\xD1\xB9VD"},
    {"debug_tab2_send_13", D2, d2::NUMERIC_SET_13,  dataItem6, 12, SCALED,  "", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xB5\xE7\xD1\xB9VD"},
    {"debug_tab2_send_14", D2, d2::NUMERIC_SET_14,  dataItem6, 13, SCALED,  "", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xB5\xE7\xBD\xC7\xB6\xC8"},
    {"debug_tab1_send_15", D1, d1::BINARYSWITCH_15, dataItem6, 14, INTEGER, "", "HALL\xB9\xCA\xD5\xCF\xC6\xC1\xB1\xCE\xCA\xB9\xC4\xDC"},
};
// clang-format on

constexpr std::size_t kSendCount = std::size(kSendRows);
static_assert(kSendCount == 63 + 15, "63 parameter buttons and 15 debug buttons");

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
    char text[160];
    std::snprintf(text, sizeof text, "Value out of range, nothing sent.\nAccepted range: %.*f .. %.*f%s%s",
                  decimals, lo, decimals, hi, row.unit[0] != '\0' ? " " : "", row.unit);
    MessagePopup("Error", text);
}

// The register value for a press of the row's button. False when nothing is
// to be stored: the control could not be read, or the entry does not fit the
// register (the operator has been told).
// `typed` receives the entry as the operator sees it.
bool registerValue(const SendRow& row, double* out, double* typed)
{
    const int page = row.page->load();
    switch (row.kind) {
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

constexpr const char* kSetPages[6] = {"BASIC", "TEMP", "FUNC", "THROTTLE", "MOTOR", "DEBUG"};
constexpr const char* kDebugPages[2] = {"\xC9\xE8\xD6\xC3", "\xB5\xF7\xCA\xD4"};  // the two debug tabs (GBK)

// The write as the operator sees it: panel, page, caption, entry and unit.
WriteRequest describe(const SendRow& row, double typed)
{
    WriteRequest w;
    for (int i = 0; i < 6; ++i) {
        if (row.page == &panel_set_tab[i]) {
            w.panel = "PARAMETER SET";
            w.page = kSetPages[i];
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (row.page == &panel_debug_tab[i]) {
            w.panel = "DEBUG";
            w.page = kDebugPages[i];
        }
    }
    w.caption = row.caption;
    w.unit = row.unit;
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
    if (count != nullptr) *count = kSendCount;
    return kSendRows;
}

bool IsDebugPanelRow(const SendRow& row)
{
    return row.page == D1 || row.page == D2;
}

int RowPageIndex(const SendRow& row)
{
    if (IsDebugPanelRow(row)) return static_cast<int>(row.page - panel_debug_tab);
    return static_cast<int>(row.page - panel_set_tab);
}

const CallbackEntry* PageCallbacks(int* count)
{
    using Entries = std::array<CallbackEntry, kSendCount + 2>;
    static const Entries entries = [] {
        Entries e{};
        for (std::size_t i = 0; i < kSendCount; ++i) {
            e[i] =
                CallbackEntry{kSendRows[i].name, sendCallback, nullptr, const_cast<SendRow*>(&kSendRows[i])};
        }
        e[kSendCount] = CallbackEntry{"cb_refreshTab1", cb_refreshTab1, nullptr, nullptr};
        e[kSendCount + 1] = CallbackEntry{"refreshDebugTab", refreshDebugTab, nullptr, nullptr};
        return e;
    }();
    if (count != nullptr) *count = static_cast<int>(entries.size());
    return entries.data();
}
