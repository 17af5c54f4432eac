#include "engine/item_names.h"

#include <QFile>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "engine/ems.h"
#include "engine/fault_tracker.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/uir.h"

namespace {

std::vector<uirfile::Panel> readPanels(const char* file)
{
    std::vector<uirfile::Panel> panels;
    const char* dir = std::getenv("DSC_UIR_DIR");
    const QString path = dir != nullptr && *dir != '\0' ? QString::fromLocal8Bit(dir) + "/" + file
                                                        : QStringLiteral(":/uir/") + file;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return panels;
    const QByteArray bytes = f.readAll();
    std::string utf8;
    std::size_t bad = 0;
    std::string error;
    if (!uirfile::GbkToUtf8(bytes.toStdString(), &utf8, &bad)) return panels;
    if (!uirfile::ParseText(utf8, file, &panels, &error)) panels.clear();
    return panels;
}

const uirfile::Panel* findPanel(const std::vector<uirfile::Panel>& panels, int number)
{
    for (const uirfile::Panel& p : panels) {
        if (p.number == number) return &p;
    }
    return nullptr;
}

// The controls of the panel itself (page < 0) or of one of its tab pages.
const std::vector<uirfile::Control>* controlsOf(const uirfile::Panel* panel, int page)
{
    if (panel == nullptr) return nullptr;
    if (page < 0) return &panel->controls;
    for (const uirfile::Control& c : panel->controls) {
        if (c.kind == uirfile::Kind::Tab && page < static_cast<int>(c.pages.size()))
            return &c.pages[page].controls;
    }
    return nullptr;
}

// The caption of control `id` and the unit: a visible text two grid columns
// to its right (caption, widget, unit) in the same box and row.
RegisterName nameOfControl(const std::vector<uirfile::Control>* controls, int id)
{
    RegisterName name;
    if (controls == nullptr) return name;
    const uirfile::Control* found = nullptr;
    for (const uirfile::Control& c : *controls) {
        if (c.id == id) found = &c;
    }
    if (found == nullptr) return name;
    name.caption = found->caption;
    if (found->at.row < 0) return name;
    for (const uirfile::Control& c : *controls) {
        if (c.kind == uirfile::Kind::Text && c.visible && c.box == found->box && c.at.row == found->at.row &&
            c.at.col == found->at.col + 2) {
            name.unit = c.caption;
        }
    }
    return name;
}

std::map<int, RegisterName> buildNames()
{
    std::map<int, RegisterName> names;
    const std::vector<uirfile::Panel> mainFile = readPanels("mainwin.uir");
    const std::vector<uirfile::Panel> debugFile = readPanels("debug.uir");
    const uirfile::Panel* mainPanel = findPanel(mainFile, uir::PANEL_MAIN);
    const uirfile::Panel* setPanel = findPanel(mainFile, uir::PANEL_SET);
    const uirfile::Panel* debugPanel = findPanel(debugFile, uir::PANEL_DEBG);

    // Status items; a control that shows several words gets them numbered.
    std::map<int, int> shared;
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) ++shared[queryItemID[i]];
    std::map<int, int> seen;
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        RegisterName n = nameOfControl(controlsOf(mainPanel, -1), queryItemID[i]);
        if (shared[queryItemID[i]] > 1 && !n.caption.empty()) {
            n.caption += " " + std::to_string(++seen[queryItemID[i]]);
        }
        names[kStatusTable.first_register + i] = n;
    }
    for (int tab = 0; tab < 6; ++tab) {
        const ItemTable& t = kPageTables[tab];
        for (int i = 0; i < t.count; ++i) {
            int control = 0;
            int debugPage = -1;
            int debugControl = 0;
            if (!PageItemControls(tab, i, &control, &debugPage, &debugControl)) continue;
            RegisterName n;
            if (control != 0) n = nameOfControl(controlsOf(setPanel, tab), control);
            if (n.caption.empty() && debugPage >= 0) {
                n = nameOfControl(controlsOf(debugPanel, debugPage), debugControl);
            }
            names[t.first_register + i] = n;
        }
    }
    names[PASSWORD_REGISTER] = RegisterName{"Password", ""};
    return names;
}

// How each status item is shown; built with the names.
std::vector<StatusShown> buildStatusShown(const std::map<int, RegisterName>& names)
{
    std::vector<StatusShown> shown(DATAITEMOR_COUNT);
    const std::vector<uirfile::Panel> mainFile = readPanels("mainwin.uir");
    const std::vector<uirfile::Control>* controls = controlsOf(findPanel(mainFile, uir::PANEL_MAIN), -1);
    std::map<int, int> sharing;  // a table that shows several words splits its rows between them
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) ++sharing[queryItemID[i]];
    std::map<int, int> seen;
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        StatusShown& s = shown[static_cast<std::size_t>(i)];
        const auto it = names.find(kStatusTable.first_register + i);
        if (it != names.end()) {
            s.caption = it->second.caption;
            s.unit = it->second.unit;
        }
        const int ordinal = seen[queryItemID[i]]++;
        if (controls == nullptr) continue;
        for (const uirfile::Control& c : *controls) {
            if (c.id != queryItemID[i]) continue;
            s.decimals = c.prec;
            if (c.kind == uirfile::Kind::Ring) {
                s.as = StatusShown::As::Ring;
                for (const uirfile::RingItem& item : c.items)
                    s.ringItems.emplace_back(item.value, item.caption);
            } else if (c.kind == uirfile::Kind::Table) {
                s.as = StatusShown::As::Bits;
                const int rows = c.rows / sharing[queryItemID[i]];
                for (int r = 0; r < rows; ++r) {
                    const std::size_t cell =
                        static_cast<std::size_t>(ordinal) * static_cast<std::size_t>(rows) +
                        static_cast<std::size_t>(r);
                    s.bitNames.push_back(cell < c.cells.size() ? c.cells[cell] : std::string());
                }
            }
        }
    }
    return shown;
}

const std::map<int, RegisterName>& names()
{
    static std::once_flag once;
    static std::map<int, RegisterName> table;
    std::call_once(once, [] { table = buildNames(); });
    return table;
}

const std::vector<StatusShown>& statusShown()
{
    static std::once_flag once;
    static std::vector<StatusShown> table;
    std::call_once(once, [] { table = buildStatusShown(names()); });
    return table;
}

}  // namespace

RegisterName NameOfRegister(int address)
{
    const auto& table = names();
    const auto it = table.find(address);
    return it == table.end() ? RegisterName{} : it->second;
}

std::string CaptionOfRegister(int address)
{
    const RegisterName n = NameOfRegister(address);
    return n.caption.empty() ? "reg " + std::to_string(address) : n.caption;
}

const StatusShown& StatusShownOf(int index)
{
    static const StatusShown kNone;
    if (index < 0 || index >= DATAITEMOR_COUNT) return kNone;
    return statusShown()[static_cast<std::size_t>(index)];
}

std::string StatusColumnTitle(int index)
{
    const int address = kStatusTable.first_register + index;
    const RegisterName n = NameOfRegister(address);
    std::string title = n.caption.empty() ? CaptionOfRegister(address) : n.caption;
    if (!n.unit.empty()) title += " (" + n.unit + ")";
    return title;
}

double StatusPhysical(int index, int raw)
{
    if (index < 0 || index >= DATAITEMOR_COUNT) return raw;
    const DataItem& item = kStatusTable.items[index];
    const int den = item.scale_den.load();
    return den != 0 ? static_cast<double>(raw) * item.scale_num.load() / den : raw;
}

std::string StatusValueText(int index, int raw)
{
    const StatusShown& s = StatusShownOf(index);
    char text[48];
    switch (s.as) {
        case StatusShown::As::Ring:
            for (const auto& [value, caption] : s.ringItems) {
                if (value == raw) return caption;
            }
            return std::to_string(raw);
        case StatusShown::As::Bits: {
            const unsigned word = static_cast<unsigned>(raw) & 0xFFFFu;
            std::snprintf(text, sizeof text, "0x%04X", word);
            std::string names;
            for (std::size_t b = 0; b < s.bitNames.size() && b < 16; ++b) {
                if (((word >> b) & 1u) == 0 || s.bitNames[b].empty()) continue;
                names += (names.empty() ? "" : ", ") + s.bitNames[b];
            }
            return names.empty() ? text : std::string(text) + " (" + names + ")";
        }
        case StatusShown::As::Reading:
            break;
    }
    const int decimals = s.decimals < 0 ? 0 : s.decimals > 15 ? 15 : s.decimals;
    std::snprintf(text, sizeof text, "%.*f", decimals, StatusPhysical(index, raw));
    std::string shown = text;
    // A small negative value rounds to "-0.00": shown as the panel's 0.00.
    if (shown[0] == '-' && shown.find_first_not_of("-0.") == std::string::npos) shown.erase(0, 1);
    return shown;
}

std::string FaultCaption(int bit)
{
    if (bit >= 0 && bit < kFaultBitCount) {
        const StatusShown& s = StatusShownOf(kFaultWordItem + bit / 16);
        const std::size_t row = static_cast<std::size_t>(bit % 16);
        if (row < s.bitNames.size() && !s.bitNames[row].empty()) return s.bitNames[row];
    }
    return "bit " + std::to_string(bit % 16) + " of " +
           std::to_string(kStatusTable.first_register + kFaultWordItem + bit / 16);
}
