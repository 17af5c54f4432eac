// The status block as the main panel shows it, in words: for the CSV files,
// the fault history and the command line. Every caption, unit, decimal count,
// ring item and bit name comes from the register catalogue, so the texts
// always match what the operator sees. Texts are UTF-8. Safe from any thread.
#pragma once

#include <string>

// The caption of status item `index` (0..25) on the main panel ("reg N" when
// no panel shows it), and the unit written after it ("" when none).
std::string StatusCaption(int index);
std::string StatusUnit(int index);
// The same caption as the main panel shows it now, through the installed
// translators: for windows, never for files.
std::string ShownStatusCaption(int index);
// The column title of status item `index` (0..25) in the CSV files:
// "Battery voltage (V)"; "reg N" when no panel shows it.
std::string StatusColumnTitle(int index);
// The physical value of status item `index` holding the signed word `raw`
// (raw x the item's scale); `raw` itself outside the status block.
double StatusPhysical(int index, int raw);
// The decimals the main panel shows status item `index` with (0..15).
int StatusDecimals(int index);
// The value as the main panel shows it, without the unit: a read-out with
// its decimals ("48.37"), a ring's item text, or a status word with the names
// of the bits that are set ("0x0006 (brake, BOOST)").
std::string StatusValueText(int index, int raw);
// The caption of fault bit `bit` (0..47): the row of the main panel's
// "Error list" that shows it; "bit B of REG" when the panel names none.
std::string FaultCaption(int bit);
// The same as the main panel's error list shows it now: for windows, never for files.
std::string ShownFaultCaption(int bit);
