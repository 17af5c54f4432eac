#include "serial/sample5.h"

int comvalue = 0, btlvalue = 0, jhvalue = 0, longvalue = 0, stopvalue = 0;
int comselect = 0;
int btlselect = 0;
int jhselect = 0;
int longselect = 0;
int stopselect = 0;

std::atomic<int> comConfigure_success_flag{0};
std::atomic<int> active_comselect{0};

// TODO(sample5)
int Configure(int, int, int, void*, int, int) { return 0; }
int CloseCOM(int, int, int, void*, int, int) { return 0; }
int Quit(int, int, int, void*, int, int) { return 0; }
