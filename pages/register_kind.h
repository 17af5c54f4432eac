// What writing a register does besides setting a value: the one place that
// says which registers act when written, and which are asked before they are
// turned on.
#pragma once

// Register numbers of the motor-test and command items (dataItem6).
constexpr int REG_TEST_ENABLE = 2650;
constexpr int REG_TEST_MODE = 2651;
constexpr int REG_RESTORE_FACTORY = 2654;
constexpr int REG_PARAMETER_STORE = 2655;
constexpr int REG_HALL_FAULT_MASK = 2662;

enum class RegisterKind {
    Parameter,   // a setting the controller keeps once stored
    Command,     // acts when written: restore factory settings (2654), store (2655)
    TestSwitch,  // drives the motor test: test enable (2650), run mode (2651)
    Other,       // not a register of the parameter pages
};

RegisterKind KindOfRegister(int reg);

// A parameter that is asked for before it goes from 0 to non-zero: the
// hall-fault mask (2662), which stops hall sensor faults being reported.
bool IsGuardedOnParameter(int reg);
