// JSON-RPC 2.0, one JSON text per line: a table of methods, each with the
// parameters it takes, and the answer to any line a client may send.
//
// A method is a row of the table: its name, its parameters (by name, with
// their JSON type and whether they must be given) and its handler. The
// dispatcher checks a line against the protocol and the row before the
// handler sees it, so a handler only ever gets the parameters it declared,
// of the types it declared. Whatever the bytes of a line, the answer is
// defined: a result, an error with a standard code, or nothing at all for a
// notification (a request without "id"). Only objects are taken: a batch
// (a JSON array) is answered with one "invalid request" error.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace rpc {

// The protocol's own error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;

// A line longer than this is not parsed: it is answered as an invalid request.
constexpr std::size_t kMaxLineBytes = 256 * 1024;

enum class Type { Number, Integer, String, Boolean, Array, Object };
// "a number", "an integer", ...
const char* TypeName(Type type);

struct Param {
    const char* name;
    Type type;
    bool required = false;
};

// What a handler returns: a result, or an error with its code, message and
// data (null when there is none).
struct Answer {
    bool ok = true;
    QJsonValue result;
    int code = 0;
    QString message;
    QJsonValue data;

    static Answer Result(const QJsonValue& value) { return {true, value, 0, {}, {}}; }
    static Answer Error(int code, const QString& message, const QJsonValue& data = QJsonValue())
    {
        return {false, {}, code, message, data};
    }
};

using Handler = std::function<Answer(const QJsonObject& params)>;

struct Method {
    const char* name;
    std::vector<Param> params;
    Handler handler;
};

class Dispatcher {
public:
    explicit Dispatcher(std::vector<Method> methods);

    // The answer to one line (without its line end), as one compact JSON text
    // without a line end; empty for a notification. Never throws.
    QByteArray handle(const QByteArray& line) const;
    // The answer to a line that was longer than kMaxLineBytes.
    static QByteArray tooLong();

    const std::vector<Method>& methods() const { return methods_; }

private:
    std::vector<Method> methods_;
};

// A notification the server sends: {"jsonrpc":"2.0","method":...,"params":...}.
QByteArray Notification(const char* method, const QJsonObject& params);

// Reads one line from `in` into *line (without "\n" and a "\r" before it),
// keeping at most kMaxLineBytes: the rest of a longer line is read and
// dropped, and *tooLong set. False at the end of input with nothing read.
bool ReadLine(std::FILE* in, QByteArray* line, bool* tooLong);

}  // namespace rpc
