// The console's languages: the panels read through their widgets in each
// language, a switch while the console runs, and every text fitting its
// widget.
#include "app/language.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRect>
#include <QTabWidget>
#include <QTableWidget>
#include <clocale>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/fault_window.h"
#include "app/help_windows.h"
#include "app/mainwin.h"
#include "app/monitor_window.h"
#include "engine/fault_journal.h"
#include "engine/fault_tracker.h"
#include "engine/status_text.h"
#include "engine/write_journal.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/panel_texts.h"
#include "model/register_catalogue.h"
#include "model/shown_captions.h"
#include "model/uir_ids.h"
#include "pages/send_rows.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "platform/ui/uir.h"
#include "tests/support/console_window.h"

namespace {

using testsupport::FindControl;
using testsupport::RunUntil;

// The console's four panels (the port, parameter and debug panels are children of the main one).
std::vector<QWidget*> panelWindows()
{
    return {qtui::PanelWidget(panelMain.load()), qtui::PanelWidget(child.load()),
            qtui::PanelWidget(panel_set.load()), qtui::PanelWidget(panel_debug.load())};
}

// Every text the panels show or tell a screen reader, keyed by where it is.
std::map<std::string, QString> shownTexts()
{
    std::map<std::string, QString> out;
    for (QWidget* window : panelWindows()) {
        const std::string panel = window->objectName().toStdString() + "/";
        out[panel + "title"] = window->windowTitle();
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const std::string at = panel + w->objectName().toStdString();
            if (!w->accessibleName().isEmpty()) out[at + "@name"] = w->accessibleName();
            if (auto* l = qobject_cast<QLabel*>(w)) out[at] = l->text();
            if (auto* b = qobject_cast<QAbstractButton*>(w)) out[at] = b->text();
            if (auto* g = qobject_cast<QGroupBox*>(w)) out[at] = g->title();
            if (auto* t = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < t->count(); ++i) out[at + "#" + std::to_string(i)] = t->tabText(i);
            }
            if (auto* c = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < c->count(); ++i) out[at + "#" + std::to_string(i)] = c->itemText(i);
            }
            if (auto* t = qobject_cast<QTableWidget*>(w)) {
                for (int r = 0; r < t->rowCount(); ++r) {
                    if (t->item(r, 0) != nullptr) out[at + "#" + std::to_string(r)] = t->item(r, 0)->text();
                }
            }
        }
        for (QAction* a : window->findChildren<QAction*>())
            out[panel + a->objectName().toStdString()] = a->text();
    }
    return out;
}

QString captionOf(int panel, const char* control)
{
    auto* l = FindControl<QLabel>(panel, (std::string(control) + "_caption").c_str());
    return l != nullptr ? l->text() : QStringLiteral("(no caption)");
}

QString actionText(const char* name)
{
    auto* a = qtui::PanelWidget(panelMain.load())->findChild<QAction*>(QString::fromLatin1(name));
    return a != nullptr ? a->text() : QStringLiteral("(no action)");
}

// Labels and buttons whose text is cut: wider than the widget laid out to hold it.
std::vector<std::string> cutTexts()
{
    std::vector<std::string> out;
    for (QWidget* window : panelWindows()) {
        window->show();
        window->adjustSize();
        QApplication::processEvents();
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window)) continue;
            QString text;
            int room = w->contentsRect().width();
            if (auto* l = qobject_cast<QLabel*>(w); l != nullptr && !l->wordWrap()) {
                text = l->text();
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                text = b->text().remove(QLatin1Char('&'));
                room -= 8;  // the button's own frame and margins
            }
            if (text.isEmpty() || text.contains(QLatin1Char('\n'))) continue;
            const int wide = w->fontMetrics().horizontalAdvance(text);
            if (wide > room) {
                out.push_back(window->objectName().toStdString() + "/" + w->objectName().toStdString() +
                              " \"" + text.toStdString() + "\": " + std::to_string(wide) + " px in " +
                              std::to_string(room));
            }
        }
        window->hide();
    }
    return out;
}

// The windows, shown as they open, that do not fit a 1366x768 screen.
std::vector<std::string> oversizedWindows(const std::vector<QWidget*>& windows)
{
    std::vector<std::string> out;
    for (QWidget* window : windows) {
        window->show();
        QApplication::processEvents();
        const QRect frame = window->frameGeometry();
        if (frame.width() > 1366 || frame.height() > 768) {
            out.push_back(window->objectName().toStdString() + ": " + std::to_string(frame.width()) + "x" +
                          std::to_string(frame.height()));
        }
        window->hide();
    }
    return out;
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qtui::InitUserInterface(testsupport::WindowArguments::argc(),
                                            testsupport::WindowArguments::argv()));
        fillDataItems();
        ASSERT_TRUE(LoadConsolePanels());
    }
    void TearDown() override
    {
        ShutdownConsole();
        qtui::ShutdownUserInterface();
    }

    void use(LanguageChoice choice)
    {
        std::string error;
        ASSERT_TRUE(language_.use(choice, &error)) << error;
    }

    ConsoleLanguage language_;
};

}  // namespace

TEST_F(Languages, AsShippedIsTheResourcesTextsAndEachLanguageShowsItsOwn)
{
    // As shipped: the captions exactly as the resources write them.
    uirfile::Panel debug;
    ASSERT_TRUE(uirfile::LoadPanelResource("debug.uir", uir::PANEL_DEBG, &debug, nullptr));
    int checked = 0;
    for (const uirfile::Control& tab : debug.controls) {
        for (const uirfile::Page& page : tab.pages) {
            for (const uirfile::Control& c : page.controls) {
                if (c.kind != uirfile::Kind::Numeric && c.kind != uirfile::Kind::Switch) continue;
                EXPECT_EQ(captionOf(panel_debug_tab[&page - tab.pages.data()].load(), c.constant.c_str())
                              .toStdString(),
                          c.caption);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 10);
    const std::map<std::string, QString> shipped = shownTexts();
    const int debugTest = panel_debug_tab[1].load();
    const int mainPanel = panelMain.load();

    use(LanguageChoice::English);
    EXPECT_EQ(captionOf(debugTest, "NUMERIC_SET_10"), QStringLiteral("Test frequency"));
    EXPECT_EQ(FindControl<QWidget>(debugTest, "NUMERIC_SET_10")->accessibleName(),
              QStringLiteral("Test frequency"));

    use(LanguageChoice::Chinese);
    EXPECT_EQ(captionOf(mainPanel, "NUMERIC_QUERY_1"), QStringLiteral("电池电压"));
    EXPECT_EQ(captionOf(debugTest, "NUMERIC_SET_10"), QStringLiteral("测试给定频率"));
    EXPECT_EQ(FindControl<QPushButton>(panel_debug.load(), "STORE")->text(), QStringLiteral("保存"));
    EXPECT_EQ(actionText("MENU1"), QStringLiteral("帮助"));
    EXPECT_NE(shownTexts(), shipped);
    // Messages name a caption as the panel shows it; records keep the shipped one.
    EXPECT_EQ(ShownPanelText("debug.uir", uir::PANEL_DEBG, "TEST_STOP"), "停止");
    EXPECT_EQ(PanelText("debug.uir", uir::PANEL_DEBG, "TEST_STOP"), "STOP");
    EXPECT_EQ(ShownStatusCaption(1), "电池电压");
    EXPECT_EQ(StatusColumnTitle(1), "Battery voltage (V)");
    EXPECT_EQ(ShownFaultCaption(0), "MOS管故障");
    EXPECT_EQ(FaultCaption(0), "mosfet Fault");
    const RegisterEntry* overVolt = Catalogue().find(2550);
    ASSERT_NE(overVolt, nullptr);
    EXPECT_EQ(ShownRegisterCaption(*overVolt), "过压保护值");
    EXPECT_EQ(ShownPageCaption(*overVolt), "基本");
    EXPECT_EQ(overVolt->page, "BASIC");
    // Three status items share one table: each keeps its number in the window.
    EXPECT_NE(ShownStatusCaption(15), StatusCaption(15));
    EXPECT_EQ(ShownStatusCaption(15).substr(ShownStatusCaption(15).size() - 2), " 2");
    // A text control the program sets back to its shipped caption shows it translated.
    auto* unstored = FindControl<QLabel>(panel_debug.load(), "UNSTORED");
    ASSERT_NE(unstored, nullptr);
    SetCtrlVal(panel_debug.load(), uir::panel_debg::UNSTORED, "1 change");
    ASSERT_TRUE(RunUntil([&] { return unstored->text() == QStringLiteral("1 change"); }, 2000));
    SetCtrlVal(panel_debug.load(), uir::panel_debg::UNSTORED, "No confirmed change waiting to be stored");
    EXPECT_TRUE(RunUntil([&] { return unstored->text() == QStringLiteral("没有待保存的已确认修改"); }, 2000));

    // Back to the shipped texts, every one of them.
    use(LanguageChoice::Shipped);
    EXPECT_EQ(shownTexts(), shipped);
}

// Files for machines read the same in every language: the journals' headers
// and lines, and the recordings' column titles.
TEST_F(Languages, FilesKeepTheShippedTextsInEveryLanguage)
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    ASSERT_GT(count, 0U);
    FaultEvent fault;
    fault.bit = 1;
    fault.wallMs = fault.onsetWallMs = 1765000000000;
    std::vector<std::string> shipped;
    for (LanguageChoice choice :
         {LanguageChoice::Shipped, LanguageChoice::English, LanguageChoice::Chinese}) {
        use(choice);
        WriteRecord write;
        write.what = DescribeSendRow(rows[2], 58);
        write.endedMs = fault.wallMs;
        std::vector<std::string> files = {FaultJournalHeader(), FaultJournalLine(fault),
                                          WriteJournalLine(write), write.summary()};
        for (int i = 0; i < DATAITEMOR_COUNT; ++i) files.push_back(StatusColumnTitle(i));
        if (choice == LanguageChoice::Shipped) {
            shipped = files;
            EXPECT_NE(files[2].find(",Over volt,"), std::string::npos) << files[2];
        } else {
            EXPECT_EQ(files, shipped) << LanguageWord(choice);
        }
    }
}

TEST_F(Languages, NoTextIsCutInAnyLanguage)
{
    for (LanguageChoice choice :
         {LanguageChoice::Shipped, LanguageChoice::English, LanguageChoice::Chinese}) {
        use(choice);
        for (const std::string& cut : cutTexts()) ADD_FAILURE() << LanguageWord(choice) << ": " << cut;
    }
}

// The console running against the simulated controller, switched from its Help menu.
class LanguageSwitch : public testsupport::SimulatedWindowTest {};

TEST_F(Languages, EveryWindowFitsTheScreenInEveryLanguage)
{
    for (LanguageChoice choice :
         {LanguageChoice::Shipped, LanguageChoice::English, LanguageChoice::Chinese}) {
        use(choice);
        CreateMonitor();
        CreateFaultWindow();
        std::vector<QWidget*> windows = panelWindows();
        windows.push_back(MonitorWidget());
        windows.push_back(FaultWidget());
        for (const std::string& big : oversizedWindows(windows))
            ADD_FAILURE() << LanguageWord(choice) << ": " << big;
        DestroyFaultWindow();
        DestroyMonitor();
    }
}

// The window started where numbers are written with a decimal comma (a
// German locale, made by tools/install-deps.sh): the files keep the point.
TEST(WindowLocale, JournalsKeepTheDecimalPointUnderADecimalCommaLocale)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "no de_DE.UTF-8 locale here";
    std::setlocale(LC_ALL, "C");
    const QByteArray before = qgetenv("LC_ALL");
    qputenv("LC_ALL", "de_DE.UTF-8");
    ASSERT_TRUE(
        qtui::InitUserInterface(testsupport::WindowArguments::argc(), testsupport::WindowArguments::argv()));
    fillDataItems();
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    ASSERT_GT(count, 2U);
    WriteRecord write;
    write.what = DescribeSendRow(rows[2], 58);
    write.what.typed = 57.5;
    const std::string line = WriteJournalLine(write);
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%.1f", 0.5);
    qtui::ShutdownUserInterface();
    std::setlocale(LC_ALL, "C");
    if (before.isNull()) {
        qunsetenv("LC_ALL");
    } else {
        qputenv("LC_ALL", before);
    }
    EXPECT_NE(line.find("57.5"), std::string::npos) << line;
    EXPECT_STREQ(seconds, "0.5");
}

TEST_F(LanguageSwitch, KeepsThePortAPendingWriteATypedValueAndIsKept)
{
    runConsole(
        [] { return hci_commnication_enable_5927.load() == 1; },
        [&] {
            const int page1 = panel_set_tab[0].load();
            auto* typed = FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_4");
            auto* overVolt = FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_3");
            auto* chinese = qtui::PanelWidget(panelMain.load())->findChild<QAction*>("LANGUAGE_ZH_CN");
            ASSERT_TRUE(typed != nullptr && overVolt != nullptr && chinese != nullptr);
            const std::size_t mark = sim_.requestCount();
            typed->setValue(44);
            // A write asked for and, at the switch, not yet answered.
            overVolt->setValue(58);
            FindControl<QPushButton>(page1, "TAB1_SEND_3")->click();
            chinese->trigger();

            EXPECT_EQ(captionOf(panelMain.load(), "NUMERIC_QUERY_1"), QStringLiteral("电池电压"));
            EXPECT_EQ(comConfigure_success_flag.load(), 1);
            EXPECT_EQ(KeptLanguage(), LanguageChoice::Chinese);
            EXPECT_TRUE(RunUntil([&] { return sim_.registerValue(2550) == 58; }, 5000));
            int writes = 0;
            for (const auto& r : sim_.requests()) writes += r.function == 6 && r.address == 2550 ? 1 : 0;
            EXPECT_EQ(writes, 1);
            EXPECT_GT(sim_.requestCount(), mark);
            EXPECT_EQ(typed->value(), 44);
            EXPECT_EQ(comConfigure_success_flag.load(), 1);

            // The monitor and the fault history, made hidden at the start, follow
            // and keep what they hold.
            QWidget* monitor = MonitorWidget();
            QWidget* faults = FaultWidget();
            ASSERT_TRUE(monitor != nullptr && faults != nullptr);
            auto* traffic = monitor->findChild<QListView*>("TRAFFIC");
            auto* plotted = monitor->findChild<QListWidget*>("PLOT_VALUES");
            auto* pause = monitor->findChild<QPushButton*>("TRAFFIC_PAUSE");
            auto* snapshot = faults->findChild<QTableWidget*>("FAULT_SNAPSHOT");
            ASSERT_TRUE(traffic != nullptr && plotted != nullptr && pause != nullptr && snapshot != nullptr);
            EXPECT_TRUE(RunUntil([&] { return monitor->windowTitle() == QStringLiteral("通信监视"); }, 2000));
            EXPECT_EQ(plotted->item(1)->text(), QStringLiteral("电池电压 (V)"));
            EXPECT_EQ(snapshot->item(1, 0)->text(), QStringLiteral("电池电压"));
            EXPECT_EQ(snapshot->horizontalHeaderItem(0)->text(), QStringLiteral("数值"));
            EXPECT_EQ(faults->windowTitle(), QStringLiteral("故障记录"));
            pause->click();
            const int rows = traffic->model()->rowCount();
            const bool ticked = plotted->item(5)->checkState() == Qt::Checked;
            EXPECT_GT(rows, 0);
            auto* english = qtui::PanelWidget(panelMain.load())->findChild<QAction*>("LANGUAGE_EN");
            ASSERT_NE(english, nullptr);
            parameterReference(0, 0, nullptr, 0);
            auto* reference = qtui::PanelWidget(panelMain.load())->findChild<QWidget*>("PARAMETER_REFERENCE");
            ASSERT_NE(reference, nullptr);
            const QString chineseTitle = reference->windowTitle();
            english->trigger();
            EXPECT_TRUE(
                RunUntil([&] { return monitor->windowTitle() == QStringLiteral("Line monitor"); }, 2000));
            EXPECT_EQ(pause->text(), QStringLiteral("Resume"));
            EXPECT_EQ(plotted->item(1)->text(), QStringLiteral("Battery voltage (V)"));
            EXPECT_EQ(faults->windowTitle(), QStringLiteral("Fault history"));
            EXPECT_EQ(reference->windowTitle(), QStringLiteral("Parameter reference"));
            EXPECT_NE(chineseTitle, reference->windowTitle());
            reference->close();
            EXPECT_EQ(traffic->model()->rowCount(), rows);
            EXPECT_EQ(plotted->item(5)->checkState() == Qt::Checked, ticked);
            chinese->trigger();
        });
    // The next start speaks the kept language.
    EXPECT_EQ(KeptLanguage(), LanguageChoice::Chinese);
}
