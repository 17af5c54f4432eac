// Page refresh: copies flagged data items into the panel controls.
//
// Each page is a table of rows, one per data item in item order, naming the
// control(s) that show the item and the conversion. One walker serves all six
// pages; the main panel's status area has its own walker because its status
// words are drawn bit by bit into tables and are redrawn only on a change.
#include <climits>
#include <cmath>
#include <iterator>

#include "engine/ems.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/ui.h"

std::atomic<int> inputIOstatue{0};
std::atomic<int> outputIOstatue{0};
std::atomic<int> err1statue{0};
std::atomic<int> err2statue{0};
std::atomic<int> err3statue{0};

const int queryItemID[DATAITEMOR_COUNT] = {
    uir::panel_main::RING_QUERY_0,     uir::panel_main::NUMERIC_QUERY_1,  uir::panel_main::NUMERIC_QUERY_2,
    uir::panel_main::NUMERIC_QUERY_3,  uir::panel_main::NUMERIC_QUERY_4,  uir::panel_main::NUMERIC_QUERY_5,
    uir::panel_main::NUMERIC_QUERY_6,  uir::panel_main::NUMERIC_QUERY_7,  uir::panel_main::NUMERIC_QUERY_8,
    uir::panel_main::NUMERIC_QUERY_9,  uir::panel_main::NUMERIC_QUERY_10, uir::panel_main::NUMERIC_QUERY_11,
    uir::panel_main::TABLE_2,          uir::panel_main::TABLE_3,          uir::panel_main::TABLE_1,
    uir::panel_main::TABLE_1,          uir::panel_main::TABLE_1,          uir::panel_main::NUMERIC_QUERY_17,
    uir::panel_main::RING_QUERY_18,    uir::panel_main::NUMERIC_QUERY_19, uir::panel_main::NUMERIC_QUERY_20,
    uir::panel_main::NUMERIC_QUERY_21, uir::panel_main::NUMERIC_QUERY_22, uir::panel_main::NUMERIC_QUERY_23,
    uir::panel_main::NUMERIC_QUERY_24, uir::panel_main::RING_QUERY_25,
};

namespace {

// Truncation toward zero, defined for every double: NaN gives 0 and values
// beyond the int range give its limits.
int truncToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// How an item's value becomes what its control shows.
enum class Conv {
    Number,   // the value unchanged (numeric controls)
    Integer,  // truncated toward zero (rings and switches)
    Scaled,   // value * scale_num / scale_den (numeric controls)
};

constexpr int kNoControl = 0;  // control ids count from 2
constexpr int kNoPage = -1;

// One item of a page: its control on the parameter page and, on page 6, its
// control on one of the two debug pages.
struct PageRow {
    Conv conv;
    int control;       // on the parameter page, or kNoControl
    int debugPage;     // index into panel_debug_tab, or kNoPage
    int debugControl;  // on that debug page
};

constexpr PageRow number(int control)
{
    return {Conv::Number, control, kNoPage, kNoControl};
}
constexpr PageRow integer(int control)
{
    return {Conv::Integer, control, kNoPage, kNoControl};
}
constexpr PageRow scaled(int control)
{
    return {Conv::Scaled, control, kNoPage, kNoControl};
}
constexpr PageRow mirrored(Conv conv, int control, int debugPage, int debugControl)
{
    return {conv, control, debugPage, debugControl};
}
constexpr PageRow debugOnly(Conv conv, int debugPage, int debugControl)
{
    return {conv, kNoControl, debugPage, debugControl};
}

namespace t1 = uir::tabpanel_1;
namespace t2 = uir::tabpanel_2;
namespace t3 = uir::tabpanel_3;
namespace t4 = uir::tabpanel_4;
namespace t5 = uir::tabpanel_5;
namespace t6 = uir::tabpanel_6;
namespace d1 = uir::dbg_tab1;
namespace d2 = uir::dbg_tab2;
constexpr int DBG1 = 0;
constexpr int DBG2 = 1;

constexpr PageRow kPage1[] = {
    number(t1::TAB1_NUMERIC_SET_1),  number(t1::TAB1_NUMERIC_SET_2),  number(t1::TAB1_NUMERIC_SET_3),
    number(t1::TAB1_NUMERIC_SET_4),  number(t1::TAB1_NUMERIC_SET_5),  number(t1::TAB1_NUMERIC_SET_6),
    number(t1::TAB1_NUMERIC_SET_7),  number(t1::TAB1_NUMERIC_SET_8),  number(t1::TAB1_NUMERIC_SET_9),
    number(t1::TAB1_NUMERIC_SET_10), number(t1::TAB1_NUMERIC_SET_11), number(t1::TAB1_NUMERIC_SET_12),
    number(t1::TAB1_NUMERIC_SET_13), number(t1::TAB1_NUMERIC_SET_14), number(t1::TAB1_NUMERIC_SET_15),
};

constexpr PageRow kPage2[] = {
    number(t2::TAB2_NUMERIC_SET_1),   number(t2::TAB2_NUMERIC_SET_2), number(t2::TAB2_NUMERIC_SET_3),
    number(t2::TAB2_NUMERIC_SET_4),   number(t2::TAB2_NUMERIC_SET_7), number(t2::TAB2_NUMERIC_SET_6),
    integer(t2::TAB2_BINARYSWITCH_5),
};

constexpr PageRow kPage3[] = {
    integer(t3::TAB3_BINARYSWITCH_1),  integer(t3::TAB3_BINARYSWITCH_2), integer(t3::TAB3_BINARYSWITCH_3),
    integer(t3::TAB3_RING_2),          integer(t3::TAB3_RING_1),         integer(t3::TAB3_BINARYSWITCH_6),
    integer(t3::TAB3_BINARYSWITCH_7),  integer(t3::TAB3_BINARYSWITCH_8), number(t3::TAB3_NUMERIC_SET_9),
    integer(t3::TAB3_BINARYSWITCH_10), number(t3::TAB3_NUMERIC_SET_11),  number(t3::TAB3_NUMERIC_SET_12),
    integer(t3::TAB3_BINARYSWITCH_13), number(t3::TAB3_NUMERIC_SET_14),  number(t3::TAB3_NUMERIC_SET_15),
    scaled(t3::TAB3_NUMERIC_SET_16),
};

// TAB4_NUMERIC_SET_6 shows its item unscaled although the item carries 5/32767.
constexpr PageRow kPage4[] = {
    scaled(t4::TAB4_NUMERIC_SET_1), scaled(t4::TAB4_NUMERIC_SET_2), number(t4::TAB4_NUMERIC_SET_3),
    number(t4::TAB4_NUMERIC_SET_4), scaled(t4::TAB4_NUMERIC_SET_5), number(t4::TAB4_NUMERIC_SET_6),
};

constexpr PageRow kPage5[] = {
    number(t5::TAB5_NUMERIC_SET_1),  number(t5::TAB5_NUMERIC_SET_2),  number(t5::TAB5_NUMERIC_SET_3),
    number(t5::TAB5_NUMERIC_SET_4),  number(t5::TAB5_NUMERIC_SET_5),  number(t5::TAB5_NUMERIC_SET_6),
    number(t5::TAB5_NUMERIC_SET_7),  integer(t5::TAB5_RING_8),        number(t5::TAB5_NUMERIC_SET_9),
    number(t5::TAB5_NUMERIC_SET_10), number(t5::TAB5_NUMERIC_SET_11),
};

// Items 0..7 show on the parameter page and on the debug panel; 8..14 only there.
constexpr PageRow kPage6[] = {
    mirrored(Conv::Number, t6::TAB6_NUMERIC_SET_1, DBG1, d1::NUMERIC_SET_1),
    mirrored(Conv::Number, t6::TAB6_NUMERIC_SET_2, DBG1, d1::NUMERIC_SET_2),
    mirrored(Conv::Integer, t6::TAB6_BINARYSWITCH_3, DBG2, d2::BINARYSWITCH_3),
    mirrored(Conv::Integer, t6::TAB6_RING_4, DBG2, d2::RING_4),
    mirrored(Conv::Scaled, t6::TAB6_NUMERIC_SET_5, DBG2, d2::NUMERIC_SET_5),
    mirrored(Conv::Number, t6::TAB6_NUMERIC_SET_6, DBG1, d1::NUMERIC_SET_6),
    mirrored(Conv::Integer, t6::TAB6_BINARYSWITCH_7, DBG1, d1::BINARYSWITCH_7),
    mirrored(Conv::Integer, t6::TAB6_BINARYSWITCH_8, DBG1, d1::BINARYSWITCH_8),
    debugOnly(Conv::Scaled, DBG2, d2::NUMERIC_SET_9),
    debugOnly(Conv::Scaled, DBG2, d2::NUMERIC_SET_10),
    debugOnly(Conv::Integer, DBG2, d2::RING_11),
    debugOnly(Conv::Scaled, DBG2, d2::NUMERIC_SET_12),
    debugOnly(Conv::Scaled, DBG2, d2::NUMERIC_SET_13),
    debugOnly(Conv::Scaled, DBG2, d2::NUMERIC_SET_14),
    debugOnly(Conv::Integer, DBG1, d1::BINARYSWITCH_15),
};

static_assert(std::size(kPage1) == DATAITEM1_COUNT, "one row per item");
static_assert(std::size(kPage2) == DATAITEM2_COUNT, "one row per item");
static_assert(std::size(kPage3) == DATAITEM3_COUNT, "one row per item");
static_assert(std::size(kPage4) == DATAITEM4_COUNT, "one row per item");
static_assert(std::size(kPage5) == DATAITEM5_COUNT, "one row per item");
static_assert(std::size(kPage6) == DATAITEM6_COUNT, "one row per item");

const PageRow* const kPageRows[6] = {kPage1, kPage2, kPage3, kPage4, kPage5, kPage6};

void showRow(const PageRow& row, int tab, const DataItem& item)
{
    const int page = panel_set_tab[tab].load();
    const int debugPage = row.debugPage == kNoPage ? 0 : panel_debug_tab[row.debugPage].load();
    if (row.conv == Conv::Integer) {
        const int shown = truncToInt(item.value.load());
        if (row.control != kNoControl) SetCtrlVal(page, row.control, shown);
        if (row.debugPage != kNoPage) SetCtrlVal(debugPage, row.debugControl, shown);
        return;
    }
    const double shown = row.conv == Conv::Scaled ? scaledValue(item) : item.value.load();
    if (row.control != kNoControl) SetCtrlVal(page, row.control, shown);
    if (row.debugPage != kNoPage) SetCtrlVal(debugPage, row.debugControl, shown);
}

// Shows every flagged item of page `tab` (0..5). The flag is cleared before
// the value is read, so a reply landing in between is shown again next pass.
void refreshPage(int tab)
{
    const ItemTable& table = kPageTables[tab];
    for (int i = 0; i < table.count; ++i) {
        DataItem& item = table.items[i];
        if (item.refresh_flag.load() == 0) continue;
        item.refresh_flag.store(0);
        showRow(kPageRows[tab][i], tab, item);
    }
}

// A status word drawn bit by bit into the rows of a main-panel table, either
// as a text per bit or (texts null) as red/black row text.
struct StatusWord {
    std::atomic<int>* cache;  // the word last drawn
    int control;
    int column;
    int firstRow;  // row of bit 0
    int bits;
    const char* high;  // text for a set bit
    const char* low;   // text for a clear bit
};

// "高" and "低" in the console's code page (GBK).
constexpr const char* kHighGbk = "\xB8\xDF";
constexpr const char* kLowGbk = "\xB5\xCD";

const StatusWord kStatusWords[] = {
    {&inputIOstatue, uir::panel_main::TABLE_2, 2, 1, 8, "HIGH", "LOW"},
    {&outputIOstatue, uir::panel_main::TABLE_3, 2, 1, 4, kHighGbk, kLowGbk},
    {&err1statue, uir::panel_main::TABLE_1, 1, 1, 16, nullptr, nullptr},
    {&err2statue, uir::panel_main::TABLE_1, 1, 17, 16, nullptr, nullptr},
    {&err3statue, uir::panel_main::TABLE_1, 1, 33, 16, nullptr, nullptr},
};
constexpr int kFirstWordItem = 12;

// Redraws all rows of a status word when the value differs from the cached
// word (NaN always differs). The item's flag is left set, so every pass
// compares again.
void showWord(const StatusWord& s, double value)
{
    if (value == static_cast<double>(s.cache->load())) return;
    const int word = truncToInt(value);
    s.cache->store(word);
    const int panel = panelMain.load();
    for (int b = 0; b < s.bits; ++b) {
        const bool set = ((word >> b) & 1) != 0;  // arithmetic shift: bit 15 of a negative word is exact
        const Point cell = MakePoint(s.column, s.firstRow + b);
        if (s.high != nullptr) {
            SetTableCellVal(panel, s.control, cell, set ? s.high : s.low);
        } else {
            SetTableCellAttribute(panel, s.control, cell, ATTR_TEXT_COLOR, set ? VAL_RED : VAL_BLACK);
        }
    }
}

enum class StatusKind { Ring, Reading, Word };

constexpr StatusKind R = StatusKind::Ring;
constexpr StatusKind N = StatusKind::Reading;
constexpr StatusKind W = StatusKind::Word;
constexpr StatusKind kStatusKinds[] = {
    R, N, N, N, N, N, N, N, N, N, N, N, W, W, W, W, W, N, R, N, N, N, N, N, N, R,
};
static_assert(std::size(kStatusKinds) == DATAITEMOR_COUNT, "one kind per status item");
static_assert(std::size(kStatusWords) == 5, "items 12..16 are status words");

}  // namespace

void refreshTABPANEL_1()
{
    refreshPage(0);
}
void refreshTABPANEL_2()
{
    refreshPage(1);
}
void refreshTABPANEL_3()
{
    refreshPage(2);
}
void refreshTABPANEL_4()
{
    refreshPage(3);
}
void refreshTABPANEL_5()
{
    refreshPage(4);
}
void refreshTABPANEL_6()
{
    refreshPage(5);
}

// Rings and read-outs clear their flag after the write; the status words keep
// theirs (see showWord).
void refreshQUERY()
{
    const int panel = panelMain.load();
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        DataItem& item = dataItemOR[i];
        if (item.refresh_flag.load() == 0) continue;
        switch (kStatusKinds[i]) {
            case StatusKind::Ring:
                SetCtrlVal(panel, queryItemID[i], truncToInt(item.value.load()));
                item.refresh_flag.store(0);
                break;
            case StatusKind::Reading:
                SetCtrlVal(panel, queryItemID[i], scaledValue(item));
                item.refresh_flag.store(0);
                break;
            case StatusKind::Word:
                showWord(kStatusWords[i - kFirstWordItem], item.value.load());
                break;
        }
    }
}

ItemDisplay pageItemDisplay(int tab, int index)
{
    if (tab < 0 || tab >= 6 || index < 0 || index >= kPageTables[tab].count) return {nullptr, 0, 0, 0, false};
    const PageRow& row = kPageRows[tab][index];
    const bool scaled = row.conv == Conv::Scaled;
    if (row.control != kNoControl) return {"mainwin.uir", uir::PANEL_SET, tab, row.control, scaled};
    return {"debug.uir", uir::PANEL_DEBG, row.debugPage, row.debugControl, scaled};
}

void refreshAll()
{
    refreshTABPANEL_1();
    refreshTABPANEL_2();
    refreshTABPANEL_3();
    refreshTABPANEL_4();
    refreshTABPANEL_5();
    refreshTABPANEL_6();
    refreshQUERY();
}

bool PageItemControls(int tab, int index, int* pageControl, int* debugPage, int* debugControl)
{
    if (tab < 0 || tab >= 6 || index < 0 || index >= kPageTables[tab].count) return false;
    const PageRow& row = kPageRows[tab][index];
    *pageControl = row.control;
    *debugPage = row.debugPage;
    *debugControl = row.debugControl;
    return true;
}
