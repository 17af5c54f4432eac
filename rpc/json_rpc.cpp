#include "rpc/json_rpc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <exception>
#include <utility>

namespace rpc {

namespace {

QByteArray text(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray errorText(const QJsonValue& id, int code, const QString& message, const QJsonValue& data = {})
{
    QJsonObject error{{"code", code}, {"message", message}};
    if (!data.isNull() && !data.isUndefined()) error["data"] = data;
    return text(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"error", error}});
}

bool hasType(const QJsonValue& v, Type type)
{
    switch (type) {
        case Type::Number:
            return v.isDouble();
        case Type::Integer: {
            const double d = v.toDouble();
            return v.isDouble() && std::floor(d) == d && std::fabs(d) <= 2147483647.0;
        }
        case Type::String:
            return v.isString();
        case Type::Boolean:
            return v.isBool();
        case Type::Array:
            return v.isArray();
        case Type::Object:
            return v.isObject();
    }
    return false;
}

// Why `params` does not fit `method`; "" when it does (with *param the name at fault).
QString paramsFault(const Method& method, const QJsonObject& params, QString* param)
{
    for (auto it = params.begin(); it != params.end(); ++it) {
        const Param* declared = nullptr;
        for (const Param& p : method.params) {
            if (it.key() == QLatin1String(p.name)) declared = &p;
        }
        *param = it.key();
        if (declared == nullptr) {
            return QString("%1 takes no parameter '%2'").arg(method.name, it.key());
        }
        if (!hasType(it.value(), declared->type)) {
            return QString("'%1' must be %2").arg(it.key(), TypeName(declared->type));
        }
    }
    for (const Param& p : method.params) {
        *param = p.name;
        if (p.required && !params.contains(p.name)) {
            return QString("%1 needs '%2' (%3)").arg(method.name, p.name, TypeName(p.type));
        }
    }
    return QString();
}

}  // namespace

const char* TypeName(Type type)
{
    switch (type) {
        case Type::Number:
            return "a number";
        case Type::Integer:
            return "an integer";
        case Type::String:
            return "a string";
        case Type::Boolean:
            return "true or false";
        case Type::Array:
            return "an array";
        case Type::Object:
            return "an object";
    }
    return "?";
}

Dispatcher::Dispatcher(std::vector<Method> methods) : methods_(std::move(methods)) {}

QByteArray Dispatcher::tooLong()
{
    return errorText(QJsonValue(), kInvalidRequest,
                     QString("the line is longer than %1 bytes; nothing was done").arg(kMaxLineBytes));
}

QByteArray Dispatcher::handle(const QByteArray& line) const
{
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // A number, a string or a literal is JSON too, but not a request
        // (the parser takes only objects and arrays at the top).
        QJsonParseError asItem{};
        const QJsonDocument wrapped = QJsonDocument::fromJson("[" + line + "]", &asItem);
        if (asItem.error == QJsonParseError::NoError && wrapped.array().size() == 1) {
            return errorText(QJsonValue(), kInvalidRequest, "a request is a JSON object");
        }
        return errorText(
            QJsonValue(), kParseError,
            QString("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset));
    }
    if (doc.isArray()) {
        return errorText(QJsonValue(), kInvalidRequest,
                         "a batch (JSON array) is not taken: send one request object per line");
    }
    if (!doc.isObject()) return errorText(QJsonValue(), kInvalidRequest, "a request is a JSON object");
    const QJsonObject request = doc.object();
    const bool notification = !request.contains("id");
    // An invalid request without "id" is answered with a null one.
    const QJsonValue id = notification ? QJsonValue() : request.value("id");
    if (!notification && !id.isString() && !id.isDouble() && !id.isNull()) {
        return errorText(QJsonValue(), kInvalidRequest, "\"id\" must be a string, a number or null");
    }
    if (request.value("jsonrpc") != QJsonValue("2.0")) {
        return errorText(id, kInvalidRequest, "\"jsonrpc\" must be \"2.0\"");
    }
    const QJsonValue name = request.value("method");
    if (!name.isString()) return errorText(id, kInvalidRequest, "\"method\" must be a string");
    const Method* method = nullptr;
    for (const Method& m : methods_) {
        if (name.toString() == QLatin1String(m.name)) method = &m;
    }
    if (method == nullptr) {
        if (notification) return {};
        return errorText(id, kMethodNotFound, QString("no method '%1'").arg(name.toString()),
                         QJsonObject{{"method", name}});
    }
    const QJsonValue paramsValue = request.value("params");
    if (!paramsValue.isUndefined() && !paramsValue.isObject()) {
        if (notification) return {};
        return errorText(id, kInvalidParams, "\"params\" must be an object (parameters by name)");
    }
    const QJsonObject params = paramsValue.toObject();
    QString param;
    const QString fault = paramsFault(*method, params, &param);
    if (!fault.isEmpty()) {
        if (notification) return {};
        return errorText(id, kInvalidParams, fault, QJsonObject{{"param", param}});
    }
    Answer answer;
    try {
        answer = method->handler(params);
    } catch (const std::exception& e) {
        answer = Answer::Error(kInternalError, QString("internal error: %1").arg(e.what()));
    }
    if (notification) return {};
    if (!answer.ok) return errorText(id, answer.code, answer.message, answer.data);
    const QJsonValue result = answer.result.isUndefined() ? QJsonValue(QJsonObject()) : answer.result;
    return text(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
}

QByteArray Notification(const char* method, const QJsonObject& params)
{
    return text(QJsonObject{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

bool ReadLine(std::FILE* in, QByteArray* line, bool* tooLong)
{
    line->clear();
    *tooLong = false;
    bool any = false;
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
        any = true;
        if (c == '\n') break;
        if (static_cast<std::size_t>(line->size()) < kMaxLineBytes) {
            line->append(static_cast<char>(c));
        } else {
            *tooLong = true;
        }
    }
    if (line->endsWith('\r')) line->chop(1);
    return any;
}

}  // namespace rpc
