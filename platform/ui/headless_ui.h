// A user-interface backend for running the console's core without a display:
// there are no panels, control writes are dropped, control reads fail (so
// callers keep their previous values), and message popups go to standard
// error. For the command line.
#pragma once

#include "platform/ui/ui.h"

class HeadlessUi : public UiBackend {
public:
    int loadPanel(int, const char*, int) override { return UIE_LOAD_FAILED; }
    int displayPanel(int) override { return UIE_NO_ERROR; }
    int hidePanel(int) override { return UIE_NO_ERROR; }
    int discardPanel(int) override { return UIE_NO_ERROR; }
    int getPanelHandleFromTabPage(int, int, int, int*) override { return UIE_BAD_HANDLE; }
    int getActiveTabPage(int, int, int*) override { return UIE_BAD_HANDLE; }
    int getCtrlVal(int, int, double*) override { return UIE_BAD_HANDLE; }
    int getCtrlVal(int, int, int*) override { return UIE_BAD_HANDLE; }
    int setCtrlVal(int, int, double) override { return UIE_NO_ERROR; }
    int setCtrlVal(int, int, int) override { return UIE_NO_ERROR; }
    int setCtrlVal(int, int, const char*) override { return UIE_NO_ERROR; }
    int setCtrlAttribute(int, int, int, int) override { return UIE_NO_ERROR; }
    int setCtrlAttribute(int, int, int, double) override { return UIE_NO_ERROR; }
    int setTableCellVal(int, int, Point, const char*) override { return UIE_NO_ERROR; }
    int setTableCellAttribute(int, int, Point, int, int) override { return UIE_NO_ERROR; }
    int runUserInterface() override { return UIE_NO_LOOP; }
    int quitUserInterface(int) override { return UIE_NO_ERROR; }
    // "drive-console: <title>: <message>" on standard error, text as GBK
    // decoded to UTF-8.
    int messagePopup(const char* title, const char* message) override;
    // Nobody can answer: the question goes to standard error like a message,
    // marked as not asked, and the caller acts as on "no".
    int confirmPopup(const char* title, const char* message, int buttons, int defaultAnswer) override;
    int setCtrlToolTip(int, int, const char*) override { return UIE_NO_ERROR; }
    int setTableCellToolTip(int, int, Point, const char*) override { return UIE_NO_ERROR; }
};
