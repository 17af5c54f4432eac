#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <mutex>

#include "platform/os/gbk.h"
#include "platform/ui/ui.h"
#include "platform/ui/uir.h"
#include "tests/support/test_support.h"

namespace {

int ctrlCb(int, int, int, void*, int, int)
{
    return 0;
}
void menuCb(int, int, void*, int) {}
int g_data = 7;

void registerOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static const CallbackEntry entries[] = {
            {"pressed", ctrlCb, nullptr, &g_data},
            {"chosen", nullptr, menuCb, nullptr},
        };
        RegisterCallbacks(entries, 2);
    });
}

// A small but complete file: every statement and most options.
const char* kGood = R"(# test panels
panel PANEL_A 1 "Alpha  " size=400,300 close=QUIT
  menubar MENUBAR
  menu MENU_X "X" cb=chosen
  menu MENU_Y "Y"
    menuitem ITEM_1 "One" cb=chosen
    menuitem ITEM_2 "Two"
  box GRP "Group" at=0,2
  ctrl 3 VALUE numeric "Value" prec=2 min=-1.5 max=10 at=0,0 in=GRP
  ctrl 2 QUIT button "__Quit" cb=pressed key=Esc emphasis=1
  ctrl 4 MODE ring "Mode" init=1 mode=indicator
    item "a \"b\"" 5
    item "c" -3
  ctrl 5 TICK timer interval=0.05 enabled=1 cb=pressed
  ctrl 6 LIST table "List" rows=3 cols=2 width=200
    cell "one"
    cell "two"
  ctrl 7 TAB tab
  page PAGE_1 "First"
    ctrl 2 ON switch "On" visible=0
  page PAGE_2 "Second"
    ctrl 3 LAMP led "Lamp" at=1,1,1,2
    ctrl 2 LINE splitter
panel PANEL_B 2 "Beta"
  ctrl 2 HELLO text "Hello"
)";

TEST(UirParser, ReadsEveryStatementOfAGoodFile)
{
    registerOnce();
    uirfile::Panel p;
    std::string error;
    ASSERT_TRUE(uirfile::ParsePanel(kGood, "good.uir", 1, &p, &error)) << error;
    EXPECT_EQ(p.constant, "PANEL_A");
    EXPECT_EQ(p.title, "Alpha  ");  // trailing blanks kept
    EXPECT_EQ(p.width, 400);
    EXPECT_EQ(p.closeControl, "QUIT");
    ASSERT_EQ(p.menus.size(), 2u);
    EXPECT_EQ(p.menus[0].id, 2);
    EXPECT_EQ(p.menus[1].id, 3);
    EXPECT_EQ(p.menus[0].callback, &menuCb);
    EXPECT_EQ(p.menus[1].callback, nullptr);
    ASSERT_EQ(p.menus[1].items.size(), 2u);
    EXPECT_EQ(p.menus[1].items[0].constant, "ITEM_1");
    EXPECT_EQ(p.menus[1].items[1].id, 3);
    EXPECT_EQ(p.menus[1].items[0].callback, &menuCb);
    EXPECT_EQ(p.menus[1].items[1].callback, nullptr);
    ASSERT_EQ(p.controls.size(), 6u);

    const uirfile::Control& value = p.controls[0];
    EXPECT_EQ(value.id, 3);
    EXPECT_EQ(value.prec, 2);
    EXPECT_TRUE(value.hasMin && value.hasMax);
    EXPECT_DOUBLE_EQ(value.min, -1.5);
    EXPECT_EQ(value.box, "GRP");

    const uirfile::Control& quit = p.controls[1];
    EXPECT_EQ(quit.callback, &ctrlCb);
    EXPECT_EQ(quit.callbackData, &g_data);
    EXPECT_EQ(quit.key, "Esc");
    EXPECT_TRUE(quit.emphasis);

    const uirfile::Control& ring = p.controls[2];
    ASSERT_EQ(ring.items.size(), 2u);
    EXPECT_EQ(ring.items[0].caption, "a \"b\"");
    EXPECT_EQ(ring.items[1].value, -3);
    EXPECT_EQ(ring.init, 1);
    EXPECT_TRUE(ring.indicator);

    EXPECT_DOUBLE_EQ(p.controls[3].interval, 0.05);
    EXPECT_TRUE(p.controls[3].enabled);
    EXPECT_EQ(p.controls[4].cells, (std::vector<std::string>{"one", "two"}));

    const uirfile::Control& tab = p.controls[5];
    ASSERT_EQ(tab.pages.size(), 2u);
    EXPECT_EQ(tab.pages[0].constant, "PAGE_1");
    EXPECT_FALSE(tab.pages[0].controls[0].visible);
    const uirfile::Control& lamp = tab.pages[1].controls[0];
    EXPECT_EQ(lamp.at.row, 1);
    EXPECT_EQ(lamp.at.colSpan, 2);

    ASSERT_TRUE(uirfile::ParsePanel(kGood, "good.uir", 2, &p, &error)) << error;
    EXPECT_EQ(p.controls.at(0).caption, "Hello");
}

struct BadCase {
    const char* name;
    const char* text;  // appended to a valid panel header
    int line;          // expected line of the complaint
    const char* reason;
};

TEST(UirParser, RejectsBadInputWithFileLineAndReason)
{
    registerOnce();
    const std::string head = "panel P 1 \"T\"\n";
    const BadCase cases[] = {
        {"unknown kind", "ctrl 2 A knob \"x\"\n", 2, "unknown kind 'knob'"},
        {"unknown option", "ctrl 2 A numeric \"x\" colour=3\n", 2, "unknown option colour="},
        {"option of another kind", "ctrl 2 A button \"x\" prec=2\n", 2, "does not apply to a button"},
        {"unknown box", "ctrl 2 A numeric \"x\" in=NOPE\n", 2, "unknown box 'NOPE'"},
        {"item without ring", "ctrl 2 A numeric \"x\"\nitem \"a\" 1\n", 3, "item without a ring"},
        {"item after other stmt", "ctrl 2 A ring \"x\"\nitem \"a\" 1\nbox B \"b\"\nitem \"c\" 2\n", 5,
         "item without a ring"},
        {"cell without table", "cell \"a\"\n", 2, "cell without a table"},
        {"too many cells", "ctrl 2 T table \"t\" rows=1 cols=1\ncell \"a\"\ncell \"b\"\n", 4, "more cells"},
        {"unregistered callback", "ctrl 2 A button \"x\" cb=nobody\n", 2, "'nobody' is not registered"},
        {"menu cb on control", "ctrl 2 A button \"x\" cb=chosen\n", 2, "not a control callback"},
        {"control cb on menu", "menubar M\nmenu M1 \"m\" cb=pressed\n", 3, "not a menu callback"},
        {"menuitem without menu", "menubar M\nmenuitem I \"i\"\n", 3, "menuitem without a menu"},
        {"menuitem under a menu with cb", "menubar M\nmenu M1 \"m\" cb=chosen\nmenuitem I \"i\"\n", 4,
         "menu that has a callback"},
        {"control cb on menuitem", "menubar M\nmenu M1 \"m\"\nmenuitem I \"i\" cb=pressed\n", 4,
         "not a menu callback"},
        {"unknown key", "ctrl 2 A button \"x\" key=F1\n", 2, "key= knows only 'Esc'"},
        {"gap in ids", "ctrl 2 A text \"a\"\nctrl 4 B text \"b\"\n", 1, "3 is missing"},
        {"ids not from 2", "ctrl 3 A text \"a\"\n", 1, "2 is missing"},
        {"duplicate id", "ctrl 2 A text \"a\"\nctrl 2 B text \"b\"\n", 3, "id 2 used twice"},
        {"gap in page ids", "ctrl 2 T tab\npage P1 \"p\"\nctrl 3 A text \"a\"\npage P2 \"q\"\n", 3,
         "page P1: control ids"},
        {"duplicate constant", "ctrl 2 A text \"a\"\nctrl 3 A text \"b\"\n", 3, "A used twice"},
        {"ring without items", "ctrl 2 R ring \"r\"\n", 2, "has no items"},
        {"init past items", "ctrl 2 R ring \"r\" init=1\nitem \"a\" 1\n", 2, "past its last item"},
        {"page without tab", "page P1 \"p\"\n", 2, "page without a tab"},
        {"tab without pages", "ctrl 2 T tab\n", 2, "has no pages"},
        {"unterminated quote", "ctrl 2 A text \"abc\n", 2, "unterminated"},
        {"bad number", "ctrl 2 A numeric \"a\" prec=x\n", 2, "prec= must be"},
        {"min above max", "ctrl 2 A numeric \"a\" min=3 max=1\n", 2, "min= is above max="},
        {"nan limit", "ctrl 2 A numeric \"a\" min=nan\n", 2, "min= needs a number"},
        {"timer without interval", "ctrl 2 T timer\n", 2, "needs interval="},
        {"table without shape", "ctrl 2 T table \"t\" rows=2\n", 2, "needs rows= and cols="},
        {"unknown statement", "knob 2\n", 2, "unknown statement 'knob'"},
        {"option twice", "ctrl 2 A numeric \"a\" prec=1 prec=2\n", 2, "given twice"},
        {"positional after option", "ctrl 2 A numeric prec=1 \"a\"\n", 2, "after the options"},
        {"close names no button", "ctrl 2 A text \"a\"\npanel Q 2 \"Q\" close=A\n", 3,
         "close= names no button"},
        {"duplicate panel number", "panel Q 1 \"Q\"\n", 2, "panel number 1 used twice"},
        {"bad at", "ctrl 2 A text \"a\" at=1\n", 2, "at= needs"},
        {"menu without menubar", "menu M1 \"m\"\n", 2, "menu without a menubar"},
    };
    for (const BadCase& c : cases) {
        uirfile::Panel p;
        std::string error;
        EXPECT_FALSE(uirfile::ParsePanel(head + c.text, "bad.uir", 1, &p, &error)) << c.name;
        std::string where = "bad.uir:" + std::to_string(c.line) + ": ";
        EXPECT_EQ(error.rfind(where, 0), 0u) << c.name << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

TEST(UirParser, MissingPanelNumberAndStatementBeforePanelFail)
{
    uirfile::Panel p;
    std::string error;
    EXPECT_FALSE(uirfile::ParsePanel("panel P 1 \"T\"\n", "f.uir", 2, &p, &error));
    EXPECT_NE(error.find("no panel numbered 2 (the file holds 1)"), std::string::npos) << error;
    EXPECT_FALSE(uirfile::ParsePanel("ctrl 2 A text \"a\"\n", "f.uir", 1, &p, &error));
    EXPECT_NE(error.find("f.uir:1: ctrl before the first panel"), std::string::npos) << error;
}

TEST(UirParser, CallbacksOfOtherPanelsAreNotResolved)
{
    // Panel 2 names a callback nobody registered; panel 1 still loads.
    const char* text =
        "panel A 1 \"A\"\nctrl 2 X text \"x\"\npanel B 2 \"B\"\nctrl 2 Y button \"y\" cb=later\n";
    uirfile::Panel p;
    std::string error;
    EXPECT_TRUE(uirfile::ParsePanel(text, "f.uir", 1, &p, &error)) << error;
    EXPECT_FALSE(uirfile::ParsePanel(text, "f.uir", 2, &p, &error));
}

TEST(UirParser, DecodesGbkBeforeTokenizing)
{
    // "设置" and "度" in GBK; 0x5C ('\') as a trail byte must not act as an escape.
    const std::string text =
        "panel P 1 \"\xC9\xE8\xD6\xC3\"\n"
        "ctrl 2 T text \"\xB6\xC8 \x95\x5C\"\n"
        "ctrl 3 U text \"\xA1\xE6\"\n";
    uirfile::Panel p;
    std::string error;
    ASSERT_TRUE(uirfile::ParsePanel(text, "gbk.uir", 1, &p, &error)) << error;
    EXPECT_EQ(p.title, "设置");
    EXPECT_EQ(p.controls[0].caption, "度 " + GbkToUtf8Lenient("\x95\x5C"));
    EXPECT_EQ(p.controls[1].caption, "℃");

    EXPECT_FALSE(uirfile::ParsePanel("panel P 1 \"ok\"\n\n\"\xFF\xFF\"\n", "gbk.uir", 1, &p, &error));
    EXPECT_EQ(error.rfind("gbk.uir:3: ", 0), 0u) << error;
}

TEST(UirParser, LenientDecodingReplacesBadBytes)
{
    EXPECT_EQ(GbkToUtf8Lenient("ab"), "ab");
    EXPECT_EQ(GbkToUtf8Lenient("a\xFF"
                               "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(GbkToUtf8Lenient("\xB6"), "\xEF\xBF\xBD");  // lead byte cut off at the end
}

TEST(UirParser, AcceleratorMarker)
{
    struct {
        const char* caption;
        const char* text;
        const char* qt;
    } cases[] = {
        {"__OK", "OK", "&OK"},    {"__CloseCOM", "CloseCOM", "&CloseCOM"},
        {"Quit", "Quit", "Quit"}, {"A&B", "A&B", "A&&B"},
        {"x__", "x__", "x__"},
    };
    for (const auto& c : cases) {
        uirfile::Accelerated a = uirfile::SplitAccelerator(c.caption);
        EXPECT_EQ(a.text, c.text) << c.caption;
        EXPECT_EQ(a.qtText, c.qt) << c.caption;
    }
}

TEST(UirParser, LoadsFromDirectoryAndRefusesPaths)
{
    registerOnce();
    std::string dir = ::testing::TempDir();
    {
        std::ofstream f(dir + "/dirtest.uir", std::ios::binary);
        f << "panel P 1 \"From dir\"\r\nctrl 2 A text \"a\"\r\n";
    }
    ASSERT_EQ(setenv("DSC_UIR_DIR", dir.c_str(), 1), 0);
    uirfile::Panel p;
    std::string error;
    ASSERT_TRUE(uirfile::LoadPanelResource("dirtest.uir", 1, &p, &error)) << error;
    EXPECT_EQ(p.title, "From dir");
    EXPECT_EQ(p.controls[0].caption, "a");  // CR of CRLF lines dropped
    EXPECT_FALSE(uirfile::LoadPanelResource("../dirtest.uir", 1, &p, &error));
    EXPECT_FALSE(uirfile::LoadPanelResource("absent.uir", 1, &p, &error));
    EXPECT_NE(error.find("absent.uir:0: cannot open"), std::string::npos) << error;
    unsetenv("DSC_UIR_DIR");
}

// Found by uir_fuzz: describing a damaged resource (as the register catalogue
// does) refused it without a line, where building its panel names one.
TEST(UirParser, DescribingADamagedResourceNamesTheLineAsLoadingDoes)
{
    const std::string dir = ::testing::TempDir();
    {
        std::ofstream f(dir + "/damaged.uir", std::ios::binary);
        f << "panel P 1 \"ok\"\n\n\"\xFF\xFF\"\n";
    }
    ASSERT_EQ(setenv("DSC_UIR_DIR", dir.c_str(), 1), 0);
    std::vector<uirfile::Panel> panels(1);
    std::string error;
    EXPECT_FALSE(uirfile::DescribeResource("damaged.uir", &panels, &error));
    EXPECT_EQ(error, "damaged.uir:3: bytes that are not GBK text");
    EXPECT_TRUE(panels.empty());
    unsetenv("DSC_UIR_DIR");
}

}  // namespace

TEST(UirParser, MenuEntryWithAnIdIsShownWhereItStandsWithoutMovingTheOthers)
{
    const char* text =
        "panel P 1 \"P\"\n"
        "  menubar MB\n"
        "  menu LATE \"Late\" id=4\n"
        "  menu A \"A\"\n"
        "  menu B \"B\"\n";
    std::vector<uirfile::Panel> panels;
    std::string error;
    ASSERT_TRUE(uirfile::ParseText(text, "m.uir", &panels, &error)) << error;
    const auto& menus = panels.at(0).menus;
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0].constant, "LATE");
    EXPECT_EQ(menus[0].id, 4);
    EXPECT_EQ(menus[1].id, 2);
    EXPECT_EQ(menus[2].id, 3);

    const char* clash =
        "panel P 1 \"P\"\n  menubar MB\n  menu LATE \"Late\" id=3\n  menu A \"A\"\n  menu B \"B\"\n";
    EXPECT_FALSE(uirfile::ParseText(clash, "m.uir", &panels, &error));
    EXPECT_NE(error.find("m.uir:5: menu id 3 used twice"), std::string::npos) << error;
    EXPECT_FALSE(
        uirfile::ParseText("panel P 1 \"P\"\n  menubar MB\n  menu A \"A\" id=x\n", "m.uir", &panels, &error));
}
