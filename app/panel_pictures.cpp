#include "app/panel_pictures.h"

#include <QWidget>
#include <atomic>
#include <cstdio>
#include <fstream>

#include "app/fault_window.h"
#include "app/glyph_check.h"
#include "app/monitor_window.h"
#include "model/app_state.h"
#include "platform/ui/qt/qt_ui.h"

namespace {

struct Picture {
    const char* file;
    std::atomic<int>* handle;
};

}  // namespace

bool SavePanelPictures(const std::string& dir)
{
    const Picture pictures[] = {
        {"main.png", &panelMain},
        {"com.png", &child},
        {"set.png", &panel_set},
        {"set-1-basic.png", &panel_set_tab[0]},
        {"set-2-temp.png", &panel_set_tab[1]},
        {"set-3-func.png", &panel_set_tab[2]},
        {"set-4-throttle.png", &panel_set_tab[3]},
        {"set-5-motor.png", &panel_set_tab[4]},
        {"set-6-debug.png", &panel_set_tab[5]},
        {"debug.png", &panel_debug},
        {"debug-1-settings.png", &panel_debug_tab[0]},
        {"debug-2-test.png", &panel_debug_tab[1]},
    };
    bool ok = true;
    for (const Picture& p : pictures) {
        const std::string path = dir + "/" + p.file;
        if (!qtui::SavePanelPng(p.handle->load(), path)) {
            std::fprintf(stderr, "could not render %s\n", path.c_str());
            ok = false;
        }
    }
    // The two windows are shown to be drawn; one that was hidden is hidden again.
    const struct {
        const char* file;
        bool (*save)(const std::string&);
        QWidget* (*widget)();
    } windows[] = {{"monitor.png", SaveMonitorPng, MonitorWidget},
                   {"faults.png", SaveFaultsPng, FaultWidget}};
    for (const auto& w : windows) {
        const std::string path = dir + "/" + w.file;
        QWidget* widget = w.widget();
        const bool shown = widget != nullptr && widget->isVisible();
        if (!w.save(path)) {
            std::fprintf(stderr, "could not render %s\n", path.c_str());
            ok = false;
        }
        if (widget != nullptr && !shown) widget->hide();
    }
    // Beside the pictures, the characters they would show as boxes (none, as a rule).
    const std::string glyphs = dir + "/missing-glyphs.txt";
    std::ofstream list(glyphs, std::ios::binary | std::ios::trunc);
    for (const std::string& line : MissingGlyphs()) list << line << '\n';
    list.close();
    if (!list) {
        std::fprintf(stderr, "could not write %s\n", glyphs.c_str());
        ok = false;
    }
    return ok;
}
