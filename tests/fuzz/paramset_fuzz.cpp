// Any bytes as a parameter-set file, as technicians mail them to each other.
//
// Checks: the file loads, or it is rejected with "line N: <fault>", N a line
// of the file, and the set handed in untouched. A loaded set names parameter
// registers only, each once, with words in -32768..32767; saved and loaded
// again it gives the same registers and words in the same order, the same
// time stamp and the same note. It is also compared with the controller's
// words and shown as the comparison window shows it.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "model/data_item.h"
#include "sets/parameter_set.h"

namespace {

void require(bool holds, const char* what, const std::string& detail = "")
{
    if (holds) return;
    std::fprintf(stderr, "paramset_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

// "line N: fault" with N in 1..lines.
bool namesALine(const std::string& error, int lines)
{
    const std::string prefix = "line ";
    if (error.compare(0, prefix.size(), prefix) != 0) return false;
    std::size_t at = prefix.size();
    long line = 0;
    const std::size_t digits = at;
    while (at < error.size() && error[at] >= '0' && error[at] <= '9' && line <= lines) {
        line = line * 10 + (error[at++] - '0');
    }
    if (at == digits || line < 1 || line > lines) return false;
    return error.compare(at, 2, ": ") == 0 && error.size() > at + 2;
}

bool sameEntries(const psets::ParameterSet& a, const psets::ParameterSet& b)
{
    if (a.entries.size() != b.entries.size()) return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        if (a.entries[i].reg != b.entries[i].reg || a.entries[i].word != b.entries[i].word) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Captions and units as the installed panels give them, so that saved
    // files carry them as they do on a console.
    setenv("DSC_UIR_DIR", DSC_SOURCE_DIR "/app/uir", 0);
    fillDataItems();
    require(!psets::Registers().empty(), "no parameter registers");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    psets::ParameterSet set;
    set.note = "untouched";
    set.entries.push_back({-1, -1});
    std::string error;
    if (!psets::FromJson(bytes, &set, &error)) {
        require(namesALine(error, static_cast<int>(bytes.count('\n')) + 1),
                "a rejection without its line:", error);
        require(set.note == "untouched" && set.entries.size() == 1 && set.entries[0].reg == -1,
                "a rejected file changed the set");
        return 0;
    }
    require(error.empty(), "a loaded file with an error:", error);
    std::set<int> seen;
    for (const psets::Entry& e : set.entries) {
        require(psets::FindRegister(e.reg) != nullptr,
                "a loaded register that is no parameter:", std::to_string(e.reg));
        require(seen.insert(e.reg).second, "a register loaded twice:", std::to_string(e.reg));
        require(e.word >= -32768 && e.word <= 32767, "a word out of range:", std::to_string(e.word));
    }

    // As the comparison window shows it.
    const std::vector<psets::Comparison> rows = psets::Compare(set, psets::TableWords());
    require(rows.size() == set.entries.size(), "a comparison with another number of rows");
    for (const psets::Comparison& row : rows) {
        require(row.info != nullptr, "a compared row without its register");
        require(!psets::FormatValue(*row.info, row.fileWord).empty(), "a value shown as nothing");
    }

    const QByteArray saved = psets::ToJson(set);
    psets::ParameterSet again;
    require(psets::FromJson(saved, &again, &error), "a saved set does not load:", error);
    require(sameEntries(set, again), "a saved set loads with other registers or words");
    require(again.saved == set.saved, "a saved set loads with another time stamp");
    require(again.note == set.note, "a saved set loads with another note");
    return 0;
}
