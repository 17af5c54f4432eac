// Any bytes on serve's standard input, as a script (or a broken pipe) sends
// them: read line by line and answered by the JSON-RPC layer.
//
// Checks: every line read is at most the layer's limit; every answer is one
// line of a JSON object with "jsonrpc": "2.0" and an "id", and either a
// "result" or an "error" with an integer code and a message; a handler is
// only called with the parameters its row declares, of the declared types
// (required ones present); a request without "id" is never answered.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rpc/json_rpc.h"

namespace {

void require(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "serve_fuzz: %s\n", what);
    std::abort();
}

const std::vector<rpc::Param> kParams = {
    {"register", rpc::Type::Integer}, {"value", rpc::Type::Number}, {"caption", rpc::Type::String},
    {"confirm", rpc::Type::Boolean},  {"only", rpc::Type::Array},   {"set", rpc::Type::Object},
};

bool typed(const QJsonValue& v, rpc::Type t)
{
    switch (t) {
        case rpc::Type::Integer:
            return v.isDouble() && std::floor(v.toDouble()) == v.toDouble();
        case rpc::Type::Number:
            return v.isDouble();
        case rpc::Type::String:
            return v.isString();
        case rpc::Type::Boolean:
            return v.isBool();
        case rpc::Type::Array:
            return v.isArray();
        case rpc::Type::Object:
            return v.isObject();
    }
    return false;
}

rpc::Answer checked(const QJsonObject& params, bool needsRegister)
{
    for (auto it = params.begin(); it != params.end(); ++it) {
        bool declared = false;
        for (const rpc::Param& p : kParams) {
            if (it.key() == QLatin1String(p.name)) {
                declared = true;
                require(typed(it.value(), p.type), "a parameter of the wrong type reached a handler");
            }
        }
        require(declared, "an undeclared parameter reached a handler");
    }
    require(!needsRegister || params.contains("register"), "a required parameter was missing");
    if (params.value("confirm").toBool())
        return rpc::Answer::Error(-32002, "refused", QJsonObject{{"register", 1}});
    return rpc::Answer::Result(params);
}

const rpc::Dispatcher& dispatcher()
{
    std::vector<rpc::Param> required = kParams;
    required[0].required = true;
    static const rpc::Dispatcher d({
        {"parameters.write", required, [](const QJsonObject& p) { return checked(p, true); }},
        {"status.read", kParams, [](const QJsonObject& p) { return checked(p, false); }},
        {"console.info", {}, [](const QJsonObject& p) { return checked(p, false); }},
    });
    return d;
}

void checkAnswer(const QByteArray& line, const QByteArray& answer)
{
    const QJsonDocument request = QJsonDocument::fromJson(line);
    if (request.isObject() && !request.object().contains("id") &&
        request.object().value("jsonrpc") == "2.0" && request.object().value("method").isString()) {
        require(answer.isEmpty(), "a notification was answered");
        return;
    }
    require(!answer.isEmpty(), "a request went unanswered");
    require(!answer.contains('\n'), "an answer spans lines");
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(answer, &error);
    require(error.error == QJsonParseError::NoError && doc.isObject(), "an answer is not a JSON object");
    const QJsonObject o = doc.object();
    require(o.value("jsonrpc") == "2.0" && o.contains("id"), "an answer without jsonrpc or id");
    require(o.contains("result") != o.contains("error"), "an answer needs a result or an error, not both");
    if (o.contains("error")) {
        const QJsonObject e = o.value("error").toObject();
        require(e.value("code").isDouble() && !e.value("message").toString().isEmpty(),
                "an error without code");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (in == nullptr) return 0;
    QByteArray line;
    bool tooLong = false;
    while (rpc::ReadLine(in, &line, &tooLong)) {
        require(static_cast<std::size_t>(line.size()) <= rpc::kMaxLineBytes, "a line beyond the limit");
        if (tooLong) continue;
        checkAnswer(line, dispatcher().handle(line));
    }
    std::fclose(in);
    return 0;
}
