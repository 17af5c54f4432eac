// The console's one argument parser, on QCommandLineParser: the window's
// options and each command's are tables of ArgumentOption, parsed alike and
// refused in the same words ("unknown argument 'X'", "X needs a value").
#pragma once

#include <QCommandLineParser>
#include <functional>
#include <string>
#include <vector>

struct ArgumentOption {
    const char* name;                 // given as --name
    const char* valueName = nullptr;  // "N=DEVICE"; nullptr for a switch
    const char* help = nullptr;       // its line in the usage text
};

class Arguments {
public:
    // Parses `args` (what follows the program or command name) against
    // `options`. False with *error when an argument is not one of them or a
    // value is missing; `command` is named in that message ("... for dump"),
    // none for the window's. Positional arguments are left to the caller.
    bool parse(const std::vector<std::string>& args, const std::vector<ArgumentOption>& options,
               std::string* error, const std::string& command = "");
    // After a failed parse: only the last word's value was missing.
    bool waitsForValue() const { return waitsForValue_; }

    // An option not among those parsed for is never set and has no value.
    bool isSet(const char* name) const;
    // The value given last, "" when none.
    std::string value(const char* name) const;
    // Every value, in the order given.
    std::vector<std::string> values(const char* name) const;
    std::vector<std::string> positional() const;

private:
    bool declared(const char* name) const;

    QCommandLineParser parser_;
    std::vector<std::string> names_;
    bool waitsForValue_ = false;
};

// Checks ever longer beginnings of `args` with `check` (`complete` for all of
// them), so that a fault is told by the first word that makes it. `check`
// should let a beginning pass whose last option still waits for its value.
bool CheckInOrder(const std::vector<std::string>& args,
                  const std::function<bool(const std::vector<std::string>& words, bool complete,
                                           std::string* error)>& check,
                  std::string* error);

// The usage lines of `options` with a help text: "  --name VALUE" and the
// help from column 23.
std::string UsageLines(const std::vector<ArgumentOption>& options);
