// The "__OK" buttons of the parameter and debug pages: which control each one
// reads and which data item it writes, as the register catalogue lays them
// out. The send callbacks, the unsent-entry marks, the tooltips and the guard
// walk this one table.
#pragma once

#include <atomic>
#include <cstddef>

#include "model/data_item.h"
#include "model/register_catalogue.h"

struct WriteRequest;

// One "__OK" button: the callback name the panel resources use, the page
// whose control it reads, and the data item it writes.
struct SendRow {
    const char* name;
    RegisterPanel panel;           // Set or Debug
    int pageIndex;                 // tab page of that panel
    const std::atomic<int>* page;  // its handle slot
    int control;                   // the control on that page that shows the item (read unless Command)
    DataItem* table;
    int tab;  // page table 0..5
    int index;
    SendKind kind;
};

// The table: the 63 buttons of the parameter pages in table order, then the
// 15 of the debug panel.
const SendRow* SendRows(std::size_t* count);

// What the catalogue knows about the control a row sends from (caption, unit,
// ring items, page and panel names); nullptr for a row it does not hold.
const RegisterControl* SendRowControl(const SendRow& row);

// Does what pressing the row's button does (the panel and control are handed
// to the send callback as the button's own).
int PressSendButton(const SendRow& row, int panel, int control);

// The write record's description of a press of the row's button with the
// entry `typed` (in the control's unit).
WriteRequest DescribeSendRow(const SendRow& row, double typed);

inline bool IsDebugPanelRow(const SendRow& row)
{
    return row.panel == RegisterPanel::Debug;
}
