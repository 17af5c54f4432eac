#include "pages/param_info.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "model/app_state.h"
#include "model/uir_ids.h"
#include "platform/gbk.h"
#include "platform/ui.h"
#include "platform/uir.h"

namespace {

// The parameter panel and the debug panel as described by their resources.
struct Descriptions {
    uirfile::Panel set;
    uirfile::Panel debug;
    bool ok = false;
};

const Descriptions& descriptions()
{
    static Descriptions d;
    static std::once_flag once;
    std::call_once(once, [] {
        d.ok = uirfile::DescribePanelResource("mainwin.uir", uir::PANEL_SET, &d.set, nullptr) &&
               uirfile::DescribePanelResource("debug.uir", uir::PANEL_DEBG, &d.debug, nullptr);
    });
    return d;
}

// The page description of a row, or nullptr.
const uirfile::Page* rowPage(const SendRow& row)
{
    const Descriptions& d = descriptions();
    if (!d.ok) return nullptr;
    const uirfile::Panel& panel = IsDebugPanelRow(row) ? d.debug : d.set;
    for (const uirfile::Control& c : panel.controls) {
        if (c.kind != uirfile::Kind::Tab) continue;
        const int index = RowPageIndex(row);
        if (index < 0 || index >= static_cast<int>(c.pages.size())) return nullptr;
        return &c.pages[static_cast<std::size_t>(index)];
    }
    return nullptr;
}

const uirfile::Control* rowControl(const SendRow& row)
{
    const uirfile::Page* page = rowPage(row);
    if (page == nullptr || row.kind == SendKind::Command) return nullptr;
    for (const uirfile::Control& c : page->controls) {
        if (c.id == row.control) return &c;
    }
    return nullptr;
}

// The caption of a Command row is the switch beside it (same item on the page).
std::string commandCaption(const SendRow& row)
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const SendRow& r = rows[i];
        if (&r != &row && r.table == row.table && r.index == row.index && r.kind != SendKind::Command) {
            return RowCaption(r);
        }
    }
    return std::string();
}

std::string scaleText(const SendRow& row)
{
    if (row.kind != SendKind::Scaled) return "1";
    const DataItem& item = row.table[row.index];
    return std::to_string(item.scale_num.load()) + "/" + std::to_string(item.scale_den.load());
}

std::string valueText(const SendRow& row)
{
    const DataItem& item = row.table[row.index];
    const double raw = item.value.load();
    char text[64];
    if (row.kind == SendKind::Scaled) {
        std::snprintf(text, sizeof text, "%.4g", scaledValue(item));
        return text;
    }
    if (!std::isfinite(raw)) return "-";
    std::snprintf(text, sizeof text, "%.10g", raw);
    std::string out = text;
    const uirfile::Control* c = rowControl(row);
    if (c != nullptr && c->kind == uirfile::Kind::Ring) {
        const std::string item_caption = RowRingItemCaption(row, static_cast<int>(raw));
        if (!item_caption.empty()) out += " (" + item_caption + ")";
    }
    return out;
}

}  // namespace

std::string RowCaption(const SendRow& row)
{
    if (row.kind == SendKind::Command) return commandCaption(row);
    const uirfile::Control* c = rowControl(row);
    return c != nullptr ? c->caption : std::string();
}

std::string RowRingItemCaption(const SendRow& row, int value)
{
    const uirfile::Control* c = rowControl(row);
    if (c == nullptr) return std::string();
    for (const uirfile::RingItem& item : c->items) {
        if (item.value == value) return item.caption;
    }
    return std::string();
}

std::vector<ParamInfo> ParameterReference()
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    const Descriptions& d = descriptions();
    std::vector<ParamInfo> out;
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) {
            const SendRow* main = nullptr;
            const SendRow* other = nullptr;
            for (std::size_t r = 0; r < count; ++r) {
                const SendRow& row = rows[r];
                if (row.table != t.items || row.index != i) continue;
                if (IsDebugPanelRow(row)) {
                    if (other == nullptr) other = &row;
                } else if (main == nullptr) {
                    main = &row;
                }
            }
            const SendRow* shown = main != nullptr ? main : other;
            ParamInfo info;
            info.address = t.items[i].address.load();
            if (shown == nullptr) {
                out.push_back(info);
                continue;
            }
            const uirfile::Page* page = rowPage(*shown);
            const std::string pageName = page != nullptr ? page->caption : std::string();
            info.page = main != nullptr ? pageName : (d.ok ? d.debug.title : "DEBUG") + " / " + pageName;
            info.caption = RowCaption(*shown);
            if (main != nullptr && other != nullptr) info.otherCaption = RowCaption(*other);
            info.unit = GbkToUtf8Lenient(shown->unit);
            info.scale = scaleText(*shown);
            info.value = valueText(*shown);
            out.push_back(info);
        }
    }
    return out;
}

std::string ParameterToolTip(const ParamInfo& info)
{
    char reg[64];
    std::snprintf(reg, sizeof reg, "Register %d (0x%04X)", info.address, static_cast<unsigned>(info.address));
    std::string tip = reg;
    tip += "\nScale: " + (info.scale == "1" ? std::string("1 (shown as stored)")
                                            : "shown value = register x " + info.scale);
    tip += "\nUnit: " + (info.unit.empty() ? std::string("none") : info.unit);
    if (!info.otherCaption.empty()) tip += "\nOn the DEBUG panel: " + info.otherCaption;
    return tip;
}

void SetParameterToolTips()
{
    const std::vector<ParamInfo> reference = ParameterReference();
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t r = 0; r < count; ++r) {
        const SendRow& row = rows[r];
        if (row.kind == SendKind::Command) continue;
        const int address = row.table[row.index].address.load();
        for (const ParamInfo& info : reference) {
            if (info.address != address) continue;
            ParamInfo shown = info;
            // On the debug panel the tooltip names the parameter page's caption instead.
            if (IsDebugPanelRow(row) && !info.otherCaption.empty()) {
                shown.otherCaption.clear();
            }
            std::string tip = ParameterToolTip(shown);
            if (IsDebugPanelRow(row) && !info.otherCaption.empty()) {
                tip += "\nOn the parameter page " + info.page + ": " + info.caption;
            }
            SetCtrlToolTip(row.page->load(), row.control, Utf8ToGbkLenient(tip).c_str());
        }
    }
}
