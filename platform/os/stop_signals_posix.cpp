// Stop requests as signals, taken with sigtimedwait.
#include <pthread.h>

#include <csignal>
#include <ctime>

#include "platform/os/stop_signals.h"

struct StopSignals::State {
    sigset_t set{};
    sigset_t previous{};
};

StopSignals::StopSignals() : state_(std::make_unique<State>())
{
    sigemptyset(&state_->set);
    sigaddset(&state_->set, SIGINT);
    sigaddset(&state_->set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &state_->set, &state_->previous);
}

StopSignals::~StopSignals()
{
    // One that came during the shutdown must not end the process now.
    const timespec none{0, 0};
    while (sigtimedwait(&state_->set, nullptr, &none) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

bool StopSignals::waitForRequest(int ms)
{
    const timespec t{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    const int s = sigtimedwait(&state_->set, nullptr, &t);
    return s == SIGINT || s == SIGTERM;
}
