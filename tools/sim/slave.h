// Who the simulated controller is on the line: its slave address, and the
// register whose write unlocks it (the last register of its map).
#pragma once

namespace sim {

constexpr int kSlaveAddress = 1;
constexpr int kPasswordRegister = 4039;

}  // namespace sim
