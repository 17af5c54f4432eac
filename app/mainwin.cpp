#include "app/mainwin.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/callbacks.h"
#include "app/console_extras.h"
#include "app/fault_window.h"
#include "app/language.h"
#include "app/line_settings.h"
#include "app/monitor_window.h"
#include "app/parameter_sets_window.h"
#include "app/replay_window.h"
#include "app/report_window.h"
#include "app/shell_menus.h"
#include "app/version.h"
#include "app/write_status.h"
#include "engine/ems.h"
#include "engine/line_capture.h"
#include "engine/line_wiring.h"
#include "engine/link_status.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "pages/line_presenter.h"
#include "pages/link_status_view.h"
#include "pages/param_info.h"
#include "pages/refresh.h"
#include "pages/sample5.h"
#include "pages/window_notices.h"
#include "pages/write_guard.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "platform/port/serial.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "serial/line_machine.h"
#include "serial/port_binding.h"
#include "serial/port_opener.h"
#include "serial/port_watch.h"
#include "serial/rs232.h"

namespace {

constexpr int kRefreshPassMs = 200;
constexpr int kShutdownPollMs = 10;
constexpr int kLedOnColor = 0x00FF00;
constexpr int kLedOffColor = 0xA0A0A0;
// Why the writes still waiting at the end are not sent.
constexpr const char* kQuitReason = "the console quit";

// A register the panel resources do not describe is told once, on standard
// error and in a message over the main panel; the console runs on.
void ReportCatalogueError()
{
    const std::string error = Catalogue().error();
    if (error.empty()) return;
    std::fprintf(stderr, "drive-console: %s\n", error.c_str());
    const std::string text =
        Utf8ToGbkLenient("The panel resources do not describe every register:\n" + error);
    QTimer::singleShot(0, [text] {
        MessagePopup(Gbk(QCoreApplication::translate("MainWindow", "Error")).c_str(), text.c_str());
    });
}

// What quitting writes, written before a fatal port error ends the process:
// the writes still pending end (and are journaled), and both journals are
// written out.
void writeRecordsBeforeFatalExit()
{
    AbandonWrites(kQuitReason);
    DrainWriteReporting();
    // The fault history lives on the UI thread; the port panel, which meets
    // the fatal errors, runs there too.
    const QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() == app->thread()) DrainFaultHistory();
}

void waitForThread(std::atomic<int>& handle, std::atomic<int>& ended)
{
    const int h = handle.load();
    if (h == 0) return;  // never started: nobody will set its ended flag
    while (ended.load() == 0) Sleep(kShutdownPollMs);
    JoinThread(h);
}

}  // namespace

int RefreshUIThread(void*)
{
    LinkStatusPanel linkStatus;  // drawn afresh by every start of the thread
    while (RefreshUIThreadStop.load() == 0) {
        refreshAll();
        const LinkStatusView view = CurrentLinkStatus();
        linkStatus.draw(view.text, view.dimmed);
        MarkUnsentEntries();
        Sleep(kRefreshPassMs);
    }
    RefreshUIThreadStatue = 1;
    return 0;
}

void InitThread()
{
    if (RefreshUIThreadHandle.load() == 0) RefreshUIThreadHandle = CreateThread(RefreshUIThread);
    if (RS232COMThreadHandle.load() == 0) RS232COMThreadHandle = CreateThread(RS232COMThread);
}

bool LoadConsolePanels()
{
    RegisterAllCallbacks();
    panelMain = LoadPanel(0, "mainwin.uir", uir::PANEL_MAIN);
    if (panelMain.load() < 0) return false;
    ShowVersionInTitle(panelMain.load());
    child = LoadPanel(panelMain.load(), "sample5.uir", uir::PANEL_COM);
    panel_set = LoadPanel(panelMain.load(), "mainwin.uir", uir::PANEL_SET);
    for (int i = 0; i < 6; ++i) {
        int page = -1;
        GetPanelHandleFromTabPage(panel_set.load(), uir::panel_set::TAB, i, &page);
        panel_set_tab[i] = page;
    }
    panel_debug = LoadPanel(panelMain.load(), "debug.uir", uir::PANEL_DEBG);
    for (int i = 0; i < 2; ++i) {
        int page = -1;
        GetPanelHandleFromTabPage(panel_debug.load(), uir::panel_debg::TAB, i, &page);
        panel_debug_tab[i] = page;
    }
    return true;
}

void ShutdownConsole()
{
    ThePortOpener().join();  // a connection under way ends within its bound
    waitForThread(RS232COMThreadHandle, RS232COMThreadStatue);
    waitForThread(RefreshUIThreadHandle, RefreshUIThreadStatue);
    StopPortWatch();
    DestroyMonitor();  // after the communication thread: a recording gets every reply
    PumpFaultHistory();
    DestroyServiceReports();
    DestroyFaultWindow();  // likewise for the fault journal
    if (comConfigure_success_flag.load() == 1) CloseCom(active_comselect.load());
    DiscardPanel(child.load());
    DiscardPanel(panel_set.load());
    DiscardPanel(panelMain.load());
}

int WinMain(int& argc, char** argv, const ConsoleOptions& options)
{
    // The state is as the start-up reset left it (main), with the COM table
    // filled from the options.
    if (!qtui::InitUserInterface(argc, argv)) return -1;
    ConsoleLanguage language;
    UseStartLanguage(language, options.language);
    if (!LoadConsolePanels()) {
        qtui::ShutdownUserInterface();
        return -1;
    }
    fillDataItems();
    ReportCatalogueError();
    // The boxes of the line and the port are shown over the panels.
    WindowNotices notices;
    const NoticesInstalled noticesShown(notices);
    // The LEDs, the title naming the port and the device line follow the line.
    LinePresenter presenter;
    const LineViewInstalled lineShown(presenter);
    const LineWiring wiring(TheLine());
    // The last minutes of the line are kept for as long as the console runs,
    // from before the port first opens to after it closes.
    LineCaptureOptions captureOptions;
    captureOptions.application = std::string("drive-console ") + ConsoleVersion();
    LineCapture capture(TheLine(), captureOptions);
    SetParameterToolTips();
    StartWriteReporting();
    StartWriteGuard();
    SetBackupOffer(OfferBackupBeforeRestore);
    CreateMonitor(&capture);
    CreateFaultWindow();
    CreateServiceReports(&capture);
    // A capture to a file has what came before the error.
    const FatalErrorHook fatalError([&capture] {
        writeRecordsBeforeFatalExit();
        capture.stop();
    });
    // A file that cannot be written is reported, not fatal: the console runs without it.
    const auto startFile = [](const char* title, bool (*start)(const std::string&, std::string*),
                              const std::string& path) {
        std::string error;
        if (path.empty() || start(path, &error)) return;
        std::fprintf(stderr, "drive-console: %s\n", error.c_str());
        QTimer::singleShot(0, [title, error] {
            MessagePopup(Gbk(QCoreApplication::translate("MonitorWindow", title)).c_str(),
                         Gbk(QString::fromStdString(error)).c_str());
        });
    };
    startFile(QT_TRANSLATE_NOOP("MonitorWindow", "Recording"), StartRecording, options.recordFile);
    startFile(QT_TRANSLATE_NOOP("MonitorWindow", "Capture"), StartCapture, options.captureFile);
    // A replay opens its port with the capture's framing: the kept line settings stay as they are.
    if (!WindowReplaying()) LoadLineSettings(child.load(), options.fastLine);
    comConfigure_success_flag = 0;
    active_comselect = 1;
    query_enable_flag = 1;
    RS232COMThreadHandle = 0;
    RefreshUIThreadHandle = 0;
    InitThread();
    for (int led : {uir::panel_main::LED_TRANSMIT, uir::panel_main::LED_RECIEVE}) {
        SetCtrlAttribute(panelMain.load(), led, ATTR_ON_COLOR, kLedOnColor);
        SetCtrlAttribute(panelMain.load(), led, ATTR_OFF_COLOR, kLedOffColor);
    }
    for (const std::string& problem : LoadPortChoices()) {
        // Reported, not fatal: the port keeps its default device.
        std::fprintf(stderr, "drive-console: %s\n", problem.c_str());
        QTimer::singleShot(0, [problem] { MessagePopup("Error", problem.c_str()); });
    }
    if (options.reconnect) SetReconnectEnabled(true);  // for this run; the stored choice stays
    ShowPortChoices();
    StartPortWatch();
    InstallFileMenu();
    InstallLanguageMenu(qtui::PanelWidget(panelMain.load()), language);
    DisplayPanel(panelMain.load());
    if (options.simulate) OpenSimulatedPort();
    if (WindowReplaying()) OpenReplayPort();
    if (options.showMonitor) monitor(0, 0, nullptr, 0);
    if (!options.screenshotDir.empty()) {
        ScheduleScreenshots(options);
    }
    const int exitCode = RunUserInterface();
    ShutdownConsole();
    StopWindowReplay();  // after the communication thread, with the bar's widgets still there
    capture.lineEnded(kQuitReason);
    capture.stop();
    const std::string captureError = capture.takeError();
    if (!captureError.empty()) std::fprintf(stderr, "drive-console: %s\n", captureError.c_str());
    // Writes still waiting for a port that never came back end, and are journaled.
    AbandonWrites(kQuitReason);
    SetBackupOffer({});
    StopWriteGuard();
    StopWriteReporting();
    qtui::ShutdownUserInterface();
    return exitCode > 0 ? exitCode : 0;
}
