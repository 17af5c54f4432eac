// Checks the panel resource files, as loaded by the Qt backend, against the
// control catalogue: every panel, tab page, menu entry and control must sit
// at its id with its constant, kind, caption, ring items, table shape and
// callback, and the identifier header must agree with what is loaded. The
// controls that show registers, their "__OK" buttons and their unit texts are
// expected where the register catalogue places them, with what it read from
// the resources; the tables below list the rest.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;

// ---------------------------------------------------------------------------
// What the panels must hold.

// Control kinds as the operator sees them.
enum class K {
    Numeric,
    Readout,
    Ring,
    RingReadout,
    Switch,
    Button,
    Led,
    Text,
    Table,
    Timer,
    Picture,
    Splitter,
    Tab
};

// One control. A null caption means the kind has none (or, for the maker
// line, that any non-empty text will do); a null callback means none.
struct Ctl {
    const char* constant;
    K kind;
    const char* caption;
    const char* callback;
};

struct Container {
    const char* constant;
    std::vector<Ctl> controls;
};

// clang-format off
const Container kPanels[] = {
    {"PANEL_MAIN",
     {{"QUITBUTTON", K::Button, "__QUIT", "QuitCallback"},
      {"LED_TRANSMIT", K::Led, "TX", nullptr},
      {"LED_RECIEVE", K::Led, "RX", nullptr},
      {"TEXTMSG", K::Text, "V", nullptr},
      {"TEXTMSG_12", K::Text, "℃", nullptr},
      {"PICTURE", K::Picture, nullptr, nullptr},
      {"TEXTMSG_6", K::Text, nullptr, nullptr},
      {"SPLITTER_2", K::Splitter, nullptr, nullptr},
      {"SPLITTER", K::Splitter, nullptr, nullptr},
      {"TIMER_CMPW_RT", K::Timer, nullptr, "timer_cmPW_rt"},
      {"TIMER_CMPW", K::Timer, nullptr, "timer_cmPW"},
      {"LINK_STATUS", K::Text, "port closed", nullptr}}},
    {"PANEL_COM",
     {{"COMSELECT", K::Ring, "COM SELECT", "ComSelectChanged"},
      {"BTLSELECT", K::Ring, "Baud rate", nullptr},
      {"JYSELECT", K::Ring, "CHECK MODE", nullptr},
      {"LONGSELECT", K::Ring, "DATA BITS", nullptr},
      {"STOPSELECT", K::Ring, "STOP BITS", nullptr},
      {"QUIT", K::Button, "Quit", "Quit"},
      {"CLOSECOM", K::Button, "__CloseCOM", "CloseCOM"},
      {"CONFIGURE", K::Button, "__Configure", "Configure"},
      {"DEVICE_INFO", K::Text, nullptr, nullptr},
      {"CHOOSE_DEVICE", K::Button, "Device…", "ChooseDevice"},
      {"RECONNECT", K::Switch, "Reconnect automatically", "ReconnectSwitch"},
      {"FAST_LINE", K::Switch, "Line-rate polling", nullptr},
      {"FAST_LINE_TIMEOUT", K::Numeric, "Reply time-out (ms)", nullptr}}},
    {"PANEL_SET",
     {{"TAB", K::Tab, nullptr, "cb_refreshTab1"},
      {"WRITE_STATUS", K::Text, "", nullptr},
      {"UNSTORED", K::Text, "No confirmed change waiting to be stored", nullptr},
      {"STORE", K::Button, "Store", "storeParameters"}}},
    {"PANEL_DEBG",
     {{"TAB", K::Tab, nullptr, "refreshDebugTab"},
      {"WRITE_STATUS", K::Text, "", nullptr},
      {"TEST_STOP", K::Button, "STOP", "testStop"},
      {"UNSTORED", K::Text, "No confirmed change waiting to be stored", nullptr},
      {"STORE", K::Button, "Store", "storeParameters"}}},
};

// Besides their register rows, the FUNC page holds a switch that shows no
// register, and the DEBUG page two hidden texts beside its command switches.
const Container kPageExtras[] = {
    {"TABPANEL_3", {{"TAB3_BINARYSWITCH_5", K::Switch, "BOOST", nullptr}}},
    {"TABPANEL_6",
     {{"TEXTMSG_10", K::Text, "Parameter store", nullptr},
      {"TEXTMSG_9", K::Text, "Restore factory settings", nullptr}}},
};

struct ExpectedMenu {
    const char* constant;
    const char* caption;
    const char* callback;
};
const ExpectedMenu kMenus[] = {
    {"MENU_COMCONFIGURE", "COMMUNICATION", "comConfigure"},
    {"MENU_SET", "SET", "parameterSet"},
    {"MENU_DEBUG", "DEBUG", "debug"},
    {"MENU1", "Help", nullptr},
    {"MENU_FILE", "FILE", nullptr},  // shown first; its commands are a drop-down menu
    {"MENU_MONITOR", "MONITOR", "monitor"},
    {"MENU_FAULTS", "FAULTS", "faults"},
};
// The items of the Help entry's list.
const ExpectedMenu kHelpItems[] = {
    {"MENU1_REFERENCE", "Parameter reference", "parameterReference"},
    {"MENU_REPORT", "Save service report\u2026", "serviceReport"},
    {"MENU1_ABOUT", "About", "aboutConsole"},
};

struct ExpectedPanel {
    const char* file;
    int number;
    const char* constant;
    const char* title;  // null: the application's name, any non-empty text
    std::vector<std::pair<const char*, const char*>> pages;  // constant, caption
};
const ExpectedPanel kExpectedPanels[] = {
    {"mainwin.uir", uir::PANEL_MAIN, "PANEL_MAIN", nullptr, {}},
    {"sample5.uir", uir::PANEL_COM, "PANEL_COM", "COM CONFIGURE", {}},
    {"mainwin.uir", uir::PANEL_SET, "PANEL_SET", "PARAMETER SET",
     {{"TABPANEL_1", "BASIC"}, {"TABPANEL_2", "TEMP"}, {"TABPANEL_3", "FUNC"}, {"TABPANEL_4", "THROTTLE"},
      {"TABPANEL_5", "MOTOR"}, {"TABPANEL_6", "DEBUG"}}},
    {"debug.uir", uir::PANEL_DEBG, "PANEL_DEBG", "DEBUG", {{"DBG_TAB1", "设置"}, {"DBG_TAB2", "调试"}}},
};

struct Item {
    const char* caption;
    int value;
};
struct ExpectedRing {
    const char* constant;  // ring constants are unique across all panels
    int init;              // initially selected position
    std::vector<Item> items;
};
// The port panel's rings. The rings that show registers list the items the
// register catalogue read; they start on these items.
const ExpectedRing kRings[] = {
    {"COMSELECT", 3,
      {{"COM1", 1}, {"COM2", 2}, {"COM3", 3}, {"COM4", 4}, {"COM5", 5}, {"COM6", 6}, {"COM7", 7},
       {"COM8", 8}, {"COM9", 9}, {"COM10", 10}, {"COM11", 11}, {"COM12", 12}, {"COM13", 13}, {"COM14", 14},
       {"COM15", 15}, {"COM16", 16}, {"COM17", 17}, {"COM18", 18}, {"COM19", 19}, {"COM20", 20}}},
    {"BTLSELECT", 4,
      {{"1200", 1}, {"2400", 2}, {"4800", 3}, {"9600", 4}, {"19200", 5}, {"115200", 6}}},
    {"JYSELECT", 0,
      {{"Odd parity", 2}, {"Even parity", 3}, {"NO parity", 1}}},
    {"LONGSELECT", 1,
      {{"7", 1}, {"8", 2}, {"9", 3}}},
    {"STOPSELECT", 0,
      {{"1", 1}, {"2", 2}}},
};
const std::map<std::string, int> kRegisterRingStarts = {
    {"RING_QUERY_0", 0}, {"RING_QUERY_18", 0}, {"RING_QUERY_25", 0}, {"TAB3_RING_1", 1}, {"TAB3_RING_2", 0},
    {"TAB5_RING_8", 0},  {"TAB6_RING_4", 1},   {"RING_4", 3},        {"RING_11", 2},
};

// The main panel's status tables; the texts of their first column are the
// names of the status bits drawn into them, as the register catalogue read them.
struct ExpectedTable {
    const char* constant;
    int rows;
    int cols;
};
const ExpectedTable kTables[] = {{"TABLE_3", 4, 2}, {"TABLE_2", 8, 2}, {"TABLE_1", 48, 1}};

struct ExpectedTimer {
    const char* constant;
    int intervalMs;
};
const ExpectedTimer kTimers[] = {{"TIMER_CMPW_RT", 50}, {"TIMER_CMPW", 10000}};

// Decimals of the numerics that show scaled values; every other numeric shows
// whole register numbers.
struct ExpectedDecimals {
    const char* container;
    const char* constant;
    int decimals;
};
const ExpectedDecimals kDecimals[] = {
    {"PANEL_MAIN", "NUMERIC_QUERY_1", 2}, {"PANEL_MAIN", "NUMERIC_QUERY_2", 2},
    {"PANEL_MAIN", "NUMERIC_QUERY_3", 2}, {"PANEL_MAIN", "NUMERIC_QUERY_4", 2},
    {"PANEL_MAIN", "NUMERIC_QUERY_5", 2}, {"PANEL_MAIN", "NUMERIC_QUERY_8", 2},
    {"PANEL_MAIN", "NUMERIC_QUERY_11", 2}, {"TABPANEL_3", "TAB3_NUMERIC_SET_16", 1},
    {"TABPANEL_4", "TAB4_NUMERIC_SET_1", 3}, {"TABPANEL_4", "TAB4_NUMERIC_SET_2", 3},
    {"TABPANEL_4", "TAB4_NUMERIC_SET_5", 3}, {"TABPANEL_6", "TAB6_NUMERIC_SET_5", 2},
    {"DBG_TAB2", "NUMERIC_SET_5", 2}, {"DBG_TAB2", "NUMERIC_SET_9", 2},
    {"DBG_TAB2", "NUMERIC_SET_10", 2}, {"DBG_TAB2", "NUMERIC_SET_12", 2},
    {"DBG_TAB2", "NUMERIC_SET_13", 2}, {"DBG_TAB2", "NUMERIC_SET_14", 2},
};

// Texts hidden at load: the two spare unit texts of the main panel, and on
// the DEBUG page the two command captions the switches already show.
const std::set<std::pair<std::string, std::string>> kHidden = {
    {"PANEL_MAIN", "TEXTMSG"},
    {"PANEL_MAIN", "TEXTMSG_12"},
    {"TABPANEL_6", "TEXTMSG_9"},
    {"TABPANEL_6", "TEXTMSG_10"},
};

// clang-format on

// Every control, flattened: container constant and the control.
struct Expected {
    std::string container;
    Ctl ctl;
};

// The container (panel or page constant) of a register's control.
std::string ContainerOf(const RegisterControl& c)
{
    const char* file = c.panel == RegisterPanel::Debug ? "debug.uir" : "mainwin.uir";
    const int panel = c.panel == RegisterPanel::Main  ? uir::PANEL_MAIN
                      : c.panel == RegisterPanel::Set ? uir::PANEL_SET
                                                      : uir::PANEL_DEBG;
    for (const uir::CatalogueEntry& e : uir::kCatalogue) {
        if (std::string(e.file) == file && e.panel == panel && e.page == c.page && e.id == c.id &&
            std::string(e.container) != "MENUBAR" && std::string(e.container) != "MENU1")
            return e.container;
    }
    return "?";
}

K KindOf(const RegisterControl& c)
{
    const bool readOut = c.panel == RegisterPanel::Main;
    switch (c.kind) {
        case uirfile::Kind::Numeric:
            return readOut ? K::Readout : K::Numeric;
        case uirfile::Kind::Ring:
            return readOut ? K::RingReadout : K::Ring;
        case uirfile::Kind::Switch:
            return K::Switch;
        default:
            return K::Table;
    }
}

// Texts that the expectations point into, kept for the life of the test.
const char* Kept(const std::string& text)
{
    static std::deque<std::string> kept;
    kept.push_back(text);
    return kept.back().c_str();
}

// Every control of the register catalogue: the value control, its "__OK"
// button and its unit text.
std::vector<Expected> RegisterControls()
{
    std::vector<Expected> out;
    std::set<std::pair<std::string, std::string>> seen;  // the fault list shows three registers
    const RegisterCatalogue& catalogue = Catalogue();
    for (const auto* list : {&catalogue.pageRegisters(), &catalogue.statusRegisters()}) {
        for (const RegisterEntry& e : *list) {
            for (const RegisterControl& c : e.controls) {
                const std::string container = ContainerOf(c);
                if (!seen.insert({container, c.constant}).second) continue;
                out.push_back({container, {Kept(c.constant), KindOf(c), Kept(c.caption), nullptr}});
                if (!c.sendConstant.empty())
                    out.push_back({container, {Kept(c.sendConstant), K::Button, "__OK", c.send}});
                if (!c.unitConstant.empty())
                    out.push_back({container, {Kept(c.unitConstant), K::Text, Kept(c.unit), nullptr}});
            }
        }
    }
    return out;
}

std::vector<Expected> AllExpected()
{
    std::vector<Expected> out;
    const auto add = [&](const Container& c) {
        for (const Ctl& ctl : c.controls) out.push_back({c.constant, ctl});
    };
    for (const Container& c : kPanels) add(c);
    for (const Container& c : kPageExtras) add(c);
    for (const Expected& e : RegisterControls()) out.push_back(e);
    return out;
}

const uir::CatalogueEntry* FindEntry(const std::string& container, const std::string& constant)
{
    for (const uir::CatalogueEntry& e : uir::kCatalogue) {
        if (container == e.container && constant == e.control) return &e;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Loading the panels.

// A recorded callback call; `name` is the callback's registered name.
struct Call {
    std::string name;
    int panel;
    int control;
    int event;
    int data1;
    int data2;
};
std::vector<Call> g_calls;

int RecordControl(int panel, int control, int event, void* data, int data1, int data2)
{
    g_calls.push_back({*static_cast<const std::string*>(data), panel, control, event, data1, data2});
    return 0;
}
void RecordMenu(int menuBar, int item, void* data, int panel)
{
    g_calls.push_back({*static_cast<const std::string*>(data), panel, item, -1, menuBar, 0});
}

// Which callbacks are registered: the recorders (most tests) or the
// application's own (one test); switching clears the registry.
enum class Registry { None, Recorders, Application };
Registry g_registry = Registry::None;

bool UseRecorders()
{
    if (g_registry == Registry::Recorders) return true;
    if (g_registry == Registry::Application) ClearCallbacks();
    // Each name once; the names are the recorders' data for the life of the process.
    static std::deque<std::pair<std::string, bool>> names;
    if (names.empty()) {
        auto add = [&](const char* name, bool menu) {
            for (const auto& n : names) {
                if (n.first == name) return;
            }
            names.emplace_back(name, menu);
        };
        for (const Expected& e : AllExpected()) {
            if (e.ctl.callback != nullptr) add(e.ctl.callback, false);
        }
        for (const ExpectedMenu& m : kMenus) {
            if (m.callback != nullptr) add(m.callback, true);
        }
        for (const ExpectedMenu& m : kHelpItems) add(m.callback, true);
    }
    std::vector<CallbackEntry> entries;
    for (auto& [name, menu] : names) {
        entries.push_back({name.c_str(), menu ? nullptr : RecordControl, menu ? RecordMenu : nullptr, &name});
    }
    RegisterCallbacks(entries.data(), static_cast<int>(entries.size()));
    g_registry = Registry::Recorders;
    return true;
}

bool UseApplicationCallbacks()
{
    if (g_registry == Registry::Recorders) ClearCallbacks();
    RegisterAllCallbacks();
    g_registry = Registry::Application;
    return true;
}

void InitUi()
{
    static int argc = 1;
    static char name[] = "catalogue_test";
    static char* argv[] = {name, nullptr};
    ASSERT_TRUE(qtui::InitUserInterface(argc, argv));
}

// Lets queued widget updates and callbacks run.
void Settle()
{
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool WaitUi(const std::function<bool()>& predicate)
{
    return testsupport::WaitFor(
        [&] {
            QApplication::processEvents();
            return predicate();
        },
        2000ms);
}

// Depth-first search for an object named `name` below `root`, not entering
// other windows or other tab pages.
template <typename T>
T* FindIn(QObject* root, const QString& name)
{
    for (QObject* child : root->children()) {
        if (auto* w = qobject_cast<QWidget*>(child)) {
            if (w->isWindow()) continue;
            if (w->parentWidget() != nullptr && qobject_cast<QStackedWidget*>(w->parentWidget())) continue;
        }
        if (child->objectName() == name) {
            if (auto* hit = qobject_cast<T*>(child)) return hit;
        }
        if (T* hit = FindIn<T>(child, name)) return hit;
    }
    return nullptr;
}

class CataloguePanels : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitUi();
        g_calls.clear();
        if (!UseRecorders()) GTEST_SKIP() << "the application's callbacks are registered in this process";
        LoadAll();
    }
    void TearDown() override { qtui::ShutdownUserInterface(); }

    void LoadAll()
    {
        const int main = LoadPanel(0, "mainwin.uir", uir::PANEL_MAIN);
        ASSERT_GT(main, 0);
        handles_["PANEL_MAIN"] = main;
        for (const ExpectedPanel& p : kExpectedPanels) {
            if (p.number == uir::PANEL_MAIN && std::string(p.file) == "mainwin.uir") continue;
            const int h = LoadPanel(main, p.file, p.number);
            ASSERT_GT(h, 0) << p.constant;
            handles_[p.constant] = h;
            for (std::size_t i = 0; i < p.pages.size(); ++i) {
                int page = 0;
                ASSERT_EQ(GetPanelHandleFromTabPage(h, 2, static_cast<int>(i), &page), 0) << p.pages[i].first;
                handles_[p.pages[i].first] = page;
            }
        }
        Settle();
    }

    int Handle(const std::string& container) const { return handles_.at(container); }
    QWidget* Root(const std::string& container) const { return qtui::PanelWidget(Handle(container)); }

    template <typename T = QWidget>
    T* Find(const std::string& container, const std::string& constant) const
    {
        QWidget* root = Root(container);
        return root == nullptr ? nullptr : FindIn<T>(root, QString::fromStdString(constant));
    }

    std::map<std::string, int> handles_;
};

bool KindMatches(K kind, QObject* o)
{
    switch (kind) {
        case K::Numeric:
            return qobject_cast<QDoubleSpinBox*>(o) != nullptr;
        case K::Readout:
        case K::RingReadout: {
            auto* e = qobject_cast<QLineEdit*>(o);
            return e != nullptr && e->isReadOnly();
        }
        case K::Ring:
            return qobject_cast<QComboBox*>(o) != nullptr;
        case K::Switch:
            return qobject_cast<qtui::SwitchButton*>(o) != nullptr;
        case K::Button:
            return qobject_cast<QPushButton*>(o) != nullptr;
        case K::Led:
            return qobject_cast<qtui::LedLamp*>(o) != nullptr;
        case K::Text:
            return qobject_cast<QLabel*>(o) != nullptr;
        case K::Table:
            return qobject_cast<QTableWidget*>(o) != nullptr;
        case K::Timer:
            return qobject_cast<QTimer*>(o) != nullptr;
        case K::Picture:
            return qobject_cast<qtui::MotorPicture*>(o) != nullptr;
        case K::Splitter:
            return qobject_cast<QFrame*>(o) != nullptr;
        case K::Tab:
            return qobject_cast<QTabWidget*>(o) != nullptr;
    }
    return false;
}

// "__OK" is shown as "OK".
std::string WithoutMarker(std::string caption)
{
    const auto at = caption.find("__");
    if (at != std::string::npos) caption.erase(at, 2);
    return caption;
}

// ---------------------------------------------------------------------------
// The header against the expectations (no widgets needed).

TEST(CatalogueHeader, ListsExactlyTheExpectedControlsWithIdsFromTwoWithoutGaps)
{
    // The register rows are expected where the register catalogue found them.
    ASSERT_EQ(Catalogue().error(), "");
    std::map<std::string, std::set<int>> ids;
    std::set<std::pair<std::string, std::string>> inHeader;
    for (const uir::CatalogueEntry& e : uir::kCatalogue) {
        EXPECT_TRUE(ids[e.container].insert(e.id).second) << e.container << " id " << e.id << " twice";
        EXPECT_TRUE(inHeader.insert({e.container, e.control}).second) << e.container << "::" << e.control;
    }
    for (const auto& [container, set] : ids) {
        EXPECT_EQ(*set.begin(), 2) << container;
        // Menu entries may be given their id (id=), so that a new entry never
        // moves the others; only controls count without gaps.
        if (container == "MENUBAR") continue;
        EXPECT_EQ(*set.rbegin(), static_cast<int>(set.size()) + 1) << container << " has a gap";
    }

    std::set<std::pair<std::string, std::string>> expected;
    for (const Expected& e : AllExpected()) expected.insert({e.container, e.ctl.constant});
    for (const ExpectedMenu& m : kMenus) expected.insert({"MENUBAR", m.constant});
    for (const ExpectedMenu& m : kHelpItems) expected.insert({"MENU1", m.constant});
    EXPECT_EQ(inHeader, expected);
}

// ---------------------------------------------------------------------------
// The loaded panels.

TEST_F(CataloguePanels, PanelsAndPagesCarryTheirConstantsTitlesAndCaptions)
{
    for (const ExpectedPanel& p : kExpectedPanels) {
        SCOPED_TRACE(p.constant);
        QWidget* w = Root(p.constant);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName().toStdString(), p.constant);
        EXPECT_TRUE(w->isHidden()) << "panels load hidden";
        if (p.title != nullptr) {
            EXPECT_EQ(w->windowTitle().toStdString(), p.title);
        } else {
            EXPECT_FALSE(w->windowTitle().isEmpty());
        }
        if (p.pages.empty()) continue;
        auto* tabs = Find<QTabWidget>(p.constant, "TAB");
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), static_cast<int>(p.pages.size()));
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_EQ(tabs->tabText(i).toStdString(), p.pages[static_cast<std::size_t>(i)].second);
            EXPECT_EQ(tabs->widget(i), Root(p.pages[static_cast<std::size_t>(i)].first)) << "page " << i;
            EXPECT_EQ(tabs->widget(i)->objectName().toStdString(),
                      p.pages[static_cast<std::size_t>(i)].first);
        }
    }
    // The child panels belong to the main panel's window.
    for (const char* child : {"PANEL_COM", "PANEL_SET", "PANEL_DEBG"}) {
        EXPECT_EQ(Root(child)->parentWidget(), Root("PANEL_MAIN")) << child;
    }
}

TEST_F(CataloguePanels, EveryControlHasItsKindCaptionAndVisibility)
{
    for (const Expected& e : AllExpected()) {
        SCOPED_TRACE(e.container + "::" + e.ctl.constant);
        if (e.ctl.kind == K::Timer) {
            auto* t = Find<QTimer>(e.container, e.ctl.constant);
            if (t == nullptr) t = FindIn<QTimer>(Root(e.container), QString::fromUtf8(e.ctl.constant));
            EXPECT_NE(t, nullptr);
            continue;
        }
        QWidget* w = Find(e.container, e.ctl.constant);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(KindMatches(e.ctl.kind, w)) << w->metaObject()->className();
        EXPECT_EQ(w->accessibleDescription().toStdString(), e.ctl.constant);
        if (e.ctl.caption != nullptr) {
            EXPECT_EQ(w->accessibleName().toStdString(), WithoutMarker(e.ctl.caption));
        } else if (e.ctl.kind == K::Text) {
            EXPECT_FALSE(w->accessibleName().isEmpty());
        }
        if (e.ctl.kind == K::Button) {
            EXPECT_EQ(static_cast<QPushButton*>(w)->text().toStdString(),
                      std::string(e.ctl.caption).find("__") == 0 ? "&" + WithoutMarker(e.ctl.caption)
                                                                 : std::string(e.ctl.caption));
        }
        if (e.ctl.kind == K::Text && e.ctl.caption != nullptr) {
            EXPECT_EQ(static_cast<QLabel*>(w)->text().toStdString(), e.ctl.caption);
        }
        if (e.ctl.kind == K::Numeric || e.ctl.kind == K::Readout || e.ctl.kind == K::Ring ||
            e.ctl.kind == K::RingReadout || e.ctl.kind == K::Switch || e.ctl.kind == K::Led ||
            e.ctl.kind == K::Table) {
            auto* label = Find<QLabel>(e.container, e.ctl.constant + std::string("_caption"));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text().toStdString(), e.ctl.caption);
        }
        const bool hidden = kHidden.count({e.container, e.ctl.constant}) > 0;
        EXPECT_EQ(w->isVisibleTo(Root(e.container)), !hidden);
    }
}

// Each id reaches the control of its constant: hiding the control by id hides
// that widget, and a value written by id shows in it.
TEST_F(CataloguePanels, EveryIdAddressesTheControlOfItsConstant)
{
    for (const Expected& e : AllExpected()) {
        SCOPED_TRACE(e.container + "::" + e.ctl.constant);
        const uir::CatalogueEntry* entry = FindEntry(e.container, e.ctl.constant);
        ASSERT_NE(entry, nullptr);
        const int h = Handle(e.container);
        const int id = entry->id;
        if (e.ctl.kind == K::Timer) continue;  // reached through its tick, below
        QWidget* w = Find(e.container, e.ctl.constant);
        ASSERT_NE(w, nullptr);
        QWidget* root = Root(e.container);

        ASSERT_EQ(SetCtrlAttribute(h, id, ATTR_VISIBLE, 0), 0);
        EXPECT_TRUE(WaitUi([&] { return !w->isVisibleTo(root); }));
        ASSERT_EQ(SetCtrlAttribute(h, id, ATTR_VISIBLE, 1), 0);
        EXPECT_TRUE(WaitUi([&] { return w->isVisibleTo(root); }));

        switch (e.ctl.kind) {
            case K::Numeric:
            case K::Readout: {
                // 300 lies inside every numeric's limits.
                ASSERT_EQ(SetCtrlVal(h, id, 300.0), 0);
                double back = 0.0;
                EXPECT_EQ(GetCtrlVal(h, id, &back), 0);
                EXPECT_EQ(back, 300.0);
                EXPECT_TRUE(WaitUi([&] {
                    if (auto* s = qobject_cast<QDoubleSpinBox*>(w)) return s->value() == 300.0;
                    return static_cast<QLineEdit*>(w)->text().startsWith("300");
                }));
                break;
            }
            case K::Switch:
            case K::Led: {
                ASSERT_EQ(SetCtrlVal(h, id, 1), 0);
                EXPECT_TRUE(WaitUi([&] {
                    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked();
                    return static_cast<qtui::LedLamp*>(w)->isOn();
                }));
                break;
            }
            case K::Text:
                ASSERT_EQ(SetCtrlVal(h, id, "probe"), 0);
                EXPECT_TRUE(WaitUi([&] { return static_cast<QLabel*>(w)->text() == "probe"; }));
                break;
            case K::Table: {
                auto* t = static_cast<QTableWidget*>(w);
                const Point last = MakePoint(t->columnCount(), t->rowCount());
                ASSERT_EQ(SetTableCellVal(h, id, last, "probe"), 0);
                EXPECT_TRUE(WaitUi([&] {
                    QTableWidgetItem* item = t->item(last.y - 1, last.x - 1);
                    return item != nullptr && item->text() == "probe";
                }));
                break;
            }
            case K::Tab:
                ASSERT_EQ(SetCtrlVal(h, id, 1), 0);
                EXPECT_TRUE(WaitUi([&] { return static_cast<QTabWidget*>(w)->currentIndex() == 1; }));
                break;
            default:  // rings: below; buttons: through their callbacks; picture, splitters: visibility only
                break;
        }
    }
}

// The rings: the port panel's as listed, and those that show registers with
// the items the register catalogue has for them.
std::vector<ExpectedRing> AllRings()
{
    std::vector<ExpectedRing> rings(std::begin(kRings), std::end(kRings));
    for (const auto* list : {&Catalogue().pageRegisters(), &Catalogue().statusRegisters()}) {
        for (const RegisterEntry& e : *list) {
            for (const RegisterControl& c : e.controls) {
                if (c.kind != uirfile::Kind::Ring) continue;
                ExpectedRing r{Kept(c.constant), kRegisterRingStarts.at(c.constant), {}};
                for (const uirfile::RingItem& item : c.items)
                    r.items.push_back({Kept(item.caption), item.value});
                rings.push_back(r);
            }
        }
    }
    return rings;
}

TEST_F(CataloguePanels, RingsListTheirItemsWithValuesAndStartOnTheirInitialItem)
{
    const std::vector<ExpectedRing> rings = AllRings();
    EXPECT_EQ(rings.size(), std::size(kRings) + kRegisterRingStarts.size());
    for (const ExpectedRing& r : rings) {
        SCOPED_TRACE(r.constant);
        const uir::CatalogueEntry* entry = nullptr;
        for (const uir::CatalogueEntry& e : uir::kCatalogue) {
            if (std::string(e.control) == r.constant) entry = &e;
        }
        ASSERT_NE(entry, nullptr);
        const int h = Handle(entry->container);
        QWidget* w = Find(entry->container, r.constant);
        ASSERT_NE(w, nullptr);

        int value = -1;
        ASSERT_EQ(GetCtrlVal(h, entry->id, &value), 0);
        EXPECT_EQ(value, r.items[static_cast<std::size_t>(r.init)].value) << "initial item";

        if (auto* box = qobject_cast<QComboBox*>(w)) {
            EXPECT_EQ(box->currentIndex(), r.init);
            ASSERT_EQ(box->count(), static_cast<int>(r.items.size()));
            for (int i = 0; i < box->count(); ++i) {
                const Item& item = r.items[static_cast<std::size_t>(i)];
                EXPECT_EQ(box->itemText(i).toStdString(), item.caption);
                box->setCurrentIndex(i);  // as the operator would
                ASSERT_EQ(GetCtrlVal(h, entry->id, &value), 0);
                EXPECT_EQ(value, item.value) << item.caption;
            }
        } else {
            auto* shown = static_cast<QLineEdit*>(w);
            EXPECT_EQ(shown->text().toStdString(), r.items[static_cast<std::size_t>(r.init)].caption);
        }
        // Writing an item's value shows that item.
        for (const Item& item : r.items) {
            ASSERT_EQ(SetCtrlVal(h, entry->id, item.value), 0);
            EXPECT_TRUE(WaitUi([&] {
                if (auto* box = qobject_cast<QComboBox*>(w))
                    return box->currentText() == QString::fromUtf8(item.caption);
                return static_cast<QLineEdit*>(w)->text() == QString::fromUtf8(item.caption);
            })) << item.caption;
        }
    }
}

TEST_F(CataloguePanels, TablesHaveTheirShapeAndRowCaptions)
{
    for (const ExpectedTable& t : kTables) {
        SCOPED_TRACE(t.constant);
        // Column 1 from row 1: the names of the bits drawn into the table.
        std::vector<std::string> column1(static_cast<std::size_t>(t.rows));
        for (const RegisterEntry& e : Catalogue().statusRegisters()) {
            if (e.controls.front().constant != t.constant) continue;
            for (std::size_t b = 0; b < e.bitNames.size(); ++b) {
                column1.at(static_cast<std::size_t>(e.wordFirstRow - 1) + b) = e.bitNames[b];
            }
        }
        auto* table = Find<QTableWidget>("PANEL_MAIN", t.constant);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->rowCount(), t.rows);
        ASSERT_EQ(table->columnCount(), t.cols);
        for (int row = 0; row < t.rows; ++row) {
            for (int col = 0; col < t.cols; ++col) {
                QTableWidgetItem* item = table->item(row, col);
                const std::string text = item == nullptr ? "" : item->text().toStdString();
                EXPECT_EQ(text, col == 0 ? column1[static_cast<std::size_t>(row)] : "")
                    << "row " << row + 1 << " column " << col + 1;
            }
        }
    }
}

TEST_F(CataloguePanels, TimersHaveTheirIntervalsAndStartStopped)
{
    for (const ExpectedTimer& t : kTimers) {
        SCOPED_TRACE(t.constant);
        auto* timer = FindIn<QTimer>(Root("PANEL_MAIN"), t.constant);
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), t.intervalMs);
        EXPECT_FALSE(timer->isActive());
    }
    Settle();
    EXPECT_TRUE(g_calls.empty()) << "no tick while disabled";
}

TEST_F(CataloguePanels, NumericsShowTheDecimalsTheirValuesNeedAndOnlyTheHallAngleAndReplyTimeoutAreLimited)
{
    std::map<std::pair<std::string, std::string>, int> decimals;
    for (const ExpectedDecimals& p : kDecimals) decimals[{p.container, p.constant}] = p.decimals;
    for (const Expected& e : AllExpected()) {
        if (e.ctl.kind != K::Numeric && e.ctl.kind != K::Readout) continue;
        SCOPED_TRACE(e.container + "::" + e.ctl.constant);
        const auto it = decimals.find({e.container, e.ctl.constant});
        const int want = it == decimals.end() ? 0 : it->second;
        const int h = Handle(e.container);
        const int id = FindEntry(e.container, e.ctl.constant)->id;
        QWidget* w = Find(e.container, e.ctl.constant);
        ASSERT_NE(w, nullptr);
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(w)) {
            EXPECT_EQ(spin->decimals(), want);
        } else {
            ASSERT_EQ(SetCtrlVal(h, id, -1.0 / 3.0), 0);
            const std::string shown = QString::number(-1.0 / 3.0, 'f', want).toStdString();
            EXPECT_TRUE(WaitUi([&] { return static_cast<QLineEdit*>(w)->text().toStdString() == shown; }))
                << static_cast<QLineEdit*>(w)->text().toStdString();
        }

        // Register values span the signed 16-bit range; only "hall fixed angle" is held to 0..359,
        // and the port panel's reply time-out to 100..10000 ms.
        double low = -32768.0, high = 32767.0;
        if (e.container == "TABPANEL_5" && std::string(e.ctl.constant) == "TAB5_NUMERIC_SET_2") {
            low = 0.0;
            high = 359.0;
        } else if (e.container == "PANEL_COM" && std::string(e.ctl.constant) == "FAST_LINE_TIMEOUT") {
            low = 100.0;
            high = 10000.0;
        }
        for (double v : {-32768.0, 32767.0, 359.0, 0.0}) {
            ASSERT_EQ(SetCtrlVal(h, id, v), 0);
            double back = 1.0;
            ASSERT_EQ(GetCtrlVal(h, id, &back), 0);
            EXPECT_EQ(back, std::min(high, std::max(low, v))) << v;
        }
    }
}

// Buttons, menu entries, tab controls and timers call the callback the
// catalogue names, with their own panel handle and id.
TEST_F(CataloguePanels, EveryCallbackIsAttachedToItsControl)
{
    for (const Expected& e : AllExpected()) {
        if (e.ctl.kind != K::Button) continue;
        SCOPED_TRACE(e.container + "::" + e.ctl.constant);
        auto* b = Find<QPushButton>(e.container, e.ctl.constant);
        ASSERT_NE(b, nullptr);
        g_calls.clear();
        b->click();
        ASSERT_TRUE(WaitUi([] { return !g_calls.empty(); }));
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].name, e.ctl.callback);
        EXPECT_EQ(g_calls[0].panel, Handle(e.container));
        EXPECT_EQ(g_calls[0].control, FindEntry(e.container, e.ctl.constant)->id);
        EXPECT_EQ(g_calls[0].event, EVENT_COMMIT);
    }

    for (const ExpectedMenu& m : kMenus) {
        SCOPED_TRACE(m.constant);
        auto* action = FindIn<QAction>(Root("PANEL_MAIN"), m.constant);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), m.caption);
        g_calls.clear();
        action->trigger();
        Settle();
        if (m.callback == nullptr) {
            EXPECT_TRUE(g_calls.empty());
            continue;
        }
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].name, m.callback);
        EXPECT_EQ(g_calls[0].control, FindEntry("MENUBAR", m.constant)->id);
        EXPECT_EQ(g_calls[0].panel, Handle("PANEL_MAIN"));
    }
    for (const ExpectedMenu& m : kHelpItems) {
        SCOPED_TRACE(m.constant);
        auto* action = FindIn<QAction>(Root("PANEL_MAIN"), m.constant);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), m.caption);
        g_calls.clear();
        action->trigger();
        Settle();
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].name, m.callback);
        EXPECT_EQ(g_calls[0].control, FindEntry("MENU1", m.constant)->id);
        EXPECT_EQ(g_calls[0].panel, Handle("PANEL_MAIN"));
    }

    for (const ExpectedPanel& p : kExpectedPanels) {
        if (p.pages.empty()) continue;
        SCOPED_TRACE(p.constant);
        auto* tabs = Find<QTabWidget>(p.constant, "TAB");
        ASSERT_NE(tabs, nullptr);
        g_calls.clear();
        tabs->setCurrentIndex(1);
        ASSERT_TRUE(WaitUi([] { return !g_calls.empty(); }));
        EXPECT_EQ(g_calls[0].name,
                  p.constant == std::string("PANEL_SET") ? "cb_refreshTab1" : "refreshDebugTab");
        EXPECT_EQ(g_calls[0].panel, Handle(p.constant));
        EXPECT_EQ(g_calls[0].control, 2);
        EXPECT_EQ(g_calls[0].event, EVENT_ACTIVE_TAB_CHANGE);
        EXPECT_EQ(g_calls[0].data1, 0);
        EXPECT_EQ(g_calls[0].data2, 1);
    }

    for (const char* name : {"TIMER_CMPW_RT", "TIMER_CMPW"}) {
        SCOPED_TRACE(name);
        const int id = FindEntry("PANEL_MAIN", name)->id;
        const int main = Handle("PANEL_MAIN");
        g_calls.clear();
        ASSERT_EQ(SetCtrlAttribute(main, id, ATTR_INTERVAL, 0.01), 0);
        ASSERT_EQ(SetCtrlAttribute(main, id, ATTR_ENABLED, 1), 0);
        ASSERT_TRUE(WaitUi([] { return !g_calls.empty(); }));
        ASSERT_EQ(SetCtrlAttribute(main, id, ATTR_ENABLED, 0), 0);
        Settle();
        EXPECT_EQ(g_calls[0].name, std::string(name) == "TIMER_CMPW" ? "timer_cmPW" : "timer_cmPW_rt");
        EXPECT_EQ(g_calls[0].control, id);
        EXPECT_EQ(g_calls[0].event, EVENT_TIMER_TICK);
    }
}

// The application registers every callback the resources name, of the right
// sort, and all four panels load with them.
TEST(CatalogueWithApplication, EveryResourceCallbackIsRegisteredAndThePanelsLoad)
{
    InitUi();
    if (!UseApplicationCallbacks()) GTEST_SKIP() << "the recording callbacks are registered in this process";
    for (const Expected& e : AllExpected()) {
        if (e.ctl.callback == nullptr) continue;
        const CallbackEntry* cb = FindCallback(e.ctl.callback);
        ASSERT_NE(cb, nullptr) << e.ctl.callback;
        EXPECT_NE(cb->control, nullptr) << e.ctl.callback;
    }
    for (const ExpectedMenu& m : kMenus) {
        if (m.callback == nullptr) continue;
        const CallbackEntry* cb = FindCallback(m.callback);
        ASSERT_NE(cb, nullptr) << m.callback;
        EXPECT_NE(cb->menu, nullptr) << m.callback;
    }
    const int main = LoadPanel(0, "mainwin.uir", uir::PANEL_MAIN);
    ASSERT_GT(main, 0);
    for (const ExpectedPanel& p : kExpectedPanels) {
        if (std::string(p.constant) == "PANEL_MAIN") continue;
        const int h = LoadPanel(main, p.file, p.number);
        EXPECT_GT(h, 0) << p.constant;
    }
    qtui::ShutdownUserInterface();
}

}  // namespace
