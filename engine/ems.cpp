#include "engine/ems.h"

std::atomic<int> query_enable_flag{0};
std::atomic<int> tx_package_flag_send{0};
std::atomic<int> sendLedON_1{0};
std::atomic<int> sendLedShineDelay{0};
std::atomic<int> communication_password_sendFlag{0};
