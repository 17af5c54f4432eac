// Page refresh: the flagged data items copied into the panel controls, and
// the main panel's status words drawn bit by bit. The refresh thread calls
// the routines in this order every 200 ms.
#pragma once

#include <atomic>

void refreshTABPANEL_1();
void refreshTABPANEL_2();
void refreshTABPANEL_3();
void refreshTABPANEL_4();
void refreshTABPANEL_5();
void refreshTABPANEL_6();
void refreshQUERY();
// One refresh pass: the seven routines above, in that order.
void refreshAll();

// The status words last drawn into the main panel's tables (input, output and
// the three fault words); 0 at start. Refresh thread only.
extern std::atomic<int> inputIOstatue;
extern std::atomic<int> outputIOstatue;
extern std::atomic<int> err1statue;
extern std::atomic<int> err2statue;
extern std::atomic<int> err3statue;

// Sets the five words back to 0, so that the next pass draws every word
// (start-up; the refresh thread not running).
void ResetStatusWords();
