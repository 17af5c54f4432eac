// What serve says about registers, as JSON: status replies with their values
// in physical units, parameters with their pages, and the check of a value
// a client asks to write. Captions, units, scales, ranges and ring items come
// from the register catalogue.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <map>
#include <vector>

#include "engine/fault_tracker.h"
#include "sets/parameter_set.h"

// {time, values: [{register, caption, value, unit, text, word}], faults: [{register, bit, caption}]}
QJsonObject StatusJson(const StatusReply& reply);
// {event, register, bit, caption, time, durationS, first, freezeFrame}
QJsonObject FaultEventJson(const FaultEvent& event);
// {register, page, caption, value, unit, word}
QJsonObject ParameterJson(const psets::RegisterInfo& info, int word);
// {register, page, caption, unit, file: {value, word}, controller: {value, word}, differs, compared}
QJsonObject ComparisonJson(const psets::Comparison& c);

// A word to write to `info`, from a value in its control's units or the word
// itself, checked against the control as the window checks an entry: inside
// its range, a whole number where it shows no scale, one of a ring's items.
struct WriteCheck {
    bool ok = false;
    int word = 0;
    QString why;       // when not ok
    QJsonObject data;  // when not ok: the register and what it allows
};
WriteCheck CheckValue(const psets::RegisterInfo& info, double value);
WriteCheck CheckWord(const psets::RegisterInfo& info, double word);
