// The commands in the technician's language: --lang (or the language the
// window keeps) changes what a person reads on standard error and in the
// usage text, never a file, a line on standard output or an exit status.
#include "app/command_language.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "app/language.h"
#include "app/options.h"
#include "tests/support/command_test.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A parameter set's bytes without the time it was saved at, the one field
// that differs from one run to the next.
std::string withoutSavedTime(const std::string& json)
{
    return std::regex_replace(json, std::regex("\"saved\": \"[^\"]*\""), "\"saved\": \"\"");
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

class DumpLanguages : public testsupport::SimulatedCommandTest {
protected:
    DumpLanguages() : SimulatedCommandTest("dump") {}
    void TearDown() override
    {
        KeepLanguage(LanguageChoice::Shipped);
        SimulatedCommandTest::TearDown();
    }
};

class Refusals : public DumpLanguages {};

class WatchLanguages : public testsupport::SimulatedCommandTest {
protected:
    WatchLanguages() : SimulatedCommandTest("watch") {}
};

}  // namespace

TEST_F(DumpLanguages, TheSetIsTheSameInEveryLanguageAndTheMessageIsInTheChosenOne)
{
    const std::string en = file("en.json");
    const std::string zh = file("zh.json");
    ASSERT_EQ(run({"--lang", "en", "--out", en}), kCommandOk) << err_;
    EXPECT_TRUE(contains(err_, " registers saved to " + en + "\n")) << err_;
    ASSERT_EQ(run({"--out", zh, "--lang=zh_CN"}), kCommandOk) << err_;
    EXPECT_TRUE(contains(err_, "个寄存器保存到 " + zh + "\n")) << err_;
    EXPECT_FALSE(contains(err_, "saved to")) << err_;
    EXPECT_EQ(withoutSavedTime(readFile(zh)), withoutSavedTime(readFile(en)));
    EXPECT_NE(readFile(en).find("\"registers\""), std::string::npos) << "a set was written";

    ASSERT_EQ(run({"--lang", "en"}), kCommandOk) << err_;
    const std::string englishOut = out_;
    ASSERT_EQ(run({"--lang", "zh_CN"}), kCommandOk) << err_;
    EXPECT_EQ(withoutSavedTime(out_), withoutSavedTime(englishOut)) << "standard output is for machines";
}

// A refusal in Chinese, with the usage text after it; as shipped and in
// English the words are the English ones; a language that is none of the
// three is a bad argument like any other.
TEST_F(Refusals, RefusalsAndTheUsageTextFollowTheLanguage)
{
    const std::vector<std::string> verify = {"verify", "--device", path_, "--lang", "zh_CN"};
    testsupport::StreamCapture out;
    testsupport::StreamCapture err;
    EXPECT_EQ(RunCommand(verify, out.file(), err.file()), kCommandBadInput);
    EXPECT_EQ(firstLine(err.text()), "drive-console: verify 需要一个文件（FILE）");
    EXPECT_TRUE(contains(err.text(), "\n命令（无需显示器）：\n")) << err.text();
    EXPECT_TRUE(contains(err.text(), "  端口选项：")) << err.text();

    for (const char* english : {"en", "shipped"}) {
        EXPECT_EQ(run({"--parity", "mark", "--lang", english}), kCommandBadInput);
        EXPECT_EQ(firstLine(err_), "drive-console: bad --parity 'mark' (none, odd or even)") << english;
        EXPECT_TRUE(contains(err_, "\ncommands (no display needed):\n")) << english;
    }
    for (const char* unknown : {"de", "zh", ""}) {
        EXPECT_EQ(run({"--lang", unknown}), kCommandBadInput) << unknown;
        EXPECT_EQ(firstLine(err_),
                  std::string("drive-console: bad --lang '") + unknown + "' (shipped, en or zh_CN)");
    }
    EXPECT_EQ(run({"--lang"}), kCommandBadInput);
    EXPECT_EQ(firstLine(err_), "drive-console: --lang needs a value");

    // The window's usage text too, as --help prints it.
    {
        const CommandLanguage chinese("zh_CN", stderr);
        EXPECT_EQ(ConsoleUsage().rfind("用法：drive-console [选项]\n  --com N=DEVICE       在 DEVICE", 0),
                  0u);
    }
    EXPECT_EQ(ConsoleUsage().rfind("usage: drive-console [options]\n", 0), 0u) << "back to English";
}

// Without --lang a command speaks the language the window keeps; --lang
// overrides it for the one run.
TEST_F(DumpLanguages, WithoutLangTheKeptLanguageHolds)
{
    ASSERT_TRUE(KeepLanguage(LanguageChoice::Chinese));
    EXPECT_EQ(run({"--baud", "300"}), kCommandBadInput);
    EXPECT_EQ(firstLine(err_),
              "drive-console: --baud 的值“300”无效（应为 1200、2400、4800、9600、19200 或 115200）");
    EXPECT_EQ(run({"--baud", "300", "--lang", "shipped"}), kCommandBadInput);
    EXPECT_EQ(firstLine(err_), "drive-console: bad --baud '300' (1200, 2400, 4800, 9600, 19200 or 115200)");
}

// The event lines and the --out file of a watch are those of every language;
// its messages are Chinese.
TEST_F(WatchLanguages, EventLinesAndTheFileStayAsTheyAre)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}, {t + 3500, 2762, 0}}));
    const std::string csv = file("watch.csv");
    ASSERT_EQ(run({"--duration", "4.5", "--out", csv, "--lang", "zh_CN"}), kCommandDiffers) << err_;
    const std::regex on("\\S+  ON    2762 bit 1   overVolt  first: yes\n");
    const std::regex off("\\S+  OFF   2762 bit 1   overVolt  [0-9.]+ s\n");
    const std::string firstEvent = out_.substr(0, out_.find('\n') + 1);
    EXPECT_TRUE(std::regex_match(firstEvent, on)) << out_;
    EXPECT_TRUE(std::regex_match(out_.substr(firstEvent.size()), off)) << out_;
    EXPECT_EQ(readFile(csv).rfind("time,event,register,bit,caption,duration_s,first,System status,", 0), 0u);
    EXPECT_TRUE(contains(err_, "drive-console: 正在监视 ")) << err_;
    EXPECT_TRUE(contains(err_, "drive-console: 1 次故障出现，每 ")) << err_;
}
