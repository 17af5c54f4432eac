#include "app/language.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMenu>
#include <QSettings>
#include <QTranslator>
#include <QWidget>
#include <cstdio>

#include "platform/os/app_dirs.h"
#include "platform/os/gbk.h"
#include "platform/ui/qt/qt_ui.h"
#include "platform/ui/ui.h"

namespace {

const char* const kLanguageKey = "ui/language";

struct Known {
    LanguageChoice choice;
    const char* word;
    const char* qtLocale;  // the suffix of the .qm files; nullptr: none loaded
};
const Known kKnown[] = {
    {LanguageChoice::Shipped, "shipped", nullptr},
    {LanguageChoice::English, "en", "en"},
    {LanguageChoice::Chinese, "zh_CN", "zh_CN"},
};

const Known& known(LanguageChoice choice)
{
    for (const Known& k : kKnown) {
        if (k.choice == choice) return k;
    }
    return kKnown[0];
}

QString settingsPath()
{
    return QString::fromStdString(ConsoleSettingsFile());
}

// Loads `name`.qm from the first folder that has it; nullptr when none has.
std::unique_ptr<QTranslator> load(const QString& name, const QStringList& folders)
{
    for (const QString& folder : folders) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(name, folder)) return t;
    }
    return nullptr;
}

}  // namespace

bool ParseLanguage(const std::string& word, LanguageChoice* out)
{
    for (const Known& k : kKnown) {
        if (word == k.word) {
            *out = k.choice;
            return true;
        }
    }
    return false;
}

const char* LanguageWord(LanguageChoice choice)
{
    return known(choice).word;
}

LanguageChoice KeptLanguage()
{
    const QSettings s(settingsPath(), QSettings::IniFormat);
    LanguageChoice choice = LanguageChoice::Shipped;
    if (!ParseLanguage(s.value(kLanguageKey).toString().trimmed().toStdString(), &choice))
        return LanguageChoice::Shipped;
    return choice;
}

bool KeepLanguage(LanguageChoice choice)
{
    const QString path = settingsPath();
    if (QDir().mkpath(QFileInfo(path).absolutePath())) {
        QSettings s(path, QSettings::IniFormat);
        s.setValue(kLanguageKey, QString::fromLatin1(LanguageWord(choice)));
        s.sync();
        if (s.status() == QSettings::NoError && s.isWritable()) return true;
    }
    const QString text = QCoreApplication::translate(
                             "Language", "The language could not be kept in %1. It holds for this run.")
                             .arg(QDir::toNativeSeparators(path));
    MessagePopup(Gbk(QCoreApplication::translate("Language", "Settings")).c_str(), Gbk(text).c_str());
    return false;
}

ConsoleLanguage::ConsoleLanguage(QStringList folders) : folders_(std::move(folders)) {}

ConsoleLanguage::~ConsoleLanguage()
{
    removeAll();
}

QStringList ConsoleLanguage::DefaultFolders()
{
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/translations"),
            dir + QStringLiteral("/../share/drive-console/translations"), QStringLiteral(":/translations")};
}

void ConsoleLanguage::removeAll()
{
    // Without the application (quitting) there is nothing to remove them from.
    if (QCoreApplication::instance() != nullptr) {
        for (auto& t : installed_) QCoreApplication::removeTranslator(t.get());
    }
    installed_.clear();
}

bool ConsoleLanguage::use(LanguageChoice choice, std::string* error)
{
    const Known& k = known(choice);
    std::vector<std::unique_ptr<QTranslator>> next;
    if (k.qtLocale != nullptr) {
        const QString suffix = QString::fromLatin1(k.qtLocale);
        // The program's folder is known once the application exists.
        const QStringList folders = folders_.isEmpty() ? DefaultFolders() : folders_;
        auto own = load(QStringLiteral("drive-console_") + suffix, folders);
        if (own == nullptr) {
            if (error != nullptr) {
                *error = "no translation file drive-console_" + std::string(k.qtLocale) + ".qm in " +
                         folders.join(QStringLiteral(", ")).toStdString();
            }
            return false;
        }
        next.push_back(std::move(own));
        // Qt's own dialogs and buttons, where a translation of Qt is at hand.
        QStringList qtFolders = folders;
        qtFolders << QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        for (const char* module : {"qtbase_", "qtserialport_"}) {
            if (auto qt = load(QString::fromLatin1(module) + suffix, qtFolders))
                next.push_back(std::move(qt));
        }
    }
    removeAll();
    installed_ = std::move(next);
    for (auto& t : installed_) QCoreApplication::installTranslator(t.get());
    current_ = choice;
    return true;
}

void InstallLanguageMenu(QWidget* mainWindow, ConsoleLanguage& language)
{
    if (mainWindow == nullptr) return;
    auto* help = mainWindow->findChild<QAction*>(QStringLiteral("MENU1"));
    if (help == nullptr || help->menu() == nullptr) return;
    QMenu* list = help->menu();
    auto* menu = new QMenu(list);
    menu->setObjectName(QStringLiteral("MENU_LANGUAGE_list"));
    QAction* entry = list->addMenu(menu);
    entry->setObjectName(QStringLiteral("MENU_LANGUAGE"));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    struct Item {
        LanguageChoice choice;
        const char* name;
    };
    // The languages name themselves; only "As shipped" is translated.
    const Item items[] = {
        {LanguageChoice::Shipped, "LANGUAGE_SHIPPED"},
        {LanguageChoice::English, "LANGUAGE_EN"},
        {LanguageChoice::Chinese, "LANGUAGE_ZH_CN"},
    };
    QAction* shipped = nullptr;
    for (const Item& item : items) {
        QAction* a = menu->addAction(item.choice == LanguageChoice::English   ? QStringLiteral("English")
                                     : item.choice == LanguageChoice::Chinese ? QStringLiteral("简体中文")
                                                                              : QString());
        a->setObjectName(QString::fromLatin1(item.name));
        a->setCheckable(true);
        a->setChecked(language.current() == item.choice);
        group->addAction(a);
        if (item.choice == LanguageChoice::Shipped) shipped = a;
        const LanguageChoice choice = item.choice;
        a->setData(static_cast<int>(item.choice));
        QObject::connect(a, &QAction::triggered, menu, [&language, choice, group] {
            std::string error;
            if (!language.use(choice, &error)) {
                // The file is missing from this installation: the language stays.
                for (QAction* other : group->actions())
                    other->setChecked(other->data().toInt() == static_cast<int>(language.current()));
                MessagePopup(Gbk(QCoreApplication::translate("Language", "Language")).c_str(),
                             Utf8ToGbkLenient(error).c_str());
                return;
            }
            KeepLanguage(choice);
        });
    }
    const auto retranslate = [entry, shipped] {
        entry->setText(QCoreApplication::translate("Language", "&Language"));
        shipped->setText(QCoreApplication::translate("Language", "As shipped"));
    };
    retranslate();
    qtui::OnLanguageChange(menu, retranslate);
}

void UseStartLanguage(ConsoleLanguage& language, const std::string& word)
{
    LanguageChoice choice = KeptLanguage();
    if (!word.empty()) ParseLanguage(word, &choice);
    std::string error;
    // Reported, not fatal: the console starts with the shipped texts.
    if (!language.use(choice, &error)) std::fprintf(stderr, "drive-console: %s\n", error.c_str());
}

std::string Gbk(const QString& text)
{
    return Utf8ToGbkLenient(text.toStdString());
}
