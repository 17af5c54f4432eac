// Panel and control identifiers of the console's panel resources.
//
// A control is addressed by the handle of its panel (or tab page) and its id,
// which is its position in that panel's or page's control order counting from
// 2. The same constant can occur on several panels with different ids, so each
// panel, page and the menu bar has a namespace of its own: uir::panel_main,
// uir::menubar, uir::menu1 (the items of the Help entry), uir::panel_com,
// uir::panel_set, uir::tabpanel_1 .. uir::tabpanel_6, uir::panel_debg,
// uir::dbg_tab1, uir::dbg_tab2.
//
// Each list below is written once, in id order, and expands both into the
// enums and into uir::kCatalogue, the table the panel tests check the loaded
// resource files against. The files under app/uir/ must hold exactly these
// controls at exactly these ids.
#pragma once

#include <cstddef>

namespace uir {

// Panel numbers inside their resource files.
constexpr int PANEL_MAIN = 1;  // mainwin.uir
constexpr int PANEL_SET = 2;   // mainwin.uir
constexpr int PANEL_COM = 1;   // sample5.uir
constexpr int PANEL_DEBG = 1;  // debug.uir

// Control lists: X(C, CONSTANT, id), in id order. C is passed through so that
// one list can be expanded for different panels or pages.
// clang-format off
#define UIR_PANEL_MAIN_CONTROLS(X, C) \
    X(C, QUITBUTTON, 2) \
    X(C, NUMERIC_QUERY_2, 3) \
    X(C, NUMERIC_QUERY_9, 4) \
    X(C, NUMERIC_QUERY_24, 5) \
    X(C, NUMERIC_QUERY_23, 6) \
    X(C, NUMERIC_QUERY_22, 7) \
    X(C, NUMERIC_QUERY_21, 8) \
    X(C, NUMERIC_QUERY_20, 9) \
    X(C, NUMERIC_QUERY_19, 10) \
    X(C, NUMERIC_QUERY_17, 11) \
    X(C, NUMERIC_QUERY_11, 12) \
    X(C, NUMERIC_QUERY_10, 13) \
    X(C, NUMERIC_QUERY_8, 14) \
    X(C, NUMERIC_QUERY_7, 15) \
    X(C, NUMERIC_QUERY_6, 16) \
    X(C, NUMERIC_QUERY_5, 17) \
    X(C, NUMERIC_QUERY_4, 18) \
    X(C, NUMERIC_QUERY_3, 19) \
    X(C, NUMERIC_QUERY_1, 20) \
    X(C, LED_TRANSMIT, 21) \
    X(C, LED_RECIEVE, 22) \
    X(C, TEXTMSG_14, 23) \
    X(C, TEXTMSG_13, 24) \
    X(C, TEXTMSG_11, 25) \
    X(C, TEXTMSG, 26) \
    X(C, TEXTMSG_9, 27) \
    X(C, TEXTMSG_10, 28) \
    X(C, TEXTMSG_2, 29) \
    X(C, TEXTMSG_3, 30) \
    X(C, TEXTMSG_7, 31) \
    X(C, TEXTMSG_15, 32) \
    X(C, TEXTMSG_12, 33) \
    X(C, TEXTMSG_4, 34) \
    X(C, PICTURE, 35) \
    X(C, RING_QUERY_25, 36) \
    X(C, RING_QUERY_18, 37) \
    X(C, RING_QUERY_0, 38) \
    X(C, TABLE_3, 39) \
    X(C, TABLE_2, 40) \
    X(C, TABLE_1, 41) \
    X(C, TEXTMSG_6, 42) \
    X(C, SPLITTER_2, 43) \
    X(C, SPLITTER, 44) \
    X(C, TIMER_CMPW_RT, 45) \
    X(C, TIMER_CMPW, 46) \
    X(C, LINK_STATUS, 47)

#define UIR_MENUBAR_ENTRIES(X, C) \
    X(C, MENU_COMCONFIGURE, 2) \
    X(C, MENU_SET, 3) \
    X(C, MENU_DEBUG, 4) \
    X(C, MENU1, 5) \
    X(C, MENU_FILE, 6) \
    X(C, MENU_MONITOR, 7) \
    X(C, MENU_FAULTS, 8)

// Items of the Help entry's list (ids within the entry).
#define UIR_MENU1_ITEMS(X, C) \
    X(C, MENU1_REFERENCE, 2) \
    X(C, MENU1_ABOUT, 3)

#define UIR_PANEL_COM_CONTROLS(X, C) \
    X(C, COMSELECT, 2) \
    X(C, BTLSELECT, 3) \
    X(C, JYSELECT, 4) \
    X(C, LONGSELECT, 5) \
    X(C, STOPSELECT, 6) \
    X(C, QUIT, 7) \
    X(C, CLOSECOM, 8) \
    X(C, CONFIGURE, 9) \
    X(C, DEVICE_INFO, 10) \
    X(C, CHOOSE_DEVICE, 11) \
    X(C, RECONNECT, 12) \
    X(C, FAST_LINE, 13) \
    X(C, FAST_LINE_TIMEOUT, 14)

#define UIR_PANEL_SET_CONTROLS(X, C) \
    X(C, TAB, 2) \
    X(C, WRITE_STATUS, 3) \
    X(C, UNSTORED, 4) \
    X(C, STORE, 5)

#define UIR_TABPANEL_1_CONTROLS(X, C) \
    X(C, TAB1_NUMERIC_SET_13, 2) \
    X(C, TAB1_NUMERIC_SET_12, 3) \
    X(C, TAB1_SEND_15, 4) \
    X(C, TAB1_SEND_14, 5) \
    X(C, TAB1_SEND_13, 6) \
    X(C, TAB1_SEND_12, 7) \
    X(C, TAB1_NUMERIC_SET_11, 8) \
    X(C, TAB1_SEND_11, 9) \
    X(C, TAB1_NUMERIC_SET_10, 10) \
    X(C, TAB1_SEND_10, 11) \
    X(C, TAB1_NUMERIC_SET_15, 12) \
    X(C, TAB1_NUMERIC_SET_9, 13) \
    X(C, TEXTMSG_16, 14) \
    X(C, TEXTMSG_15, 15) \
    X(C, TAB1_SEND_9, 16) \
    X(C, TAB1_NUMERIC_SET_14, 17) \
    X(C, TAB1_NUMERIC_SET_8, 18) \
    X(C, TEXTMSG_14, 19) \
    X(C, TAB1_SEND_8, 20) \
    X(C, TAB1_NUMERIC_SET_7, 21) \
    X(C, TEXTMSG_13, 22) \
    X(C, TAB1_SEND_7, 23) \
    X(C, TAB1_NUMERIC_SET_6, 24) \
    X(C, TEXTMSG_18, 25) \
    X(C, TEXTMSG_12, 26) \
    X(C, TAB1_SEND_6, 27) \
    X(C, TAB1_NUMERIC_SET_5, 28) \
    X(C, TEXTMSG_11, 29) \
    X(C, TAB1_SEND_5, 30) \
    X(C, TAB1_NUMERIC_SET_4, 31) \
    X(C, TEXTMSG_10, 32) \
    X(C, TAB1_SEND_4, 33) \
    X(C, TAB1_NUMERIC_SET_3, 34) \
    X(C, TEXTMSG_9, 35) \
    X(C, TAB1_SEND_3, 36) \
    X(C, TAB1_NUMERIC_SET_2, 37) \
    X(C, TEXTMSG_17, 38) \
    X(C, TEXTMSG_8, 39) \
    X(C, TEXTMSG_7, 40) \
    X(C, TEXTMSG_6, 41) \
    X(C, TEXTMSG_5, 42) \
    X(C, TEXTMSG_4, 43) \
    X(C, TAB1_SEND_2, 44) \
    X(C, TAB1_NUMERIC_SET_1, 45) \
    X(C, TAB1_SEND_1, 46)

#define UIR_TABPANEL_2_CONTROLS(X, C) \
    X(C, TAB2_NUMERIC_SET_6, 2) \
    X(C, TAB2_SEND_7, 3) \
    X(C, TAB2_SEND_6, 4) \
    X(C, TAB2_SEND_5, 5) \
    X(C, TAB2_NUMERIC_SET_4, 6) \
    X(C, TAB2_SEND_4, 7) \
    X(C, TAB2_NUMERIC_SET_3, 8) \
    X(C, TAB2_SEND_3, 9) \
    X(C, TAB2_NUMERIC_SET_2, 10) \
    X(C, TAB2_SEND_2, 11) \
    X(C, TAB2_NUMERIC_SET_1, 12) \
    X(C, TEXTMSG_9, 13) \
    X(C, TAB2_SEND_1, 14) \
    X(C, TEXTMSG_10, 15) \
    X(C, TEXTMSG_12, 16) \
    X(C, TEXTMSG_11, 17) \
    X(C, TEXTMSG_13, 18) \
    X(C, TEXTMSG_7, 19) \
    X(C, TAB2_BINARYSWITCH_5, 20) \
    X(C, TAB2_NUMERIC_SET_7, 21)

#define UIR_TABPANEL_3_CONTROLS(X, C) \
    X(C, TAB3_SEND_16, 2) \
    X(C, TAB3_SEND_15, 3) \
    X(C, TAB3_SEND_14, 4) \
    X(C, TAB3_SEND_13, 5) \
    X(C, TAB3_SEND_12, 6) \
    X(C, TAB3_SEND_11, 7) \
    X(C, TAB3_SEND_10, 8) \
    X(C, TAB3_SEND_9, 9) \
    X(C, TAB3_SEND_8, 10) \
    X(C, TAB3_SEND_7, 11) \
    X(C, TAB3_NUMERIC_SET_16, 12) \
    X(C, TAB3_NUMERIC_SET_15, 13) \
    X(C, TAB3_NUMERIC_SET_14, 14) \
    X(C, TAB3_NUMERIC_SET_12, 15) \
    X(C, TAB3_SEND_6, 16) \
    X(C, TAB3_NUMERIC_SET_11, 17) \
    X(C, TAB3_SEND_5, 18) \
    X(C, TAB3_NUMERIC_SET_9, 19) \
    X(C, TAB3_SEND_4, 20) \
    X(C, TAB3_SEND_3, 21) \
    X(C, TEXTMSG_11, 22) \
    X(C, TEXTMSG_10, 23) \
    X(C, TAB3_SEND_2, 24) \
    X(C, TAB3_SEND_1, 25) \
    X(C, TEXTMSG_9, 26) \
    X(C, TEXTMSG_12, 27) \
    X(C, TEXTMSG_8, 28) \
    X(C, TAB3_BINARYSWITCH_7, 29) \
    X(C, TAB3_BINARYSWITCH_10, 30) \
    X(C, TAB3_BINARYSWITCH_13, 31) \
    X(C, TAB3_BINARYSWITCH_8, 32) \
    X(C, TAB3_BINARYSWITCH_6, 33) \
    X(C, TAB3_BINARYSWITCH_5, 34) \
    X(C, TAB3_BINARYSWITCH_3, 35) \
    X(C, TAB3_BINARYSWITCH_2, 36) \
    X(C, TAB3_BINARYSWITCH_1, 37) \
    X(C, TAB3_RING_1, 38) \
    X(C, TAB3_RING_2, 39)

#define UIR_TABPANEL_4_CONTROLS(X, C) \
    X(C, TAB4_NUMERIC_SET_6, 2) \
    X(C, TAB4_NUMERIC_SET_5, 3) \
    X(C, TAB4_NUMERIC_SET_4, 4) \
    X(C, TAB4_NUMERIC_SET_3, 5) \
    X(C, TAB4_NUMERIC_SET_2, 6) \
    X(C, TAB4_SEND_6, 7) \
    X(C, TAB4_NUMERIC_SET_1, 8) \
    X(C, TAB4_SEND_5, 9) \
    X(C, TAB4_SEND_4, 10) \
    X(C, TAB4_SEND_3, 11) \
    X(C, TAB4_SEND_2, 12) \
    X(C, TAB4_SEND_1, 13) \
    X(C, TEXTMSG_10, 14) \
    X(C, TEXTMSG_9, 15) \
    X(C, TEXTMSG_5, 16) \
    X(C, TEXTMSG_6, 17) \
    X(C, TEXTMSG_8, 18) \
    X(C, TEXTMSG_7, 19)

#define UIR_TABPANEL_5_CONTROLS(X, C) \
    X(C, TAB5_NUMERIC_SET_11, 2) \
    X(C, TAB5_NUMERIC_SET_10, 3) \
    X(C, TAB5_NUMERIC_SET_9, 4) \
    X(C, TAB5_NUMERIC_SET_7, 5) \
    X(C, TAB5_NUMERIC_SET_6, 6) \
    X(C, TAB5_NUMERIC_SET_5, 7) \
    X(C, TAB5_NUMERIC_SET_4, 8) \
    X(C, TAB5_NUMERIC_SET_3, 9) \
    X(C, TAB5_NUMERIC_SET_2, 10) \
    X(C, TAB5_NUMERIC_SET_1, 11) \
    X(C, TAB5_SEND_11, 12) \
    X(C, TAB5_SEND_10, 13) \
    X(C, TAB5_SEND_9, 14) \
    X(C, TAB5_SEND_8, 15) \
    X(C, TAB5_SEND_7, 16) \
    X(C, TAB5_SEND_6, 17) \
    X(C, TAB5_SEND_5, 18) \
    X(C, TAB5_SEND_4, 19) \
    X(C, TAB5_SEND_3, 20) \
    X(C, TAB5_SEND_2, 21) \
    X(C, TAB5_SEND_1, 22) \
    X(C, TAB5_RING_8, 23) \
    X(C, TEXTMSG_10, 24) \
    X(C, TEXTMSG_9, 25) \
    X(C, TEXTMSG_8, 26)

#define UIR_TABPANEL_6_CONTROLS(X, C) \
    X(C, TAB6_NUMERIC_SET_6, 2) \
    X(C, TAB6_NUMERIC_SET_2, 3) \
    X(C, TAB6_NUMERIC_SET_1, 4) \
    X(C, TAB6_SEND_8, 5) \
    X(C, TAB6_SEND_7, 6) \
    X(C, TAB6_NUMERIC_SET_5, 7) \
    X(C, TAB6_SEND_6, 8) \
    X(C, TAB6_SEND_4, 9) \
    X(C, TAB6_SEND_3, 10) \
    X(C, TAB6_SEND_2, 11) \
    X(C, TAB6_SEND_1, 12) \
    X(C, TEXTMSG_10, 13) \
    X(C, TEXTMSG_9, 14) \
    X(C, TEXTMSG_8, 15) \
    X(C, TAB6_SEND_5, 16) \
    X(C, TAB6_BINARYSWITCH_8, 17) \
    X(C, TAB6_BINARYSWITCH_7, 18) \
    X(C, TAB6_BINARYSWITCH_3, 19) \
    X(C, TAB6_RING_4, 20) \
    X(C, TEXTMSG_7, 21)

#define UIR_PANEL_DEBG_CONTROLS(X, C) \
    X(C, TAB, 2) \
    X(C, WRITE_STATUS, 3) \
    X(C, TEST_STOP, 4) \
    X(C, UNSTORED, 5) \
    X(C, STORE, 6)

#define UIR_DBG_TAB1_CONTROLS(X, C) \
    X(C, NUMERIC_SET_6, 2) \
    X(C, DEBUG_TAB1_SEND_1, 3) \
    X(C, DEBUG_TAB1_SEND_2, 4) \
    X(C, NUMERIC_SET_2, 5) \
    X(C, DEBUG_TAB1_SEND_15, 6) \
    X(C, DEBUG_TAB1_SEND_8, 7) \
    X(C, DEBUG_TAB1_SEND_7, 8) \
    X(C, NUMERIC_SET_1, 9) \
    X(C, DEBUG_TAB1_SEND_6, 10) \
    X(C, TEXTMSG_8, 11) \
    X(C, BINARYSWITCH_15, 12) \
    X(C, BINARYSWITCH_8, 13) \
    X(C, BINARYSWITCH_7, 14)

#define UIR_DBG_TAB2_CONTROLS(X, C) \
    X(C, NUMERIC_SET_10, 2) \
    X(C, NUMERIC_SET_9, 3) \
    X(C, NUMERIC_SET_14, 4) \
    X(C, NUMERIC_SET_13, 5) \
    X(C, NUMERIC_SET_12, 6) \
    X(C, NUMERIC_SET_5, 7) \
    X(C, DEBUG_TAB2_SEND_11, 8) \
    X(C, DEBUG_TAB2_SEND_14, 9) \
    X(C, DEBUG_TAB2_SEND_13, 10) \
    X(C, DEBUG_TAB2_SEND_12, 11) \
    X(C, DEBUG_TAB2_SEND_10, 12) \
    X(C, DEBUG_TAB2_SEND_9, 13) \
    X(C, DEBUG_TAB2_SEND_5, 14) \
    X(C, DEBUG_TAB2_SEND_4, 15) \
    X(C, DEBUG_TAB2_SEND_3, 16) \
    X(C, TEXTMSG_10, 17) \
    X(C, TEXTMSG_9, 18) \
    X(C, TEXTMSG_7, 19) \
    X(C, BINARYSWITCH_3, 20) \
    X(C, RING_4, 21) \
    X(C, RING_11, 22)
// clang-format on

#define UIR_ENUMERATOR(C, name, id) name = id,

// clang-format off
namespace panel_main { enum : int { UIR_PANEL_MAIN_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace menubar { enum : int { UIR_MENUBAR_ENTRIES(UIR_ENUMERATOR, _) }; }
namespace menu1 { enum : int { UIR_MENU1_ITEMS(UIR_ENUMERATOR, _) }; }
namespace panel_com { enum : int { UIR_PANEL_COM_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace panel_set { enum : int { UIR_PANEL_SET_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_1 { enum : int { UIR_TABPANEL_1_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_2 { enum : int { UIR_TABPANEL_2_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_3 { enum : int { UIR_TABPANEL_3_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_4 { enum : int { UIR_TABPANEL_4_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_5 { enum : int { UIR_TABPANEL_5_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace tabpanel_6 { enum : int { UIR_TABPANEL_6_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace panel_debg { enum : int { UIR_PANEL_DEBG_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace dbg_tab1 { enum : int { UIR_DBG_TAB1_CONTROLS(UIR_ENUMERATOR, _) }; }
namespace dbg_tab2 { enum : int { UIR_DBG_TAB2_CONTROLS(UIR_ENUMERATOR, _) }; }
// clang-format on

#undef UIR_ENUMERATOR

// The line monitor window (app/monitor_window.cpp) is built in code, not from a
// resource file; its widgets carry these constants as object name and
// accessible description like the resource panels' controls do.
constexpr int PANEL_MONITOR = 1;
namespace panel_monitor {
enum : int {
    LINK_REQUESTS = 2,
    LINK_REPLIES_OK,
    LINK_TIMEOUTS,
    LINK_CRC_ERRORS,
    LINK_EXCEPTIONS,
    LINK_OTHER_REJECTS,
    LINK_RESPONSE_LAST_MS,
    LINK_RESPONSE_MAX_MS,
    LINK_RESET,
    TRAFFIC,
    PLOT,
    RECORD,
    LINK_PASSWORD_WRITES,
    LINK_RESPONSE_MIN_MS,
    LINK_RESPONSE_MEAN_MS,
    LINK_BYTES_SENT,
    LINK_BYTES_RECEIVED,
    LINK_LAST_GOOD_REPLY,
    LINK_PORT_ERRORS,
    TRAFFIC_PAUSE,
    TRAFFIC_CLEAR,
    TRAFFIC_SAVE,
    PLOT_VALUES,
    PLOT_MINUTES,
    RECORD_STATUS,
    CAPTURE,
    CAPTURE_LAST,
    CAPTURE_STATUS,
};
}  // namespace panel_monitor

// The fault history window (app/fault_window.cpp) is built in code like the
// monitor; its widgets carry these constants the same way.
constexpr int PANEL_FAULTS = 2;
namespace panel_faults {
enum : int {
    FAULT_EVENTS = 2,
    FAULT_SNAPSHOT,
    FAULT_SAVE,
    FAULT_CLEAR,
    FAULT_RESOLUTION,
    FAULT_SNAPSHOT_TITLE,
    FAULT_JOURNAL,
};
}  // namespace panel_faults

// One control (or menu entry) of the catalogue.
struct CatalogueEntry {
    const char* file;       // resource file under app/uir/
    int panel;              // panel number inside the file
    int page;               // tab page index of the panel's TAB control, -1 for the panel itself
    const char* container;  // constant of the panel, the tab page, or "MENUBAR"
    const char* control;    // control constant
    int id;                 // control id
};

// Where each list lives: file, panel number, page index, container constant.
#define UIR_WHERE_panel_main "mainwin.uir", PANEL_MAIN, -1, "PANEL_MAIN"
#define UIR_WHERE_menubar "mainwin.uir", PANEL_MAIN, -1, "MENUBAR"
#define UIR_WHERE_menu1 "mainwin.uir", PANEL_MAIN, -1, "MENU1"
#define UIR_WHERE_panel_com "sample5.uir", PANEL_COM, -1, "PANEL_COM"
#define UIR_WHERE_panel_set "mainwin.uir", PANEL_SET, -1, "PANEL_SET"
#define UIR_WHERE_tabpanel_1 "mainwin.uir", PANEL_SET, 0, "TABPANEL_1"
#define UIR_WHERE_tabpanel_2 "mainwin.uir", PANEL_SET, 1, "TABPANEL_2"
#define UIR_WHERE_tabpanel_3 "mainwin.uir", PANEL_SET, 2, "TABPANEL_3"
#define UIR_WHERE_tabpanel_4 "mainwin.uir", PANEL_SET, 3, "TABPANEL_4"
#define UIR_WHERE_tabpanel_5 "mainwin.uir", PANEL_SET, 4, "TABPANEL_5"
#define UIR_WHERE_tabpanel_6 "mainwin.uir", PANEL_SET, 5, "TABPANEL_6"
#define UIR_WHERE_panel_debg "debug.uir", PANEL_DEBG, -1, "PANEL_DEBG"
#define UIR_WHERE_dbg_tab1 "debug.uir", PANEL_DEBG, 0, "DBG_TAB1"
#define UIR_WHERE_dbg_tab2 "debug.uir", PANEL_DEBG, 1, "DBG_TAB2"

#define UIR_CATALOGUE_ROW(C, name, id) CatalogueEntry{UIR_WHERE_##C, #name, C::name},

// clang-format off
inline constexpr CatalogueEntry kCatalogue[] = {
    UIR_PANEL_MAIN_CONTROLS(UIR_CATALOGUE_ROW, panel_main)
    UIR_MENUBAR_ENTRIES(UIR_CATALOGUE_ROW, menubar)
    UIR_MENU1_ITEMS(UIR_CATALOGUE_ROW, menu1)
    UIR_PANEL_COM_CONTROLS(UIR_CATALOGUE_ROW, panel_com)
    UIR_PANEL_SET_CONTROLS(UIR_CATALOGUE_ROW, panel_set)
    UIR_TABPANEL_1_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_1)
    UIR_TABPANEL_2_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_2)
    UIR_TABPANEL_3_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_3)
    UIR_TABPANEL_4_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_4)
    UIR_TABPANEL_5_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_5)
    UIR_TABPANEL_6_CONTROLS(UIR_CATALOGUE_ROW, tabpanel_6)
    UIR_PANEL_DEBG_CONTROLS(UIR_CATALOGUE_ROW, panel_debg)
    UIR_DBG_TAB1_CONTROLS(UIR_CATALOGUE_ROW, dbg_tab1)
    UIR_DBG_TAB2_CONTROLS(UIR_CATALOGUE_ROW, dbg_tab2)
};
// clang-format on
inline constexpr std::size_t kCatalogueSize = sizeof(kCatalogue) / sizeof(kCatalogue[0]);

#undef UIR_CATALOGUE_ROW
#undef UIR_WHERE_panel_main
#undef UIR_WHERE_menubar
#undef UIR_WHERE_menu1
#undef UIR_WHERE_panel_com
#undef UIR_WHERE_panel_set
#undef UIR_WHERE_tabpanel_1
#undef UIR_WHERE_tabpanel_2
#undef UIR_WHERE_tabpanel_3
#undef UIR_WHERE_tabpanel_4
#undef UIR_WHERE_tabpanel_5
#undef UIR_WHERE_tabpanel_6
#undef UIR_WHERE_panel_debg
#undef UIR_WHERE_dbg_tab1
#undef UIR_WHERE_dbg_tab2

}  // namespace uir
