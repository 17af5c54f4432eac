// The "__OK" buttons of the parameter and debug pages: which control each one
// reads and which data item it writes. The send callbacks, the unsent-entry
// marks, the tooltips and the parameter reference all walk this one table.
#pragma once

#include <atomic>
#include <cstddef>

#include "model/data_item.h"

struct WriteRequest;

// How a send callback obtains the register value it stores.
enum class SendKind {
    Direct,   // numeric control, its value unchanged
    Integer,  // ring item value or switch state
    Scaled,   // numeric control, value * scale_den / scale_num of the item
    Command,  // reads no control; always 1
};

// One "__OK" button: the callback name the panel resources use, the page
// whose control it reads, and the data item it writes.
struct SendRow {
    const char* name;
    const std::atomic<int>* page;  // tab-page handle slot
    int control;                   // value control on that page; unused for Command
    DataItem* table;
    int index;
    SendKind kind;
    const char* unit;     // the control's engineering unit (GBK) for the range message; "" when none
    const char* caption;  // the row's caption on the panel (GBK)
};

// The table: 63 buttons of the parameter pages, then 15 of the debug panel.
const SendRow* SendRows(std::size_t* count);

// Does what pressing the row's button does (the panel and control are handed
// to the send callback as the button's own).
int PressSendButton(const SendRow& row, int panel, int control);

// The write record's description of a press of the row's button with the
// entry `typed` (in the control's unit).
WriteRequest DescribeSendRow(const SendRow& row, double typed);

// The tab-page handle slots the rows name.
bool IsDebugPanelRow(const SendRow& row);
// Index 0..5 of the parameter page, or 0..1 of the debug page, the row's page slot is.
int RowPageIndex(const SendRow& row);
