// Parameter set files: what a saved file holds, that it loads back as saved,
// and that every kind of bad file is refused whole, naming its line.
#include "sets/parameter_set.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdlib>

#include "model/data_item.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "sets/set_line.h"
#include "tests/support/test_support.h"

namespace {

class ParameterSets : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 1);
        fillDataItems();
    }

    // A full set whose words are register - 2500, with a few negatives.
    static psets::ParameterSet fullSet()
    {
        std::map<int, int> words;
        for (const psets::RegisterInfo& r : psets::Registers()) words[r.reg] = r.reg - 2500;
        words[2549] = -32768;
        words[2550] = 32767;
        words[2551] = -1;
        return psets::SetFromWords(words, "bench 3, \"before\" the swap");
    }

    // Loads `text`; returns the error, or "" when it loaded.
    static std::string loadError(const std::string& text)
    {
        psets::ParameterSet set;
        set.note = "untouched";
        std::string error;
        if (psets::FromJson(QByteArray::fromStdString(text), &set, &error)) return "";
        EXPECT_EQ(set.note, "untouched") << "a rejected file must leave the set alone";
        return error;
    }
};

// One entry per line, so that the tests can aim at a line.
std::string fileWith(const std::string& entries, const std::string& head = "")
{
    return "{\n"
           "\"format\": \"drive-console-parameters\",\n"
           "\"version\": 1,\n" +
           head + "\"registers\": [\n" + entries +
           "]\n"
           "}\n";
}

}  // namespace

TEST_F(ParameterSets, RegistersAreTheSeventyPageRegistersDescribedAsThePanelsShowThem)
{
    const auto& regs = psets::Registers();
    ASSERT_EQ(regs.size(), 70u);
    EXPECT_EQ(regs.front().reg, 2548);
    EXPECT_EQ(regs.back().reg, 2662);
    for (const auto& r : regs) {
        EXPECT_FALSE(r.caption.empty()) << r.reg;
        EXPECT_FALSE(r.page.empty()) << r.reg;
    }
    const psets::RegisterInfo* overVolt = psets::FindRegister(2550);
    ASSERT_NE(overVolt, nullptr);
    EXPECT_EQ(overVolt->page, "BASIC");
    EXPECT_EQ(overVolt->caption, "Over volt");
    EXPECT_EQ(overVolt->unit, "V");
    // Shown only on the debug panel: caption and unit come from there.
    const psets::RegisterInfo* freq = psets::FindRegister(2657);
    ASSERT_NE(freq, nullptr);
    EXPECT_EQ(freq->page, "DEBUG");
    EXPECT_EQ(freq->unit, "Hz");
    EXPECT_TRUE(freq->scaled());
    // A hidden caption text in the unit column is not a unit.
    EXPECT_EQ(psets::FindRegister(2655)->unit, "");
    EXPECT_EQ(psets::FindRegister(2563), nullptr);
    EXPECT_EQ(psets::FindRegister(2748), nullptr) << "status registers are not parameters";
}

TEST_F(ParameterSets, SavedFileLoadsBackAsSavedAndShowsValuesInControlUnits)
{
    const psets::ParameterSet set = fullSet();
    QTemporaryDir dir;
    const std::string path = dir.filePath("sub/set.json").toStdString();
    std::string error;
    ASSERT_TRUE(psets::SaveSetFile(path, set, &error)) << error;

    psets::ParameterSet back;
    ASSERT_TRUE(psets::LoadSetFile(path, &back, &error)) << error;
    EXPECT_EQ(back.saved, set.saved);
    EXPECT_EQ(back.note, set.note);
    ASSERT_EQ(back.entries.size(), 70u);
    for (std::size_t i = 0; i < back.entries.size(); ++i) {
        EXPECT_EQ(back.entries[i].reg, set.entries[i].reg);
        EXPECT_EQ(back.entries[i].word, set.entries[i].word);
    }

    // The people's fields: 2608 shows word x 5/32767 in volts.
    const QJsonDocument doc = QJsonDocument::fromJson(psets::ToJson(set));
    const QJsonArray regs = doc.object().value("registers").toArray();
    ASSERT_EQ(regs.size(), 70);
    const QJsonObject throttle = regs[0 + 15 + 7 + 16].toObject();
    EXPECT_EQ(throttle.value("register").toInt(), 2608);
    EXPECT_EQ(throttle.value("page").toString(), "THROTTLE");
    EXPECT_EQ(throttle.value("unit").toString(), "V");
    EXPECT_NEAR(throttle.value("value").toDouble(), 108.0 * 5 / 32767, 1e-4);
}

TEST_F(ParameterSets, PartialSetLoadsAndPeopleFieldsAreIgnored)
{
    psets::ParameterSet set;
    std::string error;
    ASSERT_TRUE(psets::FromJson(
        QByteArray::fromStdString(
            fileWith("{\"register\": 2603, \"word\": 123, \"value\": 999, \"caption\": \"x\"},\n"
                     "{\"register\": 2548, \"word\": -5}\n")),
        &set, &error))
        << error;
    ASSERT_EQ(set.entries.size(), 2u);
    EXPECT_EQ(set.entries[0].reg, 2603);
    EXPECT_EQ(set.entries[0].word, 123);
    EXPECT_EQ(set.entries[1].word, -5);
}

TEST_F(ParameterSets, EveryBadFileIsRefusedWholeNamingTheLineAndTheFault)
{
    const std::string good = "{\"register\": 2548, \"word\": 1},\n";  // line 5
    struct Case {
        std::string text;
        std::string expected;  // start of the error
        std::string fault;     // a word of the fault
    };
    const Case cases[] = {
        {"{\n\"format\": \"drive-console-parameters\",\n\"version\": 1,\n\"registers\": [\n{\"register\": "
         "2548,\n",
         "line 6:", "malformed"},
        {"[1, 2]", "line 1:", "object"},
        {"{\n\"format\": \"other\",\n\"version\": 1,\n\"registers\": []\n}", "line 2:", "format"},
        {"{\n\"version\": 1,\n\"registers\": []\n}", "line 1:", "format"},
        {"{\n\"format\": \"drive-console-parameters\",\n\"version\": 2,\n\"registers\": []\n}",
         "line 3:", "version"},
        {fileWith(good + "{\"register\": 2563, \"word\": 1}\n"),
         "line 6:", "2563 is not a parameter register"},
        {fileWith(good + "{\"register\": 2748, \"word\": 1}\n"), "line 6:", "not a parameter register"},
        {fileWith(good + "{\"register\": 2548, \"word\": 2}\n"), "line 6:", "appears twice (also on line 5)"},
        {fileWith(good + "{\"register\": 2549,\n \"word\": 32768}\n"), "line 7:", "outside -32768..32767"},
        {fileWith(good + "{\"register\": 2549, \"word\": -32769}\n"), "line 6:", "outside"},
        {fileWith(good + "{\"register\": 2549, \"word\": 1.5}\n"), "line 6:", "not a whole number"},
        {fileWith(good + "{\"register\": \"2549\", \"word\": 1}\n"), "line 6:", "not a whole number"},
        {fileWith(good + "{\"register\": 2549}\n"), "line 6:", "no \"word\""},
        {fileWith(good + "{\"word\": 1}\n"), "line 6:", "without \"register\""},
        {fileWith(good + "7\n"), "line 6:", "not an object"},
        {"{\n\"format\": \"drive-console-parameters\",\n\"version\": 1\n}", "line 1:", "registers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string error = loadError(c.text);
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << error;
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    }
}

TEST_F(ParameterSets, FilesThatAreNotSetsAreRefusedWithoutHarm)
{
    QTemporaryDir dir;
    psets::ParameterSet set;
    std::string error;
    EXPECT_FALSE(psets::LoadSetFile(dir.filePath("missing.json").toStdString(), &set, &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    EXPECT_FALSE(psets::LoadSetFile("/dev/zero", &set, &error)) << "an endless device is not read to its end";
    EXPECT_FALSE(psets::FromJson(QByteArray("\xff\xfe\x00{", 4), &set, &error));
    EXPECT_FALSE(psets::FromJson(QByteArray(), &set, &error));
    EXPECT_FALSE(psets::SaveSetFile("/proc/no-such/set.json", fullSet(), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ParameterSets, OnlyDifferingSettableRegistersAreWrittenNarrowedByOnly)
{
    std::map<int, int> controller;
    for (const psets::RegisterInfo& r : psets::Registers()) controller[r.reg] = 0;
    psets::ParameterSet file;
    file.entries = {{2550, 58}, {2551, 0}, {2608, 100}, {2650, 1},
                    {2654, 1},  {2655, 1}, {2651, 2},   {2662, 1}};
    auto regs = [](const std::vector<psets::Entry>& entries) {
        std::vector<int> out;
        out.reserve(entries.size());
        for (const auto& e : entries) out.push_back(e.reg);
        return out;
    };
    EXPECT_EQ(regs(psets::RegistersToWrite(file, controller, {})), (std::vector<int>{2550, 2608, 2662}))
        << "equal registers and the command and test switches are left alone";
    EXPECT_EQ(regs(psets::RegistersToWrite(file, controller, {2608, 2551, 2654})), (std::vector<int>{2608}));
    const auto compared = psets::Compare(file, controller);
    ASSERT_EQ(compared.size(), file.entries.size());
    EXPECT_TRUE(compared[4].differs) << "switches are still compared";
}

// The engine's side of the page reads, played from the pauses of
// ReadPagesFresh: first the replies to reads that were on the line before it
// began (they carry the old values), then a read of its own and the reply.
class FreshReadScript {
public:
    static void pause(int /*ms*/)
    {
        ++polls;
        for (const ItemTable& t : kPageTables) {
            DataItem& head = t.items[0];
            switch (polls) {
                case 1:  // an earlier read's reply: stored, mark cleared, nothing sent
                    head.read_count.fetch_add(1);
                    head.query_flag.store(0);
                    break;
                case 2:  // asked again, so the engine sends a read
                    if (head.query_flag.load() != 1) askedAgain = false;
                    head.query_flag.store(0);
                    head.count_at_send.store(head.read_count.load());
                    head.read_sent.fetch_add(1);
                    break;
                case 3:  // and its reply comes
                    head.read_count.fetch_add(1);
                    break;
                default:
                    break;
            }
        }
    }
    static inline int polls = 0;
    static inline bool askedAgain = true;
};

TEST_F(ParameterSets, AReadAlreadyOnTheLineIsNotTakenForAFreshOne)
{
    FreshReadScript::polls = 0;
    FreshReadScript::askedAgain = true;
    comConfigure_success_flag = 1;
    SetSleepHooks(&FreshReadScript::pause, &FreshReadScript::pause);
    std::string error;
    const bool read = psets::ReadPagesFresh(5000, &error);
    SetSleepHooks(nullptr, nullptr);
    comConfigure_success_flag = 0;
    EXPECT_TRUE(read) << error;
    EXPECT_EQ(FreshReadScript::polls, 3) << "done only after the reply to a read sent after the call began";
    EXPECT_TRUE(FreshReadScript::askedAgain) << "the mark an earlier reply cleared is set again";
}
