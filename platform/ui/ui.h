// Panels, controls, the user-interface loop and message popups.
//
// Every operation may be called from any thread. The free functions forward to
// the installed UiBackend (the Qt Widgets one in platform/ui/qt, or a test
// double); with no backend installed they fail and return a negative status.
// Strings passed in and out are in the console's code page, GBK (ASCII is a
// subset); the backend decodes them for display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/callback_registry.h"

// Event codes delivered to control callbacks.
enum {
    EVENT_COMMIT = 1,
    EVENT_TIMER_TICK = 15,
    EVENT_ACTIVE_TAB_CHANGE = 31,
};

// Control attributes understood by SetCtrlAttribute / SetTableCellAttribute.
enum {
    ATTR_ON_COLOR = 1,    // LED, RGB int
    ATTR_OFF_COLOR = 2,   // LED, RGB int
    ATTR_INTERVAL = 3,    // timer, double seconds
    ATTR_ENABLED = 4,     // timer, 0/1
    ATTR_TEXT_COLOR = 5,  // table cell or text, RGB int
    ATTR_VISIBLE = 6,     // any control, 0/1
    ATTR_TITLE = 7,       // panel, text (SetPanelAttribute)
    ATTR_DIMMED = 8,      // read-outs, tables, texts, 0/1: drawn in grey, values unchanged
    ATTR_MARKED = 9,      // editable numerics, rings, switches, 0/1: tinted background
};

enum {
    VAL_RED = 0xFF0000,
    VAL_BLACK = 0x000000,
    VAL_GREEN = 0x00FF00,
};

// Status codes (negative = failure).
enum {
    UIE_NO_ERROR = 0,
    UIE_NO_BACKEND = -1,
    UIE_BAD_HANDLE = -2,
    UIE_BAD_CONTROL = -3,
    UIE_BAD_TYPE = -4,
    UIE_LOAD_FAILED = -5,
    UIE_BAD_ARGUMENT = -6,
    UIE_NO_LOOP = -7,  // MessagePopup: the UI loop is not running, nothing was shown
};

// Table cell address: column and row, both counted from 1.
struct Point {
    int x;
    int y;
};
inline Point MakePoint(int column, int row)
{
    return Point{column, row};
}

// --- Panels -----------------------------------------------------------------
int LoadPanel(int parentPanel, const char* resourceFile, int panelResourceId);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle);
int GetActiveTabPage(int panel, int tabControl, int* pageIndex);
// ATTR_TITLE sets a top-level panel's title; an empty text restores the
// title of the panel resource.
int SetPanelAttribute(int panel, int attribute, const char* value);

// --- Controls ---------------------------------------------------------------
int GetCtrlVal(int panel, int control, double* value);  // numerics
int GetCtrlVal(int panel, int control, int* value);     // rings, switches, LEDs
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, const char* value);
int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int SetTableCellVal(int panel, int control, Point cell, const char* value);
// The text shown when the pointer rests on a control (GBK; "" removes it).
int SetCtrlToolTip(int panel, int control, const char* text);
int SetTableCellAttribute(int panel, int control, Point cell, int attribute, int value);
// The text shown when the pointer rests on one cell of a table (GBK; "" removes it).
int SetTableCellToolTip(int panel, int control, Point cell, const char* text);

// --- Loop and popups --------------------------------------------------------
// Runs the event loop on the calling (UI) thread, delivering every callback
// there, until a callback calls QuitUserInterface.
int RunUserInterface();
int QuitUserInterface(int returnCode);
// Modal. From a worker thread it blocks that worker until the operator
// acknowledges the box; it returns at once when the UI loop is not running.
int MessagePopup(const char* title, const char* message);

// Modal question with Yes and No (CONFIRM_YES_NO) or Yes, No and Cancel
// (CONFIRM_YES_NO_CANCEL) buttons; `defaultAnswer` is the button Enter presses.
// Returns the answer (ANSWER_*), or a negative status when nothing could be
// asked (then the caller must act as if the operator had said no). Closing the
// box without a button is ANSWER_CANCEL, or ANSWER_NO when there is no Cancel.
enum { CONFIRM_YES_NO = 0, CONFIRM_YES_NO_CANCEL = 1 };
enum { ANSWER_YES = 1, ANSWER_NO = 2, ANSWER_CANCEL = 3 };
int ConfirmPopup(const char* title, const char* message, int buttons, int defaultAnswer);
// Modal list: shows `rows` (columns separated by tabs, under the tab-separated
// `heading`) and sets *chosen to the index of the row the operator picked, or
// to -1 when the operator cancelled or there was nothing to pick. UI thread
// callbacks and workers alike may call it; it returns UIE_NO_LOOP (and -1)
// when the UI loop is not running.
int SelectionPopup(const char* title, const char* heading, const std::vector<std::string>& rows, int* chosen);
// Modal form for the address of a server: a host, a TCP port (1..65535) and
// one of `kinds` (their captions). *entry gives the values shown first and,
// when the operator presses OK, takes the ones entered (host trimmed); the
// return is then 1, or 0 when the operator cancelled (*entry unchanged), or
// UIE_NO_LOOP when the UI loop is not running. UI thread only.
struct ServerAddressEntry {
    std::string host;
    int port = 0;  // 0: none yet
    int kind = 0;  // index into kinds
};
int ServerAddressPopup(const char* title, const std::vector<std::string>& kinds, ServerAddressEntry* entry);

// Tests capture popups (title and text, GBK) instead of showing them. While a
// capture handler is set, MessagePopup calls it on the calling thread and
// returns 0 without touching the backend. Pass an empty function to stop.
using PopupHandler = std::function<void(const std::string& title, const std::string& text)>;
void SetPopupHandler(PopupHandler handler);
// The same for ConfirmPopup: while set, the handler answers every question.
using ConfirmHandler = std::function<int(const std::string& title, const std::string& text)>;
void SetConfirmHandler(ConfirmHandler handler);

// --- Backend ----------------------------------------------------------------
class UiBackend {
public:
    virtual ~UiBackend() = default;
    virtual int loadPanel(int parentPanel, const char* resourceFile, int panelResourceId) = 0;
    virtual int displayPanel(int panel) = 0;
    virtual int hidePanel(int panel) = 0;
    virtual int discardPanel(int panel) = 0;
    virtual int getPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle) = 0;
    virtual int getActiveTabPage(int panel, int tabControl, int* pageIndex) = 0;
    virtual int getCtrlVal(int panel, int control, double* value) = 0;
    virtual int getCtrlVal(int panel, int control, int* value) = 0;
    virtual int setCtrlVal(int panel, int control, double value) = 0;
    virtual int setCtrlVal(int panel, int control, int value) = 0;
    virtual int setCtrlVal(int panel, int control, const char* value) = 0;
    virtual int setCtrlAttribute(int panel, int control, int attribute, int value) = 0;
    virtual int setCtrlAttribute(int panel, int control, int attribute, double value) = 0;
    virtual int setTableCellVal(int panel, int control, Point cell, const char* value) = 0;
    virtual int setTableCellAttribute(int panel, int control, Point cell, int attribute, int value) = 0;
    virtual int runUserInterface() = 0;
    virtual int quitUserInterface(int returnCode) = 0;
    virtual int messagePopup(const char* title, const char* message) = 0;
    virtual int confirmPopup(const char* title, const char* message, int buttons, int defaultAnswer) = 0;
    virtual int setCtrlToolTip(int panel, int control, const char* text) = 0;
    virtual int setPanelAttribute(int /*panel*/, int /*attribute*/, const char* /*value*/)
    {
        return UIE_BAD_ARGUMENT;
    }
    virtual int setTableCellToolTip(int /*panel*/, int /*control*/, Point /*cell*/, const char* /*text*/)
    {
        return UIE_BAD_ARGUMENT;
    }
    virtual int selectionPopup(const char* /*title*/, const char* /*heading*/,
                               const std::vector<std::string>& /*rows*/, int* chosen)
    {
        *chosen = -1;
        return UIE_NO_LOOP;
    }
    virtual int serverAddressPopup(const char* /*title*/, const std::vector<std::string>& /*kinds*/,
                                   ServerAddressEntry* /*entry*/)
    {
        return UIE_NO_LOOP;
    }
};

// Installs the backend (not owned); nullptr uninstalls.
void SetUiBackend(UiBackend* backend);
UiBackend* GetUiBackend();
