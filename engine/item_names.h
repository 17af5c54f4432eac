// Names of the registers as the panels show them: the caption beside the
// control that displays each data item, and the unit written after it.
//
// Read once from the panel resource files (the same files and lookup as
// LoadPanel: $DSC_UIR_DIR, else the compiled-in resources), so the names
// always match what the operator sees. Texts are UTF-8. Safe from any thread.
#pragma once

#include <string>

struct RegisterName {
    std::string caption;  // e.g. "Battery voltage"; empty when the register shows nowhere
    std::string unit;     // e.g. "V"; empty when none is written
};

// The name of holding register `address` (any int).
RegisterName NameOfRegister(int address);
// The caption, or "reg <address>" when the register shows nowhere.
std::string CaptionOfRegister(int address);
