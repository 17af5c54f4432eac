// drive-console report against the simulated controller over a
// pseudo-terminal, in this process on the stepped clock: the bundle it
// writes, read back by readers that are not its writer's, and the runs that
// must leave no file.
#include <gtest/gtest.h>

#include <QDir>

#include "engine/status_text.h"
#include "model/data_item.h"
#include "sets/parameter_set.h"
#include "tests/support/capture_items.h"
#include "tests/support/command_test.h"
#include "tests/support/zip_reading.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The rows of the page's tables that hold `part`.
std::vector<std::string> rowsWith(const std::string& html, const std::string& part)
{
    std::vector<std::string> rows;
    for (std::size_t at = html.find("<tr"); at != std::string::npos; at = html.find("<tr", at + 1)) {
        const std::string row = html.substr(at, html.find("</tr>", at) - at);
        if (contains(row, part)) rows.push_back(row);
    }
    return rows;
}

class Report : public testsupport::SimulatedCommandTest {
protected:
    Report() : SimulatedCommandTest("report") {}
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(Report, TheBundleOfARunHasEveryMemberAndTellsItsFaults)
{
    // The reference: the controller's own parameters with two changed.
    std::map<int, int> words;
    std::vector<const psets::RegisterInfo*> changed;
    for (const psets::RegisterInfo& info : psets::Registers()) {
        words[info.reg] = static_cast<std::int16_t>(sim_.registerValue(info.reg));
        if (!info.action() && changed.size() < 2 && info.controls.front().items.empty())
            changed.push_back(&info);
    }
    ASSERT_EQ(changed.size(), 2u);
    std::map<int, int> referenceWords = words;
    for (const psets::RegisterInfo* info : changed) referenceWords[info->reg] += 3;
    std::string error;
    ASSERT_TRUE(psets::SaveSetFile(file("reference.json"), psets::SetFromWords(referenceWords, ""), &error));

    // Two faults, the first-out one clearing; the other still on at the end.
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}, {t + 2500, 2763, 0x0004}, {t + 3500, 2762, 0}}));
    const std::string zip = file("report.zip");
    ASSERT_EQ(run({"--duration", "5", "--reference", file("reference.json"), "--out", zip}), kCommandOk)
        << err_;
    EXPECT_EQ(out_, zip + "\n");

    const auto members = testsupport::ReadZip(zip, &error);
    ASSERT_TRUE(members) << error;
    std::vector<std::string> names;
    for (const auto& m : *members) names.push_back(m.first);
    EXPECT_EQ(names,
              (std::vector<std::string>{"about.json", "capture.pcapng", "faults.csv", "link.json",
                                        "parameters.json", "report.html", "status.csv", "writes.csv"}));

    // The parameters as dump writes them: a set, equal to the controller's registers.
    psets::ParameterSet set;
    ASSERT_TRUE(psets::FromJson(QByteArray::fromStdString(members->at("parameters.json")), &set, &error))
        << error;
    ASSERT_EQ(set.entries.size(), words.size());
    for (const psets::Entry& e : set.entries) EXPECT_EQ(e.word, words.at(e.reg)) << e.reg;

    const std::string& faults = members->at("faults.csv");
    EXPECT_EQ(faults.rfind("time,event,register,bit,caption,duration_s,first,", 0), 0u) << faults;
    EXPECT_TRUE(contains(faults, ",ON,2762,1,overVolt,,yes,")) << faults;
    EXPECT_TRUE(contains(faults, ",ON,2763,2," + FaultCaption(18) + ",,no,")) << faults;
    EXPECT_TRUE(contains(faults, ",OFF,2762,1,overVolt,")) << faults;
    EXPECT_EQ(occurrences(faults, "\n"), 4u) << "a header and three events: " << faults;

    // A capture the console's own reader takes whole, with the status reads in it.
    const std::string& capture = members->at("capture.pcapng");
    const testsupport::CaptureItems items =
        testsupport::ReadCaptureItems(std::vector<unsigned char>(capture.begin(), capture.end()));
    EXPECT_EQ(items.error, "");
    EXPECT_GT(items.packets.size(), 10u);
    const std::string& status = members->at("status.csv");
    EXPECT_EQ(status.rfind("time," + StatusColumnTitle(0) + ",", 0), 0u) << status.substr(0, 200);
    EXPECT_GE(occurrences(status, "\n"), 8u) << "a status reply every 0.5 s for 5 s";

    // The page: every fault, one timeline, one plot per unit, nothing from outside.
    const std::string& html = members->at("report.html");
    EXPECT_TRUE(contains(html, FaultCaption(1)));
    EXPECT_TRUE(contains(html, FaultCaption(18)));
    EXPECT_TRUE(contains(html, "Faults on now: <span class=\"on\">" + FaultCaption(18) + "</span>"));
    EXPECT_EQ(occurrences(html, "<svg class=\"timeline\""), 1u);
    EXPECT_EQ(occurrences(html, "<svg class=\"plot\""), 4u) << "volts, amperes, degrees, speed";
    for (int item : {STATUS_BATTERY_VOLTAGE, STATUS_CONTROLLER_TEMP, STATUS_MOTOR_SPEED})
        EXPECT_TRUE(contains(html, "<title>" + StatusUnit(item) + "</title>")) << StatusUnit(item);
    for (const char* outside : {"http", "src=", "href", "<script", "<link", "url(", "@import"})
        EXPECT_FALSE(contains(html, outside)) << outside;

    // The reference's differences marked, with both values; nothing else marked.
    EXPECT_EQ(occurrences(html, "<tr class=\"differs\">"), 2u);
    for (const psets::RegisterInfo* info : changed) {
        const std::vector<std::string> rows = rowsWith(html, "<td>" + std::to_string(info->reg) + "</td>");
        ASSERT_EQ(rows.size(), 1u) << info->reg;
        EXPECT_TRUE(contains(rows[0], "class=\"differs\"")) << rows[0];
        EXPECT_TRUE(contains(rows[0], psets::FormatValue(*info, words[info->reg]))) << rows[0];
        EXPECT_TRUE(contains(rows[0], psets::FormatValue(*info, referenceWords[info->reg]))) << rows[0];
    }
    // Nothing of the machine beyond what it says it holds.
    for (const auto& [name, bytes] : *members)
        EXPECT_FALSE(contains(bytes, QDir::homePath().toStdString())) << name;
}

TEST_F(Report, ASilentControllerOrAFileThatCannotBeWrittenLeavesNoFile)
{
    sim::Fault silent;
    silent.silent = true;
    sim_.setFault(4039, silent);  // the password is never echoed
    EXPECT_EQ(run({"--out", file("silent.zip")}, "1"), kCommandNoAnswer);
    EXPECT_TRUE(contains(err_, "no report written")) << err_;
    EXPECT_EQ(files(), QStringList{});
    sim_.clearFaults();
    sim_.clearRequests();

    EXPECT_EQ(run({"--duration", "1", "--out", file("missing/r.zip")}), kCommandBadInput);
    EXPECT_TRUE(contains(err_, "cannot write")) << err_;
    EXPECT_EQ(run({"--duration", "1", "--reference", file("none.json"), "--out", file("r.zip")}),
              kCommandBadInput);
    EXPECT_EQ(run({"--duration", "0"}), kCommandBadInput);
    EXPECT_EQ(files(), QStringList{});
    EXPECT_EQ(sim_.requests().size(), 0u)
        << "nothing goes on the line before the arguments and the file are good";
}

}  // namespace
