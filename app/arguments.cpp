#include "app/arguments.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

#include "app/qt_text.h"

namespace {

constexpr std::size_t kHelpColumn = 21;  // of the usage lines, after their two-blank indent

using qtext::qs;

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Arguments)
};

std::string unknown(const std::string& token, const std::string& command)
{
    const QString text = command.empty() ? Tr::tr("unknown argument '%1'").arg(qs(token))
                                         : Tr::tr("unknown argument '%1' for %2").arg(qs(token), qs(command));
    return text.toStdString();
}

// The argument as typed that gave QCommandLineParser the unknown option
// `name`: --name, --name=..., or a single-dash word holding it.
std::string typedAs(const std::vector<std::string>& args, const std::string& name)
{
    for (const std::string& a : args) {
        if (a == "--" + name || a.rfind("--" + name + "=", 0) == 0) return a;
    }
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-' && a[1] != '-' && a.find(name, 1) != std::string::npos) return a;
    }
    return name;
}

// A switch given a value (--dry-run=1), as typed, the last there is; "" when
// there is none.
std::string switchWithValue(const std::vector<std::string>& args, const std::vector<ArgumentOption>& options)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        const std::string& a = *it;
        for (const ArgumentOption& o : options) {
            if (o.valueName != nullptr) continue;
            if (a.rfind(std::string("--") + o.name + "=", 0) == 0) return a;
        }
    }
    return std::string();
}

}  // namespace

bool Arguments::parse(const std::vector<std::string>& args, const std::vector<ArgumentOption>& options,
                      std::string* error, const std::string& command)
{
    for (const ArgumentOption& o : options) {
        names_.emplace_back(o.name);
        QCommandLineOption option(QString::fromLatin1(o.name));
        if (o.valueName != nullptr) option.setValueName(QString::fromLatin1(o.valueName));
        parser_.addOption(option);
    }
    QStringList list{QStringLiteral("drive-console")};
    for (const std::string& a : args) list << qs(a);
    if (parser_.parse(list)) return true;
    const QStringList unknownNames = parser_.unknownOptionNames();
    if (!unknownNames.isEmpty()) {
        *error = unknown(typedAs(args, unknownNames.front().toStdString()), command);
        return false;
    }
    // The parser takes the word after an option as its value, whatever it is,
    // so only the last word can lack one.
    for (const ArgumentOption& o : options) {
        if (o.valueName != nullptr && args.back() == std::string("--") + o.name) {
            waitsForValue_ = true;
            *error = Tr::tr("%1 needs a value").arg(qs(args.back())).toStdString();
            return false;
        }
    }
    *error = unknown(switchWithValue(args, options), command);
    return false;
}

bool CheckInOrder(const std::vector<std::string>& args,
                  const std::function<bool(const std::vector<std::string>& words, bool complete,
                                           std::string* error)>& check,
                  std::string* error)
{
    for (std::size_t n = 1; n <= args.size(); ++n) {
        const std::vector<std::string> words(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(n));
        if (!check(words, n == args.size(), error)) return false;
    }
    return args.empty() ? check(args, true, error) : true;
}

bool Arguments::declared(const char* name) const
{
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool Arguments::isSet(const char* name) const
{
    return declared(name) && parser_.isSet(QString::fromLatin1(name));
}

std::string Arguments::value(const char* name) const
{
    return declared(name) ? parser_.value(QString::fromLatin1(name)).toStdString() : std::string();
}

std::vector<std::string> Arguments::values(const char* name) const
{
    std::vector<std::string> out;
    if (!declared(name)) return out;
    for (const QString& v : parser_.values(QString::fromLatin1(name))) out.push_back(v.toStdString());
    return out;
}

std::vector<std::string> Arguments::positional() const
{
    std::vector<std::string> out;
    for (const QString& v : parser_.positionalArguments()) out.push_back(v.toStdString());
    return out;
}

std::string UsageLines(const std::vector<ArgumentOption>& options)
{
    std::string text;
    for (const ArgumentOption& o : options) {
        if (o.help == nullptr) continue;
        std::string left = std::string("--") + o.name;
        if (o.valueName != nullptr) left += std::string(" ") + o.valueName;
        left.resize(std::max(left.size() + 1, kHelpColumn), ' ');
        text += "  " + left + o.help + "\n";
    }
    return text;
}
