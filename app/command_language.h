// The language of a command's words for a person: its usage text and its
// messages on standard error. What a machine reads (files, standard output,
// the serve answers, exit statuses) is the same in every language.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/language.h"

class QCoreApplication;

// The value of the last --lang of `args` ("--lang X" or "--lang=X"), "" when
// none is given. Taken before the arguments are parsed, so that their own
// faults are told in that language.
std::string LanguageArgument(const std::vector<std::string>& args);

// The language a command speaks while the object lives: `word` (--lang) when
// it is one of the three, else the kept choice (the Help > Language of the
// window), else as shipped, whose command texts are the English ones. A
// missing translation file is told on `err` and the texts stay English.
//
// Without an application (the commands run without one) it makes one for its
// life, for the translators to be installed in, and keeps the C library's
// locale as it was: numbers are printed as before in every language.
class CommandLanguage {
public:
    CommandLanguage(const std::string& word, std::FILE* err);
    ~CommandLanguage();
    CommandLanguage(const CommandLanguage&) = delete;
    CommandLanguage& operator=(const CommandLanguage&) = delete;

    LanguageChoice current() const;

private:
    int argc_ = 1;
    char name_[14] = "drive-console";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> application_;
    std::unique_ptr<ConsoleLanguage> language_;
};
