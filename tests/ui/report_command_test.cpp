// drive-console report against the simulated controller over a
// pseudo-terminal, in this process on the stepped clock: the bundle it
// writes, read back by readers that are not its writer's, and the runs that
// must leave no file.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSysInfo>
#include <array>
#include <sstream>

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

// What a browser that opens `html` would fetch or run, one a line: elements
// that load or run something, attributes that name another place, styles
// that import or point at a file. Read by a real HTML parser, so that an
// attribute however quoted or a tag however spelled is found.
std::string fetchesOf(const std::string& html)
{
    static const char* const kScript =
        "import sys, html.parser\n"
        "class P(html.parser.HTMLParser):\n"
        "    def handle_starttag(self, tag, attrs):\n"
        "        if tag in ('script', 'link', 'img', 'iframe', 'frame', 'object', 'embed', 'image',\n"
        "                   'audio', 'video', 'source', 'track', 'base', 'form', 'use', 'feimage'):\n"
        "            print('element', tag)\n"
        "        for name, value in attrs:\n"
        "            v = (value or '').lower()\n"
        "            if name in ('src', 'href', 'xlink:href', 'srcset', 'data', 'action', 'poster',\n"
        "                        'background', 'formaction', 'ping') or name.startswith('on') \\\n"
        "                    or 'url(' in v or '://' in v or (name == 'http-equiv' and v == 'refresh'):\n"
        "                print('attribute', tag, name, value)\n"
        "    def handle_data(self, data):\n"
        "        if 'url(' in data.lower() or '@import' in data.lower():\n"
        "            print('style', data[:80])\n"
        "P().feed(sys.stdin.read())\n";
    QProcess python;
    python.start("python3", {"-c", kScript});
    python.write(QByteArray::fromStdString(html));
    python.closeWriteChannel();
    if (!python.waitForFinished(60000) || python.exitCode() != 0) return "python3 failed";
    return python.readAllStandardOutput().toStdString();
}

// The events of a faults.csv without their times and durations:
// "ON,2762,1,overVolt,yes".
std::vector<std::string> eventsOf(const std::string& csv)
{
    std::vector<std::string> events;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string f; std::getline(parts, f, ',');) fields.push_back(f);
        if (fields.size() < 7) {
            events.push_back(line);
            continue;
        }
        events.push_back(fields[1] + "," + fields[2] + "," + fields[3] + "," + fields[4] + "," + fields[6]);
    }
    return events;
}

class Report : public testsupport::SimulatedCommandTest {
protected:
    Report() : SimulatedCommandTest("report") {}
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

    // The controller's parameters as the report should give them, and the
    // reference: the same with two changed (in *changed).
    std::map<int, int> writeReference(std::map<int, int>* referenceWords,
                                      std::vector<const psets::RegisterInfo*>* changed)
    {
        std::map<int, int> words;
        for (const psets::RegisterInfo& info : psets::Registers()) {
            words[info.reg] = static_cast<std::int16_t>(sim_.registerValue(info.reg));
            if (!info.action() && changed->size() < 2 && info.controls.front().items.empty())
                changed->push_back(&info);
        }
        *referenceWords = words;
        for (const psets::RegisterInfo* info : *changed) (*referenceWords)[info->reg] += 3;
        std::string error;
        EXPECT_TRUE(
            psets::SaveSetFile(file("reference.json"), psets::SetFromWords(*referenceWords, ""), &error));
        return words;
    }
    // Two faults, the first-out one clearing; the other still on at the end.
    void scheduleFaults()
    {
        const std::int64_t t = sim_.timeMs();
        ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}, {t + 2500, 2763, 0x0004}, {t + 3500, 2762, 0}}));
    }
};

TEST_F(Report, TheBundleOfARunHasEveryMemberAndTellsItsFaults)
{
    // The reference: the controller's own parameters with two changed.
    std::map<int, int> referenceWords;
    std::vector<const psets::RegisterInfo*> changed;
    const std::map<int, int> words = writeReference(&referenceWords, &changed);
    ASSERT_EQ(changed.size(), 2u);
    scheduleFaults();
    const std::string zip = file("report.zip");
    ASSERT_EQ(run({"--duration", "5", "--reference", file("reference.json"), "--out", zip}), kCommandOk)
        << err_;
    EXPECT_EQ(out_, zip + "\n");
    QProcess unzip;
    unzip.start("unzip", {"-tq", QString::fromStdString(zip)});
    ASSERT_TRUE(unzip.waitForFinished(60000));
    EXPECT_EQ(unzip.exitCode(), 0) << "unzip -t: " << unzip.readAll().toStdString();
    std::string error;

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
    EXPECT_EQ(fetchesOf(html), "");

    // The reference's differences marked, with both values; nothing else marked.
    EXPECT_EQ(occurrences(html, "<tr class=\"differs\">"), 2u);
    for (const psets::RegisterInfo* info : changed) {
        const std::vector<std::string> rows = rowsWith(html, "<td>" + std::to_string(info->reg) + "</td>");
        ASSERT_EQ(rows.size(), 1u) << info->reg;
        EXPECT_TRUE(contains(rows[0], "class=\"differs\"")) << rows[0];
        EXPECT_TRUE(contains(rows[0], psets::FormatValue(*info, words.at(info->reg)))) << rows[0];
        EXPECT_TRUE(contains(rows[0], psets::FormatValue(*info, referenceWords.at(info->reg)))) << rows[0];
    }
    // Nothing of the machine beyond what it says it holds: no home folder,
    // no host or user name (where they are long enough not to be a word).
    std::vector<std::string> machine = {QDir::homePath().toStdString()};
    for (const QString& name : {QSysInfo::machineHostName(), qEnvironmentVariable("USER")})
        if (name.size() >= 5) machine.push_back(name.toStdString());
    for (const auto& [name, bytes] : *members)
        for (const std::string& part : machine) EXPECT_FALSE(contains(bytes, part)) << name << ": " << part;
}

// The capture of a run makes the same report again without a line: the same
// fault events, the parameters of its last page reads, the differences.
TEST_F(Report, ACaptureOfARunReplaysToTheSameReport)
{
    std::map<int, int> referenceWords;
    std::vector<const psets::RegisterInfo*> changed;
    const std::map<int, int> words = writeReference(&referenceWords, &changed);
    scheduleFaults();
    const std::string capture = file("run.pcapng");
    ASSERT_EQ(run({"--duration", "5", "--capture", capture, "--out", file("live.zip")}), kCommandOk) << err_;
    sim_.clearRequests();

    const std::string zip = file("replayed.zip");
    const std::vector<std::string> replay = {
        "report", "--replay", capture, "--reference", file("reference.json"), "--out", zip};
    testsupport::StreamCapture out;
    testsupport::StreamCapture err;
    ASSERT_EQ(RunCommand(replay, out.file(), err.file()), kCommandOk) << err.text();
    EXPECT_EQ(sim_.requests().size(), 0u) << "nothing goes on the line";

    std::string error;
    const auto live = testsupport::ReadZip(file("live.zip"), &error);
    const auto replayed = testsupport::ReadZip(zip, &error);
    ASSERT_TRUE(live && replayed) << error;
    EXPECT_EQ(eventsOf(replayed->at("faults.csv")), eventsOf(live->at("faults.csv")))
        << replayed->at("faults.csv");
    psets::ParameterSet set;
    ASSERT_TRUE(psets::FromJson(QByteArray::fromStdString(replayed->at("parameters.json")), &set, &error));
    ASSERT_EQ(set.entries.size(), words.size());
    for (const psets::Entry& e : set.entries) EXPECT_EQ(e.word, words.at(e.reg)) << e.reg;
    const std::string& html = replayed->at("report.html");
    EXPECT_EQ(occurrences(html, "<tr class=\"differs\">"), 2u);
    EXPECT_TRUE(contains(html, "Faults on now: <span class=\"on\">" + FaultCaption(18) + "</span>"));
    EXPECT_TRUE(contains(html, "made from the capture run.pcapng"));
    EXPECT_EQ(replayed->at("capture.pcapng").size(), QFileInfo(QString::fromStdString(capture)).size());
    EXPECT_EQ(fetchesOf(html), "");
    // The line counted again from the capture: it goes on past the live
    // count (the line runs until the command ends), every request answered
    // but the one the closing port cut off.
    const auto counters = [](const std::string& json) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
        return std::array<int, 3>{o["requests"].toInt(), o["replies_ok"].toInt(),
                                  o["password_writes"].toInt()};
    };
    const std::array<int, 3> counted = counters(live->at("link.json"));
    const std::array<int, 3> recounted = counters(replayed->at("link.json"));
    for (std::size_t i = 0; i < counted.size(); ++i) EXPECT_GE(recounted[i], counted[i]) << i;
    EXPECT_LE(recounted[0] - recounted[1], 1) << replayed->at("link.json");

    // A file that is no capture, or none at all: bad input, no file.
    const std::string notCapture = file("reference.json");
    for (const std::string& bad : {notCapture, file("none.pcapng")}) {
        const std::string badZip = file("bad.zip");
        EXPECT_EQ(RunCommand({"report", "--replay", bad, "--out", badZip}, out.file(), err.file()),
                  kCommandBadInput)
            << bad;
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(badZip)));
    }
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--device", path_},
                                                  {"--duration", "5"},
                                                  {"--capture", file("again.pcapng")}}) {
        std::vector<std::string> args = {"report", "--replay", capture, "--out", file("bad.zip")};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(RunCommand(args, out.file(), err.file()), kCommandBadInput) << extra[0];
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file("bad.zip"))));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file("again.pcapng"))));
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
