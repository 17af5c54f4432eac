#include "pages/param_info.h"

#include <cmath>
#include <cstdio>

#include "model/register_catalogue.h"
#include "platform/os/gbk.h"
#include "platform/ui/ui.h"

namespace {

std::string scaleText(const RegisterEntry& e)
{
    if (!e.scaled()) return "1";
    return std::to_string(e.scale.num) + "/" + std::to_string(e.scale.den);
}

// The current value as `shown` shows it: scaled, or the raw value with a
// ring's item caption.
std::string valueText(const RegisterEntry& e, const RegisterControl& shown)
{
    const DataItem& item = *e.item;
    const double raw = item.value.load();
    char text[64];
    if (e.scaled()) {
        std::snprintf(text, sizeof text, "%.4g", scaledValue(item));
        return text;
    }
    if (!std::isfinite(raw)) return "-";
    std::snprintf(text, sizeof text, "%.10g", raw);
    std::string out = text;
    if (shown.kind == uirfile::Kind::Ring) {
        const std::string itemCaption = shown.itemCaption(static_cast<int>(raw));
        if (!itemCaption.empty()) out += " (" + itemCaption + ")";
    }
    return out;
}

}  // namespace

std::vector<ParamInfo> ParameterReference()
{
    std::vector<ParamInfo> out;
    for (const RegisterEntry& e : Catalogue().pageRegisters()) {
        ParamInfo info;
        info.address = e.reg;
        const RegisterControl* main = e.on(RegisterPanel::Set);
        const RegisterControl* other = e.on(RegisterPanel::Debug);
        const RegisterControl* shown = main != nullptr ? main : other;
        if (shown == nullptr) {
            out.push_back(info);
            continue;
        }
        info.page = main != nullptr ? shown->pageCaption : shown->panelTitle + " / " + shown->pageCaption;
        info.caption = shown->caption;
        if (main != nullptr && other != nullptr) info.otherCaption = other->caption;
        info.unit = shown->unit;
        info.scale = scaleText(e);
        info.value = valueText(e, *shown);
        out.push_back(info);
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
    if (!info.otherCaption.empty())
        tip += "\nOn the " + Catalogue().panelTitle(RegisterPanel::Debug) + " panel: " + info.otherCaption;
    return tip;
}

void SetParameterToolTips()
{
    const std::vector<ParamInfo> reference = ParameterReference();
    const std::vector<RegisterEntry>& registers = Catalogue().pageRegisters();
    for (std::size_t r = 0; r < registers.size() && r < reference.size(); ++r) {
        const ParamInfo& info = reference[r];
        for (const RegisterControl& c : registers[r].controls) {
            const bool onDebug = c.panel == RegisterPanel::Debug;
            ParamInfo shown = info;
            // On the debug panel the tooltip names the parameter page's caption instead.
            if (onDebug && !info.otherCaption.empty()) shown.otherCaption.clear();
            std::string tip = ParameterToolTip(shown);
            if (onDebug && !info.otherCaption.empty()) {
                tip += "\nOn the parameter page " + info.page + ": " + info.caption;
            }
            SetCtrlToolTip(PanelHandleOf(c).load(), c.id, Utf8ToGbkLenient(tip).c_str());
        }
    }
}
