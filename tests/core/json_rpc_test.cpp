// The JSON-RPC layer: what every kind of line is answered with, before and
// after the method table has had its say.
#include "rpc/json_rpc.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A table of two methods: echo (one required integer, one optional string)
// and a method whose handler fails.
class JsonRpc : public ::testing::Test {
protected:
    rpc::Dispatcher dispatcher_{{
        {"echo",
         {{"n", rpc::Type::Integer, true}, {"s", rpc::Type::String}},
         [this](const QJsonObject& p) {
             ++calls_;
             return rpc::Answer::Result(p);
         }},
        {"fails",
         {},
         [](const QJsonObject&) {
             return rpc::Answer::Error(-32000, "no answer", QJsonObject{{"register", 2550}});
         }},
        {"throws", {}, [](const QJsonObject&) -> rpc::Answer { throw std::runtime_error("boom"); }},
    }};
    int calls_ = 0;

    QJsonObject answer(const std::string& line)
    {
        const QByteArray text = dispatcher_.handle(QByteArray::fromStdString(line));
        EXPECT_FALSE(text.contains('\n'));
        return QJsonDocument::fromJson(text).object();
    }
};

TEST_F(JsonRpc, EveryFaultyLineGetsItsStandardCodeAndTheHandlerIsNotCalled)
{
    struct Case {
        const char* line;
        int code;
        bool idNull;  // answered with "id": null (the id could not be taken)
    };
    const Case cases[] = {
        {"not json", rpc::kParseError, true},
        {"{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"echo\"", rpc::kParseError, true},
        {"\xff\xfe{}", rpc::kParseError, true},
        {"[]", rpc::kInvalidRequest, true},
        {"[{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"echo\",\"params\":{\"n\":1}}]", rpc::kInvalidRequest,
         true},
        {"42", rpc::kInvalidRequest, true},
        {"{\"jsonrpc\":\"2.0\",\"id\":{},\"method\":\"echo\"}", rpc::kInvalidRequest, true},
        {"{\"jsonrpc\":\"1.0\",\"id\":7,\"method\":\"echo\"}", rpc::kInvalidRequest, false},
        {"{\"id\":7,\"method\":\"echo\"}", rpc::kInvalidRequest, false},
        {"{\"method\":\"echo\"}", rpc::kInvalidRequest, true},
        {"{\"jsonrpc\":\"2.0\",\"method\":[]}", rpc::kInvalidRequest, true},
        {"{\"jsonrpc\":\"2.0\",\"id\":7}", rpc::kInvalidRequest, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":5}", rpc::kInvalidRequest, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"nope\"}", rpc::kMethodNotFound, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":[1]}", rpc::kInvalidParams, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{}}", rpc::kInvalidParams, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{\"n\":\"1\"}}", rpc::kInvalidParams,
         false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{\"n\":1.5}}", rpc::kInvalidParams,
         false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{\"n\":1e12}}", rpc::kInvalidParams,
         false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{\"n\":1,\"s\":null}}",
         rpc::kInvalidParams, false},
        {"{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"echo\",\"params\":{\"n\":1,\"confrim\":true}}",
         rpc::kInvalidParams, false},
    };
    for (const Case& c : cases) {
        const QJsonObject a = answer(c.line);
        EXPECT_EQ(a.value("jsonrpc").toString(), "2.0") << c.line;
        EXPECT_EQ(a.value("error").toObject().value("code").toInt(), c.code) << c.line;
        EXPECT_FALSE(a.value("error").toObject().value("message").toString().isEmpty()) << c.line;
        EXPECT_TRUE(a.contains("id")) << c.line;
        EXPECT_EQ(a.value("id").isNull(), c.idNull) << c.line;
        if (!c.idNull) {
            EXPECT_EQ(a.value("id").toInt(), 7) << c.line;
        }
    }
    EXPECT_EQ(calls_, 0);
}

TEST_F(JsonRpc, AValidRequestGetsTheResultUnderItsOwnId)
{
    const QJsonObject a = answer(R"({"jsonrpc":"2.0","id":"a-1","method":"echo","params":{"n":3,"s":"x"}})");
    EXPECT_EQ(a.value("id").toString(), "a-1");
    EXPECT_EQ(a.value("result").toObject(), (QJsonObject{{"n", 3}, {"s", "x"}}));
    EXPECT_FALSE(a.contains("error"));

    const QJsonObject failed = answer(R"({"jsonrpc":"2.0","id":2,"method":"fails"})");
    const QJsonObject error = failed.value("error").toObject();
    EXPECT_EQ(error.value("code").toInt(), -32000);
    EXPECT_EQ(error.value("data").toObject().value("register").toInt(), 2550);
    EXPECT_FALSE(failed.contains("result"));

    const QJsonObject thrown = answer(R"({"jsonrpc":"2.0","id":3,"method":"throws"})");
    EXPECT_EQ(thrown.value("error").toObject().value("code").toInt(), rpc::kInternalError);
}

TEST_F(JsonRpc, NotificationsAreCarriedOutButNeverAnswered)
{
    EXPECT_TRUE(dispatcher_.handle(R"({"jsonrpc":"2.0","method":"echo","params":{"n":1}})").isEmpty());
    EXPECT_EQ(calls_, 1);
    EXPECT_TRUE(dispatcher_.handle(R"({"jsonrpc":"2.0","method":"nope"})").isEmpty());
    EXPECT_TRUE(dispatcher_.handle(R"({"jsonrpc":"2.0","method":"echo","params":{}})").isEmpty());
    EXPECT_EQ(calls_, 1);
}

TEST_F(JsonRpc, LinesAreReadWithTheirEndsOffAndALongLineIsCutAndFlagged)
{
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    const std::string big(rpc::kMaxLineBytes + 100, 'x');
    std::fputs("one\r\n", f);
    std::fputs(big.c_str(), f);
    std::fputs("\ntwo", f);
    std::rewind(f);
    QByteArray line;
    bool tooLong = true;
    ASSERT_TRUE(rpc::ReadLine(f, &line, &tooLong));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(tooLong);
    ASSERT_TRUE(rpc::ReadLine(f, &line, &tooLong));
    EXPECT_TRUE(tooLong);
    EXPECT_EQ(static_cast<std::size_t>(line.size()), rpc::kMaxLineBytes);
    ASSERT_TRUE(rpc::ReadLine(f, &line, &tooLong));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(rpc::ReadLine(f, &line, &tooLong));
    std::fclose(f);

    const QJsonObject a = QJsonDocument::fromJson(rpc::Dispatcher::tooLong()).object();
    EXPECT_EQ(a.value("error").toObject().value("code").toInt(), rpc::kInvalidRequest);
    EXPECT_TRUE(a.value("id").isNull());
}

}  // namespace
