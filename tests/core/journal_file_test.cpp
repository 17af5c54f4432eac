// The journals as several consoles and versions share them: two processes
// appending to the same file at once, and a file an older version began with
// other columns.
#include "engine/journal_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/write_journal.h"
#include "platform/os/app_dirs.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "time,who,n,text";

// A fresh folder of this program's state folder.
std::string Folder(const char* name)
{
    const fs::path dir = fs::path(ConsoleStateDir()) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A line long enough that a write of many of them is not one block.
std::string LineOf(char who, int n)
{
    return "2026-12-09T12:00:00.000+00:00," + std::string(1, who) + "," + std::to_string(n) + "," +
           std::string(120, who);
}

}  // namespace

TEST(SharedJournal, TwoProcessesAppendingAtOnceWriteWholeLinesAndOneHeader)
{
    constexpr int kLines = 3000;
    const std::string path = Folder("shared") + "/faults.csv";
    std::vector<pid_t> children;
    int gate[2];  // both start when it closes
    ASSERT_EQ(::pipe(gate), 0);
    for (const char who : {'a', 'b'}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char c = 0;
            while (::read(gate[0], &c, 1) > 0) {
            }
            {
                // A console's journal: a thread of its own appending as lines come.
                JournalFile journal(path, kHeader, nullptr);
                for (int n = 0; n < kLines; ++n) journal.append(LineOf(who, n));
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 2u * kLines + 1);
    EXPECT_EQ(lines[0], kHeader);
    std::map<char, int> next = {{'a', 0}, {'b', 0}};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const char who = lines[i].size() > 30 ? lines[i][30] : '?';
        ASSERT_TRUE(next.count(who) == 1) << "line " << i << ": " << lines[i];
        // Each process's lines whole and in its own order.
        ASSERT_EQ(lines[i], LineOf(who, next[who]++)) << "line " << i;
    }
    EXPECT_EQ(next['a'], kLines);
    EXPECT_EQ(next['b'], kLines);
}

TEST(SharedJournal, AJournalWithAnOlderHeaderIsKeptUnderItsDateAndANewOneBegun)
{
    const std::string folder = Folder("older");
    const std::string old =
        "time,panel,page,caption,register,value,unit,word,outcome,detail\n"
        "2026-12-01T08:00:00.000+00:00,PARAMETER SET,BASIC,Over volt,2550,58,V,0x003A,"
        "confirmed,\n";
    std::ofstream(folder + "/writes.csv", std::ios::binary) << old;
    // Taken already: the next free name is used.
    std::vector<std::string> notes;
    {
        JournalFile journal(folder + "/writes.csv", kWriteJournalHeader, nullptr,
                            folder + "/writes-2026-12-09.csv",
                            [&notes](const std::string& note) { notes.push_back(note); });
        std::ofstream(folder + "/writes-2026-12-09.csv") << "x\n";
        journal.append("one");
        journal.drain();
        journal.append("two");
    }
    ASSERT_EQ(notes.size(), 1u) << "said once";
    EXPECT_EQ(
        notes[0],
        "writes.csv had the columns of an older version: kept as writes-2026-12-09-2.csv, a new one begun");
    std::ifstream kept(folder + "/writes-2026-12-09-2.csv", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), old) << "kept as it was";
    EXPECT_EQ(Lines(folder + "/writes.csv"), (std::vector<std::string>{kWriteJournalHeader, "one", "two"}));
    EXPECT_EQ(Lines(folder + "/writes-2026-12-09.csv"), std::vector<std::string>{"x"});
}
