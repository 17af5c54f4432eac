#include "platform/os/state_reset.h"

#include <vector>

namespace {

// Filled before main, read afterwards.
std::vector<StateReset::Reset>& registered()
{
    static std::vector<StateReset::Reset> resets;
    return resets;
}

}  // namespace

StateReset::StateReset(Reset reset)
{
    if (reset != nullptr) registered().push_back(reset);
}

void RunRegisteredResets()
{
    for (const StateReset::Reset reset : registered()) reset();
}
