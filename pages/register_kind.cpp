#include "pages/register_kind.h"

#include "model/data_item.h"

RegisterKind KindOfRegister(int reg)
{
    switch (reg) {
        case REG_RESTORE_FACTORY:
        case REG_PARAMETER_STORE:
            return RegisterKind::Command;
        case REG_TEST_ENABLE:
        case REG_TEST_MODE:
            return RegisterKind::TestSwitch;
        default:
            break;
    }
    for (const ItemTable& t : kPageTables) {
        if (reg >= t.first_register && reg < t.first_register + t.count) return RegisterKind::Parameter;
    }
    return RegisterKind::Other;
}

bool IsGuardedOnParameter(int reg)
{
    return reg == REG_HALL_FAULT_MASK;
}
