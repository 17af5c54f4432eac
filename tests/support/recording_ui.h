// A UiBackend test double that records the control writes and serves control
// reads from values the test sets.
//
// Constructing one installs it as the process's backend and a popup capture
// handler; destroying it uninstalls both. Every member is safe to call from
// any thread.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/ui.h"

namespace testsupport {

// One recorded write: SetCtrlVal, SetTableCellVal or SetTableCellAttribute.
struct UiWrite {
    enum Kind {
        CtrlDouble,
        CtrlInt,
        CtrlText,
        CellText,
        CellAttr,
        CtrlAttr,
        PanelShown,
        PanelHidden,
        ToolTip,
        PanelTitle
    };
    Kind kind = CtrlDouble;
    int panel = 0;
    int control = 0;
    int column = 0;     // table cells only
    int row = 0;        // table cells only
    int attribute = 0;  // CellAttr and CtrlAttr
    double number = 0;  // CtrlDouble
    int integer = 0;    // CtrlInt, CellAttr (the attribute value)
    std::string text;   // CtrlText, CellText, ToolTip (on a table cell: with column and row)
};

struct Popup {
    std::string title;
    std::string text;
};

class RecordingUi : public UiBackend {
public:
    RecordingUi();
    ~RecordingUi() override;
    RecordingUi(const RecordingUi&) = delete;
    RecordingUi& operator=(const RecordingUi&) = delete;

    // What GetCtrlVal returns for a control; an unset control reads as failed.
    void setDouble(int panel, int control, double value);
    void setInt(int panel, int control, int value);
    // What GetActiveTabPage returns (for any panel).
    void setActiveTab(int index);

    std::vector<UiWrite> writes() const;
    std::vector<Popup> popups() const;
    // Questions asked through ConfirmPopup, and the answer every next one gets
    // (ANSWER_NO until set).
    std::vector<Popup> questions() const;
    void setAnswer(int answer);
    void clear();

    // The writes to one control (table cells included).
    std::vector<UiWrite> writesTo(int panel, int control) const;
    // The last text written to a table cell, or "" when none was.
    std::string cellText(int panel, int control, int column, int row) const;
    // The last value of a control attribute, or -1 when none was written.
    double ctrlAttr(int panel, int control, int attribute) const;
    // 1 when the panel was last displayed, 0 when last hidden, -1 when neither.
    int panelShown(int panel) const;
    // The last title set on a panel ("" restores the resource's title).
    std::string panelTitle(int panel) const;
    // The last text written to a control, or "" when none was.
    std::string ctrlText(int panel, int control) const;

    // What the next selection popups answer (-1 = cancel), and the rows each
    // popup offered.
    void setSelectionAnswer(int row);
    std::vector<std::vector<std::string>> selections() const;
    // What the next address forms answer: the entry with OK, or cancel when
    // none is set; and the entries each form was opened with.
    void setAddressAnswer(const ServerAddressEntry& entry);
    void cancelAddress();
    std::vector<ServerAddressEntry> addressForms() const;
    // The last value of an attribute written to a table cell, or -1 when none was.
    int cellAttr(int panel, int control, int column, int row, int attribute) const;

    int loadPanel(int parentPanel, const char* resourceFile, int panelResourceId) override;
    int displayPanel(int panel) override;
    int hidePanel(int panel) override;
    int discardPanel(int panel) override;
    int getPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle) override;
    int getActiveTabPage(int panel, int tabControl, int* pageIndex) override;
    int getCtrlVal(int panel, int control, double* value) override;
    int getCtrlVal(int panel, int control, int* value) override;
    int setCtrlVal(int panel, int control, double value) override;
    int setCtrlVal(int panel, int control, int value) override;
    int setCtrlVal(int panel, int control, const char* value) override;
    int setCtrlAttribute(int panel, int control, int attribute, int value) override;
    int setCtrlAttribute(int panel, int control, int attribute, double value) override;
    int setTableCellVal(int panel, int control, Point cell, const char* value) override;
    int setTableCellAttribute(int panel, int control, Point cell, int attribute, int value) override;
    int runUserInterface() override;
    int quitUserInterface(int returnCode) override;
    int messagePopup(const char* title, const char* message) override;
    int confirmPopup(const char* title, const char* message, int buttons, int defaultAnswer) override;
    int setCtrlToolTip(int panel, int control, const char* text) override;
    int setTableCellToolTip(int panel, int control, Point cell, const char* text) override;
    int setPanelAttribute(int panel, int attribute, const char* value) override;
    int selectionPopup(const char* title, const char* heading, const std::vector<std::string>& rows,
                       int* chosen) override;
    int serverAddressPopup(const char* title, const std::vector<std::string>& kinds,
                           ServerAddressEntry* entry) override;

private:
    void record(UiWrite w);

    mutable std::mutex mutex_;
    std::map<std::pair<int, int>, double> doubles_;
    std::map<std::pair<int, int>, int> ints_;
    int activeTab_ = 0;
    std::vector<UiWrite> writes_;
    std::vector<Popup> popups_;
    std::vector<Popup> questions_;
    int answer_ = ANSWER_NO;
    int selectionAnswer_ = -1;
    std::vector<std::vector<std::string>> selections_;
    bool addressOk_ = false;
    ServerAddressEntry addressAnswer_;
    std::vector<ServerAddressEntry> addressForms_;
};

}  // namespace testsupport
