#include "pages/page_callbacks.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/send_rows.h"
#include "pages/write_guard.h"

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
    {"tab1_send_1",  P1, t1::TAB1_NUMERIC_SET_1,  dataItem1, 0,  DIRECT, "V"},
    {"tab1_send_2",  P1, t1::TAB1_NUMERIC_SET_2,  dataItem1, 1,  DIRECT, "V"},
    {"tab1_send_3",  P1, t1::TAB1_NUMERIC_SET_3,  dataItem1, 2,  DIRECT, "V"},
    {"tab1_send_4",  P1, t1::TAB1_NUMERIC_SET_4,  dataItem1, 3,  DIRECT, "A"},
    {"tab1_send_5",  P1, t1::TAB1_NUMERIC_SET_5,  dataItem1, 4,  DIRECT, "A"},
    {"tab1_send_6",  P1, t1::TAB1_NUMERIC_SET_6,  dataItem1, 5,  DIRECT, "A"},
    {"tab1_send_7",  P1, t1::TAB1_NUMERIC_SET_7,  dataItem1, 6,  DIRECT, "A"},
    {"tab1_send_8",  P1, t1::TAB1_NUMERIC_SET_8,  dataItem1, 7,  DIRECT, "A"},
    {"tab1_send_9",  P1, t1::TAB1_NUMERIC_SET_9,  dataItem1, 8,  DIRECT, "s"},
    {"tab1_send_10", P1, t1::TAB1_NUMERIC_SET_10, dataItem1, 9,  DIRECT, "A"},
    {"tab1_send_11", P1, t1::TAB1_NUMERIC_SET_11, dataItem1, 10, DIRECT, "ms"},
    {"tab1_send_12", P1, t1::TAB1_NUMERIC_SET_12, dataItem1, 11, DIRECT, "A"},
    {"tab1_send_13", P1, t1::TAB1_NUMERIC_SET_13, dataItem1, 12, DIRECT, "A"},
    {"tab1_send_14", P1, t1::TAB1_NUMERIC_SET_14, dataItem1, 13, DIRECT, "A"},
    {"tab1_send_15", P1, t1::TAB1_NUMERIC_SET_15, dataItem1, 14, DIRECT, "s"},

    {"tab2_send_1", P2, t2::TAB2_NUMERIC_SET_1,  dataItem2, 0, DIRECT,  kDegC},
    {"tab2_send_2", P2, t2::TAB2_NUMERIC_SET_2,  dataItem2, 1, DIRECT,  kDegC},
    {"tab2_send_3", P2, t2::TAB2_NUMERIC_SET_3,  dataItem2, 2, DIRECT,  kDegC},
    {"tab2_send_4", P2, t2::TAB2_NUMERIC_SET_4,  dataItem2, 3, DIRECT,  kDegC},
    {"tab2_send_5", P2, t2::TAB2_NUMERIC_SET_7,  dataItem2, 4, DIRECT,  kDegC},
    {"tab2_send_6", P2, t2::TAB2_NUMERIC_SET_6,  dataItem2, 5, DIRECT,  kDegC},
    {"tab2_send_7", P2, t2::TAB2_BINARYSWITCH_5, dataItem2, 6, INTEGER, ""},

    {"tab3_send_1",  P3, t3::TAB3_BINARYSWITCH_1,  dataItem3, 0,  INTEGER, ""},
    {"tab3_send_2",  P3, t3::TAB3_BINARYSWITCH_2,  dataItem3, 1,  INTEGER, ""},
    {"tab3_send_3",  P3, t3::TAB3_BINARYSWITCH_3,  dataItem3, 2,  INTEGER, ""},
    {"tab3_send_4",  P3, t3::TAB3_RING_2,          dataItem3, 3,  INTEGER, ""},
    {"tab3_send_5",  P3, t3::TAB3_RING_1,          dataItem3, 4,  INTEGER, ""},
    {"tab3_send_6",  P3, t3::TAB3_BINARYSWITCH_6,  dataItem3, 5,  INTEGER, ""},
    {"tab3_send_7",  P3, t3::TAB3_BINARYSWITCH_7,  dataItem3, 6,  INTEGER, ""},
    {"tab3_send_8",  P3, t3::TAB3_BINARYSWITCH_8,  dataItem3, 7,  INTEGER, ""},
    {"tab3_send_9",  P3, t3::TAB3_NUMERIC_SET_9,   dataItem3, 8,  DIRECT,  "%"},
    {"tab3_send_10", P3, t3::TAB3_BINARYSWITCH_10, dataItem3, 9,  INTEGER, ""},
    {"tab3_send_11", P3, t3::TAB3_NUMERIC_SET_11,  dataItem3, 10, DIRECT,  "A"},
    {"tab3_send_12", P3, t3::TAB3_NUMERIC_SET_12,  dataItem3, 11, DIRECT,  "A"},
    {"tab3_send_13", P3, t3::TAB3_BINARYSWITCH_13, dataItem3, 12, INTEGER, ""},
    {"tab3_send_14", P3, t3::TAB3_NUMERIC_SET_14,  dataItem3, 13, DIRECT,  "A"},
    {"tab3_send_15", P3, t3::TAB3_NUMERIC_SET_15,  dataItem3, 14, DIRECT,  "Rpm"},
    {"tab3_send_16", P3, t3::TAB3_NUMERIC_SET_16,  dataItem3, 15, SCALED,  ""},

    // TAB4_NUMERIC_SET_6 is sent unscaled although its item carries 5/32767.
    {"tab4_send_1", P4, t4::TAB4_NUMERIC_SET_1, dataItem4, 0, SCALED, "V"},
    {"tab4_send_2", P4, t4::TAB4_NUMERIC_SET_2, dataItem4, 1, SCALED, "V"},
    {"tab4_send_3", P4, t4::TAB4_NUMERIC_SET_3, dataItem4, 2, DIRECT, "ms"},
    {"tab4_send_4", P4, t4::TAB4_NUMERIC_SET_4, dataItem4, 3, DIRECT, "ms"},
    {"tab4_send_5", P4, t4::TAB4_NUMERIC_SET_5, dataItem4, 4, SCALED, "V"},
    {"tab4_send_6", P4, t4::TAB4_NUMERIC_SET_6, dataItem4, 5, DIRECT, "A"},

    {"tab5_send_1",  P5, t5::TAB5_NUMERIC_SET_1,  dataItem5, 0,  DIRECT,  ""},
    {"tab5_send_2",  P5, t5::TAB5_NUMERIC_SET_2,  dataItem5, 1,  DIRECT,  ""},
    {"tab5_send_3",  P5, t5::TAB5_NUMERIC_SET_3,  dataItem5, 2,  DIRECT,  ""},
    {"tab5_send_4",  P5, t5::TAB5_NUMERIC_SET_4,  dataItem5, 3,  DIRECT,  ""},
    {"tab5_send_5",  P5, t5::TAB5_NUMERIC_SET_5,  dataItem5, 4,  DIRECT,  ""},
    {"tab5_send_6",  P5, t5::TAB5_NUMERIC_SET_6,  dataItem5, 5,  DIRECT,  ""},
    {"tab5_send_7",  P5, t5::TAB5_NUMERIC_SET_7,  dataItem5, 6,  DIRECT,  ""},
    {"tab5_send_8",  P5, t5::TAB5_RING_8,         dataItem5, 7,  INTEGER, ""},
    {"tab5_send_9",  P5, t5::TAB5_NUMERIC_SET_9,  dataItem5, 8,  DIRECT,  "%"},
    {"tab5_send_10", P5, t5::TAB5_NUMERIC_SET_10, dataItem5, 9,  DIRECT,  "%"},
    {"tab5_send_11", P5, t5::TAB5_NUMERIC_SET_11, dataItem5, 10, DIRECT,  "%"},

    // The store and restore buttons always send 1; the switches beside them
    // only show the registers as read back.
    {"tab6_send_1", P6, t6::TAB6_NUMERIC_SET_1,  dataItem6, 0, DIRECT,  ""},
    {"tab6_send_2", P6, t6::TAB6_NUMERIC_SET_2,  dataItem6, 1, DIRECT,  ""},
    {"tab6_send_3", P6, t6::TAB6_BINARYSWITCH_3, dataItem6, 2, INTEGER, ""},
    {"tab6_send_4", P6, t6::TAB6_RING_4,         dataItem6, 3, INTEGER, ""},
    {"tab6_send_5", P6, t6::TAB6_NUMERIC_SET_5,  dataItem6, 4, SCALED,  "degree"},
    {"tab6_send_6", P6, t6::TAB6_NUMERIC_SET_6,  dataItem6, 5, DIRECT,  "A"},
    {"tab6_send_7", P6, 0,                       dataItem6, 6, COMMAND, ""},
    {"tab6_send_8", P6, 0,                       dataItem6, 7, COMMAND, ""},

    // The debug panel edits the same dataItem6; its store and restore
    // switches send their state.
    {"debug_tab1_send_1",  D1, d1::NUMERIC_SET_1,   dataItem6, 0,  DIRECT,  ""},
    {"debug_tab1_send_2",  D1, d1::NUMERIC_SET_2,   dataItem6, 1,  DIRECT,  ""},
    {"debug_tab2_send_3",  D2, d2::BINARYSWITCH_3,  dataItem6, 2,  INTEGER, ""},
    {"debug_tab2_send_4",  D2, d2::RING_4,          dataItem6, 3,  INTEGER, ""},
    {"debug_tab2_send_5",  D2, d2::NUMERIC_SET_5,   dataItem6, 4,  SCALED,  "A"},
    {"debug_tab1_send_6",  D1, d1::NUMERIC_SET_6,   dataItem6, 5,  DIRECT,  kDegree},
    {"debug_tab1_send_7",  D1, d1::BINARYSWITCH_7,  dataItem6, 6,  INTEGER, ""},
    {"debug_tab1_send_8",  D1, d1::BINARYSWITCH_8,  dataItem6, 7,  INTEGER, ""},
    {"debug_tab2_send_9",  D2, d2::NUMERIC_SET_9,   dataItem6, 8,  SCALED,  "A"},
    {"debug_tab2_send_10", D2, d2::NUMERIC_SET_10,  dataItem6, 9,  SCALED,  "Hz"},
    {"debug_tab2_send_11", D2, d2::RING_11,         dataItem6, 10, INTEGER, ""},
    {"debug_tab2_send_12", D2, d2::NUMERIC_SET_12,  dataItem6, 11, SCALED,  ""},
    {"debug_tab2_send_13", D2, d2::NUMERIC_SET_13,  dataItem6, 12, SCALED,  ""},
    {"debug_tab2_send_14", D2, d2::NUMERIC_SET_14,  dataItem6, 13, SCALED,  ""},
    {"debug_tab1_send_15", D1, d1::BINARYSWITCH_15, dataItem6, 14, INTEGER, ""},
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
bool registerValue(const SendRow& row, double* out)
{
    const int page = row.page->load();
    switch (row.kind) {
        case SendKind::Command:
            *out = 1.0;
            return true;
        case SendKind::Integer: {
            int v = 0;
            if (GetCtrlVal(page, row.control, &v) < 0) return false;
            *out = v;
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
            return true;
        }
    }
    return false;
}

// The callback behind every "__OK" button; callbackData is its SendRow. The
// value is stored before the flag is set, so the communication thread never
// sends a stale value.
int sendCallback(int, int, int event, void* callbackData, int, int)
{
    if (event != EVENT_COMMIT || callbackData == nullptr) return 0;
    const SendRow& row = *static_cast<const SendRow*>(callbackData);
    double reg = 0.0;
    if (!registerValue(row, &reg)) return 0;
    DataItem& item = row.table[row.index];
    if (!ConfirmWrite(item.address.load(), reg)) return 0;
    item.value.store(reg);
    item.send_flag.store(1);
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
