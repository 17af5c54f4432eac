// Guards around the writes that can hurt, and what the console knows about
// the controller's unstored changes and motor test.
//
// - Every send button asks ConfirmWrite before it stores its value: arming the
//   motor test (2650 = non-zero) is refused while the motor turns, a fault is
//   active or the controller has not answered for 2 s, and otherwise asks,
//   listing the test values; restoring factory settings (2654) and the
//   hall-fault mask (2662) ask too.
// - The STOP button writes test enable 0 and run mode normal ahead of every
//   other pending write, never asked and never range-checked.
// - Write outcomes come in through GuardOnWriteConfirmed: confirmed writes
//   since the last confirmed parameter store are counted and shown on the
//   parameter and debug panels, and the last confirmed test enable is kept.
//   Only parameters count: STOP, arming a test, restoring factory settings and
//   the store command change nothing that a store would keep.
#pragma once

#include <functional>
#include <string>

#include "model/register_catalogue.h"  // REG_TEST_ENABLE and the other guarded registers

// The run-mode ring's item "normal run" (正常运行).
constexpr int TEST_MODE_NORMAL = 0;

// Asked by a send button with the register value it is about to store. True:
// store it and send. False: the operator cancelled, or the write was refused
// (the operator has been told); nothing is sent.
bool ConfirmWrite(int address, double registerValue);

// Queues test enable 0 and run mode normal ahead of every other write.
void SendTestStop();
// True once both STOP writes have left for the line, waiting at most
// `timeoutMs` (polling); false at once when the port is closed.
bool WaitTestStopSent(int timeoutMs);

// Before the debug panel is hidden or the console quits: when the last
// confirmed test enable was 1, asks "Stop the motor test?" (Yes, No, Cancel;
// Yes is the default). Yes sends STOP. False when the operator chose Cancel,
// i.e. the panel stays / the console keeps running.
bool ConfirmLeavingMotorTest();

// The write-outcome seam: a write of `word` to `address` was confirmed by the
// controller. Safe from any thread; never blocks.
void GuardOnWriteConfirmed(int address, int word);
// Hands every confirmed write outcome to GuardOnWriteConfirmed (the word the
// controller holds where it was read back). Start once at start-up; stopping
// waits for a call in progress.
void StartWriteGuard();
void StopWriteGuard();
// True when the last confirmed write of the test enable was non-zero.
bool MotorTestEnabled();
// Confirmed parameter writes since the last confirmed parameter store.
int UnstoredChangeCount();
// Stops the guard and forgets the counts, the test state, the marks of unsent
// entries and the backup offer: the state at start-up. Part of the start-up
// reset (platform/os/state_reset.h).
void ResetWriteGuard();

// Where parameter sets exist, they install an offer to save a backup before a
// factory restore: it returns false when the operator cancelled (nothing is
// sent then). Without one, nothing is offered.
using BackupOffer = std::function<bool()>;
void SetBackupOffer(BackupOffer offer);

// The questions the guard asks (text in GBK), for the pictures of them.
enum class GuardAsk { ArmTest, FactoryRestore, HallMask, LeaveTest };
struct GuardQuestion {
    std::string title;
    std::string text;
    int buttons;        // CONFIRM_*
    int defaultAnswer;  // ANSWER_*
};
GuardQuestion QuestionFor(GuardAsk which);

// Callbacks of the panels: TEST_STOP and the two Store buttons.
int testStop(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int storeParameters(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Marks every value control whose entry was typed but not sent, and unmarks it
// once sent or read again. Called after each refresh pass (refresh thread).
void MarkUnsentEntries();
