// Page refresh: copies flagged data items into the panel controls.
//
// The register catalogue's layout names the control(s) that show each data
// item and the conversion. One walker serves all six pages; the main panel's status
// area has its own walker because its status words are drawn bit by bit into
// tables and are redrawn only on a change.
#include "pages/refresh.h"

#include <climits>
#include <cmath>
#include <initializer_list>
#include <iterator>

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "platform/os/state_reset.h"
#include "platform/ui/ui.h"

std::atomic<int> inputIOstatue{0};
std::atomic<int> outputIOstatue{0};
std::atomic<int> err1statue{0};
std::atomic<int> err2statue{0};
std::atomic<int> err3statue{0};

namespace {

const StateReset kReset(ResetStatusWords);

// Truncation toward zero, defined for every double: NaN gives 0 and values
// beyond the int range give its limits.
int truncToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// Shows an item on every control that shows it, parameter page first, with
// the item's conversion (computed once for all of them).
void showRow(const RegisterEntry& entry)
{
    const DataItem& item = *entry.item;
    if (entry.shown == Shown::Integer) {
        const int shown = truncToInt(item.value.load());
        for (const RegisterControl& c : entry.controls) SetCtrlVal(PanelHandleOf(c).load(), c.id, shown);
        return;
    }
    const double shown = entry.shown == Shown::Scaled ? scaledValue(item) : item.value.load();
    for (const RegisterControl& c : entry.controls) SetCtrlVal(PanelHandleOf(c).load(), c.id, shown);
}

// Shows every flagged item of page `tab` (0..5). The flag is cleared before
// the value is read, so a reply landing in between is shown again next pass.
void refreshPage(int tab)
{
    const RegisterCatalogue& catalogue = RegisterLayout();
    const ItemTable& table = kPageTables[tab];
    for (int i = 0; i < table.count; ++i) {
        DataItem& item = table.items[i];
        if (item.refresh_flag.load() == 0) continue;
        item.refresh_flag.store(0);
        showRow(*catalogue.pageEntry(tab, i));
    }
}

// A status word drawn bit by bit into the rows of a main-panel table (the
// catalogue says which), either as a text per bit or (texts null) as
// red/black row text.
struct StatusWord {
    std::atomic<int>* cache;  // the word last drawn
    const char* high;         // text for a set bit
    const char* low;          // text for a clear bit
};

// "高" and "低" in the console's code page (GBK).
constexpr const char* kHighGbk = "\xB8\xDF";
constexpr const char* kLowGbk = "\xB5\xCD";

const StatusWord kStatusWords[] = {
    {&inputIOstatue, "HIGH", "LOW"}, {&outputIOstatue, kHighGbk, kLowGbk}, {&err1statue, nullptr, nullptr},
    {&err2statue, nullptr, nullptr}, {&err3statue, nullptr, nullptr},
};
constexpr int kFirstWordItem = 12;

// Redraws all rows of a status word when the value differs from the cached
// word (NaN always differs). The item's flag is left set, so every pass
// compares again.
void showWord(const StatusWord& s, const RegisterEntry& entry, double value)
{
    if (value == static_cast<double>(s.cache->load())) return;
    const int word = truncToInt(value);
    s.cache->store(word);
    const int panel = panelMain.load();
    const int control = entry.controls.front().id;
    for (int b = 0; b < entry.wordBits; ++b) {
        const bool set = ((word >> b) & 1) != 0;  // arithmetic shift: bit 15 of a negative word is exact
        const Point cell = MakePoint(entry.wordColumn, entry.wordFirstRow + b);
        if (s.high != nullptr) {
            SetTableCellVal(panel, control, cell, set ? s.high : s.low);
        } else {
            SetTableCellAttribute(panel, control, cell, ATTR_TEXT_COLOR, set ? VAL_RED : VAL_BLACK);
        }
    }
}

static_assert(std::size(kStatusWords) == 5, "items 12..16 are status words");

}  // namespace

void refreshTABPANEL_1()
{
    refreshPage(0);
}
void refreshTABPANEL_2()
{
    refreshPage(1);
}
void refreshTABPANEL_3()
{
    refreshPage(2);
}
void refreshTABPANEL_4()
{
    refreshPage(3);
}
void refreshTABPANEL_5()
{
    refreshPage(4);
}
void refreshTABPANEL_6()
{
    refreshPage(5);
}

// Rings and read-outs clear their flag after the write; the status words keep
// theirs (see showWord).
void refreshQUERY()
{
    const std::vector<RegisterEntry>& status = RegisterLayout().statusRegisters();
    const int panel = panelMain.load();
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        DataItem& item = dataItemOR[i];
        if (item.refresh_flag.load() == 0) continue;
        const RegisterEntry& entry = status[static_cast<std::size_t>(i)];
        switch (entry.shown) {
            case Shown::Integer:
                SetCtrlVal(panel, queryItemID[i], truncToInt(item.value.load()));
                item.refresh_flag.store(0);
                break;
            case Shown::Word: {
                const int word = i - kFirstWordItem;
                if (word >= 0 && word < static_cast<int>(std::size(kStatusWords)))
                    showWord(kStatusWords[word], entry, item.value.load());
                break;
            }
            case Shown::Number:
            case Shown::Scaled:
                SetCtrlVal(panel, queryItemID[i], scaledValue(item));
                item.refresh_flag.store(0);
                break;
        }
    }
}

void refreshAll()
{
    refreshTABPANEL_1();
    refreshTABPANEL_2();
    refreshTABPANEL_3();
    refreshTABPANEL_4();
    refreshTABPANEL_5();
    refreshTABPANEL_6();
    refreshQUERY();
}

void ResetStatusWords()
{
    for (std::atomic<int>* word : {&inputIOstatue, &outputIOstatue, &err1statue, &err2statue, &err3statue}) {
        word->store(0);
    }
}
