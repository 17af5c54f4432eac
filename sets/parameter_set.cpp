#include "sets/parameter_set.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>
#include <cstdint>
#include <set>

#include "modbus/modbus.h"
#include "model/data_item.h"
#include "platform/os/app_dirs.h"

namespace psets {

namespace {

constexpr qint64 kMaxFileBytes = qint64{1024} * 1024;

int lineAt(const QByteArray& bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i) line += bytes[i] == '\n' ? 1 : 0;
    return line;
}

// Where things stand in a well-formed file: the line of each top-level key,
// and of each element of the "registers" array and of the keys inside it.
struct Lines {
    std::map<std::string, int> top;
    std::vector<int> element;
    std::vector<std::map<std::string, int>> elementKeys;
};

Lines locate(const QByteArray& b)
{
    Lines lines;
    int line = 1;
    std::size_t depth = 0;
    std::string lastTopKey;
    bool inRegisters = false;
    bool elementOpen = false;
    for (qsizetype i = 0; i < b.size(); ++i) {
        const char c = b[i];
        if (c == '\n') {
            ++line;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') continue;
        if (inRegisters && depth == 2 && c != ',' && c != ']' && !elementOpen) {
            lines.element.push_back(line);
            lines.elementKeys.emplace_back();
            elementOpen = true;
        }
        if (c == '"') {
            std::string text;
            qsizetype j = i + 1;
            for (; j < b.size() && b[j] != '"'; ++j) {
                if (b[j] == '\\') ++j;
                if (j < b.size()) text += b[j];
            }
            qsizetype k = j + 1;
            while (k < b.size() && (b[k] == ' ' || b[k] == '\t' || b[k] == '\r' || b[k] == '\n')) ++k;
            if (k < b.size() && b[k] == ':') {
                if (depth == 1) {
                    lines.top.emplace(text, line);
                    lastTopKey = text;
                } else if (inRegisters && depth == 3) {
                    lines.elementKeys.back().emplace(text, line);
                }
            }
            i = j;
            continue;
        }
        if (c == '{' || c == '[') {
            ++depth;
            if (c == '[' && depth == 2 && lastTopKey == "registers") inRegisters = true;
        } else if (c == '}' || c == ']') {
            if (depth > 0) --depth;
            if (inRegisters && depth == 1) inRegisters = false;
        } else if (c == ',' && inRegisters && depth == 2) {
            elementOpen = false;
        }
    }
    return lines;
}

// A JSON number that is a whole number within the int range.
bool wholeNumber(const QJsonValue& v, long long* out)
{
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 1e15) return false;
    *out = static_cast<long long>(d);
    return true;
}

std::string fail(int line, const std::string& fault)
{
    return "line " + std::to_string(line) + ": " + fault;
}

}  // namespace

const std::vector<RegisterInfo>& Registers()
{
    return Catalogue().pageRegisters();
}

const RegisterInfo* FindRegister(int reg)
{
    for (const RegisterInfo& r : Registers()) {
        if (r.reg == reg) return &r;
    }
    return nullptr;
}

double DisplayValue(const RegisterInfo& info, int word)
{
    if (!info.scaled() || info.scale.den == 0) return word;
    return static_cast<double>(word) * info.scale.num / info.scale.den;
}

std::string FormatValue(const RegisterInfo& info, int word)
{
    if (!info.scaled()) return std::to_string(word);
    return QString::number(DisplayValue(info, word), 'f', 3).toStdString();
}

QByteArray ToJson(const ParameterSet& set)
{
    QJsonArray registers;
    for (const Entry& e : set.entries) {
        QJsonObject o;
        o["register"] = e.reg;
        o["word"] = e.word;
        if (const RegisterInfo* info = FindRegister(e.reg)) {
            o["page"] = QString::fromStdString(info->page);
            o["caption"] = QString::fromStdString(info->caption);
            o["unit"] = QString::fromStdString(info->unit);
            o["value"] = std::round(DisplayValue(*info, e.word) * 1e4) / 1e4;
        }
        registers.append(o);
    }
    QJsonObject root;
    root["format"] = kFormat;
    root["version"] = kVersion;
    root["saved"] = QString::fromStdString(set.saved);
    root["note"] = QString::fromStdString(set.note);
    root["registers"] = registers;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool FromJson(const QByteArray& bytes, ParameterSet* set, std::string* error)
{
    if (bytes.size() > kMaxFileBytes) {
        *error = fail(1, "file larger than 1 MiB");
        return false;
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = fail(lineAt(bytes, parseError.offset),
                      "malformed JSON (" + parseError.errorString().toStdString() + ")");
        return false;
    }
    if (!doc.isObject()) {
        *error = fail(1, "not a JSON object");
        return false;
    }
    const Lines lines = locate(bytes);
    auto topLine = [&](const char* key) {
        auto it = lines.top.find(key);
        return it == lines.top.end() ? 1 : it->second;
    };
    const QJsonObject root = doc.object();
    if (root.value("format").toString() != QLatin1String(kFormat)) {
        *error =
            fail(topLine("format"), std::string("unknown format (expected \"format\": \"") + kFormat + "\")");
        return false;
    }
    long long version = 0;
    if (!wholeNumber(root.value("version"), &version) || version != kVersion) {
        *error = fail(topLine("version"), "unknown version (this console reads version 1)");
        return false;
    }
    if (!root.value("registers").isArray()) {
        *error = fail(topLine("registers"), "no \"registers\" array");
        return false;
    }
    const QJsonArray array = root.value("registers").toArray();
    ParameterSet out;
    out.saved = root.value("saved").toString().toStdString();
    out.note = root.value("note").toString().toStdString();
    std::map<int, int> firstLine;
    for (qsizetype k = 0; k < array.size(); ++k) {
        const std::size_t n = static_cast<std::size_t>(k);
        const int elementLine = n < lines.element.size() ? lines.element[n] : topLine("registers");
        auto keyLine = [&](const char* key) {
            if (n >= lines.elementKeys.size()) return elementLine;
            auto it = lines.elementKeys[n].find(key);
            return it == lines.elementKeys[n].end() ? elementLine : it->second;
        };
        if (!array[k].isObject()) {
            *error = fail(elementLine, "an entry of \"registers\" is not an object");
            return false;
        }
        const QJsonObject o = array[k].toObject();
        long long reg = 0;
        if (!o.contains("register")) {
            *error = fail(elementLine, "entry without \"register\"");
            return false;
        }
        if (!wholeNumber(o.value("register"), &reg)) {
            *error = fail(keyLine("register"), "register is not a whole number");
            return false;
        }
        const int regLine = keyLine("register");
        if (reg < 0 || reg > 65535 || FindRegister(static_cast<int>(reg)) == nullptr) {
            *error = fail(regLine, "register " + std::to_string(reg) + " is not a parameter register");
            return false;
        }
        const auto seen = firstLine.find(static_cast<int>(reg));
        if (seen != firstLine.end()) {
            *error = fail(regLine, "register " + std::to_string(reg) + " appears twice (also on line " +
                                       std::to_string(seen->second) + ")");
            return false;
        }
        firstLine.emplace(static_cast<int>(reg), regLine);
        long long word = 0;
        if (!o.contains("word")) {
            *error = fail(elementLine, "register " + std::to_string(reg) + " has no \"word\"");
            return false;
        }
        if (!wholeNumber(o.value("word"), &word)) {
            *error =
                fail(keyLine("word"), "word of register " + std::to_string(reg) + " is not a whole number");
            return false;
        }
        if (word < -32768 || word > 32767) {
            *error = fail(keyLine("word"), "word " + std::to_string(word) + " of register " +
                                               std::to_string(reg) + " is outside -32768..32767");
            return false;
        }
        out.entries.push_back(Entry{static_cast<int>(reg), static_cast<int>(word)});
    }
    *set = std::move(out);
    return true;
}

bool LoadSetFile(const std::string& path, ParameterSet* set, std::string* error)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + ": cannot read (" + f.errorString().toStdString() + ")";
        return false;
    }
    // Read at most one byte past the limit: a device or pipe has no size.
    const QByteArray bytes = f.read(kMaxFileBytes + 1);
    std::string why;
    if (!FromJson(bytes, set, &why)) {
        *error = path + ": " + why;
        return false;
    }
    return true;
}

bool SaveSetFile(const std::string& path, const ParameterSet& set, std::string* error)
{
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = path + ": cannot create the folder " + info.absolutePath().toStdString();
        return false;
    }
    QSaveFile f(name);
    if (!f.open(QIODevice::WriteOnly)) {
        *error = path + ": cannot write (" + f.errorString().toStdString() + ")";
        return false;
    }
    const QByteArray bytes = ToJson(set);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        *error = path + ": cannot write (" + f.errorString().toStdString() + ")";
        return false;
    }
    return true;
}

std::map<int, int> TableWords()
{
    std::map<int, int> words;
    for (const RegisterInfo& r : Registers()) {
        const DataItem& item = kPageTables[r.tab].items[r.index];
        words[r.reg] = static_cast<std::int16_t>(registerWord(item.value.load()));
    }
    return words;
}

ParameterSet SetFromWords(const std::map<int, int>& words, const std::string& note)
{
    ParameterSet set;
    set.saved = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    set.note = note;
    for (const RegisterInfo& r : Registers()) {
        auto it = words.find(r.reg);
        if (it != words.end()) set.entries.push_back(Entry{r.reg, it->second});
    }
    return set;
}

std::vector<Comparison> Compare(const ParameterSet& set, const std::map<int, int>& controller)
{
    std::vector<Comparison> out;
    for (const Entry& e : set.entries) {
        Comparison c;
        c.info = FindRegister(e.reg);
        c.fileWord = e.word;
        auto it = controller.find(e.reg);
        c.controllerWord = it == controller.end() ? 0 : it->second;
        c.differs = it == controller.end() || it->second != e.word;
        out.push_back(c);
    }
    return out;
}

std::vector<Entry> GuardedTurnOns(const std::vector<Entry>& writes, const std::map<int, int>& controller)
{
    std::vector<Entry> out;
    for (const Entry& e : writes) {
        const RegisterInfo* info = FindRegister(e.reg);
        const bool guardedParameter = info != nullptr && info->guardedOn && !info->action();
        if (!guardedParameter || e.word == 0) continue;
        auto it = controller.find(e.reg);
        if (it != controller.end() && it->second == 0) out.push_back(e);
    }
    return out;
}

bool SaveBackup(const std::map<int, int>& words, const std::string& note, std::string* path,
                std::string* error)
{
    const QString folder = QString::fromStdString(ConsoleStateDir()) + "/backups/";
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-ddTHH-mm-ss-zzz");
    // Two backups within a millisecond must not share a file.
    QString name = folder + stamp + ".json";
    for (int n = 2; QFileInfo::exists(name); ++n) name = folder + stamp + "-" + QString::number(n) + ".json";
    *path = name.toStdString();
    return SaveSetFile(*path, SetFromWords(words, note), error);
}

}  // namespace psets
