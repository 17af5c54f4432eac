#include "pages/refresh.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <vector>

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"

using testsupport::RecordingUi;
using testsupport::UiWrite;

namespace {

constexpr int MAIN = testsupport::kMainPanel;
constexpr int P[6] = {testsupport::kPagePanel,     testsupport::kPagePanel + 1, testsupport::kPagePanel + 2,
                      testsupport::kPagePanel + 3, testsupport::kPagePanel + 4, testsupport::kPagePanel + 5};
constexpr int D[2] = {testsupport::kDebugPanel, testsupport::kDebugPanel + 1};

void clearRefreshFlags()
{
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) t.items[i].refresh_flag = 0;
    }
    for (DataItem& d : dataItemOR) d.refresh_flag = 0;
}

class Refresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        panelMain = MAIN;
        for (int i = 0; i < 6; ++i) panel_set_tab[i] = P[i];
        for (int i = 0; i < 2; ++i) panel_debug_tab[i] = D[i];
        fillDataItems();
        // The status words drawn last live for the whole process.
        for (auto* w : {&inputIOstatue, &outputIOstatue, &err1statue, &err2statue, &err3statue}) w->store(0);
    }

    // Every row of a status table written in the last pass, by row number.
    std::set<int> rowsWritten(int control) const
    {
        std::set<int> rows;
        for (const UiWrite& w : ui.writesTo(MAIN, control)) rows.insert(w.row);
        return rows;
    }

    RecordingUi ui;
};

struct Shown {
    int panel;
    int control;
    bool integer;
    double value;
};

struct DisplayCase {
    const char* what;
    DataItem* table;
    int index;
    double raw;
    std::vector<Shown> shown;  // every control write expected, in order
};

TEST_F(Refresh, OneFlaggedItemIsShownOnItsControlsWithItsConversion)
{
    namespace t1 = uir::tabpanel_1;
    namespace t2 = uir::tabpanel_2;
    namespace t3 = uir::tabpanel_3;
    namespace t4 = uir::tabpanel_4;
    namespace t5 = uir::tabpanel_5;
    namespace t6 = uir::tabpanel_6;
    namespace d1 = uir::dbg_tab1;
    namespace d2 = uir::dbg_tab2;
    const DisplayCase cases[] = {
        {"over volt", dataItem1, 2, 58, {{P[0], t1::TAB1_NUMERIC_SET_3, false, 58}}},
        {"item 4 of page 2 sits on NUMERIC_SET_7",
         dataItem2,
         4,
         80,
         {{P[1], t2::TAB2_NUMERIC_SET_7, false, 80}}},
        {"sensor switch", dataItem2, 6, 1, {{P[1], t2::TAB2_BINARYSWITCH_5, true, 1}}},
        {"1/10 coefficient", dataItem3, 15, 7, {{P[2], t3::TAB3_NUMERIC_SET_16, false, 0.7}}},
        {"1/10 coefficient 123", dataItem3, 15, 123, {{P[2], t3::TAB3_NUMERIC_SET_16, false, 12.3}}},
        {"boost ring", dataItem3, 4, 4, {{P[2], t3::TAB3_RING_1, true, 4}}},
        {"throttle min full scale", dataItem4, 0, 32767, {{P[3], t4::TAB4_NUMERIC_SET_1, false, 5.0}}},
        {"throttle min negative",
         dataItem4,
         0,
         -32768,
         {{P[3], t4::TAB4_NUMERIC_SET_1, false, -32768.0 * 5 / 32767}}},
        {"mid current unscaled", dataItem4, 5, 16384, {{P[3], t4::TAB4_NUMERIC_SET_6, false, 16384}}},
        {"speed ring", dataItem5, 7, 2, {{P[4], t5::TAB5_RING_8, true, 2}}},
        {"hall angle on both panels",
         dataItem6,
         4,
         32767,
         {{P[5], t6::TAB6_NUMERIC_SET_5, false, 600}, {D[1], d2::NUMERIC_SET_5, false, 600}}},
        {"kp on both panels",
         dataItem6,
         0,
         12,
         {{P[5], t6::TAB6_NUMERIC_SET_1, false, 12}, {D[0], d1::NUMERIC_SET_1, false, 12}}},
        {"control mode truncated",
         dataItem6,
         3,
         2.9,
         {{P[5], t6::TAB6_RING_4, true, 2}, {D[1], d2::RING_4, true, 2}}},
        {"negative truncated toward zero",
         dataItem6,
         3,
         -2.9,
         {{P[5], t6::TAB6_RING_4, true, -2}, {D[1], d2::RING_4, true, -2}}},
        {"restore switch",
         dataItem6,
         6,
         1,
         {{P[5], t6::TAB6_BINARYSWITCH_7, true, 1}, {D[0], d1::BINARYSWITCH_7, true, 1}}},
        {"frequency debug only", dataItem6, 9, 32767, {{D[1], d2::NUMERIC_SET_10, false, 1000}}},
        {"angle debug only",
         dataItem6,
         13,
         16384,
         {{D[1], d2::NUMERIC_SET_14, false, 16384.0 * 360 / 32767}}},
        {"voltage debug only",
         dataItem6,
         12,
         -32768,
         {{D[1], d2::NUMERIC_SET_13, false, -32768.0 * 600 / 32767}}},
        {"hall mask debug only", dataItem6, 14, 1, {{D[0], d1::BINARYSWITCH_15, true, 1}}},
        {"NaN on a switch",
         dataItem6,
         14,
         std::numeric_limits<double>::quiet_NaN(),
         {{D[0], d1::BINARYSWITCH_15, true, 0}}},
        {"huge on a ring", dataItem6, 10, 1e300, {{D[1], d2::RING_11, true, INT_MAX}}},
        {"huge negative on a ring", dataItem6, 10, -1e300, {{D[1], d2::RING_11, true, INT_MIN}}},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.what);
        clearRefreshFlags();
        ui.clear();
        c.table[c.index].value = c.raw;
        c.table[c.index].refresh_flag = 1;
        refreshAll();
        const std::vector<UiWrite> writes = ui.writes();
        ASSERT_EQ(writes.size(), c.shown.size());
        for (std::size_t k = 0; k < writes.size(); ++k) {
            EXPECT_EQ(writes[k].panel, c.shown[k].panel);
            EXPECT_EQ(writes[k].control, c.shown[k].control);
            if (c.shown[k].integer) {
                EXPECT_EQ(writes[k].kind, UiWrite::CtrlInt);
                EXPECT_EQ(writes[k].integer, static_cast<int>(c.shown[k].value));
            } else {
                EXPECT_EQ(writes[k].kind, UiWrite::CtrlDouble);
                EXPECT_NEAR(writes[k].number, c.shown[k].value, 1e-9);
            }
        }
        EXPECT_EQ(c.table[c.index].refresh_flag.load(), 0);
    }
}

TEST_F(Refresh, StartValuesAreShownOnceOnEveryPageControl)
{
    refreshTABPANEL_1();
    refreshTABPANEL_2();
    refreshTABPANEL_3();
    refreshTABPANEL_4();
    refreshTABPANEL_5();
    refreshTABPANEL_6();
    const int perPanel[][2] = {{P[0], 15}, {P[1], 7}, {P[2], 16}, {P[3], 6},
                               {P[4], 11}, {P[5], 8}, {D[0], 6},  {D[1], 9}};
    std::size_t total = 0;
    for (const auto& pc : perPanel) {
        std::set<int> controls;
        for (const UiWrite& w : ui.writes()) {
            if (w.panel == pc[0]) controls.insert(w.control);
        }
        EXPECT_EQ(static_cast<int>(controls.size()), pc[1]) << "panel " << pc[0];
        total += controls.size();
    }
    EXPECT_EQ(ui.writes().size(), total) << "each control written exactly once";
    // Page 3 starts at index mod 2; the FUNC switch of item 1 shows 1, item 2 shows 0.
    auto page3 = ui.writesTo(P[2], uir::tabpanel_3::TAB3_BINARYSWITCH_2);
    ASSERT_EQ(page3.size(), 1u);
    EXPECT_EQ(page3[0].integer, 1);
    auto page1 = ui.writesTo(P[0], uir::tabpanel_1::TAB1_NUMERIC_SET_15);
    ASSERT_EQ(page1.size(), 1u);
    EXPECT_EQ(page1[0].number, 14.0);

    ui.clear();
    refreshAll();
    refreshAll();
    for (const UiWrite& w : ui.writes()) EXPECT_EQ(w.panel, MAIN) << "page control rewritten: " << w.control;
}

TEST_F(Refresh, EveryPageRowShowsItsOwnItemWhereItsSendButtonReadsIt)
{
    // Every item gets a value of its own; after one refresh pass the panels
    // hold what was drawn, and each "__OK" press must hand back the value of
    // the item it writes. A row drawn on another row's control, or a button
    // reading another row's control, hands back someone else's value.
    panel_set = 50;
    comConfigure_success_flag = 1;  // a press with the port closed writes nothing
    // The guarded buttons (motor test, factory restore, hall-fault mask) are
    // confirmed, with the controller answering, the motor still and no fault.
    ui.setAnswer(ANSWER_YES);
    NoteStatusReply();
    for (int i : {10, 14, 15, 16}) dataItemOR[i].value = 0;
    for (int t = 0; t < 6; ++t) {
        for (int i = 0; i < kPageTables[t].count; ++i) {
            kPageTables[t].items[i].value = 100.0 * (t + 1) + 3 * i + 2;
            kPageTables[t].items[i].refresh_flag = 1;
        }
    }
    refreshAll();
    std::set<std::pair<int, int>> drawn;
    for (const UiWrite& w : ui.writes()) {
        if (w.panel == MAIN) continue;
        EXPECT_TRUE(drawn.insert({w.panel, w.control}).second) << "control drawn twice: " << w.control;
        if (w.kind == UiWrite::CtrlInt) ui.setInt(w.panel, w.control, w.integer);
        if (w.kind == UiWrite::CtrlDouble) ui.setDouble(w.panel, w.control, w.number);
    }
    int count = 0;
    const CallbackEntry* entries = PageCallbacks(&count);
    std::set<const DataItem*> reached;
    int commands = 0;
    for (int e = 0; e < count; ++e) {
        if (std::strncmp(entries[e].name, "cb_", 3) == 0 ||
            std::strcmp(entries[e].name, "refreshDebugTab") == 0)
            continue;
        SCOPED_TRACE(entries[e].name);
        std::vector<double> before;
        for (const ItemTable& t : kPageTables) {
            for (int i = 0; i < t.count; ++i) {
                before.push_back(t.items[i].value.load());
                t.items[i].send_flag = 0;
            }
        }
        entries[e].control(0, 0, EVENT_COMMIT, entries[e].callbackData, 0, 0);
        int pressed = 0;
        std::size_t k = 0;
        for (int t = 0; t < 6; ++t) {
            for (int i = 0; i < kPageTables[t].count; ++i, ++k) {
                const DataItem& item = kPageTables[t].items[i];
                if (item.send_flag.load() == 0) continue;
                ++pressed;
                reached.insert(&item);
                const double own = 100.0 * (t + 1) + 3 * i + 2;
                if (item.value.load() == 1.0) {
                    ++commands;  // store and restore: always 1, reading no control
                } else {
                    EXPECT_NEAR(item.value.load(), own, 1e-6) << "page " << t + 1 << " item " << i;
                }
                kPageTables[t].items[i].value = before[k];
            }
        }
        EXPECT_EQ(pressed, 1);
    }
    EXPECT_EQ(commands, 2);
    std::size_t items = 0;
    for (const ItemTable& t : kPageTables) items += static_cast<std::size_t>(t.count);
    EXPECT_EQ(reached.size(), items) << "every item has a button";
}

TEST_F(Refresh, PageRoutineWritesOnlyFlaggedItems)
{
    refreshAll();
    ui.clear();
    // A block reply for page 5 flags its eleven items.
    for (DataItem& d : dataItem5) {
        d.value = 100;
        d.refresh_flag = 1;
    }
    dataItem1[0].value = 999;  // changed without a flag: not shown
    refreshAll();
    std::set<int> controls;
    for (const UiWrite& w : ui.writes()) {
        EXPECT_EQ(w.panel, P[4]);
        controls.insert(w.control);
    }
    EXPECT_EQ(controls.size(), 11u);
    EXPECT_EQ(ui.writes().size(), 11u);
    for (DataItem& d : dataItem5) EXPECT_EQ(d.refresh_flag.load(), 0);
}

TEST_F(Refresh, StatusAreaShowsStartValuesBeforeAnyReply)
{
    refreshQUERY();
    namespace m = uir::panel_main;
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(ui.cellText(MAIN, m::TABLE_2, 2, row), (row == 3 || row == 4) ? "HIGH" : "LOW") << row;
    }
    const char* high = "\xB8\xDF";
    const char* low = "\xB5\xCD";
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(ui.cellText(MAIN, m::TABLE_3, 2, row), row == 2 ? low : high) << row;
    }
    const std::set<int> red = {2, 3, 4, 17, 18, 19, 20, 37};
    for (int row = 1; row <= 48; ++row) {
        EXPECT_EQ(ui.cellAttr(MAIN, m::TABLE_1, 1, row, ATTR_TEXT_COLOR),
                  red.count(row) ? VAL_RED : VAL_BLACK)
            << row;
    }
    // Control ids of the read-outs in item order, as laid out on the main panel.
    const int ids[26] = {38, 20, 3,  19, 18, 17, 16, 15, 14, 4, 13, 12, 40,
                         39, 41, 41, 41, 11, 37, 10, 9,  8,  7, 6,  5,  36};
    for (int i = 0; i < 26; ++i) {
        if (i >= 12 && i <= 16) continue;
        auto w = ui.writesTo(MAIN, ids[i]);
        ASSERT_EQ(w.size(), 1u) << "item " << i;
        if (i == 0 || i == 18 || i == 25) {
            EXPECT_EQ(w[0].kind, UiWrite::CtrlInt);
            EXPECT_EQ(w[0].integer, i);
        } else {
            EXPECT_EQ(w[0].kind, UiWrite::CtrlDouble);
            const double scale = (i >= 1 && i <= 5) ? 600.0 / 32767 : (i == 8 || i == 11) ? 5.0 / 32767 : 1.0;
            EXPECT_NEAR(w[0].number, i * scale, 1e-9) << "item " << i;
        }
        EXPECT_EQ(dataItemOR[i].refresh_flag.load(), 0);
    }
    for (int i = 12; i <= 16; ++i)
        EXPECT_EQ(dataItemOR[i].refresh_flag.load(), 1) << "status words keep their flag";
    EXPECT_EQ(inputIOstatue.load(), 12);
    EXPECT_EQ(err3statue.load(), 16);

    ui.clear();
    refreshQUERY();
    EXPECT_TRUE(ui.writes().empty()) << "unchanged words are not redrawn";
}

struct WordCase {
    const char* what;
    int item;
    std::vector<double> values;  // received in turn, one pass each
    int control;
    int column;
    int firstRow;
    int bits;
    unsigned expectedBits;  // after the last value
    std::size_t lastPassWrites;
};

TEST_F(Refresh, StatusWordsRedrawAllRowsOnlyOnAChange)
{
    namespace m = uir::panel_main;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const WordCase cases[] = {
        {"faults 0x0005", 14, {5}, m::TABLE_1, 1, 1, 16, 0x0005, 16},
        {"same fault word again", 14, {5, 5}, m::TABLE_1, 1, 1, 16, 0x0005, 0},
        {"bit 15 arrives negative", 14, {-32768}, m::TABLE_1, 1, 1, 16, 0x8000, 16},
        {"all bits of the second word", 15, {-1}, m::TABLE_1, 1, 17, 16, 0xFFFF, 16},
        {"third word back to zero", 16, {0x4001, 0}, m::TABLE_1, 1, 33, 16, 0, 16},
        {"input -127", 12, {-127}, m::TABLE_2, 2, 1, 8, 0x81, 8},
        {"input back to zero", 12, {3, 0}, m::TABLE_2, 2, 1, 8, 0, 8},
        {"output", 13, {0x9}, m::TABLE_3, 2, 1, 4, 0x9, 4},
        {"NaN counts as a change", 13, {nan}, m::TABLE_3, 2, 1, 4, 0, 4},
    };
    for (const WordCase& c : cases) {
        SCOPED_TRACE(c.what);
        fillDataItems();
        for (DataItem& d : dataItemOR) d.refresh_flag = 0;
        for (auto* w : {&inputIOstatue, &outputIOstatue, &err1statue, &err2statue, &err3statue}) w->store(0);
        dataItemOR[c.item].refresh_flag = 1;
        for (double v : c.values) {
            ui.clear();
            dataItemOR[c.item].value = v;
            refreshQUERY();
        }
        EXPECT_EQ(ui.writes().size(), c.lastPassWrites);
        EXPECT_EQ(dataItemOR[c.item].refresh_flag.load(), 1);
        if (c.lastPassWrites == 0) continue;
        for (int b = 0; b < c.bits; ++b) {
            const bool set = ((c.expectedBits >> b) & 1u) != 0;
            const int row = c.firstRow + b;
            if (c.control == m::TABLE_1) {
                EXPECT_EQ(ui.cellAttr(MAIN, c.control, c.column, row, ATTR_TEXT_COLOR),
                          set ? VAL_RED : VAL_BLACK)
                    << row;
            } else if (c.control == m::TABLE_2) {
                EXPECT_EQ(ui.cellText(MAIN, c.control, c.column, row), set ? "HIGH" : "LOW") << row;
            } else {
                EXPECT_EQ(ui.cellText(MAIN, c.control, c.column, row), set ? "\xB8\xDF" : "\xB5\xCD") << row;
            }
        }
    }
}

TEST_F(Refresh, StatusReadingsClearTheirFlagAfterTheWrite)
{
    refreshQUERY();
    ui.clear();
    dataItemOR[1].value = 32767;
    dataItemOR[1].refresh_flag = 1;
    dataItemOR[18].value = 2;
    dataItemOR[18].refresh_flag = 1;
    refreshQUERY();
    ASSERT_EQ(ui.writes().size(), 2u);
    EXPECT_NEAR(ui.writes()[0].number, 600.0, 1e-9);
    EXPECT_EQ(ui.writes()[1].integer, 2);
    EXPECT_EQ(dataItemOR[1].refresh_flag.load(), 0);
    EXPECT_EQ(dataItemOR[18].refresh_flag.load(), 0);
}

}  // namespace
