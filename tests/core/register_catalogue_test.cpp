// The register catalogue against the panel resources: every send button and
// every control the refresh writes belongs to one register; what the operator
// reads about a register comes from the resources, whichever part of the
// console tells it; and a register the resources do not hold is a load error
// that says which.
#include "model/register_catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "engine/status_recorder.h"
#include "engine/traffic_decode.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "model/panel_texts.h"
#include "model/uir_ids.h"
#include "pages/param_info.h"
#include "pages/refresh.h"
#include "pages/send_rows.h"
#include "pages/write_guard.h"
#include "platform/os/gbk.h"
#include "sets/parameter_set.h"
#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

namespace {

using Place = std::tuple<RegisterPanel, int, int>;  // panel, page, control id

Place placeOf(const RegisterControl& c)
{
    return {c.panel, c.page, c.id};
}

class RegisterCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panelMain = testsupport::kMainPanel;
        for (int i = 0; i < 6; ++i) panel_set_tab[i] = testsupport::kPagePanel + i;
        for (int i = 0; i < 2; ++i) panel_debug_tab[i] = testsupport::kDebugPanel + i;
        fillDataItems();
    }

    // What the traffic monitor says about a write of `word` to `reg`.
    static std::string decodedWrite(int reg, int word)
    {
        LineEvent e;
        e.kind = LineEventKind::RequestSent;
        const unsigned char frame[] = {1,
                                       6,
                                       static_cast<unsigned char>(reg >> 8),
                                       static_cast<unsigned char>(reg),
                                       static_cast<unsigned char>(word >> 8),
                                       static_cast<unsigned char>(word),
                                       0,
                                       0};
        std::copy(std::begin(frame), std::end(frame), e.bytes);
        e.length = 8;
        return DecodeLineEvent(e);
    }

    static const SendRow* row(const char* name)
    {
        std::size_t count = 0;
        const SendRow* rows = SendRows(&count);
        for (std::size_t i = 0; i < count; ++i) {
            if (std::string(rows[i].name) == name) return &rows[i];
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(RegisterCatalogueTest, EverySendAndRefreshRowBelongsToExactlyOneRegister)
{
    const RegisterCatalogue& catalogue = Catalogue();
    EXPECT_EQ(catalogue.error(), "");
    ASSERT_EQ(catalogue.pageRegisters().size(), 70u);
    ASSERT_EQ(catalogue.statusRegisters().size(), 26u);

    // Each control shows one register; only the fault list shows three words.
    std::map<Place, int> shownBy;
    for (const auto* list : {&catalogue.pageRegisters(), &catalogue.statusRegisters()}) {
        for (const RegisterEntry& e : *list) {
            EXPECT_FALSE(e.controls.empty()) << e.reg;
            EXPECT_FALSE(e.caption.empty()) << e.reg;
            for (const RegisterControl& c : e.controls) ++shownBy[placeOf(c)];
        }
    }
    for (const auto& [place, registers] : shownBy) {
        const bool faultList =
            std::get<0>(place) == RegisterPanel::Main && std::get<2>(place) == queryItemID[14];
        EXPECT_EQ(registers, faultList ? 3 : 1) << "control " << std::get<2>(place);
    }

    // Each send button writes the register whose control it reads.
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    ASSERT_EQ(count, 78u);
    std::set<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        const SendRow& r = rows[i];
        EXPECT_TRUE(names.insert(r.name).second) << r.name;
        const RegisterControl* control = SendRowControl(r);
        ASSERT_NE(control, nullptr) << r.name;
        EXPECT_STREQ(control->send, r.name);
        const RegisterEntry* owner = catalogue.pageEntry(r.tab, r.index);
        ASSERT_NE(owner, nullptr) << r.name;
        EXPECT_EQ(owner->item, &r.table[r.index]) << r.name;
        EXPECT_EQ(shownBy[placeOf(*control)], 1) << r.name;
    }

    // The refresh writes an item to exactly its register's controls.
    testsupport::RecordingUi ui;
    for (const RegisterEntry& e : catalogue.pageRegisters()) {
        for (const ItemTable& t : kPageTables) {
            for (int i = 0; i < t.count; ++i) t.items[i].refresh_flag = 0;
        }
        e.item->refresh_flag = 1;
        ui.clear();
        refreshAll();
        std::set<std::pair<int, int>> written;
        for (const testsupport::UiWrite& w : ui.writes()) {
            if (w.panel != panelMain.load()) written.insert({w.panel, w.control});
        }
        std::set<std::pair<int, int>> expected;
        for (const RegisterControl& c : e.controls) expected.insert({PanelHandleOf(c).load(), c.id});
        EXPECT_EQ(written, expected) << e.reg;
    }
}

TEST_F(RegisterCatalogueTest, WhatTheOperatorReadsComesFromTheResources)
{
    testsupport::EditedResources uir;
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"Over volt\"", "\"Overvoltage cut-off\""));
    // The unit of Over volt: TEXTMSG_4 sits in its row, two columns right.
    ASSERT_TRUE(uir.replace("mainwin.uir", "TEXTMSG_4 text \"V\" in=lim", "TEXTMSG_4 text \"kV\" in=lim"));
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"Battery voltage\"", "\"Pack voltage\""));
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"overVolt\"", "\"over voltage\""));
    // "测试给定频率", written in GBK as the file holds it.
    ASSERT_TRUE(
        uir.replace("debug.uir", "\xB2\xE2\xCA\xD4\xB8\xF8\xB6\xA8\xC6\xB5\xC2\xCA", "Test frequency"));

    const RegisterCatalogue& catalogue = Catalogue();
    EXPECT_EQ(catalogue.error(), "");
    const RegisterEntry* overVolt = catalogue.find(2550);
    ASSERT_NE(overVolt, nullptr);
    EXPECT_EQ(overVolt->caption, "Overvoltage cut-off");
    EXPECT_EQ(overVolt->unit, "kV");
    EXPECT_EQ(overVolt->page, "BASIC");

    // The write record and the journal, the parameter sets, the reference,
    // the traffic monitor and the recording all say the same.
    const WriteRequest w = DescribeSendRow(*row("tab1_send_3"), 58);
    EXPECT_EQ(w.caption, "Overvoltage cut-off");
    EXPECT_EQ(w.unit, "kV");
    EXPECT_EQ(w.panel, "PARAMETER SET");
    EXPECT_EQ(w.page, "BASIC");
    EXPECT_EQ(psets::FindRegister(2550)->caption, "Overvoltage cut-off");
    bool listed = false;
    for (const ParamInfo& p : ParameterReference()) {
        if (p.address != 2550) continue;
        listed = true;
        EXPECT_EQ(p.caption, "Overvoltage cut-off");
        EXPECT_EQ(p.unit, "kV");
    }
    EXPECT_TRUE(listed);
    EXPECT_EQ(decodedWrite(2550, 58), "W 2550 Overvoltage cut-off = 58");
    EXPECT_EQ(decodedWrite(2657, 1), "W 2657 Test frequency = 1");
    EXPECT_NE(StatusRecorder::HeaderLine().find(",Pack voltage (V),"), std::string::npos)
        << StatusRecorder::HeaderLine();
    EXPECT_EQ(catalogue.statusRegisters()[14].bitNames.at(1), "over voltage");
    EXPECT_EQ(catalogue.captionOf(2762), "Error list 1");
    EXPECT_EQ(catalogue.captionOf(4039), "Password");
    EXPECT_EQ(catalogue.captionOf(9999), "reg 9999");
}

TEST_F(RegisterCatalogueTest, MessagesNameMenusButtonsAndPanelsAsThePanelsDo)
{
    testsupport::EditedResources uir;
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"COMMUNICATION\"", "\"LINE\""));
    ASSERT_TRUE(uir.replace("sample5.uir", "\"__Configure\"", "\"__Open\""));
    ASSERT_TRUE(uir.replace("mainwin.uir", "box live \"Live values\"", "box live \"Read-outs\""));
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"Motor speed\"", "\"Rotor speed\""));
    ASSERT_TRUE(
        uir.replace("mainwin.uir", "TEXTMSG_4 text \"RPM\" in=live", "TEXTMSG_4 text \"1/min\" in=live"));
    ASSERT_TRUE(uir.replace("mainwin.uir", "\"No confirmed change waiting to be stored\"", "\"All stored\""));
    ASSERT_TRUE(uir.replace("debug.uir", "panel PANEL_DEBG 1 \"DEBUG\"", "panel PANEL_DEBG 1 \"SERVICE\""));
    ASSERT_TRUE(uir.replace("debug.uir", "TEST_STOP button \"STOP\"", "TEST_STOP button \"HALT\""));

    // Titles, menu entries, boxes, controls on a page or the panel, without
    // their accelerator marks; a constant the file does not hold is itself.
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_MAIN, "MENU_COMCONFIGURE"), "LINE");
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_MAIN, "MENU1_ABOUT"), "About");
    EXPECT_EQ(PanelText("sample5.uir", uir::PANEL_COM, "CONFIGURE"), "Open");
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_MAIN, "live"), "Read-outs");
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_SET, "TABPANEL_1"), "BASIC");
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_SET, "TAB1_NUMERIC_SET_3"), "Over volt");
    EXPECT_EQ(PanelText("debug.uir", uir::PANEL_DEBG, "PANEL_DEBG"), "SERVICE");
    EXPECT_EQ(PanelText("mainwin.uir", uir::PANEL_SET, "MENU_COMCONFIGURE"), "MENU_COMCONFIGURE")
        << "another panel of the file";
    EXPECT_EQ(PanelText("missing.uir", 1, "CONFIGURE"), "CONFIGURE");

    // The motor-test guard: why it refuses, what it asks, what the pages say
    // when nothing waits to be stored.
    testsupport::RecordingUi ui;
    panel_set = testsupport::kSetPanel;
    ResetLinkHealth();
    NoteStatusReply();
    kStatusTable.items[STATUS_MOTOR_SPEED].value = 12;
    EXPECT_FALSE(ConfirmWrite(REG_TEST_ENABLE, 1));
    ASSERT_EQ(ui.popups().size(), 1u);
    EXPECT_NE(ui.popups()[0].text.find("(Rotor speed: 12 1/min)"), std::string::npos) << ui.popups()[0].text;
    EXPECT_NE(QuestionFor(GuardAsk::ArmTest).text.find("HALT (Esc) on the SERVICE panel ends the test"),
              std::string::npos);
    GuardOnWriteConfirmed(REG_PARAMETER_STORE, 1);
    EXPECT_EQ(ui.ctrlText(testsupport::kSetPanel, uir::panel_set::UNSTORED), "All stored");
    ParamInfo both;
    both.otherCaption = "Frequency";
    EXPECT_NE(ParameterToolTip(both).find("On the SERVICE panel: Frequency"), std::string::npos);
}

TEST_F(RegisterCatalogueTest, AControlOrButtonTheResourcesDoNotHoldIsALoadErrorThatNamesIt)
{
    struct Case {
        const char* what;
        const char* file;
        const char* from;
        const char* to;
        std::vector<std::string> named;
    };
    const Case cases[] = {
        {"a send button calls another row's callback",
         "mainwin.uir",
         "cb=tab1_send_3",
         "cb=tab1_send_2",
         {"tab1_send_3", "2550", "tab1_send_2", "2549"}},
        {"a send button beside another row",
         "mainwin.uir",
         "cb=tab3_send_9 in=drv at=0,3",
         "cb=tab3_send_9 in=drv at=1,3",
         {"TAB3_SEND_9", "tab3_send_9", "2596"}},
        {"a value control of the wrong kind",
         "mainwin.uir",
         "TAB3_BINARYSWITCH_6 switch",
         "TAB3_BINARYSWITCH_6 numeric",
         {"TAB3_BINARYSWITCH_6", "2593"}},
        {"a file that is not a panel file",
         "debug.uir",
         "panel PANEL_DEBG 1",
         "pane PANEL_DEBG 1",
         {"debug.uir"}},
    };
    for (const Case& c : cases) {
        testsupport::EditedResources uir;
        ASSERT_TRUE(uir.replace(c.file, c.from, c.to)) << c.what;
        const RegisterCatalogue& catalogue = Catalogue();
        for (const std::string& name : c.named) {
            EXPECT_NE(catalogue.error().find(name), std::string::npos) << c.what << ": " << catalogue.error();
        }
        // The layout stands: every register, control and button is still known.
        EXPECT_EQ(catalogue.pageRegisters().size(), 70u) << c.what;
        std::size_t count = 0;
        SendRows(&count);
        EXPECT_EQ(count, 78u) << c.what;
        EXPECT_NE(catalogue.find(2656), nullptr) << c.what;
    }
    // A missing file is told the same way; what the other file says stays.
    testsupport::EditedResources uir;
    uir.remove("debug.uir");
    const RegisterCatalogue& catalogue = Catalogue();
    EXPECT_NE(catalogue.error().find("debug.uir"), std::string::npos) << catalogue.error();
    EXPECT_EQ(catalogue.find(2657)->caption, "");
    EXPECT_EQ(catalogue.find(2550)->caption, "Over volt");
}
