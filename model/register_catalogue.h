// Every register the console knows, described in one place: its table and
// index, its number and kind, its scale, the controls that show it and the
// buttons that send it, and what the panels say about it.
//
// Which control shows which register, with which conversion, and which
// "__OK" button sends it is the layout table of this module; everything the
// operator reads (captions, units, page and panel names, ring items, ranges,
// the names of status bits) comes from the panel resources, parsed once when
// the catalogue is built. A register whose control or button the resources do
// not hold is a load error: the catalogue then still knows every register,
// control and button, and error() says what is missing, for the window or the
// command line to report.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "model/data_item.h"
#include "platform/ui/uir.h"

// Register numbers the console treats specially (dataItem6).
constexpr int REG_TEST_ENABLE = 2650;
constexpr int REG_TEST_MODE = 2651;
constexpr int REG_RESTORE_FACTORY = 2654;
constexpr int REG_PARAMETER_STORE = 2655;
constexpr int REG_HALL_FAULT_MASK = 2662;

// The panels that show registers.
enum class RegisterPanel {
    Main,   // PANEL_MAIN of mainwin.uir: the status area
    Set,    // PANEL_SET of mainwin.uir: the six parameter pages
    Debug,  // PANEL_DEBG of debug.uir: its two pages
};

// How a register's value becomes what its control shows.
enum class Shown {
    Number,   // the value unchanged (numeric controls)
    Integer,  // truncated toward zero (rings and switches)
    Scaled,   // value * scale_num / scale_den (numeric controls)
    Word,     // a status word drawn bit by bit into rows of a table
};

// How a send button obtains the register value it stores.
enum class SendKind {
    None,     // no button sends from this control
    Direct,   // numeric control, its value unchanged
    Integer,  // ring item value or switch state
    Scaled,   // numeric control, value * scale_den / scale_num of the item
    Command,  // reads no control; always 1
};

enum class RegisterKind {
    Parameter,   // a setting
    Command,     // acts when written: 2654 restore factory settings, 2655 store
    TestSwitch,  // the motor test: 2650 test enable, 2651 run mode
    Status,      // read only: the status table
    Password,    // the communication password, written only
};

// One control that shows a register, and the button that sends from it.
struct RegisterControl {
    RegisterPanel panel = RegisterPanel::Set;
    int page = -1;               // tab page of the panel; -1 on the panel itself
    int id = 0;                  // control id on that panel or page
    const char* send = nullptr;  // callback of its "__OK" button; nullptr when none
    SendKind sendKind = SendKind::None;

    // From the panel resources (UTF-8); empty when they could not be read.
    std::string constant;
    std::string caption;
    std::string unit;          // the visible text two grid columns to the right, in its box and row
    std::string unitConstant;  // that text's constant
    std::string sendConstant;  // the constant of the button that calls `send`
    std::string pageCaption;   // "BASIC", "调试"; "" on the panel itself
    std::string panelTitle;    // the title of the panel
    std::string context;       // "uir/<PANEL>[/<PAGE>]": where the panels translate its texts
    uirfile::Kind kind = uirfile::Kind::Numeric;
    int prec = 0;
    bool hasMin = false;  // the range the control allows
    bool hasMax = false;
    double min = 0.0;
    double max = 0.0;
    std::vector<uirfile::RingItem> items;  // a ring's items

    // The caption of the ring item with `value`; "" when there is none.
    std::string itemCaption(int value) const;
};

constexpr int kStatusTab = 6;  // RegisterEntry::tab of the status registers

struct RegisterEntry {
    int reg = 0;
    int tab = -1;   // page table 0..5, kStatusTab, or -1 for the password
    int index = 0;  // entry in that table
    DataItem* item = nullptr;
    RegisterKind kind = RegisterKind::Parameter;
    bool guardedOn = false;  // turning it on asks first: 2650 test enable, 2662 hall-fault mask
    Shown shown = Shown::Number;
    ScalePair scale{1, 1};  // of its data item (Shown::Scaled uses it)
    std::string page;       // caption of the parameter page of its table; "" for the others
    // The caption of its first control (numbered "Error list 1", "2", ...
    // where one control shows several registers), and that control's unit.
    std::string caption;
    std::string unit;
    std::vector<RegisterControl> controls;  // the parameter page first, then the debug panel
    // A status word: the table rows its bits are drawn into, and the names
    // of its bits (the texts of those rows' first column; "" where none).
    int wordColumn = 0;
    int wordFirstRow = 0;
    int wordBits = 0;
    std::vector<std::string> bitNames;

    bool scaled() const { return shown == Shown::Scaled; }
    // Written only by a deliberate act, never restored from a file.
    bool action() const { return kind == RegisterKind::Command || kind == RegisterKind::TestSwitch; }
    // Its first control on `panel`, or nullptr.
    const RegisterControl* on(RegisterPanel panel) const;
};

class RegisterCatalogue {
public:
    // Reads mainwin.uir and debug.uir as LoadPanel does ($DSC_UIR_DIR, else
    // the compiled-in resources), once each.
    static RegisterCatalogue FromResources();
    // From panel descriptions already parsed. A null panel could not be read:
    // `fileError` says why, and what it would tell stays empty.
    static RegisterCatalogue FromPanels(const uirfile::Panel* main, const uirfile::Panel* set,
                                        const uirfile::Panel* debug, const std::string& fileError = "");

    // Empty when the resources hold every control and button of the layout;
    // else one line per fault.
    const std::string& error() const { return error_; }

    // The 70 registers of the six page tables, in table order.
    const std::vector<RegisterEntry>& pageRegisters() const { return pages_; }
    // The 26 status registers, in table order.
    const std::vector<RegisterEntry>& statusRegisters() const { return status_; }
    const RegisterEntry& password() const { return password_; }

    // Any register, or nullptr.
    const RegisterEntry* find(int reg) const;
    // Entry `index` of page table `tab` (0..5), or nullptr.
    const RegisterEntry* pageEntry(int tab, int index) const;
    // The status register of the main panel's motor speed read-out.
    const RegisterEntry& motorSpeed() const;
    // The three fault words in order; their bit names are the rows of the
    // main panel's error list.
    std::vector<const RegisterEntry*> faultWords() const;
    // The caption of a register, or "reg <number>" when no panel shows it.
    std::string captionOf(int reg) const;
    // The title of a panel ("PARAMETER SET"); "" when it could not be read.
    const std::string& panelTitle(RegisterPanel panel) const { return titles_[static_cast<int>(panel)]; }

private:
    std::vector<RegisterEntry> pages_;
    std::vector<RegisterEntry> status_;
    RegisterEntry password_;
    std::string titles_[3];
    std::string error_;
};

// The catalogue of this process, built from the resources on first use (from
// any thread).
const RegisterCatalogue& Catalogue();
// Builds the catalogue again on its next use (tests that change the
// resources), and reads the panels' texts (model/panel_texts.h) again. Nothing
// may hold on to the old one.
void ResetCatalogue();

// The catalogue as its layout alone gives it: every register, control and
// button, without what the resources say. It never changes, so it may be kept
// (the send callbacks are registered from it).
const RegisterCatalogue& RegisterLayout();

// The handle slot of the panel or page that holds `control` (model/app_state.h).
std::atomic<int>& PanelHandleOf(const RegisterControl& control);

// The main-panel control that shows each dataItemOR entry, in item order.
extern const int queryItemID[DATAITEMOR_COUNT];
