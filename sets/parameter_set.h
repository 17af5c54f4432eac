// Parameter sets: the controller's parameter registers as a file, and how a
// file compares with what the controller holds.
//
// A set names registers and their 16-bit words; everything else in the file
// (page, caption, value in the control's units, unit) is there for people and
// is ignored on load. The registers, their order, scales, captions and units
// are those of the register catalogue.
#pragma once

#include <QByteArray>
#include <map>
#include <string>
#include <vector>

#include "model/register_catalogue.h"

namespace psets {

constexpr const char* kFormat = "drive-console-parameters";
constexpr int kVersion = 1;

// One parameter register as the register catalogue describes it: `reg`,
// `tab` and `index`, the `page` of its table, the `caption` and `unit` of the
// control that shows it, whether that control shows it scaled, and whether it
// is an action (a command or motor-test switch: saved like the
// others, but a set never writes it, since writing it acts rather than sets,
// and never counts it as a difference).
using RegisterInfo = RegisterEntry;

// Every parameter register of the six page tables, in table order. When the
// panel resources cannot be read their captions and units stay empty.
const std::vector<RegisterInfo>& Registers();
// The entry of `reg`, or nullptr when it is not a parameter register.
const RegisterInfo* FindRegister(int reg);
// `word` in the units of the register's control.
double DisplayValue(const RegisterInfo& info, int word);

struct Entry {
    int reg = 0;
    int word = 0;  // -32768..32767
};

struct ParameterSet {
    std::string saved;           // ISO 8601 time of the reading
    std::string note;            // free text
    std::vector<Entry> entries;  // in file order; each register at most once
};

// The file for a set: UTF-8 JSON, one entry per line group, people's fields
// filled in from Registers().
QByteArray ToJson(const ParameterSet& set);
// Parses a file. On any fault the whole file is rejected: false, with
// "line N: <fault>" in *error and *set untouched.
bool FromJson(const QByteArray& bytes, ParameterSet* set, std::string* error);

// Reads and parses a file ("PATH: line N: fault" on failure).
bool LoadSetFile(const std::string& path, ParameterSet* set, std::string* error);
// Writes a file in one piece (never a half-written file); false with a reason.
bool SaveSetFile(const std::string& path, const ParameterSet& set, std::string* error);

// The words the page tables hold now, by register (meaningful after a fresh
// read of the pages).
std::map<int, int> TableWords();
// A full set of the words in `words`, stamped with the current time.
ParameterSet SetFromWords(const std::map<int, int>& words, const std::string& note);

// One register of a file against the controller.
struct Comparison {
    const RegisterInfo* info = nullptr;
    int fileWord = 0;
    int controllerWord = 0;
    bool differs = false;
    // A parameter: its difference counts. A command or test register's does
    // not (it is shown as "not compared").
    bool compared() const { return info != nullptr && !info->action(); }
};
// The file's registers in file order, against `controller` (as TableWords gives).
std::vector<Comparison> Compare(const ParameterSet& set, const std::map<int, int>& controller);

// "12.5" style text of a value in its control's units.
std::string FormatValue(const RegisterInfo& info, int word);

// What a command or test register's difference is called where it is listed.
constexpr const char* kNotCompared = "not compared (command register)";

// The entries of `writes` that turn a guarded parameter on (the hall-fault
// mask): non-zero where `controller` holds 0. Such a write is asked for, or
// given explicitly, never made from a file alone.
std::vector<Entry> GuardedTurnOns(const std::vector<Entry>& writes, const std::map<int, int>& controller);

// "2662 MOTOR / <caption>", for messages.
std::string Describe(const RegisterInfo& info);
// "12.500 V (word 125)": the value in its control's units, with the word when scaled.
std::string ValueText(const RegisterInfo& info, int word);
// Why writing `plan` over `controller` may not go ahead: it would turn the
// hall-fault mask on, and the controller would no longer report hall sensor
// faults. "" when it may; else the message, ending with `howToAllow`.
std::string HallMaskRefusal(const std::vector<Entry>& plan, const std::map<int, int>& controller,
                            const std::string& howToAllow);

// Saves `words` (as TableWords gives) with `note` to a new file in the
// backups folder of the state folder, named by the current time. Sets *path
// to the file; false, with the reason, when it could not be written.
bool SaveBackup(const std::map<int, int>& words, const std::string& note, std::string* path,
                std::string* error);

}  // namespace psets
