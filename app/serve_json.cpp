#include "app/serve_json.h"

#include <cmath>
#include <string>

#include "engine/status_text.h"
#include "platform/os/clock.h"

namespace {

QString q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

double rounded(double v)
{
    return std::round(v * 1e6) / 1e6;
}

QJsonObject entryJson(const psets::RegisterInfo& info, int word)
{
    return {{"value", rounded(psets::DisplayValue(info, word))}, {"word", word}};
}

const RegisterControl* controlOf(const psets::RegisterInfo& info)
{
    if (const RegisterControl* c = info.on(RegisterPanel::Set)) return c;
    return info.controls.empty() ? nullptr : &info.controls.front();
}

bool near(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

WriteCheck refuse(const psets::RegisterInfo& info, const QString& why, QJsonObject data = {})
{
    data["register"] = info.reg;
    WriteCheck c;
    c.why = why;
    c.data = data;
    return c;
}

}  // namespace

QJsonObject StatusJson(const StatusReply& reply)
{
    const std::vector<RegisterEntry>& status = Catalogue().statusRegisters();
    QJsonArray values;
    for (int i = 0; i < DATAITEMOR_COUNT && i < static_cast<int>(status.size()); ++i) {
        const int raw = reply.words[static_cast<std::size_t>(i)];
        values.append(QJsonObject{{"register", status[static_cast<std::size_t>(i)].reg},
                                  {"caption", q(StatusCaption(i))},
                                  {"value", rounded(StatusPhysical(i, raw))},
                                  {"unit", q(StatusUnit(i))},
                                  {"text", q(StatusValueText(i, raw))},
                                  {"word", raw}});
    }
    QJsonArray faults;
    for (int bit = 0; bit < kFaultBitCount; ++bit) {
        if (!FaultBitSet(reply.words, bit)) continue;
        FaultEvent e;
        e.bit = bit;
        faults.append(QJsonObject{
            {"register", e.registerAddress()}, {"bit", e.bitInWord()}, {"caption", q(FaultCaption(bit))}});
    }
    return {{"time", q(IsoLocalTime(reply.wallMs))}, {"values", values}, {"faults", faults}};
}

QJsonObject FaultEventJson(const FaultEvent& e)
{
    QJsonArray frame;
    for (std::int16_t w : e.frame) frame.append(w);
    return {{"event", FaultEventName(e.kind)},
            {"register", e.registerAddress()},
            {"bit", e.bitInWord()},
            {"caption", q(FaultCaption(e.bit))},
            {"time", q(IsoLocalTime(e.wallMs))},
            {"durationS", rounded(e.durationS)},
            {"first", e.first},
            {"freezeFrame", frame}};
}

QJsonObject ParameterJson(const psets::RegisterInfo& info, int word)
{
    return {{"register", info.reg},       {"page", q(info.page)},
            {"caption", q(info.caption)}, {"value", rounded(psets::DisplayValue(info, word))},
            {"unit", q(info.unit)},       {"word", word}};
}

QJsonObject ComparisonJson(const psets::Comparison& c)
{
    return {{"register", c.info->reg},
            {"page", q(c.info->page)},
            {"caption", q(c.info->caption)},
            {"unit", q(c.info->unit)},
            {"file", entryJson(*c.info, c.fileWord)},
            {"controller", entryJson(*c.info, c.controllerWord)},
            {"differs", c.differs},
            {"compared", c.compared()}};
}

WriteCheck CheckWord(const psets::RegisterInfo& info, double word)
{
    if (!(word >= -32768 && word <= 32767) || std::floor(word) != word) {
        return refuse(
            info, QString("register %1 takes a 16-bit word (-32768..32767), not %2").arg(info.reg).arg(word));
    }
    const int w = static_cast<int>(word);
    const double value = psets::DisplayValue(info, w);
    const RegisterControl* control = controlOf(info);
    const QString where = QString("register %1 (%2)").arg(info.reg).arg(q(info.caption));
    if (control != nullptr && control->kind == uirfile::Kind::Ring) {
        QJsonArray items;
        for (const uirfile::RingItem& item : control->items) {
            if (item.value == w) {
                WriteCheck ok;
                ok.ok = true;
                ok.word = w;
                return ok;
            }
            items.append(QJsonObject{{"value", item.value}, {"caption", q(item.caption)}});
        }
        return refuse(info, QString("%1 takes one of its items, not %2").arg(where).arg(w),
                      {{"items", items}});
    }
    if (control != nullptr && control->kind == uirfile::Kind::Switch && w != 0 && w != 1) {
        return refuse(info, QString("%1 is a switch: 0 or 1, not %2").arg(where).arg(w));
    }
    if (control != nullptr) {
        const bool low = control->hasMin && value < control->min && !near(value, control->min);
        const bool high = control->hasMax && value > control->max && !near(value, control->max);
        if (low || high) {
            QJsonObject range;
            if (control->hasMin) range["min"] = control->min;
            if (control->hasMax) range["max"] = control->max;
            const QString unit = info.unit.empty() ? QString() : " " + q(info.unit);
            return refuse(info,
                          QString("%1 = %2%3 is outside its range (%4 .. %5); nothing was written")
                              .arg(where)
                              .arg(value)
                              .arg(unit)
                              .arg(control->hasMin ? QString::number(control->min) : QString("-"))
                              .arg(control->hasMax ? QString::number(control->max) : QString("-")),
                          range);
        }
    }
    WriteCheck ok;
    ok.ok = true;
    ok.word = w;
    return ok;
}

WriteCheck CheckValue(const psets::RegisterInfo& info, double value)
{
    double word = value;
    if (info.scaled() && info.scale.num != 0) {
        word = std::round(value * info.scale.den / info.scale.num);
        // A value between two words is not what the control would send.
        if (!near(psets::DisplayValue(info, static_cast<int>(std::fmax(-40000, std::fmin(40000, word)))),
                  value)) {
            return refuse(info, QString("register %1 (%2) takes steps of %3 %4, not %5")
                                    .arg(info.reg)
                                    .arg(q(info.caption))
                                    .arg(static_cast<double>(info.scale.num) / info.scale.den)
                                    .arg(q(info.unit))
                                    .arg(value));
        }
    } else if (std::floor(value) != value) {
        return refuse(info, QString("register %1 (%2) takes whole numbers, not %3")
                                .arg(info.reg)
                                .arg(q(info.caption))
                                .arg(value));
    }
    return CheckWord(info, word);
}
