// Any bytes as a panel resource, as a damaged installation may hold them.
//
// Each input is loaded as panel 1 and as panel 2 (the numbers the installed
// files use) as the panels are built, and described whole from a file in the
// resource folder, as the register catalogue reads the panels. Checks: the
// panel loads, with the number asked for (and, when built, its callbacks
// resolved), or it is rejected with "file:line: reason", the line one of the
// file's. The
// callbacks the installed resources name are registered, so that a file like
// them loads whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/os/gbk.h"
#include "platform/ui/ui.h"
#include "platform/ui/uir.h"

namespace {

const char* const kFileName = "fuzz.uir";
const char* const kInstalled[] = {"mainwin.uir", "debug.uir", "sample5.uir"};

void require(bool holds, const char* what, const std::string& detail = "")
{
    if (holds) return;
    std::fprintf(stderr, "uir_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

int ignoreControl(int, int, int, void*, int, int)
{
    return 0;
}
void ignoreMenu(int, int, void*, int) {}

void collectCallbacks(const std::vector<uirfile::Control>& controls, std::set<std::string>* names)
{
    for (const uirfile::Control& c : controls) {
        if (!c.callbackName.empty()) names->insert(c.callbackName);
        for (const uirfile::Page& p : c.pages) collectCallbacks(p.controls, names);
    }
}

// The names stay for the whole run: the registry keeps pointers to them.
std::set<std::string>& callbackNames()
{
    static std::set<std::string> names;
    return names;
}

void registerInstalledCallbacks()
{
    std::set<std::string>& names = callbackNames();
    for (const char* file : kInstalled) {
        std::ifstream in(std::string(DSC_SOURCE_DIR "/app/uir/") + file, std::ios::binary);
        const std::string gbk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string utf8;
        std::size_t bad = 0;
        std::vector<uirfile::Panel> panels;
        std::string error;
        require(GbkToUtf8(gbk, &utf8, &bad) && uirfile::ParseText(utf8, file, &panels, &error),
                "an installed resource does not parse:", file + (": " + error));
        for (const uirfile::Panel& p : panels) {
            collectCallbacks(p.controls, &names);
            for (const uirfile::MenuEntry& m : p.menus) {
                if (!m.callbackName.empty()) names.insert(m.callbackName);
                for (const uirfile::MenuItem& item : m.items) {
                    if (!item.callbackName.empty()) names.insert(item.callbackName);
                }
            }
        }
    }
    std::vector<CallbackEntry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names)
        entries.push_back({name.c_str(), ignoreControl, ignoreMenu, nullptr});
    RegisterCallbacks(entries.data(), static_cast<int>(entries.size()));
}

// "fuzz.uir:N: reason" with N in 1..lines.
bool namesFileAndLine(const std::string& error, int lines)
{
    const std::string prefix = std::string(kFileName) + ":";
    if (error.compare(0, prefix.size(), prefix) != 0) return false;
    std::size_t at = prefix.size();
    long line = 0;
    const std::size_t digits = at;
    while (at < error.size() && error[at] >= '0' && error[at] <= '9' && line <= lines) {
        line = line * 10 + (error[at++] - '0');
    }
    if (at == digits || line < 1 || line > lines) return false;
    return error.compare(at, 2, ": ") == 0 && error.size() > at + 2;
}

// The resource folder of this run; the harness's own.
std::string& folder()
{
    static std::string path;
    return path;
}

void load(const std::string& gbk, int number, int lines)
{
    uirfile::Panel panel;
    std::string error;
    if (!uirfile::ParsePanel(gbk, kFileName, number, &panel, &error)) {
        require(namesFileAndLine(error, lines), "a rejection without file and line:", error);
        return;
    }
    require(panel.number == number, "loaded another panel than asked for");
    for (const uirfile::Control& c : panel.controls) {
        require(c.callbackName.empty() || c.callback != nullptr, "a control callback left unresolved");
    }
}

void describe(int lines)
{
    std::vector<uirfile::Panel> panels;
    std::string error;
    if (!uirfile::DescribeResource(kFileName, &panels, &error)) {
        require(namesFileAndLine(error, lines), "a description refused without file and line:", error);
        require(panels.empty(), "a refused description left panels behind");
        return;
    }
    require(error.empty(), "a description with an error:", error);
    for (const uirfile::Panel& p : panels) {
        require(p.line >= 1 && p.line <= lines, "a panel placed outside the file");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    registerInstalledCallbacks();
    char path[] = "/tmp/uir_fuzz.XXXXXX";
    require(mkdtemp(path) != nullptr, "no temporary folder");
    folder() = path;
    setenv("DSC_UIR_DIR", path, 1);
    std::atexit([] { std::filesystem::remove_all(folder()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string gbk(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : gbk) lines += c == '\n' ? 1 : 0;
    load(gbk, 1, lines);
    load(gbk, 2, lines);
    {
        std::ofstream out(folder() + "/" + kFileName, std::ios::binary | std::ios::trunc);
        out.write(gbk.data(), static_cast<std::streamsize>(gbk.size()));
        require(static_cast<bool>(out), "the resource file could not be written");
    }
    describe(lines);
    return 0;
}
