#include "platform/ui/ui.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

// Where the panel calls go: the backend set, and the handlers that answer
// messages and questions in its place while set (tests, commands).
struct Routing {
    std::atomic<UiBackend*> backend{nullptr};
    std::mutex popupMutex;  // guards the two handlers
    PopupHandler popupHandler;
    ConfirmHandler confirmHandler;
};
Routing g_ui;

}  // namespace

void SetUiBackend(UiBackend* backend)
{
    g_ui.backend.store(backend);
}
UiBackend* GetUiBackend()
{
    return g_ui.backend.load();
}

#define DSC_FORWARD(call)                    \
    UiBackend* b = g_ui.backend.load();      \
    if (b == nullptr) return UIE_NO_BACKEND; \
    return b->call

int LoadPanel(int parentPanel, const char* resourceFile, int panelResourceId)
{
    DSC_FORWARD(loadPanel(parentPanel, resourceFile, panelResourceId));
}
int DisplayPanel(int panel)
{
    DSC_FORWARD(displayPanel(panel));
}
int HidePanel(int panel)
{
    DSC_FORWARD(hidePanel(panel));
}
int DiscardPanel(int panel)
{
    DSC_FORWARD(discardPanel(panel));
}
int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle)
{
    DSC_FORWARD(getPanelHandleFromTabPage(panel, tabControl, pageIndex, pageHandle));
}
int GetActiveTabPage(int panel, int tabControl, int* pageIndex)
{
    DSC_FORWARD(getActiveTabPage(panel, tabControl, pageIndex));
}
int GetCtrlVal(int panel, int control, double* value)
{
    DSC_FORWARD(getCtrlVal(panel, control, value));
}
int GetCtrlVal(int panel, int control, int* value)
{
    DSC_FORWARD(getCtrlVal(panel, control, value));
}
int SetCtrlVal(int panel, int control, double value)
{
    DSC_FORWARD(setCtrlVal(panel, control, value));
}
int SetCtrlVal(int panel, int control, int value)
{
    DSC_FORWARD(setCtrlVal(panel, control, value));
}
int SetCtrlVal(int panel, int control, const char* value)
{
    DSC_FORWARD(setCtrlVal(panel, control, value));
}
int SetCtrlAttribute(int panel, int control, int attribute, int value)
{
    DSC_FORWARD(setCtrlAttribute(panel, control, attribute, value));
}
int SetCtrlAttribute(int panel, int control, int attribute, double value)
{
    DSC_FORWARD(setCtrlAttribute(panel, control, attribute, value));
}
int SetTableCellVal(int panel, int control, Point cell, const char* value)
{
    DSC_FORWARD(setTableCellVal(panel, control, cell, value));
}
int SetTableCellAttribute(int panel, int control, Point cell, int attribute, int value)
{
    DSC_FORWARD(setTableCellAttribute(panel, control, cell, attribute, value));
}
int SetCtrlToolTip(int panel, int control, const char* text)
{
    DSC_FORWARD(setCtrlToolTip(panel, control, text));
}
int SetTableCellToolTip(int panel, int control, Point cell, const char* text)
{
    DSC_FORWARD(setTableCellToolTip(panel, control, cell, text));
}
int RunUserInterface()
{
    DSC_FORWARD(runUserInterface());
}
int QuitUserInterface(int returnCode)
{
    DSC_FORWARD(quitUserInterface(returnCode));
}
int SetPanelAttribute(int panel, int attribute, const char* value)
{
    DSC_FORWARD(setPanelAttribute(panel, attribute, value));
}

int SelectionPopup(const char* title, const char* heading, const std::vector<std::string>& rows, int* chosen)
{
    int ignored = -1;
    if (chosen == nullptr) chosen = &ignored;
    *chosen = -1;
    UiBackend* b = g_ui.backend.load();
    if (b == nullptr) return UIE_NO_BACKEND;
    return b->selectionPopup(title != nullptr ? title : "", heading != nullptr ? heading : "", rows, chosen);
}

int ServerAddressPopup(const char* title, const std::vector<std::string>& kinds, ServerAddressEntry* entry)
{
    if (entry == nullptr || kinds.empty()) return UIE_BAD_ARGUMENT;
    UiBackend* b = g_ui.backend.load();
    if (b == nullptr) return UIE_NO_BACKEND;
    return b->serverAddressPopup(title != nullptr ? title : "", kinds, entry);
}

#undef DSC_FORWARD

int MessagePopup(const char* title, const char* message)
{
    PopupHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_ui.popupMutex);
        handler = g_ui.popupHandler;
    }
    if (handler) {
        handler(title != nullptr ? title : "", message != nullptr ? message : "");
        return 0;
    }
    UiBackend* b = g_ui.backend.load();
    if (b == nullptr) {
        std::fprintf(stderr, "%s: %s\n", title != nullptr ? title : "", message != nullptr ? message : "");
        return UIE_NO_BACKEND;
    }
    return b->messagePopup(title, message);
}

void SetPopupHandler(PopupHandler handler)
{
    std::lock_guard<std::mutex> lock(g_ui.popupMutex);
    g_ui.popupHandler = std::move(handler);
}

int ConfirmPopup(const char* title, const char* message, int buttons, int defaultAnswer)
{
    if (buttons != CONFIRM_YES_NO && buttons != CONFIRM_YES_NO_CANCEL) return UIE_BAD_ARGUMENT;
    if (defaultAnswer != ANSWER_YES && defaultAnswer != ANSWER_NO &&
        !(defaultAnswer == ANSWER_CANCEL && buttons == CONFIRM_YES_NO_CANCEL)) {
        return UIE_BAD_ARGUMENT;
    }
    ConfirmHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_ui.popupMutex);
        handler = g_ui.confirmHandler;
    }
    if (handler) return handler(title != nullptr ? title : "", message != nullptr ? message : "");
    UiBackend* b = g_ui.backend.load();
    if (b == nullptr) return UIE_NO_BACKEND;
    return b->confirmPopup(title, message, buttons, defaultAnswer);
}

void SetConfirmHandler(ConfirmHandler handler)
{
    std::lock_guard<std::mutex> lock(g_ui.popupMutex);
    g_ui.confirmHandler = std::move(handler);
}
