#include "serial/port_gate.h"

#include <mutex>

#include "serial/notices.h"
#include "serial/reconnect.h"

namespace {
std::mutex& gate()
{
    static std::mutex* const m = new std::mutex;  // never destroyed: a worker may hold it at the end
    return *m;
}
thread_local bool t_held = false;
}  // namespace

void HoldPortGate()
{
    gate().lock();
    t_held = true;
}

void ReleasePortGate()
{
    t_held = false;
    gate().unlock();
}

bool PortGateHeld()
{
    return t_held;
}

void PortErrorBox(const char* text)
{
    if (!PortErrorBoxDue()) return;
    const bool held = t_held;
    if (held) ReleasePortGate();
    NoticeError("Error", text);
    if (held) HoldPortGate();
}
