#include "serial/password.h"

#include "modbus/line_state.h"
#include "model/line_flags.h"

PasswordSend SendPassword(PasswordCause cause, int pauseMs)
{
    LineMachine& line = TheLine();
    const PasswordSend sent = line.sendPassword(pauseMs);
    switch (cause) {
        case PasswordCause::PortOpened:
            // Before the password is accepted the communication thread writes it
            // itself whenever it finds the line idle; afterwards it polls, and the
            // timer must write this one.
            if (sent == PasswordSend::LineBusy && Unlocked()) communication_password_sendFlag = 1;
            break;
        case PasswordCause::Timer:
            if (sent != PasswordSend::LineBusy) communication_password_sendFlag = 0;
            break;
        case PasswordCause::LoopStep:
        case PasswordCause::DeviceBack:
            break;
    }
    return sent;
}

bool PasswordWriteDue()
{
    return communication_password_sendFlag.load() == 1;
}

void MarkPasswordDue()
{
    communication_password_sendFlag = 1;
}

bool SendDuePassword()
{
    if (!PasswordWriteDue()) return true;
    return SendPassword(PasswordCause::Timer) != PasswordSend::Failed;
}
