// Panel resource files: reading, decoding and validating them into a plain
// description that a user-interface backend turns into widgets. The format is
// described in docs/uir-format.md.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/callback_types.h"

namespace uirfile {

enum class Kind { Numeric, Ring, Switch, Button, Led, Text, Table, Timer, Picture, Splitter, Tab };

// Grid placement; row < 0 means "next free row, column 0" of its grid.
struct GridCell {
    int row = -1;
    int col = 0;
    int rowSpan = 1;
    int colSpan = 1;
};

struct RingItem {
    std::string caption;  // UTF-8
    int value = 0;
};

struct Page;

struct Control {
    int id = 0;
    std::string constant;
    Kind kind = Kind::Text;
    std::string caption;  // UTF-8, exactly as written
    int line = 0;
    std::string callbackName;
    CtrlCallbackPtr callback = nullptr;  // resolved for the loaded panel only
    void* callbackData = nullptr;
    GridCell at;
    std::string box;  // empty: the panel's or page's own grid
    int prec = 0;
    bool hasMin = false;
    bool hasMax = false;
    double min = 0.0;
    double max = 0.0;
    bool indicator = false;
    int init = 0;
    int rows = 0;
    int cols = 0;
    double interval = 0.0;
    bool enabled = false;
    bool visible = true;
    int width = 0;
    std::string key;              // button: key that presses it while its panel is active ("Esc"), or empty
    bool emphasis = false;        // button: drawn as the panel's emergency action
    std::vector<RingItem> items;  // ring
    std::vector<std::string> cells;  // table, column 1 from row 1
    std::vector<Page> pages;         // tab
};

struct Box {
    std::string name;
    std::string title;
    GridCell at;
    int line = 0;
};

struct Page {
    std::string constant;
    std::string caption;
    int line = 0;
    std::vector<Control> controls;  // in file order
    std::vector<Box> boxes;
};

// An item of a menu entry's drop-down list.
struct MenuItem {
    int id = 0;  // 2, 3, ... within its menu entry (an entry's: on the menu bar)
    std::string constant;
    std::string caption;
    std::string callbackName;
    MenuCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
    int line = 0;
};

// An entry of the menu bar: an item of the bar, and the list it may open.
struct MenuEntry : MenuItem {
    std::vector<MenuItem> items;  // with items the entry opens a list and has no callback
    bool explicitId = false;      // id= given
};

struct Panel {
    std::string constant;
    int number = 0;
    std::string title;
    int line = 0;
    int width = 0;  // 0: as the layout needs
    int height = 0;
    std::string closeControl;       // button pressed by closing the window; empty: no close box
    std::vector<Control> controls;  // in file order
    std::vector<Box> boxes;
    std::string menuBar;  // constant; empty: no menu bar
    std::vector<MenuEntry> menus;
};

// Parses a whole file (already decoded to UTF-8) and validates its structure.
// Callbacks are not resolved. On failure `error` holds "file:line: reason".
bool ParseText(const std::string& utf8, const std::string& fileName, std::vector<Panel>* panels,
               std::string* error);

// Decodes a GBK buffer, parses it, picks panel `number` and resolves its
// callbacks through FindCallback. Prints nothing.
bool ParsePanel(const std::string& gbk, const std::string& fileName, int number, Panel* out,
                std::string* error);

// Reads `fileName` from $DSC_UIR_DIR when set, else from the Qt resource
// :/uir/<fileName>, and parses panel `number` as ParsePanel does. A failure
// is also printed as one critical line of the "dsc.uir" category.
bool LoadPanelResource(const std::string& fileName, int number, Panel* out, std::string* error);

// Reads and parses every panel of a resource file like LoadPanelResource, but
// leaves callbacks unresolved and logs nothing: for describing the panels'
// controls without building them. `error` may be null.
bool DescribeResource(const std::string& fileName, std::vector<Panel>* panels, std::string* error);

// The text shown for a caption and its keyboard accelerator: "__OK" gives
// "OK" with accelerator 'O'. A caption without the marker has none.
struct Accelerated {
    std::string text;    // caption with the "__" marker removed
    std::string qtText;  // the same for Qt buttons: "&OK", literal '&' doubled
};
Accelerated SplitAccelerator(const std::string& caption);

}  // namespace uirfile
