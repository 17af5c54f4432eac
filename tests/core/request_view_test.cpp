#include "modbus/request_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modbus/modbus.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using testsupport::FromHex;
using testsupport::WithCrc;
using Bytes = std::vector<unsigned char>;

namespace {

// The view reads a frame in a constant expression, as the bytes of a request
// built at compile time would be.
constexpr unsigned char kStatusRead[] = {0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A, 0x87, 0xD2};
static_assert(ViewRequest(kStatusRead, 8).isRead(), "a read of the status block");
static_assert(ViewRequest(kStatusRead, 8).address == 2748 && ViewRequest(kStatusRead, 8).count() == 26, "");
static_assert(ViewRequest(kStatusRead, 8).replyLength() == 57, "5 + 2 x 26");
static_assert(!ViewRequest(kStatusRead, 5).complete, "five bytes do not hold both fields");

struct Case {
    const char* name;
    Bytes frame;
    int length;  // < 0: the whole frame
    bool complete;
    bool valid;
    int function;
    int address;
    int count;
    int field;
    int replyLength;
};

}  // namespace

TEST(RequestView, ReadsTheFieldsOfAFrame)
{
    const Case cases[] = {
        {"status read", FromHex("01030abc001a87d2"), -1, true, true, 3, 2748, 26, 26, 57},
        {"one register", WithCrc(FromHex("01030a300001")), -1, true, true, 3, 2608, 1, 1, 7},
        {"password write", FromHex("01060fc759274169"), -1, true, true, 6, 4039, 0, 22823, 8},
        {"write of -1", FromHex("01060a00ffff8ba2"), -1, true, true, 6, 2560, 0, 0xFFFF, 8},
        {"fields without the CRC", FromHex("01060fc75927"), -1, true, true, 6, 4039, 0, 22823, 8},
        {"largest read that fits", WithCrc(FromHex("010309f40061")), -1, true, true, 3, 2548, 97, 97, 199},
        {"read too long for a reply", WithCrc(FromHex("010309f40062")), -1, true, true, 3, 2548, 98, 98, 0},
        {"other function", WithCrc(FromHex("01100a300006")), -1, true, false, 0x10, 2608, 0, 6, 0},
        {"exception code as function", FromHex("018302c0f1"), -1, false, false, 0, 0, 0, 0, 0},
        {"cut after the address", FromHex("01030abc001a87d2"), 5, false, false, 0, 0, 0, 0, 0},
        {"slave and function only", FromHex("0103"), -1, false, false, 0, 0, 0, 0, 0},
        {"nothing", {}, -1, false, false, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const int length = c.length < 0 ? static_cast<int>(c.frame.size()) : c.length;
        const RequestView v = ViewRequest(c.frame.empty() ? nullptr : c.frame.data(), length);
        EXPECT_EQ(v.complete, c.complete) << c.name;
        EXPECT_EQ(v.valid(), c.valid) << c.name;
        EXPECT_EQ(v.function, c.function) << c.name;
        EXPECT_EQ(v.address, c.address) << c.name;
        EXPECT_EQ(v.count(), c.count) << c.name;
        EXPECT_EQ(v.field, c.field) << c.name;
        EXPECT_EQ(v.replyLength(), c.replyLength) << c.name;
    }
}

TEST(RequestView, SignedFieldOfAWrite)
{
    EXPECT_EQ(ViewRequest(FromHex("01060a00ffff8ba2").data(), 8).signedField(), -1);
    EXPECT_EQ(ViewRequest(FromHex("01060a0080000000").data(), 8).signedField(), -32768);
    EXPECT_EQ(ViewRequest(FromHex("01060a007fff0000").data(), 8).signedField(), 32767);
}

// The reply bytes decide between the normal length and that of an exception
// reply, which is known once its function code has arrived.
TEST(RequestView, ReplyLengthFollowsTheReplyReceivedSoFar)
{
    struct ReplyCase {
        const char* name;
        const char* request;
        const char* reply;
        int expected;
        bool exception;
    };
    const ReplyCase cases[] = {
        {"read, nothing yet", "01030abc001a87d2", "", 57, false},
        {"read, slave only", "01030abc001a87d2", "01", 57, false},
        {"read, normal reply begins", "01030abc001a87d2", "0103", 57, false},
        {"read, exception", "01030abc001a87d2", "018302c0f1", 5, true},
        {"read, exception cut before its code", "01030abc001a87d2", "0183", 5, false},
        {"write, echo begins", "01060fc759274169", "01060f", 8, false},
        {"write, exception", "01060fc759274169", "018603", 5, true},
        {"write, exception from another slave", "01060fc759274169", "028603", 5, false},
        {"write, exception of another function", "01060fc759274169", "018303", 5, false},
        {"other function, its exception", "01100a300006", "019001", 5, true},
        {"other function, no exception", "01100a300006", "0110", 0, false},
    };
    for (const ReplyCase& c : cases) {
        const Bytes request = FromHex(c.request);
        const Bytes reply = FromHex(c.reply);
        const RequestView v = ViewRequest(request.data(), static_cast<int>(request.size()));
        const unsigned char* bytes = reply.empty() ? nullptr : reply.data();
        const int count = static_cast<int>(reply.size());
        EXPECT_EQ(v.replyLength(bytes, count), c.expected) << c.name;
        EXPECT_EQ(v.isExceptionReply(bytes, count), c.exception) << c.name;
        // The codec's own judgement of a whole request is the view's.
        if (request.size() == 8)
            EXPECT_EQ(ImpliedReplyLength(request.data(), bytes, count), c.expected) << c.name;
    }
}
