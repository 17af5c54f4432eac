#include "pages/page_callbacks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "model/uir_ids.h"
#include "pages/refresh.h"
#include "pages/sample5.h"
#include "tests/support/recording_ui.h"

using testsupport::RecordingUi;

namespace {

constexpr int SET = 50;
constexpr int P1 = 101, P2 = 102, P3 = 103, P4 = 104, P5 = 105, P6 = 106;
constexpr int D1 = 201, D2 = 202;

const CallbackEntry* findEntry(const char* name)
{
    int count = 0;
    const CallbackEntry* entries = PageCallbacks(&count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(entries[i].name, name) == 0) return &entries[i];
    }
    return nullptr;
}

int fire(const char* name, int event)
{
    const CallbackEntry* e = findEntry(name);
    if (e == nullptr || e->control == nullptr) {
        ADD_FAILURE() << "no control callback " << name;
        return -1;
    }
    return e->control(0, 0, event, e->callbackData, 0, 0);
}

void clearFlags()
{
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) {
            t.items[i].send_flag = 0;
            t.items[i].query_flag = 0;
            t.items[i].refresh_flag = 0;
        }
    }
}

class PageCallbacksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel_set = SET;
        const int tabs[6] = {P1, P2, P3, P4, P5, P6};
        for (int i = 0; i < 6; ++i) panel_set_tab[i] = tabs[i];
        panel_debug_tab[0] = D1;
        panel_debug_tab[1] = D2;
        fillDataItems();
        clearFlags();
        comConfigure_success_flag = 1;  // a press with the port closed writes nothing
    }

    // Items whose send_flag is set, as "table:index".
    static std::set<std::string> pending()
    {
        std::set<std::string> out;
        for (int t = 0; t < 6; ++t) {
            for (int i = 0; i < kPageTables[t].count; ++i) {
                if (kPageTables[t].items[i].send_flag.load() != 0) {
                    out.insert(std::to_string(t + 1) + ":" + std::to_string(i));
                }
            }
        }
        return out;
    }

    RecordingUi ui;
};

struct SendCase {
    const char* name;
    int panel;
    int control;
    bool isInt;  // ring or switch
    double in;
    int table;  // 1..6
    int index;
    double stored;
};

namespace t1 = uir::tabpanel_1;
namespace t2 = uir::tabpanel_2;
namespace t3 = uir::tabpanel_3;
namespace t4 = uir::tabpanel_4;
namespace t5 = uir::tabpanel_5;
namespace t6 = uir::tabpanel_6;
namespace d1 = uir::dbg_tab1;
namespace d2 = uir::dbg_tab2;

// Every send button: control read, value entered, item written, value stored.
// Entries differ from row to row so that a wrong pairing shows. The store and
// restore buttons of page 6 send 1 with their switch off; the debug panel's
// switches send their state.
// clang-format off
const SendCase kSendCases[] = {
    {"tab1_send_1",  P1, t1::TAB1_NUMERIC_SET_1,  false, 48,    1, 0,  48},
    {"tab1_send_2",  P1, t1::TAB1_NUMERIC_SET_2,  false, 40.5,  1, 1,  40.5},
    {"tab1_send_3",  P1, t1::TAB1_NUMERIC_SET_3,  false, 58,    1, 2,  58},
    {"tab1_send_4",  P1, t1::TAB1_NUMERIC_SET_4,  false, 31,    1, 3,  31},
    {"tab1_send_5",  P1, t1::TAB1_NUMERIC_SET_5,  false, 35,    1, 4,  35},
    {"tab1_send_6",  P1, t1::TAB1_NUMERIC_SET_6,  false, 120,   1, 5,  120},
    {"tab1_send_7",  P1, t1::TAB1_NUMERIC_SET_7,  false, 150,   1, 6,  150},
    {"tab1_send_8",  P1, t1::TAB1_NUMERIC_SET_8,  false, 90,    1, 7,  90},
    {"tab1_send_9",  P1, t1::TAB1_NUMERIC_SET_9,  false, 9,     1, 8,  9},
    {"tab1_send_10", P1, t1::TAB1_NUMERIC_SET_10, false, 110,   1, 9,  110},
    {"tab1_send_11", P1, t1::TAB1_NUMERIC_SET_11, false, 500,   1, 10, 500},
    {"tab1_send_12", P1, t1::TAB1_NUMERIC_SET_12, false, 60,    1, 11, 60},
    {"tab1_send_13", P1, t1::TAB1_NUMERIC_SET_13, false, -13,   1, 12, -13},
    {"tab1_send_14", P1, t1::TAB1_NUMERIC_SET_14, false, 80,    1, 13, 80},
    {"tab1_send_15", P1, t1::TAB1_NUMERIC_SET_15, false, 15,    1, 14, 15},
    {"tab2_send_1",  P2, t2::TAB2_NUMERIC_SET_1,  false, 101,   2, 0,  101},
    {"tab2_send_2",  P2, t2::TAB2_NUMERIC_SET_2,  false, 102,   2, 1,  102},
    {"tab2_send_3",  P2, t2::TAB2_NUMERIC_SET_3,  false, 103,   2, 2,  103},
    {"tab2_send_4",  P2, t2::TAB2_NUMERIC_SET_4,  false, 104,   2, 3,  104},
    {"tab2_send_5",  P2, t2::TAB2_NUMERIC_SET_7,  false, 105,   2, 4,  105},
    {"tab2_send_6",  P2, t2::TAB2_NUMERIC_SET_6,  false, 106,   2, 5,  106},
    {"tab2_send_7",  P2, t2::TAB2_BINARYSWITCH_5, true,  1,     2, 6,  1},
    {"tab3_send_1",  P3, t3::TAB3_BINARYSWITCH_1,  true,  1,    3, 0,  1},
    {"tab3_send_2",  P3, t3::TAB3_BINARYSWITCH_2,  true,  0,    3, 1,  0},
    {"tab3_send_3",  P3, t3::TAB3_BINARYSWITCH_3,  true,  1,    3, 2,  1},
    {"tab3_send_4",  P3, t3::TAB3_RING_2,          true,  2,    3, 3,  2},
    {"tab3_send_5",  P3, t3::TAB3_RING_1,          true,  4,    3, 4,  4},
    {"tab3_send_6",  P3, t3::TAB3_BINARYSWITCH_6,  true,  1,    3, 5,  1},
    {"tab3_send_7",  P3, t3::TAB3_BINARYSWITCH_7,  true,  0,    3, 6,  0},
    {"tab3_send_8",  P3, t3::TAB3_BINARYSWITCH_8,  true,  1,    3, 7,  1},
    {"tab3_send_9",  P3, t3::TAB3_NUMERIC_SET_9,   false, 39,   3, 8,  39},
    {"tab3_send_10", P3, t3::TAB3_BINARYSWITCH_10, true,  1,    3, 9,  1},
    {"tab3_send_11", P3, t3::TAB3_NUMERIC_SET_11,  false, 311,  3, 10, 311},
    {"tab3_send_12", P3, t3::TAB3_NUMERIC_SET_12,  false, 312,  3, 11, 312},
    {"tab3_send_13", P3, t3::TAB3_BINARYSWITCH_13, true,  0,    3, 12, 0},
    {"tab3_send_14", P3, t3::TAB3_NUMERIC_SET_14,  false, 314,  3, 13, 314},
    {"tab3_send_15", P3, t3::TAB3_NUMERIC_SET_15,  false, 3150, 3, 14, 3150},
    {"tab3_send_16", P3, t3::TAB3_NUMERIC_SET_16,  false, 0.5,  3, 15, 5},
    {"tab4_send_1",  P4, t4::TAB4_NUMERIC_SET_1,   false, 2.5,  4, 0,  16383.5},
    {"tab4_send_2",  P4, t4::TAB4_NUMERIC_SET_2,   false, -1,   4, 1,  -6553.4},
    {"tab4_send_3",  P4, t4::TAB4_NUMERIC_SET_3,   false, 403,  4, 2,  403},
    {"tab4_send_4",  P4, t4::TAB4_NUMERIC_SET_4,   false, 404,  4, 3,  404},
    {"tab4_send_5",  P4, t4::TAB4_NUMERIC_SET_5,   false, 5,    4, 4,  32767},
    {"tab4_send_6",  P4, t4::TAB4_NUMERIC_SET_6,   false, 2.5,  4, 5,  2.5},
    {"tab5_send_1",  P5, t5::TAB5_NUMERIC_SET_1,   false, 501,  5, 0,  501},
    {"tab5_send_2",  P5, t5::TAB5_NUMERIC_SET_2,   false, 359,  5, 1,  359},
    {"tab5_send_3",  P5, t5::TAB5_NUMERIC_SET_3,   false, 1,    5, 2,  1},
    {"tab5_send_4",  P5, t5::TAB5_NUMERIC_SET_4,   false, 504,  5, 3,  504},
    {"tab5_send_5",  P5, t5::TAB5_NUMERIC_SET_5,   false, 505,  5, 4,  505},
    {"tab5_send_6",  P5, t5::TAB5_NUMERIC_SET_6,   false, 506,  5, 5,  506},
    {"tab5_send_7",  P5, t5::TAB5_NUMERIC_SET_7,   false, 507,  5, 6,  507},
    {"tab5_send_8",  P5, t5::TAB5_RING_8,          true,  2,    5, 7,  2},
    {"tab5_send_9",  P5, t5::TAB5_NUMERIC_SET_9,   false, 509,  5, 8,  509},
    {"tab5_send_10", P5, t5::TAB5_NUMERIC_SET_10,  false, 510,  5, 9,  510},
    {"tab5_send_11", P5, t5::TAB5_NUMERIC_SET_11,  false, 511,  5, 10, 511},
    {"tab6_send_1",  P6, t6::TAB6_NUMERIC_SET_1,   false, 601,  6, 0,  601},
    {"tab6_send_2",  P6, t6::TAB6_NUMERIC_SET_2,   false, 602,  6, 1,  602},
    {"tab6_send_3",  P6, t6::TAB6_BINARYSWITCH_3,  true,  1,    6, 2,  1},
    {"tab6_send_4",  P6, t6::TAB6_RING_4,          true,  1,    6, 3,  1},
    {"tab6_send_5",  P6, t6::TAB6_NUMERIC_SET_5,   false, 300,  6, 4,  16383.5},
    {"tab6_send_6",  P6, t6::TAB6_NUMERIC_SET_6,   false, 606,  6, 5,  606},
    {"tab6_send_7",  P6, t6::TAB6_BINARYSWITCH_7,  true,  0,    6, 6,  1},  // command: switch ignored
    {"tab6_send_8",  P6, t6::TAB6_BINARYSWITCH_8,  true,  0,    6, 7,  1},  // command: switch ignored
    {"debug_tab1_send_1",  D1, d1::NUMERIC_SET_1,   false, 701,  6, 0,  701},
    {"debug_tab1_send_2",  D1, d1::NUMERIC_SET_2,   false, 702,  6, 1,  702},
    {"debug_tab2_send_3",  D2, d2::BINARYSWITCH_3,  true,  1,    6, 2,  1},
    {"debug_tab2_send_4",  D2, d2::RING_4,          true,  2,    6, 3,  2},
    {"debug_tab2_send_5",  D2, d2::NUMERIC_SET_5,   false, 100,  6, 4,  100.0 * 32767 / 600},
    {"debug_tab1_send_6",  D1, d1::NUMERIC_SET_6,   false, 30,   6, 5,  30},
    {"debug_tab1_send_7",  D1, d1::BINARYSWITCH_7,  true,  0,    6, 6,  0},
    {"debug_tab1_send_8",  D1, d1::BINARYSWITCH_8,  true,  1,    6, 7,  1},
    {"debug_tab2_send_9",  D2, d2::NUMERIC_SET_9,   false, -300, 6, 8,  -16383.5},
    {"debug_tab2_send_10", D2, d2::NUMERIC_SET_10,  false, 500,  6, 9,  16383.5},
    {"debug_tab2_send_11", D2, d2::RING_11,         true,  2,    6, 10, 2},
    {"debug_tab2_send_12", D2, d2::NUMERIC_SET_12,  false, 600,  6, 11, 32767},
    {"debug_tab2_send_13", D2, d2::NUMERIC_SET_13,  false, 150,  6, 12, 150.0 * 32767 / 600},
    {"debug_tab2_send_14", D2, d2::NUMERIC_SET_14,  false, 180,  6, 13, 16383.5},
    {"debug_tab1_send_15", D1, d1::BINARYSWITCH_15, true,  1,    6, 14, 1},
};
// clang-format on

void setControl(RecordingUi& ui, const SendCase& c)
{
    if (c.isInt) {
        ui.setInt(c.panel, c.control, static_cast<int>(c.in));
    } else {
        ui.setDouble(c.panel, c.control, c.in);
    }
}

TEST_F(PageCallbacksTest, RegistryHoldsEverySendButtonAndBothTabCallbacksOnce)
{
    int count = 0;
    const CallbackEntry* entries = PageCallbacks(&count);
    ASSERT_EQ(count, static_cast<int>(std::size(kSendCases)) + 2);
    std::set<std::string> names;
    for (int i = 0; i < count; ++i) {
        EXPECT_NE(entries[i].control, nullptr) << entries[i].name;
        EXPECT_EQ(entries[i].menu, nullptr) << entries[i].name;
        names.insert(entries[i].name);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(count));
    for (const SendCase& c : kSendCases) EXPECT_EQ(names.count(c.name), 1u) << c.name;
    EXPECT_EQ(names.count("cb_refreshTab1"), 1u);
    EXPECT_EQ(names.count("refreshDebugTab"), 1u);
}

TEST_F(PageCallbacksTest, EachSendButtonStoresItsControlInItsOwnItem)
{
    // The guarded buttons (motor test, factory restore, hall-fault mask) are
    // confirmed, with the controller answering, the motor still and no fault.
    ui.setAnswer(ANSWER_YES);
    // Every other control holds a value of its own, so a button reading the
    // wrong control stores something else.
    const auto decoy = [](const SendCase& c) {
        SendCase d = c;
        d.in = 7001 + static_cast<double>(&c - kSendCases);
        return d;
    };
    for (const SendCase& c : kSendCases) setControl(ui, decoy(c));
    for (const SendCase& c : kSendCases) {
        SCOPED_TRACE(c.name);
        fillDataItems();
        clearFlags();
        NoteStatusReply();
        for (int i : {10, 14, 15, 16}) dataItemOR[i].value = 0;
        setControl(ui, c);
        EXPECT_EQ(fire(c.name, EVENT_COMMIT), 0);
        const DataItem& item = kPageTables[c.table - 1].items[c.index];
        EXPECT_NEAR(item.value.load(), c.stored, 1e-9);
        EXPECT_EQ(pending(),
                  (std::set<std::string>{std::to_string(c.table) + ":" + std::to_string(c.index)}));
        EXPECT_EQ(item.refresh_flag.load(), 0) << "the stored value is not echoed";
        setControl(ui, decoy(c));
    }
    EXPECT_TRUE(ui.popups().empty());
}

TEST_F(PageCallbacksTest, CallbacksActOnlyOnTheirOwnEvent)
{
    int count = 0;
    const CallbackEntry* entries = PageCallbacks(&count);
    for (const SendCase& c : kSendCases) setControl(ui, c);
    ui.setActiveTab(2);
    for (int i = 0; i < count; ++i) {
        const bool tab = std::strcmp(entries[i].name, "cb_refreshTab1") == 0 ||
                         std::strcmp(entries[i].name, "refreshDebugTab") == 0;
        const int events[] = {0, tab ? EVENT_COMMIT : EVENT_ACTIVE_TAB_CHANGE, EVENT_TIMER_TICK, 2};
        for (int event : events) {
            EXPECT_EQ(entries[i].control(0, 0, event, entries[i].callbackData, 0, 0), 0);
        }
    }
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) {
            EXPECT_EQ(t.items[i].send_flag.load(), 0);
            EXPECT_EQ(t.items[i].query_flag.load(), 0);
            EXPECT_EQ(t.items[i].refresh_flag.load(), 0);
        }
    }
}

TEST_F(PageCallbacksTest, ScaledEntryReadsBackAsEntered)
{
    const char* names[] = {"tab3_send_16",       "tab4_send_1",        "tab4_send_2",
                           "tab4_send_5",        "tab6_send_5",        "debug_tab2_send_5",
                           "debug_tab2_send_9",  "debug_tab2_send_10", "debug_tab2_send_12",
                           "debug_tab2_send_13", "debug_tab2_send_14"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const SendCase* c = nullptr;
        for (const SendCase& s : kSendCases) {
            if (std::strcmp(s.name, name) == 0) c = &s;
        }
        ASSERT_NE(c, nullptr);
        setControl(ui, *c);
        fire(name, EVENT_COMMIT);
        clearFlags();
        kPageTables[c->table - 1].items[c->index].refresh_flag = 1;
        ui.clear();
        refreshTABPANEL_3();
        refreshTABPANEL_4();
        refreshTABPANEL_6();
        auto shown = ui.writesTo(c->panel, c->control);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NEAR(shown[0].number, c->in, 1e-9);
    }
}

struct RefuseCase {
    const char* name;
    int panel;
    int control;
    double in;
    const char* range;  // expected in the message
};

TEST_F(PageCallbacksTest, EntriesThatDoNotFitTheRegisterAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const RefuseCase cases[] = {
        {"tab1_send_3", P1, t1::TAB1_NUMERIC_SET_3, 32768, "Accepted range: -32768 .. 32767 V"},
        {"tab1_send_3", P1, t1::TAB1_NUMERIC_SET_3, -32769, "Accepted range: -32768 .. 32767 V"},
        {"tab2_send_1", P2, t2::TAB2_NUMERIC_SET_1, nan, "Accepted range: -32768 .. 32767 \xA1\xE6"},
        {"tab5_send_1", P5, t5::TAB5_NUMERIC_SET_1, inf, "Accepted range: -32768 .. 32767"},
        {"tab4_send_6", P4, t4::TAB4_NUMERIC_SET_6, 40000, "Accepted range: -32768 .. 32767 A"},
        {"tab3_send_16", P3, t3::TAB3_NUMERIC_SET_16, 3276.8, "Accepted range: -3276.8 .. 3276.7"},
        {"tab4_send_1", P4, t4::TAB4_NUMERIC_SET_1, 5.001, "Accepted range: -5.000 .. 5.000 V"},
        {"tab4_send_2", P4, t4::TAB4_NUMERIC_SET_2, -inf, "Accepted range: -5.000 .. 5.000 V"},
        {"tab6_send_5", P6, t6::TAB6_NUMERIC_SET_5, 601, "Accepted range: -600.018 .. 600.000 degree"},
        {"debug_tab2_send_10", D2, d2::NUMERIC_SET_10, 1000.05, "Accepted range: -1000.031 .. 1000.000 Hz"},
        {"debug_tab2_send_14", D2, d2::NUMERIC_SET_14, -361, "Accepted range: -360.011 .. 360.000"},
        {"debug_tab1_send_6", D1, d1::NUMERIC_SET_6, 1e300, "Accepted range: -32768 .. 32767 \xB6\xC8"},
    };
    for (const RefuseCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.in));
        fillDataItems();
        clearFlags();
        ui.clear();
        ui.setDouble(c.panel, c.control, c.in);
        fire(c.name, EVENT_COMMIT);
        EXPECT_TRUE(pending().empty());
        const SendCase* s = nullptr;
        for (const SendCase& k : kSendCases) {
            if (std::strcmp(k.name, c.name) == 0) s = &k;
        }
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(kPageTables[s->table - 1].items[s->index].value.load(),
                  s->table == 3 ? s->index % 2 : s->index)
            << "start value kept";
        const auto popups = ui.popups();
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0].title, "Error");
        const std::string text = popups[0].text;
        const std::string range = c.range;
        ASSERT_GE(text.size(), range.size());
        EXPECT_EQ(text.substr(text.size() - range.size()), range) << text;
    }
}

TEST_F(PageCallbacksTest, EntriesUpToTheRegisterLimitsAreStoredUnrounded)
{
    struct Case {
        const char* name;
        int panel;
        int control;
        double in;
        int table;
        int index;
        double stored;
    };
    const Case cases[] = {
        {"tab1_send_3", P1, t1::TAB1_NUMERIC_SET_3, 32767.9, 1, 2, 32767.9},
        {"tab1_send_3", P1, t1::TAB1_NUMERIC_SET_3, -32768.9, 1, 2, -32768.9},
        {"tab4_send_1", P4, t4::TAB4_NUMERIC_SET_1, -5.0001, 4, 0, -5.0001 * 32767 / 5},
        {"tab3_send_16", P3, t3::TAB3_NUMERIC_SET_16, -3276.8, 3, 15, -32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.in));
        ui.setDouble(c.panel, c.control, c.in);
        fire(c.name, EVENT_COMMIT);
        EXPECT_NEAR(kPageTables[c.table - 1].items[c.index].value.load(), c.stored, 1e-9);
        EXPECT_EQ(kPageTables[c.table - 1].items[c.index].send_flag.load(), 1);
    }
    EXPECT_TRUE(ui.popups().empty());
}

TEST_F(PageCallbacksTest, UnreadableControlStoresNothing)
{
    fire("tab1_send_1", EVENT_COMMIT);  // numeric
    fire("tab3_send_5", EVENT_COMMIT);  // ring
    EXPECT_TRUE(pending().empty());
    EXPECT_EQ(dataItem1[0].value.load(), 0.0);
    EXPECT_EQ(dataItem3[4].value.load(), 0.0);
    EXPECT_TRUE(ui.popups().empty());
}

TEST_F(PageCallbacksTest, TabChangeAsksForThePageInFront)
{
    for (int index = -1; index <= 6; ++index) {
        SCOPED_TRACE(index);
        clearFlags();
        ui.setActiveTab(index);
        EXPECT_EQ(fire("cb_refreshTab1", EVENT_ACTIVE_TAB_CHANGE), 0);
        for (int t = 0; t < 6; ++t) {
            const bool chosen = t == index;
            EXPECT_EQ(kPageTables[t].items[0].query_flag.load(), chosen ? 1 : 0) << "table " << t + 1;
            for (int i = 0; i < kPageTables[t].count; ++i) {
                EXPECT_EQ(kPageTables[t].items[i].refresh_flag.load(), chosen ? 1 : 0) << t + 1 << ":" << i;
                if (i > 0) {
                    EXPECT_EQ(kPageTables[t].items[i].query_flag.load(), 0);
                }
            }
        }
        EXPECT_TRUE(pending().empty());
    }
}

TEST_F(PageCallbacksTest, DebugTabChangeAsksForTableSixWhicheverPageIsInFront)
{
    ui.setActiveTab(0);
    EXPECT_EQ(fire("refreshDebugTab", EVENT_ACTIVE_TAB_CHANGE), 0);
    EXPECT_EQ(dataItem6[0].query_flag.load(), 1);
    for (const DataItem& d : dataItem6) EXPECT_EQ(d.refresh_flag.load(), 1);
    for (int t = 0; t < 5; ++t) {
        EXPECT_EQ(kPageTables[t].items[0].query_flag.load(), 0);
        EXPECT_EQ(kPageTables[t].items[0].refresh_flag.load(), 0);
    }
    // The next pass repaints page 6 and both debug pages.
    refreshTABPANEL_6();
    std::set<int> panels;
    for (const auto& w : ui.writes()) panels.insert(w.panel);
    EXPECT_EQ(panels, (std::set<int>{P6, D1, D2}));
    EXPECT_EQ(ui.writes().size(), 8u + 15u);
}

}  // namespace
