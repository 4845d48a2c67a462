// The host's side of the native-messaging protocol: frames in and out,
// requests read, replies written, and bad input turned away.
#include <gtest/gtest.h>

#include "HostReplies.h"
#include "Json.h"
#include "NativeMessage.h"

namespace tavro::host {
namespace {

// A pipe that yields its bytes at most `chunk` at a time.
ReadBytes Pipe(std::string bytes, std::size_t chunk = 1) {
  auto rest = std::make_shared<std::string>(std::move(bytes));
  return [rest, chunk](char* data, std::size_t size) {
    const std::size_t n = std::min({size, chunk, rest->size()});
    rest->copy(data, n);
    rest->erase(0, n);
    return n;
  };
}

TEST(NativeMessageTest, FramesComeThroughWholeHoweverThePipeCutsThem) {
  const std::string big(0x0102, 'x');
  EXPECT_EQ(Frame(big).substr(0, 4), std::string("\x02\x01\0\0", 4));
  const ReadBytes pipe =
      Pipe(Frame("{\"type\":\"list\"}") + Frame(big) + Frame(""));
  EXPECT_EQ(ReadMessage(pipe).body, "{\"type\":\"list\"}");
  EXPECT_EQ(ReadMessage(pipe).body, big);
  const Incoming empty = ReadMessage(pipe);
  EXPECT_EQ(empty.kind, Incoming::Message);
  EXPECT_EQ(empty.body, "");
  EXPECT_EQ(ReadMessage(pipe).kind, Incoming::End);
}

TEST(NativeMessageTest, ACutOrOversizedFrameIsToldApart) {
  EXPECT_EQ(ReadMessage(Pipe(std::string("\x05\0", 2))).kind,
            Incoming::Truncated);
  EXPECT_EQ(ReadMessage(Pipe(Frame("{}").substr(0, 5))).kind,
            Incoming::Truncated);
  const std::string overLimit("\x01\x00\x10\x00", 4);  // 1 MiB + 1
  EXPECT_EQ(ReadMessage(Pipe(overLimit, 4)).kind, Incoming::TooLong);
  EXPECT_EQ(ReadMessage(Pipe("\xff\xff\xff\xff", 4)).kind, Incoming::TooLong);
  const std::string atLimit(kMaxMessage, ' ');
  EXPECT_EQ(ReadMessage(Pipe(Frame(atLimit), 1 << 16)).body.size(),
            kMaxMessage);
}

TEST(JsonTest, RequestsAreWholeObjectsAndTheirTypeIsRead) {
  EXPECT_EQ(RequestType("{\"type\":\"list\"}"), "list");
  EXPECT_EQ(RequestType(" \r\n{ \"id\" : [1, -2.5e+3, true, null, {\"a\":"
                        "\"\\u00e9\\n\"}], \"type\" : \"list\" }\t"),
            "list");
  EXPECT_EQ(RequestType("{\"type\":\"a\\\"b\"}"), "a\"b");
  EXPECT_EQ(RequestType("{\"kind\":\"list\"}"), "");
  EXPECT_EQ(RequestType("{\"type\":7}"), "");
  EXPECT_EQ(RequestType("{}"), "");
  for (const char* bad :
       {"", "[]", "\"list\"", "{", "{\"type\":\"list\"", "{\"type\":\"list\",}",
        "{\"type\":\"list\"} x", "{type:\"list\"}", "{\"type\":'list'}",
        "{\"a\":01}", "{\"a\":1.}", "{\"a\":-}", "{\"a\":tru}",
        "{\"a\":\"\\x\"}", "{\"a\":\"\\u12\"}", "{\"a\":\"tab\there\"}",
        "{\"a\":[1,]}", "{\"a\" 1}", "{\"a\":\"unterminated}"})
    EXPECT_EQ(RequestType(bad), std::nullopt) << bad;
}

TEST(JsonTest, NestingIsBoundedSoNoInputRunsTheStackOut) {
  auto nested = [](int depth) {
    return "{\"a\":" + std::string(depth, '[') + std::string(depth, ']') + "}";
  };
  EXPECT_EQ(RequestType(nested(63)), "");
  EXPECT_EQ(RequestType(nested(64)), std::nullopt);
  EXPECT_EQ(RequestType(nested(1000000)), std::nullopt);
}

TEST(JsonTest, QuotedTextReadsBackAsItWas) {
  EXPECT_EQ(JsonQuote("a\"b\\c\r\nd\te\x01\x1f"),
            "\"a\\\"b\\\\c\\r\\nd\\te\\u0001\\u001f\"");
  const std::string text = "Z\xc3\xbcrich \xe6\x9e\x97\xe6\xb5\xa9 \"q\" \\";
  EXPECT_EQ(RequestType("{\"type\":" + JsonQuote(text) + "}"), text);
}

TEST(HostRepliesTest, AListRequestGetsTheEntriesAndAnythingElseAnError) {
  const auto entries = [] {
    return std::vector<HostEntry>{{"E-mail", "me@example.org"},
                                  {"Address", "1 Main St\r\nTown"}};
  };
  EXPECT_EQ(Answer("{\"type\":\"list\"}", entries),
            "{\"type\":\"list\",\"entries\":[{\"title\":\"E-mail\","
            "\"content\":\"me@example.org\"},{\"title\":\"Address\","
            "\"content\":\"1 Main St\\r\\nTown\"}]}");
  EXPECT_EQ(ListMessage({}), "{\"type\":\"list\",\"entries\":[]}");
  bool asked = false;
  const auto none = [&] {
    asked = true;
    return std::vector<HostEntry>{};
  };
  EXPECT_EQ(Answer("{\"type\":\"save\"}", none),
            "{\"type\":\"error\",\"error\":\"Unknown request type "
            "\\\"save\\\"; the host answers \\\"list\\\".\"}");
  EXPECT_EQ(Answer("list", none),
            "{\"type\":\"error\",\"error\":\"A request is one JSON object.\"}");
  EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace tavro::host
