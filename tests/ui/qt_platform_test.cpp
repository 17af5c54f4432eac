#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <atomic>
#include <climits>
#include <cmath>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"

namespace {

struct Event {
    int panel, control, event, data1, data2;
    void* callbackData;
};
std::vector<Event> g_events;  // callbacks run on the UI thread only
struct MenuCall {
    int menuBar, item, panel;
    void* data;
};
std::vector<MenuCall> g_menuCalls;
int g_tag = 42;
std::function<void(const Event&)> g_onEvent;

int recordCtrl(int panel, int control, int event, void* data, int d1, int d2)
{
    Event e{panel, control, event, d1, d2, data};
    g_events.push_back(e);
    if (g_onEvent) g_onEvent(e);
    return 0;
}
void recordMenu(int menuBar, int item, void* data, int panel)
{
    g_menuCalls.push_back({menuBar, item, panel, data});
}

// "度" in GBK.
const char* kResource =
    "panel MAIN 1 \"Main  \" close=QUIT size=900,600\n"
    "  menubar MENUBAR\n"
    "  menu MENU_GO \"Go\" cb=t_menu\n"
    "  menu MENU_HELP \"Help\"\n"
    "  ctrl 2 QUIT button \"__QUIT\" cb=t_ctrl\n"
    "  ctrl 3 VALUE numeric \"Value\" prec=1\n"
    "  ctrl 4 READOUT numeric \"Read-out\" mode=indicator prec=2\n"
    "  ctrl 5 MODE ring \"Mode\" init=1\n"
    "    item \"zero\" 0\n"
    "    item \"twenty-three\" 23\n"
    "    item \"five\" 5\n"
    "  ctrl 6 LAMP led \"TX\"\n"
    "  ctrl 7 LIST table \"List\" rows=3 cols=2\n"
    "    cell \"first\"\n"
    "  ctrl 8 TICK timer interval=0.02 cb=t_ctrl\n"
    "  ctrl 9 NOTE text \"\xB6\xC8\"\n"
    "  ctrl 10 SW switch \"Switch\"\n"
    "  ctrl 11 ANGLE numeric \"Angle\" min=0 max=359\n"
    "  ctrl 12 TICK2 timer interval=0.01 cb=t_ctrl\n"
    "panel SET 2 \"Set\"\n"
    "  ctrl 2 TAB tab cb=t_ctrl\n"
    "  page PAGE_A \"A\"\n"
    "    ctrl 2 OK button \"__OK\" cb=t_ctrl\n"
    "  page PAGE_B \"B\"\n"
    "    ctrl 2 NUM numeric \"n\"\n";

enum { QUIT = 2, VALUE, READOUT, MODE, LAMP, LIST, TICK, NOTE, SW, ANGLE, TICK2 };

class QtPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::once_flag once;
        std::call_once(once, [] {
            static const CallbackEntry entries[] = {
                {"t_ctrl", recordCtrl, nullptr, &g_tag},
                {"t_menu", nullptr, recordMenu, &g_tag},
            };
            RegisterCallbacks(entries, 2);
        });
        dir_ = ::testing::TempDir() + "/dsc-qt-" + std::to_string(getpid());
        QDir().mkpath(QString::fromStdString(dir_));
        std::ofstream(dir_ + "/t.uir", std::ios::binary) << kResource;
        setenv("DSC_UIR_DIR", dir_.c_str(), 1);
        static int argc = 1;
        static char name[] = "qt_platform_test";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(qtui::InitUserInterface(argc, argv));
        g_events.clear();
        g_menuCalls.clear();
        g_onEvent = nullptr;
        main_ = LoadPanel(0, "t.uir", 1);
        ASSERT_GT(main_, 0);
    }

    void TearDown() override
    {
        g_onEvent = nullptr;
        qtui::ShutdownUserInterface();
        unsetenv("DSC_UIR_DIR");
    }

    template <typename T = QWidget>
    T* find(int panel, const char* name)
    {
        QWidget* w = qtui::PanelWidget(panel);
        return w == nullptr ? nullptr : w->findChild<T*>(QString::fromLatin1(name));
    }

    // Runs the UI loop until `done` holds (checked every few ms on the UI
    // thread) or a generous deadline passes. Returns whether `done` held.
    static bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        bool met = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!met && done()) met = true;
            if (met || clock.elapsed() > timeoutMs) QuitUserInterface(0);
        });
        poll.start(5);
        RunUserInterface();
        return met;
    }

    // Starts `worker` once the UI loop runs, so its popup finds the loop running.
    static void startInLoop(std::thread& worker, std::function<void()> body)
    {
        QTimer::singleShot(0, [&worker, body] { worker = std::thread(body); });
    }

    std::string dir_;
    int main_ = 0;
};

TEST_F(QtPlatform, WidgetsCarryConstantsCaptionsAndDecodedTexts)
{
    QWidget* panel = qtui::PanelWidget(main_);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());  // hidden at load
    EXPECT_EQ(panel->objectName(), "MAIN");
    EXPECT_EQ(panel->windowTitle(), "Main  ");

    struct {
        const char* constant;
        const char* name;
    } cases[] = {{"QUIT", "QUIT"}, {"VALUE", "Value"}, {"READOUT", "Read-out"}, {"MODE", "Mode"},
                 {"LAMP", "TX"},   {"LIST", "List"},   {"NOTE", "度"},          {"SW", "Switch"}};
    for (const auto& c : cases) {
        QWidget* w = find(main_, c.constant);
        ASSERT_NE(w, nullptr) << c.constant;
        EXPECT_EQ(w->accessibleName(), QString::fromUtf8(c.name)) << c.constant;
        EXPECT_EQ(w->accessibleDescription(), c.constant);
    }
    EXPECT_EQ(find<QAbstractButton>(main_, "QUIT")->text(), "&QUIT");
    EXPECT_EQ(find<QLabel>(main_, "NOTE")->text(), QString::fromUtf8("度"));
    EXPECT_EQ(find<QTableWidget>(main_, "LIST")->item(0, 0)->text(), "first");

    int set = LoadPanel(main_, "t.uir", 2);
    ASSERT_GT(set, 0);
    int page = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(set, 2, 1, &page), 0);
    QWidget* pageWidget = qtui::PanelWidget(page);
    ASSERT_NE(pageWidget, nullptr);
    EXPECT_EQ(pageWidget->objectName(), "PAGE_B");
    EXPECT_EQ(qtui::PanelWidget(set)->parentWidget(), panel);  // a child window of the main panel

    ASSERT_TRUE(qtui::SavePanelPng(main_, dir_ + "/main.png"));
    EXPECT_EQ(QImage(QString::fromStdString(dir_ + "/main.png")).size(), QSize(900, 600));
    EXPECT_FALSE(panel->isVisible());  // drawn without being shown
    const std::string png = dir_ + "/page.png";
    ASSERT_TRUE(qtui::SavePanelPng(page, png));
    QImage image(QString::fromStdString(png));
    EXPECT_GT(image.width(), 10);
    int active = -1;
    GetActiveTabPage(set, 2, &active);
    EXPECT_EQ(active, 0);  // drawing a page does not change the active page
    EXPECT_TRUE(g_events.empty());
}

TEST_F(QtPlatform, RingsTakeAndGiveItemValues)
{
    auto* combo = find<QComboBox>(main_, "MODE");
    ASSERT_NE(combo, nullptr);
    int v = -1;
    ASSERT_EQ(GetCtrlVal(main_, MODE, &v), 0);
    EXPECT_EQ(v, 23);  // init=1 selects the second item, whose value is 23
    EXPECT_EQ(SetCtrlVal(main_, MODE, 5), 0);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_LT(SetCtrlVal(main_, MODE, 7), 0);  // no item has 7: selection stays
    EXPECT_EQ(combo->currentIndex(), 2);
    GetCtrlVal(main_, MODE, &v);
    EXPECT_EQ(v, 5);
    combo->setCurrentIndex(0);  // as the operator would
    GetCtrlVal(main_, MODE, &v);
    EXPECT_EQ(v, 0);
    double d = -1;
    GetCtrlVal(main_, MODE, &d);
    EXPECT_EQ(d, 0.0);
}

TEST_F(QtPlatform, NumericStoreIsNotRoundedByTheWidget)
{
    auto* spin = find<QDoubleSpinBox>(main_, "VALUE");
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(SetCtrlVal(main_, VALUE, 12.345), 0);
    double d = 0;
    GetCtrlVal(main_, VALUE, &d);
    EXPECT_EQ(d, 12.345);
    EXPECT_EQ(spin->text(), "12.3");
    spin->setValue(4.2);  // operator edit
    GetCtrlVal(main_, VALUE, &d);
    EXPECT_DOUBLE_EQ(d, 4.2);

    SetCtrlVal(main_, READOUT, 3.14159);
    EXPECT_EQ(find<QLineEdit>(main_, "READOUT")->text(), "3.14");

    // Reading a huge value as int saturates instead of overflowing.
    SetCtrlVal(main_, VALUE, 1e12);
    int i = 0;
    GetCtrlVal(main_, VALUE, &i);
    EXPECT_EQ(i, INT_MAX);
    // Declared limits clamp what is written.
    SetCtrlVal(main_, ANGLE, 400.0);
    GetCtrlVal(main_, ANGLE, &d);
    EXPECT_EQ(d, 359.0);
    EXPECT_LT(SetCtrlVal(main_, VALUE, std::nan("")), 0);
}

TEST_F(QtPlatform, WorkerWritesReachTheWidgetsWhileTheLoopRuns)
{
    SetCtrlAttribute(main_, LAMP, ATTR_ON_COLOR, 0x00FF00);
    SetCtrlAttribute(main_, LAMP, ATTR_OFF_COLOR, 0xA0A0A0);
    std::atomic<bool> written{false};
    std::thread worker([&] {
        for (int i = 0; i <= 50; ++i) SetCtrlVal(main_, VALUE, static_cast<double>(i));  // coalesced
        SetCtrlVal(main_, MODE, 5);
        SetCtrlVal(main_, LAMP, 1);
        SetCtrlVal(main_, NOTE, "\xB6\xC8\xB6\xC8");
        SetTableCellVal(main_, LIST, MakePoint(2, 3), "on");
        SetTableCellAttribute(main_, LIST, MakePoint(2, 3), ATTR_TEXT_COLOR, VAL_RED);
        int v = 0;
        GetCtrlVal(main_, MODE, &v);  // the store answers at once
        written = v == 5;
    });
    auto* spin = find<QDoubleSpinBox>(main_, "VALUE");
    auto* combo = find<QComboBox>(main_, "MODE");
    auto* lamp = find<qtui::LedLamp>(main_, "LAMP");
    auto* note = find<QLabel>(main_, "NOTE");
    auto* table = find<QTableWidget>(main_, "LIST");
    bool shown = runUntil([&] {
        return written && spin->value() == 50.0 && combo->currentIndex() == 2 && lamp->isOn() &&
               note->text() == QString::fromUtf8("度度") && table->item(2, 1)->text() == "on";
    });
    worker.join();
    EXPECT_TRUE(written);
    ASSERT_TRUE(shown);
    EXPECT_EQ(lamp->shownColor(), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(table->item(2, 1)->foreground().color(), QColor(0xFF, 0, 0));
    double d = 0;
    GetCtrlVal(main_, VALUE, &d);
    EXPECT_EQ(d, 50.0);
}

TEST_F(QtPlatform, WorkerPopupWaitsForTheOperator)
{
    std::atomic<int> rc{1};
    std::atomic<bool> returned{false};
    std::thread worker;
    startInLoop(worker, [&] {
        rc = MessagePopup("Error", "Port not open! ");
        returned = true;
    });
    QString title, text;
    bool openWhileWaiting = false;
    bool acknowledged = runUntil([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            title = box->windowTitle();
            text = box->text();
            openWhileWaiting = !returned;
            box->accept();
        }
        return !title.isEmpty() && returned;
    });
    worker.join();
    EXPECT_TRUE(acknowledged);
    EXPECT_TRUE(openWhileWaiting);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, "Port not open! ");
    EXPECT_EQ(rc, UIE_NO_ERROR);
}

TEST_F(QtPlatform, PopupReturnsAtOnceWithoutALoop)
{
    std::atomic<int> rc{1};
    std::thread worker([&] { rc = MessagePopup("Error", "no loop"); });
    worker.join();
    EXPECT_EQ(rc, UIE_NO_LOOP);
    EXPECT_EQ(MessagePopup("Error", "no loop either"), UIE_NO_LOOP);
}

TEST_F(QtPlatform, QuitWithAWorkerPopupPendingReleasesTheWorker)
{
    std::atomic<int> rc{1};
    std::thread worker;
    startInLoop(worker, [&] { rc = MessagePopup("Error", "left open"); });
    // Quit as soon as the box is up, without acknowledging it.
    bool boxSeen = runUntil([] { return QApplication::activeModalWidget() != nullptr; });
    worker.join();  // would hang if the worker were not released
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(rc, UIE_NO_LOOP);

    // A popup asked for while the loop is going down is not shown later.
    std::thread late([&] { rc = MessagePopup("Error", "late"); });
    late.join();
    EXPECT_EQ(rc, UIE_NO_LOOP);
}

TEST_F(QtPlatform, TheAddressFormShowsTheEntryAndTakesWhatIsTypedOnlyWithOkAndAHost)
{
    ServerAddressEntry entry;
    entry.host = "bench-pi";
    entry.port = 2000;
    EXPECT_EQ(ServerAddressPopup("Network device", {"RFC 2217", "raw TCP"}, &entry), UIE_NO_LOOP);

    // Each round: the form opens, `fill` answers it, and the popup's answer is kept.
    const auto round = [&](const std::function<void(QDialog*)>& fill) {
        int rc = -100;
        bool answered = false;
        QTimer::singleShot(0, [&] {
            rc = ServerAddressPopup("Network device", {"RFC 2217", "raw TCP"}, &entry);
            answered = true;
        });
        bool filled = false;
        EXPECT_TRUE(runUntil([&] {
            auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!filled && form != nullptr && form->objectName() == "ServerAddressPopup") {
                filled = true;
                fill(form);
            }
            return answered;
        }));
        return rc;
    };
    EXPECT_EQ(round([](QDialog* form) {
                  auto* host = form->findChild<QLineEdit*>("ServerHost");
                  auto* port = form->findChild<QSpinBox*>("ServerPort");
                  auto* kind = form->findChild<QComboBox*>("ServerKind");
                  ASSERT_TRUE(host != nullptr && port != nullptr && kind != nullptr);
                  EXPECT_EQ(host->text(), "bench-pi");
                  EXPECT_EQ(port->value(), 2000);
                  auto* ok = form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                  host->setText("  ");
                  EXPECT_FALSE(ok->isEnabled()) << "no host, no OK";
                  host->setText(" [::1] ");
                  port->setValue(70000);  // held to 65535
                  kind->setCurrentIndex(1);
                  ok->click();
              }),
              1);
    EXPECT_EQ(entry.host, "[::1]");
    EXPECT_EQ(entry.port, 65535);
    EXPECT_EQ(entry.kind, 1);

    EXPECT_EQ(round([](QDialog* form) {
                  form->findChild<QLineEdit*>("ServerHost")->setText("elsewhere");
                  form->reject();
              }),
              0);
    EXPECT_EQ(entry.host, "[::1]") << "a cancelled form changes nothing";
}

TEST_F(QtPlatform, TabChangeEventOnlyOnARealChange)
{
    int set = LoadPanel(main_, "t.uir", 2);
    ASSERT_GT(set, 0);
    auto* tabs = find<QTabWidget>(set, "TAB");
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(1);
    ASSERT_EQ(g_events.size(), 1u);
    const Event& e = g_events[0];
    EXPECT_EQ(e.panel, set);
    EXPECT_EQ(e.control, 2);
    EXPECT_EQ(e.event, EVENT_ACTIVE_TAB_CHANGE);
    EXPECT_EQ(e.data1, 0);
    EXPECT_EQ(e.data2, 1);
    EXPECT_EQ(e.callbackData, &g_tag);

    EXPECT_EQ(SetCtrlVal(set, 2, 0), 0);  // programmatic: no event
    EXPECT_EQ(tabs->currentIndex(), 0);
    int active = -1;
    GetActiveTabPage(set, 2, &active);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(g_events.size(), 1u);

    // A button on a page reports the page's handle.
    int pageA = 0;
    GetPanelHandleFromTabPage(set, 2, 0, &pageA);
    find<QAbstractButton>(pageA, "OK")->click();
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[1].panel, pageA);
    EXPECT_EQ(g_events[1].event, EVENT_COMMIT);
}

TEST_F(QtPlatform, TimerTicksFollowIntervalAndEnabled)
{
    auto* timer = qtui::PanelWidget(main_)->findChild<QTimer*>("TICK");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());  // enabled=0 at load
    EXPECT_EQ(SetCtrlAttribute(main_, TICK, ATTR_INTERVAL, 0.01), 0);
    EXPECT_EQ(timer->interval(), 10);
    EXPECT_EQ(SetCtrlAttribute(main_, TICK, ATTR_ENABLED, 1), 0);
    EXPECT_TRUE(runUntil([] { return g_events.size() >= 3; }));
    for (const Event& e : g_events) {
        EXPECT_EQ(e.panel, main_);
        EXPECT_EQ(e.control, TICK);
        EXPECT_EQ(e.event, EVENT_TIMER_TICK);
    }
    SetCtrlAttribute(main_, TICK, ATTR_ENABLED, 0);
    EXPECT_FALSE(timer->isActive());
    EXPECT_LT(SetCtrlAttribute(main_, TICK, ATTR_INTERVAL, 0.0), 0);
    EXPECT_LT(SetCtrlAttribute(main_, TICK, ATTR_INTERVAL, std::nan("")), 0);
}

TEST_F(QtPlatform, NoCallbacksWhileAPopupIsOpenOnTheUiThread)
{
    // One timer's callback raises a popup; the other timer goes on ticking
    // under it, but its callback must wait until the box is closed.
    auto* other = qtui::PanelWidget(main_)->findChild<QTimer*>("TICK2");
    ASSERT_NE(other, nullptr);
    int otherTicks = 0;
    int callbacksDuringPopup = 0;
    bool inPopup = false;
    bool popupDone = false;
    int popupRc = 1;
    QObject::connect(other, &QTimer::timeout, [&] { ++otherTicks; });
    g_onEvent = [&](const Event& e) {
        if (inPopup) ++callbacksDuringPopup;
        if (e.control != TICK || inPopup || popupDone) return;
        inPopup = true;
        otherTicks = 0;
        popupRc = MessagePopup("Error", "modal");
        inPopup = false;
        popupDone = true;
    };
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && otherTicks >= 5) box->accept();
    });
    closer.start(5);
    SetCtrlAttribute(main_, TICK, ATTR_INTERVAL, 0.01);
    SetCtrlAttribute(main_, TICK, ATTR_ENABLED, 1);
    SetCtrlAttribute(main_, TICK2, ATTR_ENABLED, 1);
    EXPECT_TRUE(runUntil([&] { return popupDone; }));
    EXPECT_GE(otherTicks, 5);
    EXPECT_EQ(callbacksDuringPopup, 0);
    EXPECT_EQ(popupRc, UIE_NO_ERROR);
}

TEST_F(QtPlatform, MenuEntriesCallTheirCallbackOrNothing)
{
    auto* go = qtui::PanelWidget(main_)->findChild<QAction*>("MENU_GO");
    auto* help = qtui::PanelWidget(main_)->findChild<QAction*>("MENU_HELP");
    ASSERT_NE(go, nullptr);
    ASSERT_NE(help, nullptr);
    help->trigger();
    EXPECT_TRUE(g_menuCalls.empty());
    go->trigger();
    ASSERT_EQ(g_menuCalls.size(), 1u);
    EXPECT_EQ(g_menuCalls[0].item, 2);
    EXPECT_EQ(g_menuCalls[0].panel, main_);
    EXPECT_EQ(g_menuCalls[0].data, &g_tag);
    EXPECT_GT(g_menuCalls[0].menuBar, 0);
    EXPECT_NE(g_menuCalls[0].menuBar, main_);
}

TEST_F(QtPlatform, ClosingTheWindowPressesItsCloseButtonOnly)
{
    QWidget* panel = qtui::PanelWidget(main_);
    DisplayPanel(main_);
    EXPECT_FALSE(panel->close());  // refused, but QUIT is pressed
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(g_events[0].control, QUIT);
    EXPECT_EQ(g_events[0].event, EVENT_COMMIT);

    int set = LoadPanel(main_, "t.uir", 2);
    QWidget* setWindow = qtui::PanelWidget(set);
    EXPECT_FALSE(setWindow->windowFlags() & Qt::WindowCloseButtonHint);
    DisplayPanel(set);
    EXPECT_FALSE(setWindow->close());
    EXPECT_TRUE(setWindow->isVisible());
    EXPECT_EQ(g_events.size(), 1u);
    HidePanel(set);
    EXPECT_FALSE(setWindow->isVisible());
}

TEST_F(QtPlatform, BadHandlesControlsAndArgumentsAreRefused)
{
    int set = LoadPanel(main_, "t.uir", 2);
    int page = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(set, 2, 0, &page), 0);
    int out = 0;
    double d = 0;
    const int bad = 9999;
    struct {
        const char* what;
        std::function<int()> call;
    } cases[] = {
        {"get bad panel", [&] { return GetCtrlVal(bad, VALUE, &d); }},
        {"get bad control", [&] { return GetCtrlVal(main_, 99, &d); }},
        {"get button", [&] { return GetCtrlVal(main_, QUIT, &out); }},
        {"set text on numeric", [&] { return SetCtrlVal(main_, VALUE, "x"); }},
        {"set null text", [&] { return SetCtrlVal(main_, NOTE, static_cast<const char*>(nullptr)); }},
        {"set int on table", [&] { return SetCtrlVal(main_, LIST, 1); }},
        {"led colour on ring", [&] { return SetCtrlAttribute(main_, MODE, ATTR_ON_COLOR, 1); }},
        {"unknown attribute", [&] { return SetCtrlAttribute(main_, LAMP, 999, 1); }},
        {"cell column 0", [&] { return SetTableCellVal(main_, LIST, MakePoint(0, 1), "x"); }},
        {"cell past columns", [&] { return SetTableCellVal(main_, LIST, MakePoint(3, 1), "x"); }},
        {"cell past rows", [&] { return SetTableCellVal(main_, LIST, MakePoint(1, 4), "x"); }},
        {"cell on numeric", [&] { return SetTableCellVal(main_, VALUE, MakePoint(1, 1), "x"); }},
        {"cell bad attribute",
         [&] { return SetTableCellAttribute(main_, LIST, MakePoint(1, 1), ATTR_VISIBLE, 1); }},
        {"tab page past end", [&] { return GetPanelHandleFromTabPage(set, 2, 2, &out); }},
        {"tab page of non-tab", [&] { return GetPanelHandleFromTabPage(main_, VALUE, 0, &out); }},
        {"tab value past end", [&] { return SetCtrlVal(set, 2, 5); }},
        {"display bad", [&] { return DisplayPanel(bad); }},
        {"hide negative", [&] { return HidePanel(-2); }},
        {"discard page", [&] { return DiscardPanel(page); }},
        {"discard bad", [&] { return DiscardPanel(bad); }},
        {"load missing file", [&] { return LoadPanel(0, "absent.uir", 1); }},
        {"load missing panel", [&] { return LoadPanel(0, "t.uir", 3); }},
        {"load under bad parent", [&] { return LoadPanel(bad, "t.uir", 2); }},
        {"load under a page", [&] { return LoadPanel(page, "t.uir", 2); }},
        {"load null file", [&] { return LoadPanel(0, nullptr, 1); }},
    };
    for (const auto& c : cases) EXPECT_LT(c.call(), 0) << c.what;
    out = 0;
    GetPanelHandleFromTabPage(bad, 2, 0, &out);
    EXPECT_LT(out, 0);  // a failed lookup leaves a handle every call refuses
}

TEST_F(QtPlatform, DiscardedParentTakesChildrenAndPagesAlong)
{
    int set = LoadPanel(main_, "t.uir", 2);
    int page = 0;
    GetPanelHandleFromTabPage(set, 2, 1, &page);
    QPointer<QWidget> setWindow = qtui::PanelWidget(set);
    ASSERT_EQ(DiscardPanel(main_), 0);
    for (int h : {main_, set, page}) {
        EXPECT_EQ(qtui::PanelWidget(h), nullptr);
        EXPECT_EQ(DisplayPanel(h), UIE_BAD_HANDLE);
        EXPECT_EQ(SetCtrlVal(h, 2, 1.0), UIE_BAD_HANDLE);
    }
    EXPECT_EQ(DiscardPanel(main_), UIE_BAD_HANDLE);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(setWindow.isNull());
}

TEST_F(QtPlatform, QuitFromAWorkerEndsTheLoopWithItsCode)
{
    std::thread worker([] { QuitUserInterface(3); });
    worker.join();  // queued before the loop starts: the loop ends at once
    EXPECT_EQ(RunUserInterface(), 3);
}

}  // namespace
