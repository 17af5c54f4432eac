#include "app/command_language.h"

#include <QCoreApplication>
#include <clocale>

std::string LanguageArgument(const std::vector<std::string>& args)
{
    std::string word;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) {
            word = args[++i];
        } else if (args[i].rfind("--lang=", 0) == 0) {
            word = args[i].substr(7);
        }
    }
    return word;
}

CommandLanguage::CommandLanguage(const std::string& word, std::FILE* err)
{
    LanguageChoice choice = LanguageChoice::Shipped;
    if (!ParseLanguage(word, &choice)) choice = KeptLanguage();
    // As shipped installs nothing: the texts are the code's own.
    if (choice == LanguageChoice::Shipped) return;
    if (QCoreApplication::instance() == nullptr) {
        // The application takes the environment's locale into the C library
        // (a decimal comma in printf, for one): the commands' output keeps
        // the one it had.
        const char* before = std::setlocale(LC_ALL, nullptr);
        const std::string locale = before != nullptr ? before : "C";
        application_ = std::make_unique<QCoreApplication>(argc_, argv_);
        std::setlocale(LC_ALL, locale.c_str());
    }
    language_ = std::make_unique<ConsoleLanguage>();
    std::string error;
    if (!language_->use(choice, &error)) std::fprintf(err, "drive-console: %s\n", error.c_str());
}

CommandLanguage::~CommandLanguage()
{
    // The translators go before the application they are installed in.
    language_.reset();
    application_.reset();
}

LanguageChoice CommandLanguage::current() const
{
    return language_ != nullptr ? language_->current() : LanguageChoice::Shipped;
}
