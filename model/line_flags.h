// The flags that the port panel, the line and the communication engine share.
#pragma once

#include <atomic>

extern std::atomic<int> comConfigure_success_flag;        // 1 while a port is open and usable
extern std::atomic<int> active_comselect;                 // number of the open port
extern std::atomic<int> tx_package_flag_send;             // 1 = send_1frame wrote a frame
extern std::atomic<int> communication_password_sendFlag;  // 1 = a password write is due

// The four flags back to 0: no port open, nothing sent, nothing due.
void ResetLineFlags();
