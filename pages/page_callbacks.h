// Operator callbacks of the parameter panel's six pages and of the debug panel.
//
// Each "__OK" button writes the value of its row's control into the row's data
// item and marks the item for writing. All 78 send callbacks are rows of one
// table; the panel resources attach them by name through PageCallbacks(),
// whose entries carry the row as callback data. The two tab-change callbacks
// ask for a page's block to be read again and repainted.
#pragma once

#include "platform/ui/ui.h"

// On EVENT_ACTIVE_TAB_CHANGE of the parameter panel's TAB: re-read and repaint
// the table of the page now in front.
int cb_refreshTab1(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// On EVENT_ACTIVE_TAB_CHANGE of the debug panel's TAB: re-read and repaint
// dataItem6, which both debug pages show.
int refreshDebugTab(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Every callback of this module by the name the panel resources use: the send
// callbacks tab1_send_1 .. tab6_send_8 and debug_tab1_send_1 ..
// debug_tab2_send_14, then cb_refreshTab1 and refreshDebugTab. The array is
// static; *count receives its length.
const CallbackEntry* PageCallbacks(int* count);
