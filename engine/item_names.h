// Names of the registers as the panels show them: the caption beside the
// control that displays each data item, and the unit written after it.
//
// Read once from the panel resource files (the same files and lookup as
// LoadPanel: $DSC_UIR_DIR, else the compiled-in resources), so the names
// always match what the operator sees. Texts are UTF-8. Safe from any thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct RegisterName {
    std::string caption;  // e.g. "Battery voltage"; empty when the register shows nowhere
    std::string unit;     // e.g. "V"; empty when none is written
};

// The name of holding register `address` (any int).
RegisterName NameOfRegister(int address);
// The caption, or "reg <address>" when the register shows nowhere.
std::string CaptionOfRegister(int address);

// How the main panel shows status item `index` (0..25): a read-out with its
// decimals and unit, a ring's item text, or a word drawn bit by bit into the
// rows of a table (the input and output states and the fault words).
struct StatusShown {
    enum class As { Reading, Ring, Bits };
    As as = As::Reading;
    std::string caption;  // as NameOfRegister
    std::string unit;
    int decimals = 0;
    std::vector<std::pair<int, std::string>> ringItems;  // value, text; in panel order
    std::vector<std::string> bitNames;                   // the row caption of each bit drawn
};
// An index outside the status block gives an empty description.
const StatusShown& StatusShownOf(int index);
// The column title of a status value in the CSV files: "Battery voltage (V)".
std::string StatusColumnTitle(int index);
// The physical value of status item `index` holding the signed word `raw`
// (raw x scale of the item).
double StatusPhysical(int index, int raw);
// The value as the main panel shows it, without the unit: "48.37",
// "24:system runing(flux weaken disable)", "0x0006 (brake, BOOST)".
std::string StatusValueText(int index, int raw);
// The caption of fault bit `bit` (0..47): row bit+1 of the main panel's
// "Error list"; "bit B of REG" when the panel has no caption for it.
std::string FaultCaption(int bit);
