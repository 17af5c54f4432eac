// What the console knows about each of the 70 page registers: where it is
// shown, under which caption and unit, at which scale, and what it holds now.
// Everything comes from the register catalogue.
#pragma once

#include <string>
#include <vector>

struct ParamInfo {
    int address = 0;
    std::string page;          // UTF-8: "BASIC", or "DEBUG / <page>" for registers only there
    std::string caption;       // UTF-8, the parameter page's caption where it has one
    std::string otherCaption;  // UTF-8, the debug panel's caption when both panels show it; else ""
    std::string unit;          // UTF-8, "" when none
    std::string scale;         // "1" or "num/den": shown value = register x scale
    std::string value;         // UTF-8, the current value as the page shows it (ring items by caption)
};

// All page registers in register order. Safe from any thread; the resources
// are read once.
std::vector<ParamInfo> ParameterReference();

// The tooltip of a register's controls (UTF-8).
std::string ParameterToolTip(const ParamInfo& info);

// Puts the tooltips on every control of the parameter and debug pages that
// shows a register. Call once the panels are loaded.
void SetParameterToolTips();
