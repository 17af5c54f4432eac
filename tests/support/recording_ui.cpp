#include "tests/support/recording_ui.h"

namespace testsupport {

RecordingUi::RecordingUi()
{
    SetUiBackend(this);
    SetPopupHandler([this](const std::string& title, const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        popups_.push_back(Popup{title, text});
    });
    SetConfirmHandler([this](const std::string& title, const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        questions_.push_back(Popup{title, text});
        return answer_;
    });
}

RecordingUi::~RecordingUi()
{
    SetConfirmHandler(ConfirmHandler());
    SetPopupHandler(PopupHandler());
    SetUiBackend(nullptr);
}

void RecordingUi::setDouble(int panel, int control, double value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    doubles_[{panel, control}] = value;
}

void RecordingUi::setInt(int panel, int control, int value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ints_[{panel, control}] = value;
}

void RecordingUi::setActiveTab(int index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    activeTab_ = index;
}

std::vector<UiWrite> RecordingUi::writes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

std::vector<Popup> RecordingUi::popups() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return popups_;
}

std::vector<Popup> RecordingUi::questions() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return questions_;
}

void RecordingUi::setAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = answer;
}

void RecordingUi::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    writes_.clear();
    popups_.clear();
    questions_.clear();
}

std::vector<UiWrite> RecordingUi::writesTo(int panel, int control) const
{
    std::vector<UiWrite> out;
    for (const UiWrite& w : writes()) {
        if (w.panel == panel && w.control == control) out.push_back(w);
    }
    return out;
}

std::string RecordingUi::cellText(int panel, int control, int column, int row) const
{
    std::string text;
    for (const UiWrite& w : writesTo(panel, control)) {
        if (w.kind == UiWrite::CellText && w.column == column && w.row == row) text = w.text;
    }
    return text;
}

int RecordingUi::cellAttr(int panel, int control, int column, int row, int attribute) const
{
    int value = -1;
    for (const UiWrite& w : writesTo(panel, control)) {
        if (w.kind == UiWrite::CellAttr && w.column == column && w.row == row && w.attribute == attribute) {
            value = w.integer;
        }
    }
    return value;
}

namespace {

UiWrite makeWrite(UiWrite::Kind kind, int panel, int control, Point cell = Point{0, 0})
{
    UiWrite w;
    w.kind = kind;
    w.panel = panel;
    w.control = control;
    w.column = cell.x;
    w.row = cell.y;
    return w;
}

}  // namespace

void RecordingUi::record(UiWrite w)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writes_.push_back(std::move(w));
}

int RecordingUi::loadPanel(int, const char*, int)
{
    return UIE_LOAD_FAILED;
}
int RecordingUi::displayPanel(int panel)
{
    UiWrite w{UiWrite::PanelShown, panel, 0, 0, 0, 0, 0, 0, {}};
    record(w);
    return UIE_NO_ERROR;
}
int RecordingUi::hidePanel(int panel)
{
    UiWrite w{UiWrite::PanelHidden, panel, 0, 0, 0, 0, 0, 0, {}};
    record(w);
    return UIE_NO_ERROR;
}
int RecordingUi::discardPanel(int)
{
    return UIE_NO_ERROR;
}
int RecordingUi::getPanelHandleFromTabPage(int, int, int, int*)
{
    return UIE_BAD_HANDLE;
}

int RecordingUi::getActiveTabPage(int, int, int* pageIndex)
{
    std::lock_guard<std::mutex> lock(mutex_);
    *pageIndex = activeTab_;
    return UIE_NO_ERROR;
}

int RecordingUi::getCtrlVal(int panel, int control, double* value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = doubles_.find({panel, control});
    if (it == doubles_.end()) return UIE_BAD_CONTROL;
    *value = it->second;
    return UIE_NO_ERROR;
}

int RecordingUi::getCtrlVal(int panel, int control, int* value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = ints_.find({panel, control});
    if (it == ints_.end()) return UIE_BAD_CONTROL;
    *value = it->second;
    return UIE_NO_ERROR;
}

int RecordingUi::setCtrlVal(int panel, int control, double value)
{
    UiWrite w = makeWrite(UiWrite::CtrlDouble, panel, control);
    w.number = value;
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::setCtrlVal(int panel, int control, int value)
{
    UiWrite w = makeWrite(UiWrite::CtrlInt, panel, control);
    w.integer = value;
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::setCtrlVal(int panel, int control, const char* value)
{
    UiWrite w = makeWrite(UiWrite::CtrlText, panel, control);
    w.text = value != nullptr ? value : "";
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::setCtrlAttribute(int panel, int control, int attribute, int value)
{
    UiWrite w{UiWrite::CtrlAttr, panel, control, 0, 0, 0, 0, 0, {}};
    w.attribute = attribute;
    w.integer = value;
    w.number = value;
    record(w);
    return UIE_NO_ERROR;
}
int RecordingUi::setCtrlAttribute(int panel, int control, int attribute, double value)
{
    UiWrite w{UiWrite::CtrlAttr, panel, control, 0, 0, 0, 0, 0, {}};
    w.attribute = attribute;
    w.number = value;
    w.integer = static_cast<int>(value);
    record(w);
    return UIE_NO_ERROR;
}

double RecordingUi::ctrlAttr(int panel, int control, int attribute) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    double last = -1;
    for (const UiWrite& w : writes_) {
        if (w.kind == UiWrite::CtrlAttr && w.panel == panel && w.control == control &&
            w.attribute == attribute) {
            last = w.number;
        }
    }
    return last;
}

int RecordingUi::panelShown(int panel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int shown = -1;
    for (const UiWrite& w : writes_) {
        if (w.panel != panel) continue;
        if (w.kind == UiWrite::PanelShown) shown = 1;
        if (w.kind == UiWrite::PanelHidden) shown = 0;
    }
    return shown;
}

int RecordingUi::setTableCellVal(int panel, int control, Point cell, const char* value)
{
    UiWrite w = makeWrite(UiWrite::CellText, panel, control, cell);
    w.text = value != nullptr ? value : "";
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::setTableCellAttribute(int panel, int control, Point cell, int attribute, int value)
{
    UiWrite w = makeWrite(UiWrite::CellAttr, panel, control, cell);
    w.attribute = attribute;
    w.integer = value;
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::runUserInterface()
{
    return UIE_NO_ERROR;
}
int RecordingUi::quitUserInterface(int)
{
    return UIE_NO_ERROR;
}

int RecordingUi::messagePopup(const char* title, const char* message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    popups_.push_back(Popup{title != nullptr ? title : "", message != nullptr ? message : ""});
    return UIE_NO_ERROR;
}

int RecordingUi::confirmPopup(const char* title, const char* message, int, int)
{
    std::lock_guard<std::mutex> lock(mutex_);
    questions_.push_back(Popup{title != nullptr ? title : "", message != nullptr ? message : ""});
    return answer_;
}

int RecordingUi::setCtrlToolTip(int panel, int control, const char* text)
{
    UiWrite w = makeWrite(UiWrite::ToolTip, panel, control);
    w.text = text != nullptr ? text : "";
    record(std::move(w));
    return UIE_NO_ERROR;
}

int RecordingUi::setTableCellToolTip(int panel, int control, Point cell, const char* text)
{
    UiWrite w = makeWrite(UiWrite::ToolTip, panel, control);
    w.column = cell.x;
    w.row = cell.y;
    w.text = text != nullptr ? text : "";
    record(std::move(w));
    return UIE_NO_ERROR;
}

int RecordingUi::setPanelAttribute(int panel, int attribute, const char* value)
{
    if (attribute != ATTR_TITLE || value == nullptr) return UIE_BAD_ARGUMENT;
    UiWrite w;
    w.kind = UiWrite::PanelTitle;
    w.panel = panel;
    w.attribute = attribute;
    w.text = value;
    record(w);
    return UIE_NO_ERROR;
}

int RecordingUi::selectionPopup(const char*, const char*, const std::vector<std::string>& rows, int* chosen)
{
    std::lock_guard<std::mutex> lock(mutex_);
    selections_.push_back(rows);
    *chosen =
        selectionAnswer_ >= 0 && selectionAnswer_ < static_cast<int>(rows.size()) ? selectionAnswer_ : -1;
    return UIE_NO_ERROR;
}

int RecordingUi::serverAddressPopup(const char*, const std::vector<std::string>&, ServerAddressEntry* entry)
{
    std::lock_guard<std::mutex> lock(mutex_);
    addressForms_.push_back(*entry);
    if (!addressOk_) return 0;
    *entry = addressAnswer_;
    return 1;
}

void RecordingUi::setAddressAnswer(const ServerAddressEntry& entry)
{
    std::lock_guard<std::mutex> lock(mutex_);
    addressOk_ = true;
    addressAnswer_ = entry;
}

void RecordingUi::cancelAddress()
{
    std::lock_guard<std::mutex> lock(mutex_);
    addressOk_ = false;
}

std::vector<ServerAddressEntry> RecordingUi::addressForms() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return addressForms_;
}

void RecordingUi::setSelectionAnswer(int row)
{
    std::lock_guard<std::mutex> lock(mutex_);
    selectionAnswer_ = row;
}

std::vector<std::vector<std::string>> RecordingUi::selections() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return selections_;
}

std::string RecordingUi::panelTitle(int panel) const
{
    std::string title;
    for (const UiWrite& w : writes()) {
        if (w.kind == UiWrite::PanelTitle && w.panel == panel) title = w.text;
    }
    return title;
}

std::string RecordingUi::ctrlText(int panel, int control) const
{
    std::string text;
    for (const UiWrite& w : writes()) {
        if (w.kind == UiWrite::CtrlText && w.panel == panel && w.control == control) text = w.text;
    }
    return text;
}

}  // namespace testsupport
