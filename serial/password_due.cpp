#include "serial/password_due.h"

#include "model/line_flags.h"
#include "serial/line_machine.h"

void MarkPasswordDue()
{
    communication_password_sendFlag = 1;
}

bool SendDuePassword()
{
    if (communication_password_sendFlag.load() != 1) return true;
    const PasswordSend sent = TheLine().sendPassword(0);
    if (sent == PasswordSend::LineBusy) return true;
    communication_password_sendFlag = 0;
    return sent != PasswordSend::Failed;
}
