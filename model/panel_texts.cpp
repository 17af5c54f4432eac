#include "model/panel_texts.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/ui/uir.h"

namespace {

// The files read so far; see ResetPanelTexts.
struct PanelFiles {
    std::mutex mutex;
    std::map<std::string, std::vector<uirfile::Panel>> files;
};

PanelFiles& panelFiles()
{
    static PanelFiles f;
    return f;
}

const uirfile::Control* controlNamed(const std::vector<uirfile::Control>& controls,
                                     const std::string& constant)
{
    for (const uirfile::Control& c : controls) {
        if (c.constant == constant) return &c;
    }
    return nullptr;
}

const uirfile::Box* boxNamed(const std::vector<uirfile::Box>& boxes, const std::string& name)
{
    for (const uirfile::Box& b : boxes) {
        if (b.name == name) return &b;
    }
    return nullptr;
}

// The text as the resource writes it, or nullptr.
const std::string* find(const uirfile::Panel& p, const std::string& constant)
{
    if (p.constant == constant) return &p.title;
    for (const uirfile::MenuEntry& m : p.menus) {
        if (m.constant == constant) return &m.caption;
        for (const uirfile::MenuItem& item : m.items) {
            if (item.constant == constant) return &item.caption;
        }
    }
    if (const uirfile::Box* b = boxNamed(p.boxes, constant)) return &b->title;
    if (const uirfile::Control* c = controlNamed(p.controls, constant)) return &c->caption;
    for (const uirfile::Control& tab : p.controls) {
        for (const uirfile::Page& page : tab.pages) {
            if (page.constant == constant) return &page.caption;
            if (const uirfile::Box* b = boxNamed(page.boxes, constant)) return &b->title;
            if (const uirfile::Control* c = controlNamed(page.controls, constant)) return &c->caption;
        }
    }
    return nullptr;
}

}  // namespace

std::string PanelText(const std::string& file, int panel, const std::string& constant)
{
    PanelFiles& f = panelFiles();
    std::lock_guard<std::mutex> lock(f.mutex);
    auto it = f.files.find(file);
    if (it == f.files.end()) {
        std::vector<uirfile::Panel> panels;
        uirfile::DescribeResource(file, &panels, nullptr);  // an unreadable file has no panels
        it = f.files.emplace(file, std::move(panels)).first;
    }
    for (const uirfile::Panel& p : it->second) {
        if (p.number != panel) continue;
        if (const std::string* text = find(p, constant)) return uirfile::SplitAccelerator(*text).text;
    }
    return constant;
}

void ResetPanelTexts()
{
    PanelFiles& f = panelFiles();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.files.clear();
}
