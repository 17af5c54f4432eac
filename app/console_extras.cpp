#include "app/console_extras.h"

#include <QDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <memory>

#include "app/help_windows.h"
#include "app/panel_pictures.h"
#include "app/parameter_sets_window.h"
#include "app/replay_window.h"
#include "app/shell_menus.h"
#include "model/app_state.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "pages/write_guard.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/port_binding.h"
#include "tools/sim/simulator.h"

namespace {

constexpr int kSimulatedPort = 4;  // the port panel's default selection

std::unique_ptr<sim::Simulator>& simulator()
{
    static std::unique_ptr<sim::Simulator> s;
    return s;
}

constexpr int kPicturesFailed = 1;  // the exit code when a picture could not be rendered

// The questions, the About box and the parameter reference, as the operator
// would see them now. False when one could not be rendered.
bool saveDialogPictures(const std::string& dir)
{
    struct Question {
        const char* file;
        GuardAsk which;
    };
    const Question questions[] = {
        {"ask-motor-test.png", GuardAsk::ArmTest},
        {"ask-factory-restore.png", GuardAsk::FactoryRestore},
        {"ask-hall-mask.png", GuardAsk::HallMask},
        {"ask-stop-motor-test.png", GuardAsk::LeaveTest},
    };
    bool ok = true;
    for (const Question& q : questions) {
        const GuardQuestion g = QuestionFor(q.which);
        ok = qtui::SaveConfirmPng(g.title, g.text, g.buttons, g.defaultAnswer, dir + "/" + q.file) && ok;
    }
    ok = qtui::SaveMessagePng("About", AboutText(), dir + "/about.png") && ok;
    ok = SaveParameterReferencePng(dir + "/reference.png", "") && ok;
    ok = SaveParameterReferencePng(dir + "/reference-search.png", "current") && ok;
    if (!ok) std::fprintf(stderr, "could not render every dialog into %s\n", dir.c_str());
    return ok;
}

// Every panel, page and window, the dialogs, the device chooser and a
// comparison; false when one could not be rendered (each is named on
// standard error).
bool savePictures(const std::string& dir)
{
    bool ok = QDir().mkpath(QString::fromStdString(dir));
    if (!ok) std::fprintf(stderr, "could not create %s\n", dir.c_str());
    ok = SavePanelPictures(dir) && ok;
    ok = saveDialogPictures(dir) && ok;
    // The device chooser, with the devices of this machine.
    const std::vector<std::string> rows = DeviceChoiceRows(ListSerialPorts(), RecentNetworkDevices());
    const std::string chooser = dir + "/com-devices.png";
    if (!qtui::SaveSelectionPopupPng(DeviceChooserTitle(4), DeviceChooserColumns(), rows, chooser)) {
        std::fprintf(stderr, "could not render %s\n", chooser.c_str());
        ok = false;
    }
    const std::string comparePath = dir + "/compare.png";
    if (!SaveComparisonPicture(comparePath)) {
        std::fprintf(stderr, "could not render %s\n", comparePath.c_str());
        ok = false;
    }
    if (WindowReplaying()) {
        const std::string replayPath = dir + "/replay.png";
        if (!SaveReplayBarPng(replayPath)) {
            std::fprintf(stderr, "could not render %s\n", replayPath.c_str());
            ok = false;
        }
    }
    return ok;
}

}  // namespace

bool StartBuiltInSimulator(std::string* error)
{
    auto s = std::make_unique<sim::Simulator>();
    const std::string path = s->start();
    if (path.empty()) {
        *error = s->error();
        return false;
    }
    SetComDevice(kSimulatedPort, path);
    simulator() = std::move(s);
    return true;
}

void StopBuiltInSimulator()
{
    if (simulator()) simulator()->stop();
    simulator().reset();
}

void OpenSimulatedPort()
{
    QTimer::singleShot(0, [] {
        SetCtrlVal(child.load(), uir::panel_com::COMSELECT, kSimulatedPort);
        RefreshDeviceInfo();
        Configure(child.load(), uir::panel_com::CONFIGURE, EVENT_COMMIT, nullptr, 0, 0);
    });
}

void ScheduleScreenshots(const ConsoleOptions& options)
{
    const std::string dir = options.screenshotDir;
    int delayMs = 0;
    if (std::isfinite(options.screenshotDelay) && options.screenshotDelay > 0) {
        delayMs = static_cast<int>(std::min(options.screenshotDelay, 86400.0) * 1000);
    }
    // A replay is pictured as it stands at the end of the capture.
    if (WindowReplaying()) {
        auto* wait = new QTimer;
        QObject::connect(wait, &QTimer::timeout, [wait, dir] {
            if (!WindowReplayEnded()) return;
            wait->deleteLater();
            QuitConsoleWith(savePictures(dir) ? 0 : kPicturesFailed);
        });
        wait->start(100);
        return;
    }
    // With --simulate the port is opened at start already.
    if (delayMs > 0 && !options.simulate) {
        QTimer::singleShot(
            0, [] { Configure(child.load(), uir::panel_com::CONFIGURE, EVENT_COMMIT, nullptr, 0, 0); });
    }
    QTimer::singleShot(delayMs, [dir] { QuitConsoleWith(savePictures(dir) ? 0 : kPicturesFailed); });
}
