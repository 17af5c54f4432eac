#include "engine/item_names.h"

#include <QFile>
#include <QString>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "engine/ems.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/gbk.h"
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
    if (!GbkToUtf8(bytes.toStdString(), &utf8, &bad)) return panels;
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

const std::map<int, RegisterName>& names()
{
    static std::once_flag once;
    static std::map<int, RegisterName> table;
    std::call_once(once, [] { table = buildNames(); });
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
