#include "platform/ui/uir.h"

#include <QByteArray>
#include <QFile>
#include <QLoggingCategory>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <set>

#include "platform/os/gbk.h"
#include "platform/ui/callback_registry.h"
#include "platform/ui/ui.h"

Q_LOGGING_CATEGORY(lcUir, "dsc.uir")

namespace uirfile {

Accelerated SplitAccelerator(const std::string& caption)
{
    Accelerated a;
    std::size_t marker = caption.find("__");
    bool hasMarker = marker != std::string::npos && marker + 2 < caption.size();
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (hasMarker && i == marker) {
            a.qtText += '&';
            ++i;  // skip both underscores
            continue;
        }
        a.text += caption[i];
        a.qtText += caption[i];
        if (caption[i] == '&') a.qtText += '&';
    }
    return a;
}

// --- Tokens -------------------------------------------------------------------

namespace {

struct Token {
    std::string text;  // positional text, or the option's value
    std::string key;   // option name; empty for a positional token
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads a quoted text starting at line[i] == '"'; leaves i after the closing quote.
bool readQuoted(const std::string& line, std::size_t& i, std::string* out, std::string* error)
{
    ++i;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') {
            ++i;
            if (i < line.size() && !isBlank(line[i])) {
                *error = "text directly after a closing quote";
                return false;
            }
            return true;
        }
        if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            out->push_back(line[i + 1]);
            i += 2;
            continue;
        }
        out->push_back(c);
        ++i;
    }
    *error = "unterminated quoted text";
    return false;
}

bool tokenize(const std::string& line, std::vector<Token>* tokens, std::string* error)
{
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) return true;
        Token t;
        if (line[i] == '"') {
            if (!readQuoted(line, i, &t.text, error)) return false;
            tokens->push_back(std::move(t));
            continue;
        }
        std::string word;
        while (i < line.size() && !isBlank(line[i]) && line[i] != '"') word += line[i++];
        std::size_t eq = word.find('=');
        if (eq == std::string::npos) {
            if (i < line.size() && line[i] == '"') {
                *error = "quote inside a word";
                return false;
            }
            t.text = word;
        } else {
            t.key = word.substr(0, eq);
            t.text = word.substr(eq + 1);
            if (t.key.empty()) {
                *error = "option without a name";
                return false;
            }
            if (i < line.size() && line[i] == '"') {
                if (!t.text.empty()) {
                    *error = "quote inside an option value";
                    return false;
                }
                if (!readQuoted(line, i, &t.text, error)) return false;
            }
        }
        tokens->push_back(std::move(t));
    }
}

bool isIdentifier(const std::string& s)
{
    if (s.empty()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        bool alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        bool digit = c >= '0' && c <= '9';
        if (!alpha && !(digit && i > 0)) return false;
    }
    return true;
}

bool toInt(const std::string& s, int* out)
{
    if (s.empty()) return false;
    bool ok = false;
    int v = QByteArray::fromStdString(s).toInt(&ok, 10);
    if (!ok || isBlank(s.front()) || isBlank(s.back())) return false;
    *out = v;
    return true;
}

bool toDouble(const std::string& s, double* out)
{
    if (s.empty()) return false;
    bool ok = false;
    double v = QByteArray::fromStdString(s).toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool toIntList(const std::string& s, std::vector<int>* out)
{
    std::size_t start = 0;
    while (true) {
        std::size_t comma = s.find(',', start);
        int v = 0;
        if (!toInt(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start), &v)) {
            return false;
        }
        out->push_back(v);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool parseGridCell(const std::string& v, GridCell* cell, std::string* error)
{
    std::vector<int> n;
    if (!toIntList(v, &n) || (n.size() != 2 && n.size() != 4)) {
        *error = "at= needs R,C or R,C,RS,CS";
        return false;
    }
    if (n[0] < 0 || n[1] < 0 || n[0] > 1000 || n[1] > 1000) {
        *error = "at= row and column must be 0 .. 1000";
        return false;
    }
    cell->row = n[0];
    cell->col = n[1];
    if (n.size() == 4) {
        if (n[2] < 1 || n[3] < 1 || n[2] > 1000 || n[3] > 1000) {
            *error = "at= spans must be 1 .. 1000";
            return false;
        }
        cell->rowSpan = n[2];
        cell->colSpan = n[3];
    }
    return true;
}

// --- Kinds and options ----------------------------------------------------------

struct KindDef {
    const char* name;
    Kind kind;
};

const KindDef kKinds[] = {
    {"numeric", Kind::Numeric},   {"ring", Kind::Ring},   {"switch", Kind::Switch},
    {"button", Kind::Button},     {"led", Kind::Led},     {"text", Kind::Text},
    {"table", Kind::Table},       {"timer", Kind::Timer}, {"picture", Kind::Picture},
    {"splitter", Kind::Splitter}, {"tab", Kind::Tab},
};

constexpr unsigned bit(Kind k)
{
    return 1u << static_cast<unsigned>(k);
}
constexpr unsigned kAllKinds = (1u << 11) - 1;

using OptionApply = bool (*)(Control& c, const std::string& v, std::string* error);

struct OptionDef {
    const char* name;
    unsigned kinds;
    OptionApply apply;
};

bool intOption(const std::string& v, int lo, int hi, const char* name, int* out, std::string* error)
{
    int n = 0;
    if (!toInt(v, &n) || n < lo || n > hi) {
        *error = std::string(name) + "= must be a whole number " + std::to_string(lo) + " .. " +
                 std::to_string(hi);
        return false;
    }
    *out = n;
    return true;
}

bool flagOption(const std::string& v, const char* name, bool* out, std::string* error)
{
    int n = 0;
    if (!intOption(v, 0, 1, name, &n, error)) return false;
    *out = n != 0;
    return true;
}

const OptionDef kOptions[] = {
    {"cb", kAllKinds & ~bit(Kind::Picture) & ~bit(Kind::Splitter),
     [](Control& c, const std::string& v, std::string* e) {
         if (!isIdentifier(v)) {
             *e = "cb= needs a callback name";
             return false;
         }
         c.callbackName = v;
         return true;
     }},
    {"at", kAllKinds,
     [](Control& c, const std::string& v, std::string* e) { return parseGridCell(v, &c.at, e); }},
    {"in", kAllKinds,
     [](Control& c, const std::string& v, std::string* e) {
         if (!isIdentifier(v)) {
             *e = "in= needs a box name";
             return false;
         }
         c.box = v;
         return true;
     }},
    {"prec", bit(Kind::Numeric),
     [](Control& c, const std::string& v, std::string* e) {
         return intOption(v, 0, 15, "prec", &c.prec, e);
     }},
    {"min", bit(Kind::Numeric),
     [](Control& c, const std::string& v, std::string* e) {
         c.hasMin = toDouble(v, &c.min);
         if (!c.hasMin) *e = "min= needs a number";
         return c.hasMin;
     }},
    {"max", bit(Kind::Numeric),
     [](Control& c, const std::string& v, std::string* e) {
         c.hasMax = toDouble(v, &c.max);
         if (!c.hasMax) *e = "max= needs a number";
         return c.hasMax;
     }},
    {"mode", bit(Kind::Numeric) | bit(Kind::Ring),
     [](Control& c, const std::string& v, std::string* e) {
         c.indicator = v == "indicator";
         if (!c.indicator) *e = "mode= knows only 'indicator'";
         return c.indicator;
     }},
    {"init", bit(Kind::Ring),
     [](Control& c, const std::string& v, std::string* e) {
         return intOption(v, 0, 100000, "init", &c.init, e);
     }},
    {"rows", bit(Kind::Table),
     [](Control& c, const std::string& v, std::string* e) {
         return intOption(v, 1, 1000, "rows", &c.rows, e);
     }},
    {"cols", bit(Kind::Table),
     [](Control& c, const std::string& v, std::string* e) {
         return intOption(v, 1, 1000, "cols", &c.cols, e);
     }},
    {"interval", bit(Kind::Timer),
     [](Control& c, const std::string& v, std::string* e) {
         if (!toDouble(v, &c.interval) || c.interval <= 0.0 || c.interval > 86400.0) {
             *e = "interval= needs seconds, more than 0";
             return false;
         }
         return true;
     }},
    {"enabled", bit(Kind::Timer),
     [](Control& c, const std::string& v, std::string* e) {
         return flagOption(v, "enabled", &c.enabled, e);
     }},
    {"visible", kAllKinds & ~bit(Kind::Timer),
     [](Control& c, const std::string& v, std::string* e) {
         return flagOption(v, "visible", &c.visible, e);
     }},
    {"width", bit(Kind::Numeric) | bit(Kind::Ring) | bit(Kind::Table) | bit(Kind::Text) | bit(Kind::Button),
     [](Control& c, const std::string& v, std::string* e) {
         return intOption(v, 1, 4000, "width", &c.width, e);
     }},
    {"key", bit(Kind::Button),
     [](Control& c, const std::string& v, std::string* e) {
         if (v != "Esc") {
             *e = "key= knows only 'Esc'";
             return false;
         }
         c.key = v;
         return true;
     }},
    {"emphasis", bit(Kind::Button),
     [](Control& c, const std::string& v, std::string* e) {
         return flagOption(v, "emphasis", &c.emphasis, e);
     }},
};

const char* kindName(Kind k)
{
    for (const KindDef& d : kKinds) {
        if (d.kind == k) return d.name;
    }
    return "?";
}

// --- Parser ---------------------------------------------------------------------

class Parser {
public:
    Parser(const std::string& file, std::vector<Panel>* panels) : file_(file), panels_(panels) {}

    bool parse(const std::string& text, std::string* error)
    {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t nl = text.find('\n', pos);
            std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
            ++line_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!statement(line)) {
                *error = error_;
                return false;
            }
            if (nl == std::string::npos) break;
            pos = nl + 1;
        }
        if (!finishPanel()) {
            *error = error_;
            return false;
        }
        return true;
    }

private:
    enum class Last { Other, Ring, Table, Menu };

    bool fail(const std::string& reason, int line = 0)
    {
        error_ = file_ + ":" + std::to_string(line != 0 ? line : line_) + ": " + reason;
        return false;
    }

    Panel* panel() { return panels_->empty() ? nullptr : &panels_->back(); }
    // The panel being read: every statement but `panel` comes after one (statement() checks).
    Panel& current() { return panels_->back(); }
    Control* tab()
    {
        return tabIndex_ < 0 ? nullptr : &current().controls[static_cast<std::size_t>(tabIndex_)];
    }
    Page* page() { return inPages_ ? &tab()->pages.back() : nullptr; }
    std::vector<Control>& scopeControls() { return inPages_ ? page()->controls : current().controls; }
    std::vector<Box>& scopeBoxes() { return inPages_ ? page()->boxes : current().boxes; }

    bool statement(const std::string& line)
    {
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') return true;
        std::vector<Token> tokens;
        std::string why;
        if (!tokenize(line, &tokens, &why)) return fail(why);
        if (tokens.empty() || !tokens[0].key.empty()) return fail("a statement starts with a keyword");
        std::string keyword = tokens[0].text;
        std::vector<std::string> args;
        std::vector<Token> options;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            if (tokens[i].key.empty()) {
                if (!options.empty()) return fail("'" + tokens[i].text + "' after the options");
                args.push_back(tokens[i].text);
            } else {
                for (const Token& o : options) {
                    if (o.key == tokens[i].key) return fail("option " + o.key + "= given twice");
                }
                options.push_back(tokens[i]);
            }
        }
        Last last = last_;
        last_ = Last::Other;

        using Handler = bool (Parser::*)(const std::vector<std::string>&, const std::vector<Token>&, Last);
        struct StatementDef {
            const char* name;
            Handler handler;
        };
        static const StatementDef kStatements[] = {
            {"panel", &Parser::onPanel},       {"ctrl", &Parser::onCtrl}, {"page", &Parser::onPage},
            {"menubar", &Parser::onMenuBar},   {"menu", &Parser::onMenu}, {"item", &Parser::onItem},
            {"menuitem", &Parser::onMenuItem}, {"cell", &Parser::onCell}, {"box", &Parser::onBox},
        };
        for (const StatementDef& s : kStatements) {
            if (keyword == s.name) {
                if (keyword != "panel" && panel() == nullptr)
                    return fail(keyword + " before the first panel");
                return (this->*s.handler)(args, options, last);
            }
        }
        return fail("unknown statement '" + keyword + "'");
    }

    bool noOptions(const std::vector<Token>& options)
    {
        if (options.empty()) return true;
        return fail("unknown option " + options[0].key + "=");
    }

    bool onPanel(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (!finishPanel()) return false;
        if (args.size() != 3) return fail("panel needs: panel <CONST> <number> \"<title>\"");
        Panel p;
        p.constant = args[0];
        p.title = args[2];
        p.line = line_;
        if (!isIdentifier(p.constant)) return fail("bad panel constant '" + p.constant + "'");
        if (!toInt(args[1], &p.number) || p.number < 1) return fail("bad panel number '" + args[1] + "'");
        for (const Panel& other : *panels_) {
            if (other.number == p.number) return fail("panel number " + args[1] + " used twice");
            if (other.constant == p.constant) return fail("panel constant " + p.constant + " used twice");
        }
        for (const Token& o : options) {
            if (o.key == "size") {
                std::vector<int> n;
                if (!toIntList(o.text, &n) || n.size() != 2 || n[0] < 1 || n[1] < 1 || n[0] > 8000 ||
                    n[1] > 8000) {
                    return fail("size= needs W,H in pixels");
                }
                p.width = n[0];
                p.height = n[1];
            } else if (o.key == "close") {
                if (!isIdentifier(o.text)) return fail("close= needs a button constant");
                p.closeControl = o.text;
            } else {
                return fail("unknown option " + o.key + "= for panel");
            }
        }
        panels_->push_back(std::move(p));
        tabIndex_ = -1;
        inPages_ = false;
        return true;
    }

    bool onCtrl(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (args.size() != 3 && args.size() != 4) {
            return fail("ctrl needs: ctrl <id> <CONST> <kind> [\"<caption>\"]");
        }
        Control c;
        c.line = line_;
        if (!toInt(args[0], &c.id) || c.id < 2 || c.id > 100000)
            return fail("bad control id '" + args[0] + "'");
        c.constant = args[1];
        if (!isIdentifier(c.constant)) return fail("bad control constant '" + c.constant + "'");
        bool known = false;
        for (const KindDef& k : kKinds) {
            if (args[2] == k.name) {
                c.kind = k.kind;
                known = true;
            }
        }
        if (!known) return fail("unknown kind '" + args[2] + "'");
        if (args.size() == 4) c.caption = args[3];
        for (const Token& o : options) {
            const OptionDef* def = nullptr;
            for (const OptionDef& d : kOptions) {
                if (o.key == d.name) def = &d;
            }
            if (def == nullptr) return fail("unknown option " + o.key + "=");
            if ((def->kinds & bit(c.kind)) == 0) {
                return fail("option " + o.key + "= does not apply to a " + kindName(c.kind));
            }
            std::string why;
            if (!def->apply(c, o.text, &why)) return fail(why);
        }
        if (c.hasMin && c.hasMax && c.min > c.max) return fail("min= is above max=");
        if (c.kind == Kind::Table && (c.rows == 0 || c.cols == 0))
            return fail("a table needs rows= and cols=");
        if (c.kind == Kind::Timer && c.interval <= 0.0) return fail("a timer needs interval=");
        for (const Control& other : scopeControls()) {
            if (other.constant == c.constant) return fail("constant " + c.constant + " used twice here");
        }
        if (!c.box.empty()) {
            bool found = false;
            for (const Box& b : scopeBoxes()) found = found || b.name == c.box;
            if (!found) return fail("unknown box '" + c.box + "'");
        }
        if (c.kind == Kind::Tab) {
            if (inPages_) return fail("a tab control inside a tab page");
            if (tabIndex_ >= 0) return fail("a second tab control on one panel");
            tabIndex_ = static_cast<int>(panel()->controls.size());
        }
        Kind kind = c.kind;
        scopeControls().push_back(std::move(c));
        if (kind == Kind::Ring) last_ = Last::Ring;
        if (kind == Kind::Table) last_ = Last::Table;
        return true;
    }

    bool onPage(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (!noOptions(options)) return false;
        if (args.size() != 2) return fail("page needs: page <CONST> \"<caption>\"");
        if (tab() == nullptr) return fail("page without a tab control on the panel");
        if (!isIdentifier(args[0])) return fail("bad page constant '" + args[0] + "'");
        if (inPages_ && !checkIds(page()->controls, page()->line, "page " + page()->constant)) return false;
        for (const Page& p : tab()->pages) {
            if (p.constant == args[0]) return fail("page constant " + args[0] + " used twice");
        }
        Page p;
        p.constant = args[0];
        p.caption = args[1];
        p.line = line_;
        tab()->pages.push_back(std::move(p));
        inPages_ = true;
        return true;
    }

    bool onMenuBar(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (!noOptions(options)) return false;
        if (args.size() != 1 || !isIdentifier(args[0])) return fail("menubar needs: menubar <CONST>");
        if (inPages_) return fail("menubar inside a tab page");
        if (!panel()->menuBar.empty()) return fail("a second menubar on one panel");
        panel()->menuBar = args[0];
        return true;
    }

    bool onMenu(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (args.size() != 2) return fail("menu needs: menu <CONST> \"<caption>\"");
        if (panel()->menuBar.empty() || inPages_) return fail("menu without a menubar");
        MenuEntry m;
        m.constant = args[0];
        m.caption = args[1];
        m.line = line_;
        if (!isIdentifier(m.constant)) return fail("bad menu constant '" + m.constant + "'");
        for (const MenuEntry& other : panel()->menus) {
            if (other.constant == m.constant) return fail("menu constant " + m.constant + " used twice");
        }
        int autoIds = 0;  // entries before this one that took the next id
        for (const MenuEntry& other : panel()->menus) autoIds += other.explicitId ? 0 : 1;
        m.id = autoIds + 2;
        for (const Token& o : options) {
            if (o.key == "id") {
                if (!toInt(o.text, &m.id) || m.id < 2 || m.id > 100000)
                    return fail("bad menu id '" + o.text + "'");
                m.explicitId = true;
                continue;
            }
            if (o.key != "cb") return fail("unknown option " + o.key + "= for menu");
            if (!isIdentifier(o.text)) return fail("cb= needs a callback name");
            m.callbackName = o.text;
        }
        for (const MenuEntry& other : panel()->menus) {
            if (other.id == m.id) return fail("menu id " + std::to_string(m.id) + " used twice");
        }
        panel()->menus.push_back(std::move(m));
        last_ = Last::Menu;
        return true;
    }

    bool onMenuItem(const std::vector<std::string>& args, const std::vector<Token>& options, Last last)
    {
        if (last != Last::Menu) return fail("menuitem without a menu just before");
        if (args.size() != 2) return fail("menuitem needs: menuitem <CONST> \"<caption>\"");
        MenuEntry& menu = panel()->menus.back();
        if (!menu.callbackName.empty()) return fail("menuitem under a menu that has a callback");
        MenuItem item;
        item.constant = args[0];
        item.caption = args[1];
        item.line = line_;
        if (!isIdentifier(item.constant)) return fail("bad menuitem constant '" + item.constant + "'");
        for (const MenuItem& other : menu.items) {
            if (other.constant == item.constant)
                return fail("menuitem constant " + item.constant + " used twice");
        }
        for (const Token& o : options) {
            if (o.key != "cb") return fail("unknown option " + o.key + "= for menuitem");
            if (!isIdentifier(o.text)) return fail("cb= needs a callback name");
            item.callbackName = o.text;
        }
        item.id = static_cast<int>(menu.items.size()) + 2;
        menu.items.push_back(std::move(item));
        last_ = Last::Menu;
        return true;
    }

    bool onItem(const std::vector<std::string>& args, const std::vector<Token>& options, Last last)
    {
        if (last != Last::Ring) return fail("item without a ring just before");
        if (!noOptions(options)) return false;
        RingItem item;
        if (args.size() != 2 || !toInt(args[1], &item.value))
            return fail("item needs: item \"<caption>\" <int>");
        item.caption = args[0];
        scopeControls().back().items.push_back(std::move(item));
        last_ = Last::Ring;
        return true;
    }

    bool onCell(const std::vector<std::string>& args, const std::vector<Token>& options, Last last)
    {
        if (last != Last::Table) return fail("cell without a table just before");
        if (!noOptions(options)) return false;
        if (args.size() != 1) return fail("cell needs: cell \"<text>\"");
        Control& table = scopeControls().back();
        if (static_cast<int>(table.cells.size()) >= table.rows) return fail("more cells than table rows");
        table.cells.push_back(args[0]);
        last_ = Last::Table;
        return true;
    }

    bool onBox(const std::vector<std::string>& args, const std::vector<Token>& options, Last)
    {
        if (args.size() != 2) return fail("box needs: box <name> \"<title>\"");
        Box b;
        b.name = args[0];
        b.title = args[1];
        b.line = line_;
        if (!isIdentifier(b.name)) return fail("bad box name '" + b.name + "'");
        for (const Box& other : scopeBoxes()) {
            if (other.name == b.name) return fail("box " + b.name + " declared twice");
        }
        for (const Token& o : options) {
            if (o.key != "at") return fail("unknown option " + o.key + "= for box");
            std::string why;
            if (!parseGridCell(o.text, &b.at, &why)) return fail(why);
        }
        scopeBoxes().push_back(std::move(b));
        return true;
    }

    // Ids of one panel or page must be exactly 2 .. N+1.
    bool checkIds(const std::vector<Control>& controls, int line, const std::string& where)
    {
        std::set<int> ids;
        for (const Control& c : controls) {
            if (!ids.insert(c.id).second)
                return fail("control id " + std::to_string(c.id) + " used twice", c.line);
        }
        int expected = 2;
        for (int id : ids) {
            if (id != expected) {
                return fail(where + ": control ids must count from 2 without gaps; " +
                                std::to_string(expected) + " is missing",
                            line);
            }
            ++expected;
        }
        return true;
    }

    bool checkControls(const std::vector<Control>& controls)
    {
        for (const Control& c : controls) {
            if (c.kind == Kind::Ring && c.items.empty())
                return fail("ring " + c.constant + " has no items", c.line);
            if (c.kind == Kind::Ring && c.init >= static_cast<int>(c.items.size())) {
                return fail("init= of ring " + c.constant + " is past its last item", c.line);
            }
            if (c.kind == Kind::Tab && c.pages.empty())
                return fail("tab " + c.constant + " has no pages", c.line);
        }
        return true;
    }

    bool finishPanel()
    {
        Panel* p = panel();
        if (p == nullptr) return true;
        if (!checkIds(p->controls, p->line, "panel " + p->constant)) return false;
        if (inPages_ && !checkIds(page()->controls, page()->line, "page " + page()->constant)) return false;
        if (!checkControls(p->controls)) return false;
        if (tab() != nullptr) {
            for (const Page& pg : tab()->pages) {
                if (!checkControls(pg.controls)) return false;
            }
        }
        if (!p->closeControl.empty()) {
            bool found = false;
            for (const Control& c : p->controls)
                found = found || (c.constant == p->closeControl && c.kind == Kind::Button);
            if (!found) return fail("close= names no button of panel " + p->constant, p->line);
        }
        return true;
    }

    std::string file_;
    std::vector<Panel>* panels_;
    int line_ = 0;
    int tabIndex_ = -1;
    bool inPages_ = false;
    Last last_ = Last::Other;
    std::string error_;
};

// The registered callback `name` of a control (menu false) or a menu entry;
// nullptr, with the reason in *error, when there is none of that sort.
const CallbackEntry* findCallback(const std::string& name, bool menu, const std::string& file, int line,
                                  std::string* error)
{
    const CallbackEntry* e = FindCallback(name);
    if (e != nullptr && (menu ? e->menu != nullptr : e->control != nullptr)) return e;
    *error = file + ":" + std::to_string(line) + ": callback '" + name + "' is " +
             (e == nullptr ? "not registered"
              : menu       ? "not a menu callback"
                           : "not a control callback");
    return nullptr;
}

bool resolveControls(std::vector<Control>& controls, const std::string& file, std::string* error)
{
    for (Control& c : controls) {
        if (!c.callbackName.empty()) {
            const CallbackEntry* e = findCallback(c.callbackName, false, file, c.line, error);
            if (e == nullptr) return false;
            c.callback = e->control;
            c.callbackData = e->callbackData;
        }
        for (Page& p : c.pages) {
            if (!resolveControls(p.controls, file, error)) return false;
        }
    }
    return true;
}

// Decodes a whole resource; bytes that are not GBK fail it, naming their line.
bool decodeResource(const std::string& gbk, const std::string& fileName, std::string* utf8,
                    std::string* error)
{
    std::size_t bad = 0;
    if (GbkToUtf8(gbk, utf8, &bad)) return true;
    int line = 1;
    for (std::size_t i = 0; i < bad && i < gbk.size(); ++i) line += gbk[i] == '\n' ? 1 : 0;
    *error = fileName + ":" + std::to_string(line) + ": bytes that are not GBK text";
    return false;
}

std::string noPanelNumbered(const std::string& fileName, const std::vector<Panel>& panels, int number)
{
    std::string held;
    for (const Panel& p : panels) held += (held.empty() ? "" : ", ") + std::to_string(p.number);
    return fileName + ":" + std::to_string(panels.empty() ? 1 : panels.back().line) + ": no panel numbered " +
           std::to_string(number) + " (the file holds " + (held.empty() ? "none" : held) + ")";
}

}  // namespace

bool ParseText(const std::string& utf8, const std::string& fileName, std::vector<Panel>* panels,
               std::string* error)
{
    panels->clear();
    Parser parser(fileName, panels);
    return parser.parse(utf8, error);
}

bool ParsePanel(const std::string& gbk, const std::string& fileName, int number, Panel* out,
                std::string* error)
{
    std::string utf8;
    if (!decodeResource(gbk, fileName, &utf8, error)) return false;
    std::vector<Panel> panels;
    if (!ParseText(utf8, fileName, &panels, error)) return false;
    for (Panel& p : panels) {
        if (p.number != number) continue;
        if (!resolveControls(p.controls, fileName, error)) return false;
        // Menu entries and their items resolve alike.
        auto resolveMenu = [&](const std::string& name, int line, MenuCallbackPtr* cb, void** data) {
            if (name.empty()) return true;
            const CallbackEntry* e = findCallback(name, true, fileName, line, error);
            if (e == nullptr) return false;
            *cb = e->menu;
            *data = e->callbackData;
            return true;
        };
        for (MenuEntry& m : p.menus) {
            if (!resolveMenu(m.callbackName, m.line, &m.callback, &m.callbackData)) return false;
            for (MenuItem& item : m.items) {
                if (!resolveMenu(item.callbackName, item.line, &item.callback, &item.callbackData))
                    return false;
            }
        }
        *out = std::move(p);
        return true;
    }
    *error = noPanelNumbered(fileName, panels, number);
    return false;
}

namespace {

// Reads the bytes of a resource file, from $DSC_UIR_DIR when set, else from
// the Qt resource :/uir/<fileName>.
bool readResource(const std::string& fileName, std::string* bytes, std::string* why)
{
    if (fileName.empty() || fileName.find_first_of("/\\") != std::string::npos || fileName == "." ||
        fileName == "..") {
        *why = fileName + ":0: a resource is named by a plain file name";
        return false;
    }
    const char* dir = std::getenv("DSC_UIR_DIR");
    QString path = dir != nullptr && *dir != '\0'
                       ? QString::fromLocal8Bit(dir) + "/" + QString::fromStdString(fileName)
                       : ":/uir/" + QString::fromStdString(fileName);
    QFile f(path);
    constexpr qint64 kMaxSize = qint64{4} * 1024 * 1024;
    if (!f.open(QIODevice::ReadOnly)) {
        *why =
            fileName + ":0: cannot open " + path.toStdString() + " (" + f.errorString().toStdString() + ")";
        return false;
    }
    if (f.size() > kMaxSize) {
        *why = fileName + ":0: file larger than 4 MiB";
        return false;
    }
    *bytes = f.readAll().toStdString();
    return true;
}

}  // namespace

bool LoadPanelResource(const std::string& fileName, int number, Panel* out, std::string* error)
{
    std::string why;
    std::string bytes;
    const bool ok = readResource(fileName, &bytes, &why) && ParsePanel(bytes, fileName, number, out, &why);
    if (!ok) {
        qCCritical(lcUir, "%s", why.c_str());
        if (error != nullptr) *error = why;
    }
    return ok;
}

bool DescribeResource(const std::string& fileName, std::vector<Panel>* panels, std::string* error)
{
    std::string bytes;
    std::string utf8;
    std::string why;
    bool ok = readResource(fileName, &bytes, &why) && decodeResource(bytes, fileName, &utf8, &why) &&
              ParseText(utf8, fileName, panels, &why);
    if (!ok) {
        panels->clear();
        if (error != nullptr) *error = why;
    }
    return ok;
}

}  // namespace uirfile
