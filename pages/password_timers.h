// The password timer pair on the main panel: TIMER_CMPW makes a password
// write due every 10 s (communication_password_sendFlag, model/line_flags.h),
// TIMER_CMPW_RT performs it within 50 ms once the line is idle and stops both
// timers when the write failed.
#pragma once

int timer_cmPW(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int timer_cmPW_rt(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Starts the pair (10 s and 50 ms) for the password phase of a port just opened.
void ArmPasswordTimers();
// Stops the pair and drops a password write due.
void StopPasswordTimers();
