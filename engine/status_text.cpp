#include "engine/status_text.h"

#include <cstdio>

#include "engine/fault_tracker.h"
#include "model/data_item.h"
#include "model/panel_texts.h"
#include "model/register_catalogue.h"
#include "model/shown_captions.h"

namespace {

const RegisterEntry* statusEntry(int index)
{
    const std::vector<RegisterEntry>& status = Catalogue().statusRegisters();
    if (index < 0 || static_cast<std::size_t>(index) >= status.size()) return nullptr;
    return &status[static_cast<std::size_t>(index)];
}

std::string wordText(const RegisterEntry& e, int raw)
{
    const unsigned word = static_cast<unsigned>(raw) & 0xFFFFu;
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", word);
    std::string names;
    for (std::size_t b = 0; b < e.bitNames.size() && b < 16; ++b) {
        if (((word >> b) & 1u) == 0 || e.bitNames[b].empty()) continue;
        names += (names.empty() ? "" : ", ") + e.bitNames[b];
    }
    return names.empty() ? text : std::string(text) + " (" + names + ")";
}

}  // namespace

std::string StatusCaption(int index)
{
    return Catalogue().captionOf(kStatusTable.first_register + index);
}

std::string ShownStatusCaption(int index)
{
    const RegisterEntry* e = statusEntry(index);
    const std::string shown = e != nullptr ? ShownRegisterCaption(*e) : std::string();
    return shown.empty() ? StatusCaption(index) : shown;
}

std::string StatusUnit(int index)
{
    const RegisterEntry* e = statusEntry(index);
    return e != nullptr ? e->unit : std::string();
}

std::string StatusColumnTitle(int index)
{
    const std::string unit = StatusUnit(index);
    return StatusCaption(index) + (unit.empty() ? "" : " (" + unit + ")");
}

double StatusPhysical(int index, int raw)
{
    if (index < 0 || index >= DATAITEMOR_COUNT) return raw;
    const DataItem& item = kStatusTable.items[index];
    const int den = item.scale_den.load();
    return den != 0 ? static_cast<double>(raw) * item.scale_num.load() / den : raw;
}

int StatusDecimals(int index)
{
    const RegisterEntry* e = statusEntry(index);
    const RegisterControl* c = e == nullptr ? nullptr : e->on(RegisterPanel::Main);
    const int prec = c == nullptr ? 0 : c->prec;
    return prec < 0 ? 0 : prec > 15 ? 15 : prec;
}

std::string StatusValueText(int index, int raw)
{
    const RegisterEntry* e = statusEntry(index);
    if (e == nullptr) return std::to_string(raw);
    const RegisterControl* c = e->on(RegisterPanel::Main);
    if (e->shown == Shown::Word) return wordText(*e, raw);
    if (c != nullptr && c->kind == uirfile::Kind::Ring) {
        const std::string item = c->itemCaption(raw);
        return item.empty() ? std::to_string(raw) : item;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", StatusDecimals(index), StatusPhysical(index, raw));
    std::string shown = text;
    // A small negative value rounds to "-0.00": shown as the panel's 0.00.
    if (shown[0] == '-' && shown.find_first_not_of("-0.") == std::string::npos) shown.erase(0, 1);
    return shown;
}

std::string FaultCaption(int bit)
{
    if (bit >= 0 && bit < kFaultBitCount) {
        const RegisterEntry* e = statusEntry(kFaultWordItem + bit / 16);
        const std::size_t row = static_cast<std::size_t>(bit % 16);
        if (e != nullptr && row < e->bitNames.size() && !e->bitNames[row].empty()) return e->bitNames[row];
    }
    return "bit " + std::to_string(bit % 16) + " of " +
           std::to_string(kStatusTable.first_register + kFaultWordItem + bit / 16);
}

std::string ShownFaultCaption(int bit)
{
    const RegisterEntry* e =
        bit >= 0 && bit < kFaultBitCount ? statusEntry(kFaultWordItem + bit / 16) : nullptr;
    const std::size_t row = static_cast<std::size_t>(bit % 16);
    if (e == nullptr || e->controls.empty() || row >= e->bitNames.size() || e->bitNames[row].empty())
        return FaultCaption(bit);
    // A row of the error list's table, looked up as the panel looks it up.
    RegisterControl cell = e->controls.front();
    cell.caption = e->bitNames[row];
    return ShownCaption(cell);
}
