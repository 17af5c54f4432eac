#include "engine/ems.h"

std::atomic<int> query_enable_flag{0};
std::atomic<int> sendLedON_1{0};
std::atomic<int> sendLedShineDelay{0};
