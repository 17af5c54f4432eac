#include "model/register_catalogue.h"

#include <iterator>
#include <map>
#include <memory>
#include <mutex>

#include "model/app_state.h"
#include "model/panel_texts.h"
#include "model/uir_ids.h"

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

// --- The layout -------------------------------------------------------------------

// A page register's control on the parameter page of its table, and on the
// debug panel. A control of 0 is none (ids count from 2).
struct SetPlace {
    int control;
    const char* send;
    SendKind sendKind;
};
struct DebugPlace {
    int page;
    int control;
    const char* send;
    SendKind sendKind;
};
struct PageLayout {
    Shown shown;
    SetPlace set;
    DebugPlace debug;
};

constexpr DebugPlace kNoDebug{-1, 0, nullptr, SendKind::None};

constexpr SendKind sendOf(Shown shown)
{
    return shown == Shown::Number   ? SendKind::Direct
           : shown == Shown::Scaled ? SendKind::Scaled
                                    : SendKind::Integer;
}
constexpr PageLayout number(int control, const char* send)
{
    return {Shown::Number, {control, send, SendKind::Direct}, kNoDebug};
}
constexpr PageLayout integer(int control, const char* send)
{
    return {Shown::Integer, {control, send, SendKind::Integer}, kNoDebug};
}
constexpr PageLayout scaled(int control, const char* send)
{
    return {Shown::Scaled, {control, send, SendKind::Scaled}, kNoDebug};
}
constexpr PageLayout mirrored(Shown shown, int control, const char* send, int debugPage, int debugControl,
                              const char* debugSend)
{
    return {shown, {control, send, sendOf(shown)}, {debugPage, debugControl, debugSend, sendOf(shown)}};
}
// A command register: the parameter page's button sends 1 and reads nothing
// (its switch only shows the register); the debug panel's sends its switch.
constexpr PageLayout command(int control, const char* send, int debugPage, int debugControl,
                             const char* debugSend)
{
    return {Shown::Integer,
            {control, send, SendKind::Command},
            {debugPage, debugControl, debugSend, SendKind::Integer}};
}
constexpr PageLayout debugOnly(Shown shown, int debugPage, int debugControl, const char* debugSend)
{
    return {shown, {0, nullptr, SendKind::None}, {debugPage, debugControl, debugSend, sendOf(shown)}};
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
constexpr Shown NUMBER = Shown::Number;
constexpr Shown INTEGER = Shown::Integer;
constexpr Shown SCALED = Shown::Scaled;

// clang-format off
constexpr PageLayout kPage1[] = {
    number(t1::TAB1_NUMERIC_SET_1, "tab1_send_1"),   number(t1::TAB1_NUMERIC_SET_2, "tab1_send_2"),
    number(t1::TAB1_NUMERIC_SET_3, "tab1_send_3"),   number(t1::TAB1_NUMERIC_SET_4, "tab1_send_4"),
    number(t1::TAB1_NUMERIC_SET_5, "tab1_send_5"),   number(t1::TAB1_NUMERIC_SET_6, "tab1_send_6"),
    number(t1::TAB1_NUMERIC_SET_7, "tab1_send_7"),   number(t1::TAB1_NUMERIC_SET_8, "tab1_send_8"),
    number(t1::TAB1_NUMERIC_SET_9, "tab1_send_9"),   number(t1::TAB1_NUMERIC_SET_10, "tab1_send_10"),
    number(t1::TAB1_NUMERIC_SET_11, "tab1_send_11"), number(t1::TAB1_NUMERIC_SET_12, "tab1_send_12"),
    number(t1::TAB1_NUMERIC_SET_13, "tab1_send_13"), number(t1::TAB1_NUMERIC_SET_14, "tab1_send_14"),
    number(t1::TAB1_NUMERIC_SET_15, "tab1_send_15"),
};

// Item 4 sits on TAB2_NUMERIC_SET_7.
constexpr PageLayout kPage2[] = {
    number(t2::TAB2_NUMERIC_SET_1, "tab2_send_1"), number(t2::TAB2_NUMERIC_SET_2, "tab2_send_2"),
    number(t2::TAB2_NUMERIC_SET_3, "tab2_send_3"), number(t2::TAB2_NUMERIC_SET_4, "tab2_send_4"),
    number(t2::TAB2_NUMERIC_SET_7, "tab2_send_5"), number(t2::TAB2_NUMERIC_SET_6, "tab2_send_6"),
    integer(t2::TAB2_BINARYSWITCH_5, "tab2_send_7"),
};

constexpr PageLayout kPage3[] = {
    integer(t3::TAB3_BINARYSWITCH_1, "tab3_send_1"),   integer(t3::TAB3_BINARYSWITCH_2, "tab3_send_2"),
    integer(t3::TAB3_BINARYSWITCH_3, "tab3_send_3"),   integer(t3::TAB3_RING_2, "tab3_send_4"),
    integer(t3::TAB3_RING_1, "tab3_send_5"),           integer(t3::TAB3_BINARYSWITCH_6, "tab3_send_6"),
    integer(t3::TAB3_BINARYSWITCH_7, "tab3_send_7"),   integer(t3::TAB3_BINARYSWITCH_8, "tab3_send_8"),
    number(t3::TAB3_NUMERIC_SET_9, "tab3_send_9"),     integer(t3::TAB3_BINARYSWITCH_10, "tab3_send_10"),
    number(t3::TAB3_NUMERIC_SET_11, "tab3_send_11"),   number(t3::TAB3_NUMERIC_SET_12, "tab3_send_12"),
    integer(t3::TAB3_BINARYSWITCH_13, "tab3_send_13"), number(t3::TAB3_NUMERIC_SET_14, "tab3_send_14"),
    number(t3::TAB3_NUMERIC_SET_15, "tab3_send_15"),   scaled(t3::TAB3_NUMERIC_SET_16, "tab3_send_16"),
};

// TAB4_NUMERIC_SET_6 shows and sends its item unscaled although the item carries 5/32767.
constexpr PageLayout kPage4[] = {
    scaled(t4::TAB4_NUMERIC_SET_1, "tab4_send_1"), scaled(t4::TAB4_NUMERIC_SET_2, "tab4_send_2"),
    number(t4::TAB4_NUMERIC_SET_3, "tab4_send_3"), number(t4::TAB4_NUMERIC_SET_4, "tab4_send_4"),
    scaled(t4::TAB4_NUMERIC_SET_5, "tab4_send_5"), number(t4::TAB4_NUMERIC_SET_6, "tab4_send_6"),
};

constexpr PageLayout kPage5[] = {
    number(t5::TAB5_NUMERIC_SET_1, "tab5_send_1"),   number(t5::TAB5_NUMERIC_SET_2, "tab5_send_2"),
    number(t5::TAB5_NUMERIC_SET_3, "tab5_send_3"),   number(t5::TAB5_NUMERIC_SET_4, "tab5_send_4"),
    number(t5::TAB5_NUMERIC_SET_5, "tab5_send_5"),   number(t5::TAB5_NUMERIC_SET_6, "tab5_send_6"),
    number(t5::TAB5_NUMERIC_SET_7, "tab5_send_7"),   integer(t5::TAB5_RING_8, "tab5_send_8"),
    number(t5::TAB5_NUMERIC_SET_9, "tab5_send_9"),   number(t5::TAB5_NUMERIC_SET_10, "tab5_send_10"),
    number(t5::TAB5_NUMERIC_SET_11, "tab5_send_11"),
};

// Items 0..7 show on the parameter page and on the debug panel; 8..14 only there.
constexpr PageLayout kPage6[] = {
    mirrored(NUMBER, t6::TAB6_NUMERIC_SET_1, "tab6_send_1", DBG1, d1::NUMERIC_SET_1, "debug_tab1_send_1"),
    mirrored(NUMBER, t6::TAB6_NUMERIC_SET_2, "tab6_send_2", DBG1, d1::NUMERIC_SET_2, "debug_tab1_send_2"),
    mirrored(INTEGER, t6::TAB6_BINARYSWITCH_3, "tab6_send_3", DBG2, d2::BINARYSWITCH_3, "debug_tab2_send_3"),
    mirrored(INTEGER, t6::TAB6_RING_4, "tab6_send_4", DBG2, d2::RING_4, "debug_tab2_send_4"),
    mirrored(SCALED, t6::TAB6_NUMERIC_SET_5, "tab6_send_5", DBG2, d2::NUMERIC_SET_5, "debug_tab2_send_5"),
    mirrored(NUMBER, t6::TAB6_NUMERIC_SET_6, "tab6_send_6", DBG1, d1::NUMERIC_SET_6, "debug_tab1_send_6"),
    command(t6::TAB6_BINARYSWITCH_7, "tab6_send_7", DBG1, d1::BINARYSWITCH_7, "debug_tab1_send_7"),
    command(t6::TAB6_BINARYSWITCH_8, "tab6_send_8", DBG1, d1::BINARYSWITCH_8, "debug_tab1_send_8"),
    debugOnly(SCALED, DBG2, d2::NUMERIC_SET_9, "debug_tab2_send_9"),
    debugOnly(SCALED, DBG2, d2::NUMERIC_SET_10, "debug_tab2_send_10"),
    debugOnly(INTEGER, DBG2, d2::RING_11, "debug_tab2_send_11"),
    debugOnly(SCALED, DBG2, d2::NUMERIC_SET_12, "debug_tab2_send_12"),
    debugOnly(SCALED, DBG2, d2::NUMERIC_SET_13, "debug_tab2_send_13"),
    debugOnly(SCALED, DBG2, d2::NUMERIC_SET_14, "debug_tab2_send_14"),
    debugOnly(INTEGER, DBG1, d1::BINARYSWITCH_15, "debug_tab1_send_15"),
};
// clang-format on

static_assert(std::size(kPage1) == DATAITEM1_COUNT, "one row per item");
static_assert(std::size(kPage2) == DATAITEM2_COUNT, "one row per item");
static_assert(std::size(kPage3) == DATAITEM3_COUNT, "one row per item");
static_assert(std::size(kPage4) == DATAITEM4_COUNT, "one row per item");
static_assert(std::size(kPage5) == DATAITEM5_COUNT, "one row per item");
static_assert(std::size(kPage6) == DATAITEM6_COUNT, "one row per item");

const PageLayout* const kPageLayouts[6] = {kPage1, kPage2, kPage3, kPage4, kPage5, kPage6};

// The status items on queryItemID: rings, scaled read-outs, and the five
// status words drawn into the rows of the main panel's tables.
constexpr Shown R = Shown::Integer;
constexpr Shown N = Shown::Scaled;
constexpr Shown W = Shown::Word;
constexpr Shown kStatusShown[] = {
    R, N, N, N, N, N, N, N, N, N, N, N, W, W, W, W, W, N, R, N, N, N, N, N, N, R,
};
static_assert(std::size(kStatusShown) == DATAITEMOR_COUNT, "one row per status item");
static_assert(STATUS_FAULT_WORDS == 3, "the fault words fill the rows of TABLE_1 below");

struct WordRows {
    int item;
    int column;
    int firstRow;  // row of bit 0
    int bits;
};
constexpr WordRows kWordRows[] = {
    {12, 2, 1, 8},                             // input states, TABLE_2
    {13, 2, 1, 4},                             // output states, TABLE_3
    {STATUS_FIRST_FAULT_WORD, 1, 1, 16},       // fault words, TABLE_1
    {STATUS_FIRST_FAULT_WORD + 1, 1, 17, 16},  //
    {STATUS_FIRST_FAULT_WORD + 2, 1, 33, 16},  //
};

struct SpecialRegister {
    int reg;
    RegisterKind kind;
    bool guardedOn;
};
constexpr SpecialRegister kSpecialRegisters[] = {
    {REG_TEST_ENABLE, RegisterKind::TestSwitch, true},    {REG_TEST_MODE, RegisterKind::TestSwitch, false},
    {REG_RESTORE_FACTORY, RegisterKind::Command, false},  {REG_PARAMETER_STORE, RegisterKind::Command, false},
    {REG_HALL_FAULT_MASK, RegisterKind::Parameter, true},
};

// --- Reading the resources ----------------------------------------------------------

// The controls of a panel (page < 0) or of one of its tab pages.
struct Scope {
    bool read = false;  // the panel was read
    const std::vector<uirfile::Control>* controls = nullptr;
    std::string name;         // constant of the panel or page
    std::string pageCaption;  // "" for the panel itself
    std::string panelTitle;
    std::string context;  // of the translations: "uir/<PANEL>" or "uir/<PANEL>/<PAGE>"
    const char* file = "";
};

Scope scopeOf(const uirfile::Panel* panel, int page, const char* file)
{
    Scope s;
    s.file = file;
    if (panel == nullptr) return s;
    s.read = true;
    s.panelTitle = panel->title;
    s.context = "uir/" + panel->constant;
    if (page < 0) {
        s.controls = &panel->controls;
        s.name = panel->constant;
        return s;
    }
    for (const uirfile::Control& c : panel->controls) {
        if (c.kind != uirfile::Kind::Tab || page >= static_cast<int>(c.pages.size())) continue;
        const uirfile::Page& p = c.pages[static_cast<std::size_t>(page)];
        s.controls = &p.controls;
        s.name = p.constant;
        s.pageCaption = p.caption;
        s.context += "/" + p.constant;
    }
    return s;
}

const uirfile::Control* controlWithId(const Scope& scope, int id)
{
    for (const uirfile::Control& c : *scope.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

// The unit: a visible text two grid columns to the right of the control, in
// its box and row (caption, widget, unit); nullptr when there is none.
const uirfile::Control* unitOf(const Scope& scope, const uirfile::Control& shown)
{
    if (shown.at.row < 0) return nullptr;
    for (const uirfile::Control& c : *scope.controls) {
        if (c.kind == uirfile::Kind::Text && c.visible && c.box == shown.box && c.at.row == shown.at.row &&
            c.at.col == shown.at.col + 2) {
            return &c;
        }
    }
    return nullptr;
}

bool fitsShown(uirfile::Kind kind, Shown shown)
{
    switch (shown) {
        case Shown::Number:
        case Shown::Scaled:
            return kind == uirfile::Kind::Numeric;
        case Shown::Integer:
            return kind == uirfile::Kind::Ring || kind == uirfile::Kind::Switch;
        case Shown::Word:
            return kind == uirfile::Kind::Table;
    }
    return false;
}

class Resolver {
public:
    Resolver(const uirfile::Panel* main, const uirfile::Panel* set, const uirfile::Panel* debug)
        : main_(main), set_(set), debug_(debug)
    {
    }

    Scope scope(RegisterPanel panel, int page) const
    {
        switch (panel) {
            case RegisterPanel::Main:
                return scopeOf(main_, -1, "mainwin.uir");
            case RegisterPanel::Set:
                return scopeOf(set_, page, "mainwin.uir");
            case RegisterPanel::Debug:
                return scopeOf(debug_, page, "debug.uir");
        }
        return Scope{};
    }

    // Fills what the resources say about `c` of register `entry`; a control
    // or button they do not hold is a fault.
    void describe(const RegisterEntry& entry, RegisterControl& c)
    {
        const Scope s = scope(c.panel, c.page);
        if (!s.read) return;  // the file's fault is told already
        c.panelTitle = s.panelTitle;
        c.pageCaption = s.pageCaption;
        c.context = s.context;
        const std::string where = std::string(s.file) + ": " +
                                  (s.controls == nullptr ? s.panelTitle : s.name) + ": register " +
                                  std::to_string(entry.reg) + ": ";
        if (s.controls == nullptr) {
            fault(where + "the panel has no tab page " + std::to_string(c.page));
            return;
        }
        const uirfile::Control* found = controlWithId(s, c.id);
        if (found == nullptr) {
            fault(where + "no control " + std::to_string(c.id));
            return;
        }
        if (!fitsShown(found->kind, entry.shown)) {
            fault(where + "control " + found->constant + " is of the wrong kind to show it");
            return;
        }
        c.constant = found->constant;
        c.caption = found->caption;
        if (const uirfile::Control* unit = unitOf(s, *found)) {
            c.unit = unit->caption;
            c.unitConstant = unit->constant;
        }
        c.kind = found->kind;
        c.prec = found->prec;
        c.hasMin = found->hasMin;
        c.hasMax = found->hasMax;
        c.min = found->min;
        c.max = found->max;
        c.items = found->items;
        if (c.send == nullptr) return;
        int buttons = 0;
        for (const uirfile::Control& b : *s.controls) {
            if (b.kind != uirfile::Kind::Button || b.callbackName != c.send) continue;
            ++buttons;
            c.sendConstant = b.constant;
            // The button sends what the control in its row shows.
            if (b.box != found->box || b.at.row != found->at.row || b.at.row < 0) {
                fault(where + "button " + b.constant + " calls " + c.send + " but is not in the row of " +
                      found->constant);
            }
        }
        if (buttons == 0) fault(where + "no button calls " + c.send);
        if (buttons > 1) fault(where + std::to_string(buttons) + " buttons call " + c.send + ", one should");
    }

    // The texts of a table's rows, column 1 from row 1.
    std::vector<std::string> tableRows(int id) const
    {
        const Scope s = scope(RegisterPanel::Main, -1);
        if (s.controls == nullptr) return {};
        const uirfile::Control* table = controlWithId(s, id);
        return table != nullptr ? table->cells : std::vector<std::string>{};
    }

    void fault(const std::string& text) { error_ += (error_.empty() ? "" : "\n") + text; }
    const std::string& error() const { return error_; }

private:
    const uirfile::Panel* main_;
    const uirfile::Panel* set_;
    const uirfile::Panel* debug_;
    std::string error_;
};

void kindOf(RegisterEntry& e)
{
    for (const SpecialRegister& s : kSpecialRegisters) {
        if (s.reg != e.reg) continue;
        e.kind = s.kind;
        e.guardedOn = s.guardedOn;
    }
}

void nameFromFirstControl(RegisterEntry& e)
{
    if (e.controls.empty()) return;
    e.caption = e.controls.front().caption;
    e.unit = e.controls.front().unit;
}

}  // namespace

// --- The catalogue --------------------------------------------------------------------

std::string RegisterControl::itemCaption(int value) const
{
    for (const uirfile::RingItem& item : items) {
        if (item.value == value) return item.caption;
    }
    return std::string();
}

const RegisterControl* RegisterEntry::on(RegisterPanel panel) const
{
    for (const RegisterControl& c : controls) {
        if (c.panel == panel) return &c;
    }
    return nullptr;
}

RegisterCatalogue RegisterCatalogue::FromPanels(const uirfile::Panel* main, const uirfile::Panel* set,
                                                const uirfile::Panel* debug, const std::string& fileError)
{
    RegisterCatalogue cat;
    Resolver resolver(main, set, debug);
    if (!fileError.empty()) resolver.fault(fileError);

    for (int tab = 0; tab < 6; ++tab) {
        const ItemTable& table = kPageTables[tab];
        const std::string page = resolver.scope(RegisterPanel::Set, tab).pageCaption;
        for (int i = 0; i < table.count; ++i) {
            const PageLayout& layout = kPageLayouts[tab][i];
            RegisterEntry e;
            e.reg = table.first_register + i;
            e.tab = tab;
            e.index = i;
            e.item = &table.items[i];
            e.shown = layout.shown;
            e.scale = DisplayScale(table.items, i);
            e.page = page;
            kindOf(e);
            if (layout.set.control != 0) {
                RegisterControl c;
                c.panel = RegisterPanel::Set;
                c.page = tab;
                c.id = layout.set.control;
                c.send = layout.set.send;
                c.sendKind = layout.set.sendKind;
                e.controls.push_back(c);
            }
            if (layout.debug.control != 0) {
                RegisterControl c;
                c.panel = RegisterPanel::Debug;
                c.page = layout.debug.page;
                c.id = layout.debug.control;
                c.send = layout.debug.send;
                c.sendKind = layout.debug.sendKind;
                e.controls.push_back(c);
            }
            for (RegisterControl& c : e.controls) resolver.describe(e, c);
            nameFromFirstControl(e);
            cat.pages_.push_back(std::move(e));
        }
    }

    std::map<int, int> sharing;  // controls that show several status words
    for (int id : queryItemID) ++sharing[id];
    std::map<int, int> numbered;
    for (int i = 0; i < kStatusTable.count; ++i) {
        RegisterEntry e;
        e.reg = kStatusTable.first_register + i;
        e.tab = kStatusTab;
        e.index = i;
        e.item = &kStatusTable.items[i];
        e.kind = RegisterKind::Status;
        e.shown = kStatusShown[i];
        e.scale = DisplayScale(kStatusTable.items, i);
        RegisterControl c;
        c.panel = RegisterPanel::Main;
        c.id = queryItemID[i];
        resolver.describe(e, c);
        e.controls.push_back(c);
        nameFromFirstControl(e);
        if (sharing[c.id] > 1 && !e.caption.empty()) e.caption += " " + std::to_string(++numbered[c.id]);
        for (const WordRows& w : kWordRows) {
            if (w.item != i) continue;
            e.wordColumn = w.column;
            e.wordFirstRow = w.firstRow;
            e.wordBits = w.bits;
            const std::vector<std::string> rows = resolver.tableRows(c.id);
            for (int b = 0; b < w.bits; ++b) {
                const std::size_t row =
                    static_cast<std::size_t>(w.firstRow - 1) + static_cast<std::size_t>(b);
                e.bitNames.push_back(row < rows.size() ? rows[row] : std::string());
            }
        }
        cat.status_.push_back(std::move(e));
    }

    for (RegisterPanel panel : {RegisterPanel::Main, RegisterPanel::Set, RegisterPanel::Debug}) {
        cat.titles_[static_cast<int>(panel)] = resolver.scope(panel, -1).panelTitle;
    }

    RegisterEntry& pw = cat.password_;
    pw.reg = PASSWORD_REGISTER;
    pw.item = &communication_password_hci;
    pw.kind = RegisterKind::Password;
    pw.caption = "Password";
    cat.error_ = resolver.error();
    return cat;
}

RegisterCatalogue RegisterCatalogue::FromResources()
{
    std::vector<uirfile::Panel> mainFile;
    std::vector<uirfile::Panel> debugFile;
    std::string mainError;
    std::string debugError;
    uirfile::DescribeResource("mainwin.uir", &mainFile, &mainError);
    uirfile::DescribeResource("debug.uir", &debugFile, &debugError);
    auto panel = [](const std::vector<uirfile::Panel>& file, int number) -> const uirfile::Panel* {
        for (const uirfile::Panel& p : file) {
            if (p.number == number) return &p;
        }
        return nullptr;
    };
    std::string fileError = mainError;
    if (!debugError.empty()) fileError += (fileError.empty() ? "" : "\n") + debugError;
    const uirfile::Panel* main = panel(mainFile, uir::PANEL_MAIN);
    const uirfile::Panel* set = panel(mainFile, uir::PANEL_SET);
    const uirfile::Panel* debug = panel(debugFile, uir::PANEL_DEBG);
    if (mainError.empty() && (main == nullptr || set == nullptr)) {
        fileError +=
            (fileError.empty() ? "" : "\n") + std::string("mainwin.uir: a panel of the console is missing");
    }
    if (debugError.empty() && debug == nullptr) {
        fileError += (fileError.empty() ? "" : "\n") + std::string("debug.uir: the debug panel is missing");
    }
    return FromPanels(main, set, debug, fileError);
}

const RegisterEntry* RegisterCatalogue::find(int reg) const
{
    for (const auto* list : {&pages_, &status_}) {
        for (const RegisterEntry& e : *list) {
            if (e.reg == reg) return &e;
        }
    }
    return reg == password_.reg ? &password_ : nullptr;
}

const RegisterEntry* RegisterCatalogue::pageEntry(int tab, int index) const
{
    if (tab < 0 || tab >= 6 || index < 0 || index >= kPageTables[tab].count) return nullptr;
    std::size_t at = static_cast<std::size_t>(index);
    for (int t = 0; t < tab; ++t) at += static_cast<std::size_t>(kPageTables[t].count);
    return at < pages_.size() ? &pages_[at] : nullptr;
}

const RegisterEntry& RegisterCatalogue::motorSpeed() const
{
    return status_[static_cast<std::size_t>(STATUS_MOTOR_SPEED)];
}

std::vector<const RegisterEntry*> RegisterCatalogue::faultWords() const
{
    std::vector<const RegisterEntry*> words;
    words.reserve(static_cast<std::size_t>(STATUS_FAULT_WORDS));
    for (std::size_t w = 0; w < static_cast<std::size_t>(STATUS_FAULT_WORDS); ++w)
        words.push_back(&status_[static_cast<std::size_t>(STATUS_FIRST_FAULT_WORD) + w]);
    return words;
}

std::string RegisterCatalogue::captionOf(int reg) const
{
    const RegisterEntry* e = find(reg);
    return e != nullptr && !e->caption.empty() ? e->caption : "reg " + std::to_string(reg);
}

namespace {

// The process's catalogue; see ResetCatalogue.
struct CatalogueHolder {
    std::mutex mutex;
    std::unique_ptr<const RegisterCatalogue> catalogue;
};

CatalogueHolder& holder()
{
    static CatalogueHolder h;
    return h;
}

}  // namespace

const RegisterCatalogue& Catalogue()
{
    CatalogueHolder& h = holder();
    std::lock_guard<std::mutex> lock(h.mutex);
    if (h.catalogue == nullptr)
        h.catalogue = std::make_unique<const RegisterCatalogue>(RegisterCatalogue::FromResources());
    return *h.catalogue;
}

void ResetCatalogue()
{
    CatalogueHolder& h = holder();
    {
        std::lock_guard<std::mutex> lock(h.mutex);
        h.catalogue.reset();
    }
    ResetPanelTexts();
}

const RegisterCatalogue& RegisterLayout()
{
    static const RegisterCatalogue layout = RegisterCatalogue::FromPanels(nullptr, nullptr, nullptr);
    return layout;
}

std::atomic<int>& PanelHandleOf(const RegisterControl& control)
{
    switch (control.panel) {
        case RegisterPanel::Set:
            return panel_set_tab[control.page];
        case RegisterPanel::Debug:
            return panel_debug_tab[control.page];
        case RegisterPanel::Main:
            break;
    }
    return panelMain;
}
