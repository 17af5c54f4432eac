#include "model/panel_texts.h"

#include <QCoreApplication>
#include <QString>
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

// The text as the resource writes it, or nullptr; *page (may be null) is the
// tab page that holds it, "" for the panel's own texts.
const std::string* find(const uirfile::Panel& p, const std::string& constant, std::string* page = nullptr)
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
        for (const uirfile::Page& pg : tab.pages) {
            if (page != nullptr) *page = pg.constant;
            if (pg.constant == constant) return &pg.caption;
            if (const uirfile::Box* b = boxNamed(pg.boxes, constant)) return &b->title;
            if (const uirfile::Control* c = controlNamed(pg.controls, constant)) return &c->caption;
        }
    }
    return nullptr;
}

}  // namespace

namespace {

// The panel `panel` of resource `file`, read once; nullptr when there is none.
const uirfile::Panel* panelOf(const std::string& file, int panel)
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
        if (p.number == panel) return &p;  // the files are kept until ResetPanelTexts
    }
    return nullptr;
}

}  // namespace

std::string PanelText(const std::string& file, int panel, const std::string& constant)
{
    const uirfile::Panel* p = panelOf(file, panel);
    const std::string* text = p != nullptr ? find(*p, constant) : nullptr;
    return text != nullptr ? uirfile::SplitAccelerator(*text).text : constant;
}

std::string ShownPanelText(const std::string& file, int panel, const std::string& constant)
{
    const uirfile::Panel* p = panelOf(file, panel);
    std::string page;
    const std::string* text = p != nullptr ? find(*p, constant, &page) : nullptr;
    if (text == nullptr) return constant;
    // Looked up as the panels look their texts up (translations/README.md).
    const std::string context = "uir/" + p->constant + (page.empty() ? "" : "/" + page);
    const QString shown = QCoreApplication::translate(context.c_str(), text->c_str(), constant.c_str());
    return uirfile::SplitAccelerator(shown.toStdString()).text;
}

void ResetPanelTexts()
{
    PanelFiles& f = panelFiles();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.files.clear();
}
