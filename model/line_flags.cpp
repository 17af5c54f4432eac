#include "model/line_flags.h"

std::atomic<int> comConfigure_success_flag{0};
std::atomic<int> active_comselect{0};
std::atomic<int> tx_package_flag_send{0};
std::atomic<int> communication_password_sendFlag{0};

void ResetLineFlags()
{
    comConfigure_success_flag = 0;
    active_comselect = 0;
    tx_package_flag_send = 0;
    communication_password_sendFlag = 0;
}
