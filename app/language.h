// The language the console speaks to the technician: the panels' captions as
// the resources ship them, or every text in English or in Simplified Chinese
// (the Qt Linguist files of translations/, built to .qm). Only what is shown
// to a person changes: files, journals and command output keep the shipped
// captions, which the register catalogue reads from the resources directly.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QTranslator;
class QWidget;

enum class LanguageChoice { Shipped, English, Chinese };

// "shipped", "en", "zh_CN" (as --lang and the settings file write them).
bool ParseLanguage(const std::string& word, LanguageChoice* out);
const char* LanguageWord(LanguageChoice choice);

// The choice kept in the settings file; Shipped when there is none or it is
// not one of the three words.
LanguageChoice KeptLanguage();
// Keeps `choice`; false (and a box saying so) when the file cannot be written.
bool KeepLanguage(LanguageChoice choice);

// The translators of one language, installed in the application while the
// object holds them. Installing or removing one makes Qt send every widget a
// language-change event: the panels show their captions again at once.
class ConsoleLanguage {
public:
    // `folders`: where the console's .qm files are looked for, first first
    // (none: DefaultFolders()); Qt's own are looked for in the same folders
    // and then in Qt's.
    explicit ConsoleLanguage(QStringList folders = {});
    ~ConsoleLanguage();
    ConsoleLanguage(const ConsoleLanguage&) = delete;
    ConsoleLanguage& operator=(const ConsoleLanguage&) = delete;

    // Switches to `choice`. False, with *error set, when the console's file
    // of that language is missing: the language then stays as it was.
    bool use(LanguageChoice choice, std::string* error);
    LanguageChoice current() const { return current_; }

    // The program's translations/ folder (the build tree and the Windows
    // zip), the installed data folder (../share/drive-console/translations),
    // then the program's own copy (":/translations").
    static QStringList DefaultFolders();

private:
    void removeAll();

    QStringList folders_;
    LanguageChoice current_ = LanguageChoice::Shipped;
    std::vector<std::unique_ptr<QTranslator>> installed_;
};

// Adds the language entry (MENU_LANGUAGE: "As shipped", "English",
// "简体中文") to the Help menu of the main panel `mainWindow`; a choice
// applies at once and is kept in the settings file.
void InstallLanguageMenu(QWidget* mainWindow, ConsoleLanguage& language);

// The language a window starts in: `word` (--lang) for this run when given,
// else the kept choice; a missing file is told on standard error.
void UseStartLanguage(ConsoleLanguage& language, const std::string& word);

// A translated text in the code page of the panels and popups (GBK).
std::string Gbk(const QString& text);
