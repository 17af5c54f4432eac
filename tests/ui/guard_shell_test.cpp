// The guards in the running shell: hiding the debug panel and quitting while a
// motor test may run, the STOP button and its Esc key, the new controls on the
// panels, and the question box itself.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/mainwin.h"
#include "app/shell_menus.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/sample5.h"
#include "pages/write_guard.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"
#include "tests/support/recording_ui.h"

namespace {

int g_argc = 1;
char g_arg0[] = "guard_shell_test";
char* g_argv[] = {g_arg0, nullptr};

int urgent(int address)
{
    return dataItem6[address - 2648].send_flag.load() == SEND_URGENT ? 1 : 0;
}

void clearSendFlags()
{
    for (int i = 0; i < DATAITEM6_COUNT; ++i) dataItem6[i].send_flag = 0;
}

class GuardShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDataItems();
        ResetWriteGuard();
        GuardOnWriteConfirmed(REG_TEST_ENABLE, 1);
        panel_debug = 30;
        panel_debug_display_flag = 1;
        RS232COMThreadHandle = 0;
        RS232COMThreadStop = 0;
        ResetWriteTracking();
        comConfigure_success_flag = 1;  // STOP is marked, not ended as "port closed"
    }
    void TearDown() override
    {
        RS232COMThreadHandle = 0;
        RS232COMThreadStop = 0;
        comConfigure_success_flag = 0;
        ResetWriteTracking();
    }
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(GuardShell, HidingTheDebugPanelWithATestEnabledAsksAndYesSendsStop)
{
    ui.setAnswer(ANSWER_CANCEL);
    debug(0, uir::menubar::MENU_DEBUG, nullptr, 0);
    EXPECT_EQ(ui.questions().size(), 1u);
    EXPECT_EQ(ui.panelShown(30), -1) << "Cancel keeps the panel";
    EXPECT_EQ(urgent(REG_TEST_ENABLE), 0);

    ui.setAnswer(ANSWER_YES);
    debug(0, uir::menubar::MENU_DEBUG, nullptr, 0);
    EXPECT_EQ(ui.questions().size(), 2u);
    EXPECT_EQ(ui.panelShown(30), 0);
    EXPECT_EQ(urgent(REG_TEST_ENABLE) + urgent(REG_TEST_MODE), 2);

    // Showing it again asks nothing.
    debug(0, uir::menubar::MENU_DEBUG, nullptr, 0);
    EXPECT_EQ(ui.questions().size(), 2u);
    EXPECT_EQ(ui.panelShown(30), 1);
}

TEST_F(GuardShell, QuittingWithATestEnabledAsksAndYesSendsStopBeforeTheThreadsEnd)
{
    RS232COMThreadHandle = 1;  // stands for a running thread: only its stop flag is looked at
    ui.setAnswer(ANSWER_CANCEL);
    QuitCallback(0, uir::panel_main::QUITBUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(RS232COMThreadStop.load(), 0) << "Cancel keeps the console running";
    EXPECT_EQ(urgent(REG_TEST_ENABLE), 0);

    ui.setAnswer(ANSWER_YES);
    QuitCallback(0, uir::panel_main::QUITBUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(RS232COMThreadStop.load(), 1);
    EXPECT_EQ(urgent(REG_TEST_ENABLE) + urgent(REG_TEST_MODE), 2);
    ASSERT_EQ(ui.questions().size(), 2u);
    EXPECT_EQ(ui.questions()[1].title, "Motor test");

    // Without a confirmed test enable nothing is asked.
    clearSendFlags();
    GuardOnWriteConfirmed(REG_TEST_ENABLE, 0);
    RS232COMThreadStop = 0;
    QuitCallback(0, uir::panel_main::QUITBUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(ui.questions().size(), 2u);
    EXPECT_EQ(RS232COMThreadStop.load(), 1);
    EXPECT_EQ(urgent(REG_TEST_ENABLE), 0);
}

class GuardWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qtui::InitUserInterface(g_argc, g_argv));
        ASSERT_TRUE(LoadConsolePanels());
        fillDataItems();
        clearSendFlags();
        ResetWriteTracking();
        comConfigure_success_flag = 1;
    }
    void TearDown() override
    {
        comConfigure_success_flag = 0;
        ResetWriteTracking();
        SetConfirmHandler({});
        qtui::ShutdownUserInterface();
    }
};

TEST_F(GuardWidgets, EscAnywhereOnTheDebugPanelPressesStop)
{
    QWidget* panel = qtui::PanelWidget(panel_debug.load());
    ASSERT_NE(panel, nullptr);
    auto* stop = panel->findChild<QPushButton*>("TEST_STOP");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text().toStdString(), "STOP");
    DisplayPanel(panel_debug.load());
    SetCtrlVal(panel_debug.load(), uir::panel_debg::TAB, 1);
    QApplication::processEvents();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    // The focus in an entry field of the test page.
    auto* entry = qtui::PanelWidget(panel_debug_tab[1].load())->findChild<QDoubleSpinBox*>("NUMERIC_SET_10");
    ASSERT_NE(entry, nullptr);
    entry->setFocus();
    ASSERT_TRUE(entry->isVisible());
    QTest::keyClick(entry, Qt::Key_Escape);
    // A shortcut presses the button the way a click does, after its short animation.
    EXPECT_TRUE(QTest::qWaitFor([] { return urgent(REG_TEST_ENABLE) + urgent(REG_TEST_MODE) == 2; }, 2000));
}

TEST_F(GuardWidgets, NewControlsLoadWithTheirStartTexts)
{
    auto* status = qtui::PanelWidget(panelMain.load())->findChild<QLabel*>("LINK_STATUS");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text().toStdString(), "port closed");
    for (int panel : {panel_set.load(), panel_debug.load()}) {
        QWidget* w = qtui::PanelWidget(panel);
        ASSERT_NE(w->findChild<QLabel*>("UNSTORED"), nullptr);
        ASSERT_NE(w->findChild<QPushButton*>("STORE"), nullptr);
    }
}

TEST_F(GuardWidgets, QuestionBoxAnswersYesNoCancelAndDefaultsAsAsked)
{
    // The box is answered by pressing Enter (its default) or one of its buttons.
    struct Case {
        int buttons;
        int def;
        QMessageBox::StandardButton press;  // NoButton: Enter
        int expected;
    };
    const Case cases[] = {
        {CONFIRM_YES_NO_CANCEL, ANSWER_YES, QMessageBox::NoButton, ANSWER_YES},
        {CONFIRM_YES_NO, ANSWER_NO, QMessageBox::NoButton, ANSWER_NO},
        {CONFIRM_YES_NO_CANCEL, ANSWER_YES, QMessageBox::Cancel, ANSWER_CANCEL},
        {CONFIRM_YES_NO, ANSWER_NO, QMessageBox::Yes, ANSWER_YES},
    };
    for (const Case& c : cases) {
        int answer = 0;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(50, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                if (c.press == QMessageBox::NoButton) {
                    QTest::keyClick(box, Qt::Key_Return);
                } else {
                    box->button(c.press)->click();
                }
            });
            answer = ConfirmPopup("Question", "Go on?", c.buttons, c.def);
            QuitUserInterface(0);
        });
        RunUserInterface();
        EXPECT_EQ(answer, c.expected);
    }
    EXPECT_EQ(ConfirmPopup("Question", "Go on?", CONFIRM_YES_NO, ANSWER_CANCEL), UIE_BAD_ARGUMENT);
}

TEST_F(GuardWidgets, DimmingGreysTheFaultListWithoutLosingItsColoursAndMarksTintEntries)
{
    const int main = panelMain.load();
    auto* list = qtui::PanelWidget(main)->findChild<QTableWidget*>("TABLE_1");
    ASSERT_NE(list, nullptr);
    SetTableCellAttribute(main, uir::panel_main::TABLE_1, MakePoint(1, 13), ATTR_TEXT_COLOR, VAL_RED);
    const QColor red = list->item(12, 0)->foreground().color();
    EXPECT_EQ(red, QColor(Qt::red));
    SetCtrlAttribute(main, uir::panel_main::TABLE_1, ATTR_DIMMED, 1);
    EXPECT_NE(list->item(12, 0)->foreground().color(), red);
    EXPECT_EQ(list->item(12, 0)->text().toStdString(), "hall fault") << "the text stays";
    SetCtrlAttribute(main, uir::panel_main::TABLE_1, ATTR_DIMMED, 0);
    EXPECT_EQ(list->item(12, 0)->foreground().color(), red) << "the fault colour comes back";

    auto* readout = qtui::PanelWidget(main)->findChild<QLineEdit*>("NUMERIC_QUERY_10");
    ASSERT_NE(readout, nullptr);
    SetCtrlVal(main, uir::panel_main::NUMERIC_QUERY_10, 900.0);
    SetCtrlAttribute(main, uir::panel_main::NUMERIC_QUERY_10, ATTR_DIMMED, 1);
    EXPECT_TRUE(readout->property("dimmed").toBool());
    EXPECT_EQ(readout->text().toStdString(), "900");

    const int page = panel_set_tab[0].load();
    auto* entry = qtui::PanelWidget(page)->findChild<QDoubleSpinBox*>("TAB1_NUMERIC_SET_3");
    ASSERT_NE(entry, nullptr);
    SetCtrlAttribute(page, uir::tabpanel_1::TAB1_NUMERIC_SET_3, ATTR_MARKED, 1);
    EXPECT_TRUE(entry->property("marked").toBool());
    SetCtrlAttribute(page, uir::tabpanel_1::TAB1_NUMERIC_SET_3, ATTR_MARKED, 0);
    EXPECT_FALSE(entry->property("marked").toBool());
    EXPECT_EQ(SetCtrlAttribute(page, uir::tabpanel_1::TAB1_SEND_3, ATTR_MARKED, 1), UIE_BAD_TYPE);

    SetCtrlToolTip(page, uir::tabpanel_1::TAB1_NUMERIC_SET_3, "Register 2550");
    EXPECT_EQ(entry->toolTip().toStdString(), "Register 2550");
}
