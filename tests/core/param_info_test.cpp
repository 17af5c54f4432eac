// The register reference and the tooltips: every page register once, with the
// captions, units and scales of the controls that show it.
#include "pages/param_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "platform/os/gbk.h"
#include "tests/support/recording_ui.h"
#include "tests/support/test_support.h"

namespace {

class ParamInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
        for (int i = 0; i < 6; ++i) panel_set_tab[i] = 101 + i;
        panel_debug_tab[0] = 201;
        panel_debug_tab[1] = 202;
        fillDataItems();
    }
    std::string tip(int panel, int control) const
    {
        const auto w = ui.writesTo(panel, control);
        return w.empty() ? std::string() : GbkToUtf8Lenient(w.back().text);
    }
    testsupport::RecordingUi ui;
};

}  // namespace

TEST_F(ParamInfoTest, ReferenceListsEveryPageRegisterOnceWithItsCaption)
{
    const std::vector<ParamInfo> rows = ParameterReference();
    ASSERT_EQ(rows.size(), 70u);
    std::set<int> addresses;
    for (const ParamInfo& p : rows) {
        EXPECT_TRUE(addresses.insert(p.address).second) << p.address;
        EXPECT_FALSE(p.caption.empty()) << p.address;
        EXPECT_FALSE(p.page.empty()) << p.address;
    }
    // A scaled throttle voltage, a ring by its item, a debug-only register.
    const auto at = [&](int address) {
        for (const ParamInfo& p : rows) {
            if (p.address == address) return p;
        }
        return ParamInfo{};
    };
    EXPECT_EQ(at(2608).caption, "Throttle min volt");
    EXPECT_EQ(at(2608).scale, "5/32767");
    EXPECT_EQ(at(2608).unit, "V");
    EXPECT_EQ(at(2592).page, "FUNC");
    EXPECT_EQ(at(2592).value, "0 (3 Speed (button))");             // a ring value by its item
    EXPECT_EQ(at(2657).page, "DEBUG / \xE8\xB0\x83\xE8\xAF\x95");  // only on the debug panel's test page
    EXPECT_EQ(at(2657).unit, "Hz");
    EXPECT_EQ(at(2648).otherCaption,
              "\xE7\x94\xB5\xE6\xB5\x81\xE6\xAF\x94\xE4\xBE\x8B\xE7\xB3\xBB\xE6\x95\xB0");
    EXPECT_EQ(at(2548).otherCaption, "");
}

TEST_F(ParamInfoTest, TooltipsNameRegisterScaleUnitAndTheOtherPanel)
{
    SetParameterToolTips();
    const std::string kp = tip(106, uir::tabpanel_6::TAB6_NUMERIC_SET_1);
    EXPECT_NE(kp.find("Register 2648 (0x0A58)"), std::string::npos) << kp;
    EXPECT_NE(kp.find("On the DEBUG panel: \xE7\x94\xB5\xE6\xB5\x81"), std::string::npos) << kp;
    const std::string kpDebug = tip(201, uir::dbg_tab1::NUMERIC_SET_1);
    EXPECT_NE(kpDebug.find("Current loop kp"), std::string::npos) << kpDebug;
    const std::string freq = tip(202, uir::dbg_tab2::NUMERIC_SET_10);
    EXPECT_NE(freq.find("Register 2657 (0x0A61)"), std::string::npos) << freq;
    EXPECT_NE(freq.find("register x 1000/32767"), std::string::npos) << freq;
    EXPECT_NE(freq.find("Unit: Hz"), std::string::npos) << freq;
    const std::string ring = tip(103, uir::tabpanel_3::TAB3_RING_1);
    EXPECT_NE(ring.find("Scale: 1"), std::string::npos) << ring;
}
