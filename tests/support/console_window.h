// The console's window (offscreen) for the widget tests, and the window
// against the simulated controller on COM4 with the console's clock stepped:
// each pass of the line comes as soon as the simulator has answered the one
// before, while the window's own work runs on real time. Header only: the
// programs without widgets link the support code without Qt's widgets.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/mainwin.h"
#include "model/app_state.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "tests/support/sim_line.h"

namespace testsupport {

// The command line the window starts with: the program's name alone. It
// lives as long as the application object that keeps it.
struct WindowArguments {
    static int& argc()
    {
        static int count = 1;
        return count;
    }
    static char** argv()
    {
        static char name[] = "drive-console-test";
        static char* args[] = {name, nullptr};
        return args;
    }
};

// Runs the UI thread's events until `done` holds or `ms` of real time pass.
inline bool RunUntil(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

// The control `name` of `panel`; null when either is not there.
template <typename T = QWidget>
T* FindControl(int panel, const char* name)
{
    QWidget* w = qtui::PanelWidget(panel);
    return w != nullptr ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// A fixture with the simulated controller on COM4, the stepped clock and the
// user interface up; message boxes are noted in popups_ ("title/message").
class SimulatedWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(controller_.started()) << controller_.error();
        ASSERT_TRUE(qtui::InitUserInterface(WindowArguments::argc(), WindowArguments::argv()));
        SetPopupHandler(
            [this](const std::string& t, const std::string& m) { popups_.push_back(t + "/" + m); });
    }
    void TearDown() override { SetPopupHandler({}); }

    // Runs the console: presses "Configure", runs `script` on the UI thread
    // once `ready` holds (within 15 s), then quits.
    void runConsole(const std::function<bool()>& ready, const std::function<void()>& script)
    {
        QTimer::singleShot(0, [&] {
            FindControl<QPushButton>(child.load(), "CONFIGURE")->click();
            const bool polling = RunUntil(ready, 15000);
            EXPECT_TRUE(polling);
            if (polling) script();
            FindControl<QPushButton>(panelMain.load(), "QUITBUTTON")->click();
        });
        ConsoleOptions options;
        EXPECT_EQ(WinMain(WindowArguments::argc(), WindowArguments::argv(), options), 0);
    }

    SimulatedController controller_{LineClock::Stepped};
    sim::Simulator& sim_ = controller_.sim();
    std::vector<std::string> popups_;
};

}  // namespace testsupport
